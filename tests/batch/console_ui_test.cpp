#include <gtest/gtest.h>

#include <sstream>

#include "batch/console_ui.h"

namespace pagemeld {
namespace {

// What it prints reaches the console: the quiet program table reads it there.
TEST(ConsoleUi, AnswersSoTheRequestGoesOnWithoutHarm) {
    std::ostringstream out;
    ConsoleUi ui(out);
    EXPECT_EQ(ui.messageBox("m.pdf cannot be created!", "", msgbox::kExclamation),
              msgbox::kAnswerOk);
    EXPECT_EQ(ui.messageBox("File not found!", "Disk Error",
                            msgbox::kAbortRetryIgnore | msgbox::kExclamation),
              msgbox::kAnswerIgnore);
    EXPECT_EQ(ui.messageBox("Download?", "", msgbox::kYesNoCancel), msgbox::kAnswerNo);
    EXPECT_EQ(ui.messageBox("Again?", "", msgbox::kRetryCancel), msgbox::kAnswerCancel);
    // A message of two lines ends each line the way the platform's console does.
    out.str("");
    ui.messageBox("m.pdf cannot be created!\r\nThe folder does not exist.", "", msgbox::kOkOnly);
    EXPECT_EQ(out.str(), "Ombrix Pagemeld: m.pdf cannot be created!\nThe folder does not exist.\n");
    // Nothing can be chosen or opened without a window.
    EXPECT_EQ(ui.inputBox("Password", "Ombrix Pagemeld", "old", InputEcho::Masked), std::nullopt);
    EXPECT_TRUE(ui.openFileDialog({}, true, "").empty());
    EXPECT_FALSE(ui.openWithAssociatedProgram("download.url", "."));
    ui.quit();
    EXPECT_TRUE(ui.quitRequested());
}

}  // namespace
}  // namespace pagemeld
