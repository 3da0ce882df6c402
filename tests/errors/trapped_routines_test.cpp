#include "errors/trapped_routines.h"

#include <gtest/gtest.h>

#include <string>

#include "base/system_info.h"
#include "errors/error_handler.h"
#include "support/fake_services.h"
#include "support/temp_dir.h"

namespace pagemeld {
namespace {

using testing::FakeUi;

class SharedRoutinesTest : public ::testing::Test {
protected:
    SharedRoutinesTest() : system(dir.path().string()), errors(ui, system) {}
    void TearDown() override { EXPECT_TRUE(ui.boxes.empty()); }

    testing::TempDir dir;  // the error log's folder, should anything be reported
    FakeUi ui;
    testing::FakeSystem system;
    ErrorReporter errors;
};

TEST_F(SharedRoutinesTest, ParsePathSplitsAtTheLastSeparator) {
    const std::string S(1, kPathSeparator);
    const std::string root = kOnWindows ? "C:\\" : "/";
    const std::string file = root + "docs" + S + "a b.pdf";
    struct Case {
        std::string path;
        std::int16_t mode;
        bool trimmed;
        std::string expected;
    };
    const Case cases[] = {
        {file, kPathName, false, "a b.pdf"},
        {file, kPathFolder, true, root + "docs" + S},
        {file, kPathFolder, false, root + "docs" + S + S},
        {file, 3, false, file},  // an unknown mode gives the path back
        {root + "a.pdf", kPathFolder, true, root},
        {"", kPathFolder, true, ""},
        {"a.pdf", kPathName, false, "a.pdf"},  // a bare name, as a command line gives
        {"a.pdf", kPathFolder, true, ""},
        {root + "docs" + S, kPathName, false, ""},
        // Windows takes both separators; elsewhere a backslash belongs to the name.
        {"work\\other/second.pdf", kPathName, false, "second.pdf"},
        {"work/other\\second.pdf", kPathName, false,
         kOnWindows ? "second.pdf" : "other\\second.pdf"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParsePath(errors, c.path, c.mode, c.trimmed), c.expected)
            << c.path << " mode " << c.mode << (c.trimmed ? " trimmed" : "");
    }
}

}  // namespace
}  // namespace pagemeld
