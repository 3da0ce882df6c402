// The Qt Ui service: which addresses a link may send to the browser, and the answer
// numbers its message boxes give (a wrong one turns a No into a Yes).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "gui/qt_ui.h"

namespace pagemeld::testing {
namespace {

TEST(QtUiShortcut, OnlyWebAndMailAddressesGoToTheBrowser) {
    for (const char* fine : {"https://www.ombrix.com/support/", "mailto:support@ombrix.com"}) {
        EXPECT_TRUE(isBrowsableAddress(fine)) << fine;
    }
    for (const char* refused : {"file:///usr/bin/xterm", "/usr/bin/xterm", "https://", ""}) {
        EXPECT_FALSE(isBrowsableAddress(refused)) << refused;
    }
}

// Answers the next message box once it is shown: `keys` first, then a click on
// the button with `buttonText` (when not empty). The click waits for the box to be
// shown again, since keys may close it.
void answerNextBox(std::vector<int> keys, const QString& buttonText) {
    QTimer::singleShot(0, [keys, buttonText] {
        QMessageBox* box = nullptr;
        const bool shown = QTest::qWaitFor([&] {
            box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            return box != nullptr && box->isVisible();
        });
        if (!shown) {
            ADD_FAILURE() << "no message box shown";
            return;
        }
        if (!keys.empty()) {
            for (int key : keys) QTest::keyClick(box, static_cast<Qt::Key>(key));
            if (!buttonText.isEmpty()) answerNextBox({}, buttonText);
            return;
        }
        for (QAbstractButton* button : box->buttons()) {
            if (button->text().remove('&') == buttonText) {
                button->click();
                return;
            }
        }
        ADD_FAILURE() << "no button " << buttonText.toStdString();
    });
}

TEST(QtUiMessageBox, AnswersWithTheNumberOfTheButtonPressed) {
    QtUi ui;
    answerNextBox({}, "Retry");
    EXPECT_EQ(ui.messageBox("Disk error", "Error", msgbox::kAbortRetryIgnore | msgbox::kCritical),
              msgbox::kAnswerRetry);

    answerNextBox({}, "No");
    EXPECT_EQ(ui.messageBox("Download?", "Ombrix Pagemeld", msgbox::kYesNoCancel),
              msgbox::kAnswerNo);

    // Escape cancels a box that has Cancel...
    answerNextBox({Qt::Key_Escape}, QString());
    EXPECT_EQ(ui.messageBox("Go on?", "Ombrix Pagemeld", msgbox::kOkCancel), msgbox::kAnswerCancel);

    // ...but cannot leave an Abort/Retry/Ignore box without an answer.
    answerNextBox({Qt::Key_Escape}, "Ignore");
    EXPECT_EQ(ui.messageBox("Disk error", "Error", msgbox::kAbortRetryIgnore),
              msgbox::kAnswerIgnore);
}

}  // namespace
}  // namespace pagemeld::testing
