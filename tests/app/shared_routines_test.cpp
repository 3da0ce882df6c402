#include "app/shared_routines.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "app/system_info.h"
#include "base/text_encoding.h"
#include "errors/error_handler.h"
#include "support/fake_services.h"
#include "support/temp_dir.h"

namespace pagemeld {
namespace {

using testing::FakeSystem;
using testing::FakeUi;
using testing::TempDir;

const std::string S(1, kPathSeparator);

class SharedRoutinesTest : public ::testing::Test {
protected:
    SharedRoutinesTest() : system(dir.path().string()), errors(ui, system) {}

    TempDir dir;  // the error log's folder, should anything be reported
    FakeUi ui;
    FakeSystem system;
    ErrorReporter errors;
};

TEST_F(SharedRoutinesTest, VerifyFilenameRejectsTheEightForbiddenCharacters) {
    EXPECT_TRUE(verify_filename(errors, "Part 1 of 12"));
    EXPECT_TRUE(verify_filename(errors, ""));
    EXPECT_TRUE(verify_filename(errors, "r\xC3\xA9sum\xC3\xA9 (v2).pdf"));
    for (char c : std::string("<>:/\\|?*")) {
        EXPECT_FALSE(verify_filename(errors, std::string("out") + c + "put")) << c;
        EXPECT_FALSE(verify_filename(errors, std::string(1, c))) << c;
    }
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(SharedRoutinesTest, ParsePathSplitsAtTheLastSeparator) {
    const std::string root = kOnWindows ? "C:\\" : "/";
    const std::string file = root + "docs" + S + "reports" + S + "a b.pdf";
    EXPECT_EQ(ParsePath(errors, file, kPathName), "a b.pdf");
    EXPECT_EQ(ParsePath(errors, file, kPathName, true), "a b.pdf");
    EXPECT_EQ(ParsePath(errors, file, kPathFolder, true), root + "docs" + S + "reports" + S);
    EXPECT_EQ(ParsePath(errors, file, kPathFolder), root + "docs" + S + "reports" + S + S);
    EXPECT_EQ(ParsePath(errors, file, 3), file);

    // A file in the root folder.
    EXPECT_EQ(ParsePath(errors, root + "a.pdf", kPathFolder, true), root);
    EXPECT_EQ(ParsePath(errors, root + "a.pdf", kPathName, true), "a.pdf");

    for (std::int16_t mode : {0, 16, 7}) {
        EXPECT_EQ(ParsePath(errors, "", mode), "");
        EXPECT_EQ(ParsePath(errors, "", mode, true), "");
    }
    // Windows takes both separators; elsewhere a backslash belongs to the name.
    const std::string mixed = "work\\other/second.pdf";
    EXPECT_EQ(ParsePath(errors, mixed, kPathName), "second.pdf");
    EXPECT_EQ(ParsePath(errors, mixed, kPathFolder, true), "work\\other" + S);
    const std::string reversed = "work/other\\second.pdf";
    EXPECT_EQ(ParsePath(errors, reversed, kPathName),
              kOnWindows ? "second.pdf" : "other\\second.pdf");
    // A bare name, as a command line may give: no folder part.
    EXPECT_EQ(ParsePath(errors, "a.pdf", kPathName), "a.pdf");
    EXPECT_EQ(ParsePath(errors, "a.pdf", kPathFolder), "");
    EXPECT_EQ(ParsePath(errors, "a.pdf", kPathFolder, true), "");
    // A path ending in a separator has an empty name.
    EXPECT_EQ(ParsePath(errors, root + "docs" + S, kPathName), "");
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(SharedRoutinesTest, SaveDialogFailuresGiveEmptyText) {
    // A path longer than the dialog's buffer counts as a failed dialog.
    std::string longest = S;
    while (utf8Length(longest) < 255) longest += "\xC3\xA9";  // 255 characters, more bytes
    ui.saveAnswers = {longest, longest + "x"};
    EXPECT_EQ(ShowSaveDialog(ui, "", "", ""), longest);
    EXPECT_EQ(ShowSaveDialog(ui, "", "", ""), "");

    struct ThrowingUi : FakeUi {
        std::string saveFileDialog(const std::string&, const std::vector<FileFilter>&,
                                   const std::string&) override {
            throw std::runtime_error("dialog failed");
        }
    } broken;
    EXPECT_EQ(ShowSaveDialog(broken, "", "", ""), "");
    EXPECT_TRUE(broken.boxes.empty());
}

TEST_F(SharedRoutinesTest, DriveLetterStartTextsBecomeTheHomeFolderElsewhere) {
    if (kOnWindows) {
        EXPECT_EQ(platformStartFolder("c:\\output.pdf"), "c:\\output.pdf");
        return;
    }
    std::string home = userHomeFolder();
    if (home.back() != '/') home += '/';
    EXPECT_EQ(platformStartFolder("C:\\"), home);
    EXPECT_EQ(platformStartFolder("c:\\output.pdf"), home + "output.pdf");
    EXPECT_EQ(platformStartFolder("D:\\a\\b.pdf"), home + "a/b.pdf");
    EXPECT_EQ(platformStartFolder("/srv/pdf/"), "/srv/pdf/");
    EXPECT_EQ(platformStartFolder("relative"), "relative");
    EXPECT_EQ(platformStartFolder(""), "");
}

}  // namespace
}  // namespace pagemeld
