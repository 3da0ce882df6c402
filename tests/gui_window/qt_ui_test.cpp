// The Qt Ui service: which addresses a link may send to the browser, the answer
// numbers its message boxes give (a wrong one turns a No into a Yes), and the
// password box: masked, and its Cancel told from an empty answer.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
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

// Answers the next input box once it is shown: `answer` gets the box and its text
// field.
void answerNextInput(std::function<void(QInputDialog*, QLineEdit*)> answer) {
    QTimer::singleShot(0, [answer] {
        QInputDialog* box = nullptr;
        const bool shown = QTest::qWaitFor([&] {
            box = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            return box != nullptr && box->isVisible();
        });
        if (!shown) {
            ADD_FAILURE() << "no input box shown";
            return;
        }
        auto* field = box->findChild<QLineEdit*>();
        if (!field) {
            ADD_FAILURE() << "no text field in the input box";
            return;
        }
        answer(box, field);
    });
}

TEST(QtUiInputBox, MasksWhatIsTypedAndTellsCancelFromAnEmptyAnswer) {
    QtUi ui;
    const std::string prompt = "Enter the password for this PDF file:";
    QString title;
    QString label;
    QLineEdit::EchoMode echo = QLineEdit::Normal;
    answerNextInput([&](QInputDialog* box, QLineEdit* field) {
        title = box->windowTitle();
        label = box->labelText();
        echo = field->echoMode();
        field->selectAll();
        QTest::keyClicks(field, "n3w");
        QTest::keyClick(field, Qt::Key_Return);
    });
    EXPECT_EQ(ui.inputBox(prompt, "Ombrix Pagemeld", "old", InputEcho::Masked), "n3w");
    EXPECT_EQ(title.toStdString(), "Ombrix Pagemeld");
    EXPECT_EQ(label.toStdString(), prompt);
    EXPECT_EQ(echo, QLineEdit::Password);

    answerNextInput(
        [](QInputDialog*, QLineEdit* field) { QTest::keyClick(field, Qt::Key_Escape); });
    EXPECT_EQ(ui.inputBox(prompt, "Ombrix Pagemeld", "old", InputEcho::Masked), std::nullopt);

    answerNextInput([](QInputDialog*, QLineEdit* field) {
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClick(field, Qt::Key_Return);
    });
    EXPECT_EQ(ui.inputBox(prompt, "Ombrix Pagemeld", "old", InputEcho::Masked), "");
}

}  // namespace
}  // namespace pagemeld::testing
