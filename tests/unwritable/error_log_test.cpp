// The error log when the program's folder cannot be written (a read-only medium, an
// installation the user may not change): it goes to the user's data folder and the
// error is still reported, once.
#include <gtest/gtest.h>

#include <fstream>

#include "errors/error_handler.h"
#include "support/fake_services.h"
#include "support/program_run.h"
#include "support/temp_dir.h"

namespace pagemeld::testing {
namespace {

TEST(ErrorLogOnAProgramFolderThatCannotBeWritten, GoesToTheUserDataFolder) {
    TempDir dir;
    std::ofstream(dir.file("program")) << "a file where the folder should be";
    FakeSystem system(dir.file("program"));
    system.userData = dir.file("user data");
    FakeUi ui;
    ErrorReporter(ui, system).ErrorHandler(18, "program folder not writable", 0, "Form1", "x");
    EXPECT_EQ(ui.boxes.size(), 1u);
    const auto logs = namesIn(system.userData);
    ASSERT_EQ(logs.size(), 1u);
    EXPECT_NE(
        fileText(dir.path() / "user data" / *logs.begin()).find("program folder not writable"),
        std::string::npos);
}

}  // namespace
}  // namespace pagemeld::testing
