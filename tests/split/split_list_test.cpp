// The split list: loading, replacing and removing the source, its password, the
// method and destination options and the folder picker.
#include <filesystem>

#include "split_fixture.h"

namespace pagemeld::testing {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

TEST_F(SplitTest, LoadingFillsRowOneNamesTheBaseAndFollowsTheSourceFolder) {
    const std::string a = pdfFile("report.pdf", 7);
    form.add_fisier_split(a);

    EXPECT_EQ(cell(0), "1");
    EXPECT_EQ(cell(1), "report.pdf");
    EXPECT_EQ(cell(2), workFolder());
    EXPECT_EQ(cell(3), "7");
    EXPECT_EQ(cell(4), "");
    EXPECT_EQ(form.txt_split_filename.text, "report");
    EXPECT_EQ(form.txt_split_dest.text, workFolder());
    EXPECT_EQ(form.split_grid.rows(), 2);
    EXPECT_TRUE(ui.boxes.empty());

    // The password button lies over the "Password" cell of row 1.
    const CommandButton& key = form.but_passw;
    EXPECT_TRUE(key.visible);
    EXPECT_EQ(key.left, form.split_grid.left + 200 + 3050 + 3750 + 800 + 1300 - key.width - 15);
    EXPECT_EQ(key.top, form.split_grid.top + form.split_grid.rowHeight(1) + 15);
    EXPECT_FALSE(form.split_add_but.enabled);
    EXPECT_EQ(form.split_grid.row, 1);
    EXPECT_TRUE(form.split_grid.highlighted(1));
    // The source is not held open after it was counted.
    EXPECT_EQ(pdf.documentCount(), 0u);
}

TEST_F(SplitTest, ASecondFileReplacesTheFirstAndKeepsThePassword) {
    fs::create_directories(dir.path() / "work" / "other");
    form.add_fisier_split(pdfFile("first.pdf", 3));
    form.split_grid.setTextMatrix(1, 4, "secret");
    const std::string second = work("other/second.pdf");
    writeTestPdf(second, 5, "S");
    form.add_fisier_split(second);

    EXPECT_EQ(cell(1), "second.pdf");
    EXPECT_EQ(cell(2), workFolder() + "other" + kSep);
    EXPECT_EQ(cell(3), "5");
    EXPECT_EQ(cell(4), "secret");
    EXPECT_EQ(form.txt_split_filename.text, "second");
    EXPECT_EQ(form.txt_split_dest.text, workFolder() + "other" + kSep);
}

TEST_F(SplitTest, NamesAreTestedOnlyForEndingInPdf) {
    const std::string capitals = pdfFile("LOUD.PDF", 2);
    form.add_fisier_split(capitals);
    EXPECT_EQ(cell(1), "LOUD.PDF");
    EXPECT_EQ(form.txt_split_filename.text, "LOUD");

    // Without a dot the base name still loses four characters.
    const std::string noDot = pdfFile("reportpdf", 3);
    form.add_fisier_split(noDot);
    EXPECT_EQ(cell(1), "reportpdf");
    EXPECT_EQ(cell(3), "3");
    EXPECT_EQ(form.txt_split_filename.text, "repor");
    EXPECT_TRUE(ui.boxes.empty());

    // A refused name leaves the loaded source as it was; an empty one is ignored.
    form.add_fisier_split(work("notes.txt"));
    form.add_fisier_split("");
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Please add only PDF files. File:" + work("notes.txt") +
                                    "- doesn't look to be a PDF.");
    EXPECT_EQ(ui.boxes[0].style, msgbox::kCritical);
    EXPECT_EQ(ui.boxes[0].title, "Ombrix Pagemeld");
    EXPECT_EQ(cell(1), "reportpdf");
    EXPECT_EQ(form.txt_split_filename.text, "repor");
}

TEST_F(SplitTest, SelectNewFolderKeepsTheDestinationAndEnablesBrowse) {
    form.split_dest_other_Click();
    EXPECT_TRUE(form.split_dest_other.value);
    EXPECT_FALSE(form.split_dest_source.value);
    EXPECT_TRUE(form.cmd_split_dest.enabled);
    form.txt_split_dest.text = "elsewhere";
    form.add_fisier_split(pdfFile("a.pdf", 1));
    EXPECT_EQ(form.txt_split_dest.text, "elsewhere");

    // Going back to the source folder changes nothing until the next file.
    form.split_dest_source_Click();
    EXPECT_TRUE(form.split_dest_source.value);
    EXPECT_FALSE(form.cmd_split_dest.enabled);
    EXPECT_EQ(form.txt_split_dest.text, "elsewhere");
    form.add_fisier_split(pdfFile("b.pdf", 1));
    EXPECT_EQ(form.txt_split_dest.text, workFolder());
}

TEST_F(SplitTest, RemovingEmptiesRowOneAndKeepsDestinationAndBaseName) {
    form.add_fisier_split(pdfFile("a.pdf", 4));
    form.split_grid.setTextMatrix(1, 4, "pw");
    form.split_rem_but_Click();
    for (int c = 0; c <= 4; ++c) EXPECT_EQ(cell(c), "") << c;
    EXPECT_TRUE(form.split_add_but.enabled);
    EXPECT_FALSE(form.but_passw.visible);
    EXPECT_EQ(form.txt_split_filename.text, "a");
    EXPECT_EQ(form.txt_split_dest.text, workFolder());
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(SplitTest, TheDialogAndDroppingLoadOneFile) {
    const std::string a = pdfFile("a.pdf", 2);
    const std::string b = pdfFile("b.pdf", 3);
    const std::string c = pdfFile("c.pdf", 4);

    form.split_add_but_Click();  // cancelled
    EXPECT_EQ(cell(0), "");
    ASSERT_EQ(ui.opens.size(), 1u);
    ASSERT_EQ(ui.opens[0].size(), 1u);
    EXPECT_EQ(ui.opens[0][0].description, "All PDF Files (*.pdf)");
    EXPECT_EQ(ui.opens[0][0].pattern, "*.pdf");

    ui.openAnswers.push_back({b});
    form.split_add_but_Click();
    EXPECT_EQ(cell(1), "b.pdf");

    // Only the first of the dropped files is loaded; the others are not even looked at.
    form.split_grid_OLEDragDrop({c, a, work("notes.txt")});
    EXPECT_EQ(cell(1), "c.pdf");
    EXPECT_EQ(cell(3), "4");
    EXPECT_TRUE(ui.boxes.empty());
    form.split_grid_OLEDragDrop({});
    EXPECT_EQ(cell(1), "c.pdf");
}

TEST_F(SplitTest, ThePasswordBoxWritesTheAnswerAndCancelClearsIt) {
    form.add_fisier_split(pdfFile("a.pdf", 2));
    ui.inputAnswers.push_back(" two words ");
    form.but_passw_Click();
    ASSERT_EQ(ui.inputs.size(), 1u);
    EXPECT_EQ(ui.inputs[0].prompt, "Ombrix Pagemeld");
    EXPECT_EQ(ui.inputs[0].title, "Enter the password for this PDF file:");
    EXPECT_EQ(ui.inputs[0].defaultText, "");
    EXPECT_EQ(cell(4), " two words ");
    EXPECT_EQ(form.split_grid.row, 1);
    EXPECT_TRUE(form.split_grid.hasFocus);
    EXPECT_TRUE(form.split_grid.highlighted(1));

    form.but_passw_Click();  // cancelled
    ASSERT_EQ(ui.inputs.size(), 2u);
    EXPECT_EQ(ui.inputs[1].defaultText, " two words ");
    EXPECT_EQ(cell(4), "");
}

TEST_F(SplitTest, ClickingTheHeaderSelectsRowOneAgain) {
    form.add_fisier_split(pdfFile("a.pdf", 2));
    form.split_grid.row = 0;
    form.split_grid_Click();
    EXPECT_EQ(form.split_grid.row, 1);
    EXPECT_TRUE(form.split_grid.highlighted(1));
    EXPECT_FALSE(form.split_grid.highlighted(0));
}

TEST_F(SplitTest, OnlyTheRangeMethodEnablesTheRangeBox) {
    EXPECT_FALSE(form.txt_split_range.enabled);
    EXPECT_FALSE(form.cmd_split_dest.enabled);
    form.r_split_method2_Click();
    EXPECT_TRUE(form.txt_split_range.enabled);
    EXPECT_TRUE(form.r_split_method2.value);
    EXPECT_FALSE(form.r_split_method1.value);
    // Methods 3 and 4 have no handler: choosing them leaves the box as it was.
    form.r_split_method2.value = false;
    form.r_split_method3.value = true;
    EXPECT_TRUE(form.txt_split_range.enabled);
    form.r_split_method1_Click();
    EXPECT_FALSE(form.txt_split_range.enabled);
    EXPECT_TRUE(form.r_split_method1.value);
    EXPECT_FALSE(form.r_split_method3.value);
}

TEST_F(SplitTest, BrowseAlwaysAppendsASeparator) {
    const std::string folder = (dir.path() / "out").string();
    ui.folderAnswers.push_back(folder);
    form.cmd_split_dest_Click();
    EXPECT_EQ(form.txt_split_dest.text, folder + kSep);
    ASSERT_EQ(ui.folderTitles.size(), 1u);
    EXPECT_EQ(ui.folderTitles[0], "");

    // Also after a root that has its own.
    const std::string root(1, kSep);
    ui.folderAnswers.push_back(root);
    form.cmd_split_dest_Click();
    EXPECT_EQ(form.txt_split_dest.text, root + kSep);

    form.cmd_split_dest_Click();  // cancelled
    EXPECT_EQ(form.txt_split_dest.text, root + kSep);
}

}  // namespace
}  // namespace pagemeld::testing
