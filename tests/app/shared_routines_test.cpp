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

TEST_F(SharedRoutinesTest, MsgBoxExUsesTheProgramTitleForAnEmptyOne) {
    ui.boxAnswers = {msgbox::kAnswerNo, msgbox::kAnswerCancel};
    EXPECT_EQ(MsgBoxEx(errors, ui, "Merge process done!", 64), msgbox::kAnswerNo);
    EXPECT_EQ(MsgBoxEx(errors, ui, "Again?", 3, "", 0, 0), msgbox::kAnswerCancel);
    EXPECT_EQ(MsgBoxEx(errors, ui, "x", 48, "Other title", 1234, 101), msgbox::kAnswerOk);
    ASSERT_EQ(ui.boxes.size(), 3u);
    EXPECT_EQ(ui.boxes[0].title, "Ombrix Pagemeld");
    EXPECT_EQ(ui.boxes[0].text, "Merge process done!");
    EXPECT_EQ(ui.boxes[0].style, 64);
    EXPECT_EQ(ui.boxes[1].style, 3);
    EXPECT_EQ(ui.boxes[2].title, "Other title");
    EXPECT_EQ(ui.boxes[2].style, 48);  // a custom icon number adds no flags
}

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

TEST_F(SharedRoutinesTest, DetectSemicommaCountsGroups) {
    EXPECT_EQ(detectsemicomma(errors, "1-4,6,9-10"), 1);
    EXPECT_EQ(detectsemicomma(errors, ""), 1);
    EXPECT_EQ(detectsemicomma(errors, "1-4,6;9-10"), 2);
    EXPECT_EQ(detectsemicomma(errors, "1-3;"), 2);
    EXPECT_EQ(detectsemicomma(errors, "1;2;3"), 3);
    EXPECT_EQ(detectsemicomma(errors, ";"), 2);
    EXPECT_EQ(detectsemicomma(errors, std::string(32766, ';')), 32767);
    EXPECT_TRUE(ui.boxes.empty());

    // One group more than a 16-bit count holds is an overflow, reported, not wrapped.
    EXPECT_EQ(detectsemicomma(errors, std::string(32767, ';')), 0);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_NE(ui.boxes[0].text.find("detectsemicomma"), std::string::npos);
}

TEST_F(SharedRoutinesTest, SaveDialogFiltersAndStartFolder) {
    ui.saveAnswers = {S + "out" + S + "merged.pdf"};
    EXPECT_EQ(ShowSaveDialog(ui, "Save output PDF file", "PDF files (*.pdf)|*.pdf", "C:\\"),
              S + "out" + S + "merged.pdf");
    ASSERT_EQ(ui.saves.size(), 1u);
    EXPECT_EQ(ui.saves[0].title, "Save output PDF file");
    ASSERT_EQ(ui.saves[0].filters.size(), 1u);
    EXPECT_EQ(ui.saves[0].filters[0].description, "PDF files (*.pdf)");
    EXPECT_EQ(ui.saves[0].filters[0].pattern, "*.pdf");
    if (kOnWindows) {
        EXPECT_EQ(ui.saves[0].startFolder, "C:\\");
    } else {
        EXPECT_EQ(ui.saves[0].startFolder, userHomeFolder() == "/" ? "/" : userHomeFolder() + "/");
    }

    // Cancelled, with the default filters and the current folder.
    EXPECT_EQ(ShowSaveDialog(ui, "t", "", ""), "");
    ASSERT_EQ(ui.saves.size(), 2u);
    ASSERT_EQ(ui.saves[1].filters.size(), 2u);
    EXPECT_EQ(ui.saves[1].filters[0].description, "Text Files (*.txt)");
    EXPECT_EQ(ui.saves[1].filters[0].pattern, "*.txt");
    EXPECT_EQ(ui.saves[1].filters[1].description, "All Files (*.*)");
    EXPECT_EQ(ui.saves[1].filters[1].pattern, "*.*");
    EXPECT_EQ(ui.saves[1].startFolder, pathToUtf8(std::filesystem::current_path()));
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(SharedRoutinesTest, DialogFilterTextsSplitIntoPairs) {
    auto filters = parseDialogFilter("PDF (*.pdf)|*.pdf|All|*.*|");
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[1].description, "All");
    EXPECT_EQ(filters[1].pattern, "*.*");
    // The list ends at an empty part; a description without its pattern is dropped.
    EXPECT_EQ(parseDialogFilter("A|*.a||*.b|C|*.c").size(), 1u);
    EXPECT_EQ(parseDialogFilter("A|*.a|B").size(), 1u);
    EXPECT_TRUE(parseDialogFilter("only a description").empty());
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

TEST_F(SharedRoutinesTest, FolderPickerAndProgressColours) {
    ui.folderAnswers = {S + "out"};
    EXPECT_EQ(OpenDirectoryTV(errors, ui, ""), S + "out");
    EXPECT_EQ(OpenDirectoryTV(errors, ui, "Pick"), "");  // cancelled
    EXPECT_EQ(ui.folderTitles, (std::vector<std::string>{"", "Pick"}));

    ProgressBar bar;
    EXPECT_EQ(bar.colour, kDefaultBarColour);
    SetProgressBarColour(errors, bar, kBarColourWorking);
    EXPECT_EQ(bar.colour, 49u + 256u * 102u + 65536u * 197u);
    SetProgressBarColour(errors, bar, kBarColourDone);
    EXPECT_EQ(bar.colour, 26112u);
    EXPECT_EQ(rgbColour(255, 255, 255), 0xFFFFFFu);
    EXPECT_EQ(rgbColour(300, -5, 1), 255u + 65536u);
    EXPECT_TRUE(ui.boxes.empty());
}

}  // namespace
}  // namespace pagemeld
