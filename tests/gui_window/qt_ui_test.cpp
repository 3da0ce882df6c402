// The parts of the Qt Ui service that need no dialog: reading Internet shortcuts,
// the dialog filters and which addresses may go to the browser.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <fstream>

#include "gui/qt_ui.h"
#include "support/temp_dir.h"

namespace pagemeld::testing {
namespace {

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

TEST(QtUiShortcut, ReadsTheUrlLineOfTheInternetShortcutSection) {
    TempDir dir;
    const std::string plain = dir.file("website.url");
    writeFile(plain,
              "[InternetShortcut]\r\nURL=https://www.ombrix.com/pagemeld/\r\nIconIndex=0\r\n");
    EXPECT_EQ(readInternetShortcut(plain), "https://www.ombrix.com/pagemeld/");

    // Another section's URL line does not count; case of key and section does not matter.
    const std::string mixed = dir.file("mixed.url");
    writeFile(mixed,
              "[Other]\nURL=https://wrong.example/\n[internetshortcut]\nurl = "
              "x\nUrl=https://right.example/a\n");
    EXPECT_EQ(readInternetShortcut(mixed), "https://right.example/a");

    const std::string empty = dir.file("empty.url");
    writeFile(empty, "[InternetShortcut]\nURL=\n");
    EXPECT_EQ(readInternetShortcut(empty), std::nullopt);
    EXPECT_EQ(readInternetShortcut(dir.file("missing.url")), std::nullopt);
}

TEST(QtUiShortcut, OnlyWebAndMailAddressesGoToTheBrowser) {
    EXPECT_TRUE(isBrowsableAddress("https://www.ombrix.com/support/"));
    EXPECT_TRUE(isBrowsableAddress("http://example.org"));
    EXPECT_TRUE(isBrowsableAddress("mailto:support@ombrix.com"));
    EXPECT_FALSE(isBrowsableAddress("file:///usr/bin/xterm"));
    EXPECT_FALSE(isBrowsableAddress("/usr/bin/xterm"));
    EXPECT_FALSE(isBrowsableAddress("https://"));
    EXPECT_FALSE(isBrowsableAddress(""));
}

}  // namespace
}  // namespace pagemeld::testing

namespace pagemeld::testing {
namespace {

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
