// The mix list: two documents at most, destination and base name from the first.
#include <string>
#include <vector>

#include "mix_fixture.h"

namespace pagemeld::testing {
namespace {

TEST_F(MixTest, FirstFileNamesDestinationAndBaseNameSecondChangesNothing) {
    form.xbut_fisier_add(pdfFile("report.pdf", 3, "A"));
    EXPECT_EQ(form.state.xgrid_count, 1);
    EXPECT_EQ(form.mix_grid.textMatrix(1, 0), "1");
    EXPECT_EQ(form.mix_grid.textMatrix(1, 1), "report.pdf");
    EXPECT_EQ(form.mix_grid.textMatrix(1, 2), workFolder());
    EXPECT_EQ(form.mix_grid.textMatrix(1, 3), "3");
    EXPECT_EQ(form.txt_mix_dest.text, workFolder());
    EXPECT_EQ(form.txt_mix_filename.text, "report");
    EXPECT_TRUE(form.xbut_key(1).visible);
    EXPECT_FALSE(form.xbut_key(2).visible);
    EXPECT_EQ(form.xbut_key(1).left,
              form.mix_grid.left + form.mix_grid.sumColWidths() - form.xbut_key(1).width - 15);
    EXPECT_EQ(form.xbut_key(1).top, form.mix_grid.top + form.mix_grid.rowHeight(1) + 15);

    form.txt_mix_dest.text = "elsewhere";
    form.xbut_fisier_add(pdfFile("other.pdf", 2, "B"));
    EXPECT_EQ(form.state.xgrid_count, 2);
    EXPECT_EQ(form.mix_grid.textMatrix(2, 1), "other.pdf");
    EXPECT_EQ(form.txt_mix_dest.text, "elsewhere");
    EXPECT_EQ(form.txt_mix_filename.text, "report");
    EXPECT_TRUE(form.xbut_key(2).visible);
    EXPECT_EQ(form.mix_grid.row, 2);
    EXPECT_TRUE(form.mix_grid.highlighted(2));
    EXPECT_FALSE(form.mix_grid.highlighted(1));
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(MixTest, RefusesEmptyNamesNonPdfNamesAndAThirdFile) {
    form.xbut_fisier_add("");
    EXPECT_TRUE(ui.boxes.empty());
    const std::string text = work("notes.txt");
    form.xbut_fisier_add(text);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text,
              "Please add only PDF files. File: " + text + " - doesn't look to be a PDF.");
    EXPECT_EQ(ui.boxes[0].style, 16);
    EXPECT_EQ(form.state.xgrid_count, 0);

    listTwo(2, 1);
    const std::string third = pdfFile("third.pdf", 1, "C");
    // A drop onto a full list refuses each file with its own message.
    form.mix_grid_OLEDragDrop({third, third});
    ASSERT_EQ(ui.boxes.size(), 3u);
    EXPECT_EQ(ui.boxes[1].text, "Only 2 files can be used at once during the mix process. " +
                                    third + " - Will be ignored.");
    EXPECT_EQ(ui.boxes[1].style, 16);
    EXPECT_EQ(form.state.xgrid_count, 2);
    EXPECT_EQ(form.mix_grid.rows(), 3);
    EXPECT_EQ(form.mix_grid.textMatrix(1, 1), "report.pdf");
    EXPECT_EQ(form.mix_grid.textMatrix(2, 1), "sheet.pdf");
}

TEST_F(MixTest, AddingThroughTheDialogAndDroppingKeepTheirOrder) {
    const std::string a = pdfFile("a.pdf", 1, "A");
    const std::string b = pdfFile("b.pdf", 1, "B");
    ui.openAnswers.push_back({b, a});
    form.x_but_add_Click();
    EXPECT_EQ(form.mix_grid.textMatrix(1, 1), "b.pdf");
    EXPECT_EQ(form.mix_grid.textMatrix(2, 1), "a.pdf");
    EXPECT_EQ(form.txt_mix_filename.text, "b");
}

TEST_F(MixTest, RemovingKeepsTheGridAndTheDestination) {
    listTwo(2, 1);
    form.mix_grid.setTextMatrix(2, 4, "pw");
    form.txt_mix_dest.text = "kept";
    form.mix_grid_Click(1, 1);
    form.x_but_rem_Click();
    EXPECT_EQ(form.state.xgrid_count, 1);
    EXPECT_EQ(form.mix_grid.rows(), 3);
    EXPECT_EQ(form.mix_grid.textMatrix(1, 0), "1");
    EXPECT_EQ(form.mix_grid.textMatrix(1, 1), "sheet.pdf");
    EXPECT_EQ(form.mix_grid.textMatrix(1, 4), "pw");
    EXPECT_EQ(form.mix_grid.textMatrix(2, 0), "");
    EXPECT_EQ(form.mix_grid.textMatrix(2, 1), "");
    EXPECT_TRUE(form.xbut_key(1).visible);
    EXPECT_FALSE(form.xbut_key(2).visible);
    EXPECT_EQ(form.txt_mix_dest.text, "kept");
    EXPECT_EQ(form.txt_mix_filename.text, "report");
    EXPECT_EQ(form.mix_grid.row, 1);
    EXPECT_TRUE(form.mix_grid.highlighted(1));

    form.x_but_rem_Click();
    EXPECT_EQ(form.state.xgrid_count, 0);
    EXPECT_EQ(form.mix_grid.rows(), 3);
    EXPECT_FALSE(form.xbut_key(1).visible);
    EXPECT_EQ(form.mix_grid.row, 1);
    // Nothing left to remove: nothing happens.
    form.x_but_rem_Click();
    EXPECT_EQ(form.state.xgrid_count, 0);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(MixTest, HeaderClicksDoNotSortAndEmptyRowsSelectTheLastFile) {
    form.xbut_fisier_add(pdfFile("z.pdf", 1, "Z"));
    form.xbut_fisier_add(pdfFile("a.pdf", 1, "A"));
    form.mix_grid_Click(1, 1);
    form.mix_grid_Click(0, 1);
    EXPECT_EQ(form.mix_grid.textMatrix(1, 1), "z.pdf");
    EXPECT_EQ(form.mix_grid.row, 1);
    form.x_but_rem_Click();
    form.mix_grid_Click(2, 1);  // now an empty row
    EXPECT_EQ(form.mix_grid.row, 1);
    EXPECT_TRUE(form.mix_grid.highlighted(1));
}

TEST_F(MixTest, PasswordButtonsAskAndCancelClears) {
    listTwo(1, 1);
    form.mix_grid.setTextMatrix(2, 4, "old");
    ui.inputAnswers.push_back(" new pw ");
    form.xbut_key_Click(2);
    ASSERT_EQ(ui.inputs.size(), 1u);
    EXPECT_EQ(ui.inputs[0].prompt, "Ombrix Pagemeld");
    EXPECT_EQ(ui.inputs[0].title, "Enter the password for this PDF file:");
    EXPECT_EQ(ui.inputs[0].defaultText, "old");
    EXPECT_EQ(form.mix_grid.textMatrix(2, 4), " new pw ");
    EXPECT_EQ(form.mix_grid.row, 2);
    form.xbut_key_Click(2);  // cancelled
    EXPECT_EQ(form.mix_grid.textMatrix(2, 4), "");
}

TEST_F(MixTest, DestinationChoiceAndBrowse) {
    form.mix_dest_other_Click();
    EXPECT_TRUE(form.cmd_mix_dest.enabled);
    const std::string out = (dir.path() / "out").string();
    ui.folderAnswers.push_back(out);
    form.cmd_mix_dest_Click();
    EXPECT_EQ(form.txt_mix_dest.text, out + kSep);
    // A root keeps its one separator; a cancelled browse leaves the text.
    ui.folderAnswers.push_back(std::string(1, kSep));
    form.cmd_mix_dest_Click();
    EXPECT_EQ(form.txt_mix_dest.text, std::string(1, kSep));
    form.cmd_mix_dest_Click();
    EXPECT_EQ(form.txt_mix_dest.text, std::string(1, kSep));
    form.mix_dest_source_Click();
    EXPECT_FALSE(form.cmd_mix_dest.enabled);
    EXPECT_EQ(form.txt_mix_dest.text, std::string(1, kSep));
}

}  // namespace
}  // namespace pagemeld::testing
