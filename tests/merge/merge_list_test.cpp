// The merge list: adding, limits, refusals, removing, moving, sorting, passwords.
#include <filesystem>

#include "app/shared_routines.h"
#include "lists/file_list_grid.h"
#include "merge_fixture.h"

namespace pagemeld::testing {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

TEST_F(MergeTest, AddingFillsTheRowAndTheFirstFileNamesTheOutput) {
    fs::create_directories(dir.path() / "work" / "second");
    const std::string a = pdfFile("a.pdf", 3, "A");
    const std::string b = work("second/b.pdf");
    writeTestPdf(b, 2, "B");

    form.mbut_fisier_add(a);
    EXPECT_EQ(form.state.mgrid_count, 1);
    EXPECT_EQ(form.merge_grid.textMatrix(1, 0), "1");
    EXPECT_EQ(form.merge_grid.textMatrix(1, 1), "a.pdf");
    EXPECT_EQ(form.merge_grid.textMatrix(1, 2), workFolder());
    EXPECT_EQ(form.merge_grid.textMatrix(1, 3), "3");
    EXPECT_EQ(form.merge_grid.textMatrix(1, 4), "");
    EXPECT_EQ(form.moutput_file.text, workFolder() + "output.pdf");

    form.mbut_fisier_add(b);
    EXPECT_EQ(form.merge_grid.textMatrix(2, 2), workFolder() + "second" + kSep);
    EXPECT_EQ(form.merge_grid.textMatrix(2, 3), "2");
    EXPECT_EQ(form.moutput_file.text, workFolder() + "output.pdf");
    EXPECT_EQ(form.merge_grid.row, 2);
    EXPECT_EQ(highlightedRows(), (std::vector<int>{2}));
    EXPECT_TRUE(ui.boxes.empty());

    // One password button per file, laid over the file's "Password" cell.
    EXPECT_TRUE(form.mbut_key(1).visible);
    EXPECT_TRUE(form.mbut_key(2).visible);
    EXPECT_FALSE(form.mbut_key(3).visible);
    const CommandButton& key = form.mbut_key(2);
    EXPECT_EQ(key.left, form.merge_grid.left + 300 + 3050 + 3650 + 800 + 1300 - key.width - 270);
    EXPECT_EQ(key.top, form.merge_grid.top + form.merge_grid.rowHeight(1) * 2 + 15);
}

TEST_F(MergeTest, AFullListRefusesEveryFurtherFileFirst) {
    // A list at its limit, filled cheaply: only the count and the rows matter here.
    form.state.mgrid_count = 5000;
    form.merge_grid.setRows(5001);
    form.mbut_fisier_add(work("more.pdf"));
    form.mbut_fisier_add(work("notes.txt"));
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[0].text, "You are allowed to merge only  5000 documents at once!. File " +
                                    work("more.pdf") + " was not loaded.");
    EXPECT_EQ(ui.boxes[0].style, msgbox::kInformation);
    EXPECT_EQ(ui.boxes[0].title, "Ombrix Pagemeld");
    // The limit comes before the name test.
    EXPECT_EQ(ui.boxes[1].text, "You are allowed to merge only  5000 documents at once!. File " +
                                    work("notes.txt") + " was not loaded.");
    EXPECT_EQ(form.state.mgrid_count, 5000);
    EXPECT_EQ(form.merge_grid.rows(), 5001);
    EXPECT_TRUE(pdf.calls.empty());
}

TEST_F(MergeTest, NamesNotEndingInPdfAreRefusedAndEmptyNamesIgnored) {
    form.mbut_fisier_add(work("notes.txt"));
    form.mbut_fisier_add("");
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Please add only PDF files. File: " + work("notes.txt") +
                                    " - doesn't look to be a PDF.");
    EXPECT_EQ(ui.boxes[0].style, msgbox::kCritical);
    EXPECT_EQ(ui.boxes[0].title, "Ombrix Pagemeld");
    EXPECT_EQ(form.state.mgrid_count, 0);
    EXPECT_EQ(form.moutput_file.text, platformStartFolder("c:\\output.pdf"));

    // The test ignores letter case.
    pdfFile("UPPER.PDF", 1, "U");
    form.mbut_fisier_add(work("UPPER.PDF"));
    EXPECT_EQ(form.state.mgrid_count, 1);
    EXPECT_EQ(ui.boxes.size(), 1u);
}

TEST_F(MergeTest, AFileThatCannotBeOpenedIsListedWithOnePage) {
    form.mbut_fisier_add(work("missing.pdf"));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "This PDF file could not be opened. Error code: " +
                                    std::to_string(pdferr::kFileNotFound) + "\n" +
                                    work("missing.pdf"));
    EXPECT_EQ(ui.boxes[0].style, msgbox::kCritical);
    EXPECT_EQ(form.state.mgrid_count, 1);
    EXPECT_EQ(form.merge_grid.textMatrix(1, 1), "missing.pdf");
    EXPECT_EQ(form.merge_grid.textMatrix(1, 3), "1");

    writeNotPdf(work("text.pdf"));
    form.mbut_fisier_add(work("text.pdf"));
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[1].text.rfind("This PDF file could not be opened. Error code: ", 0), 0u);
    EXPECT_NE(ui.boxes[1].text, "This PDF file could not be opened. Error code: 0");
    EXPECT_EQ(form.merge_grid.textMatrix(2, 3), "1");

    // A file only the light reader can count: listed with its pages and a note.
    const std::string light = pdfFile("light.pdf", 4, "L");
    pdf.refuseLoad.insert(light);
    form.mbut_fisier_add(light);
    ASSERT_EQ(ui.boxes.size(), 3u);
    EXPECT_EQ(ui.boxes[2].text,
              "This file is a PDF version 1.5 . It cannot be processed by Ombrix Pagemeld ");
    EXPECT_EQ(ui.boxes[2].style, msgbox::kInformation);
    EXPECT_EQ(form.merge_grid.textMatrix(3, 3), "4");
    // Nothing stays loaded or open in the engine after counting.
    EXPECT_EQ(pdf.real.documentCount(), 0u);
}

TEST_F(MergeTest, TheGridGrowsFromTheSeventhFileAndShrinksBackToEightRows) {
    const std::string one = pdfFile("one.pdf", 1, "O");
    for (int i = 1; i <= 6; ++i) form.mbut_fisier_add(one);
    EXPECT_EQ(form.merge_grid.rows(), 7);
    for (int i = 1; i <= 6; ++i) EXPECT_TRUE(form.mbut_key(i).visible);

    form.mbut_fisier_add(one);
    EXPECT_EQ(form.state.mgrid_count, 7);
    EXPECT_EQ(form.merge_grid.rows(), 8);
    form.mbut_fisier_add(one);
    EXPECT_EQ(form.merge_grid.rows(), 9);
    EXPECT_TRUE(ui.boxes.empty());

    form.mbut_rem_Click();  // the last file is selected
    EXPECT_EQ(form.state.mgrid_count, 7);
    EXPECT_EQ(form.merge_grid.rows(), 8);
    form.mbut_rem_Click();
    EXPECT_EQ(form.state.mgrid_count, 6);
    EXPECT_EQ(form.merge_grid.rows(), 8);
    for (int c = 0; c < 5; ++c) EXPECT_EQ(form.merge_grid.textMatrix(7, c), "");
    EXPECT_TRUE(form.mbut_key(6).visible);

    form.mbut_rem_Click();
    EXPECT_EQ(form.state.mgrid_count, 5);
    EXPECT_EQ(form.merge_grid.rows(), 8);
    EXPECT_FALSE(form.mbut_key(6).visible);
    EXPECT_TRUE(form.mbut_key(5).visible);

    // Refilling uses the kept rows before growing again.
    form.mbut_fisier_add(one);
    form.mbut_fisier_add(one);
    EXPECT_EQ(form.merge_grid.rows(), 8);
    form.mbut_fisier_add(one);
    EXPECT_EQ(form.merge_grid.rows(), 9);
}

TEST_F(MergeTest, RemovingKeepsTheSelectionsPosition) {
    for (const char* name : {"a.pdf", "b.pdf", "c.pdf"})
        form.mbut_fisier_add(pdfFile(name, 1, "X"));
    form.merge_grid.setTextMatrix(2, 4, "pb");
    form.merge_grid.setTextMatrix(3, 4, "pc");
    form.merge_grid.setTextMatrix(3, 3, "9");

    form.merge_grid_Click(1, 1);
    form.mbut_rem_Click();
    EXPECT_EQ(column(0), (Texts{"1", "2"}));
    EXPECT_EQ(column(1), (Texts{"b.pdf", "c.pdf"}));
    EXPECT_EQ(column(3), (Texts{"1", "9"}));
    EXPECT_EQ(column(4), (Texts{"pb", "pc"}));
    EXPECT_EQ(form.merge_grid.textMatrix(3, 0), "");
    EXPECT_EQ(form.merge_grid.row, 1);
    EXPECT_EQ(highlightedRows(), (std::vector<int>{1}));

    // Removing the last file selects the new last one.
    form.merge_grid_Click(2, 2);
    form.mbut_rem_Click();
    EXPECT_EQ(column(1), (Texts{"b.pdf"}));
    EXPECT_EQ(form.merge_grid.row, 1);
    EXPECT_EQ(highlightedRows(), (std::vector<int>{1}));

    // The only file: an empty list with row 1 selected.
    form.mbut_rem_Click();
    EXPECT_EQ(form.state.mgrid_count, 0);
    EXPECT_EQ(form.merge_grid.row, 1);
    EXPECT_FALSE(form.mbut_key(1).visible);
    form.mbut_rem_Click();  // nothing left: nothing happens
    EXPECT_EQ(form.state.mgrid_count, 0);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(MergeTest, UpAndDownSwapNeighboursAndDoNothingAtTheEnds) {
    for (const char* name : {"a.pdf", "b.pdf", "c.pdf"})
        form.mbut_fisier_add(pdfFile(name, 1, "X"));
    form.merge_grid.setTextMatrix(2, 4, "pb");

    form.merge_grid_Click(1, 1);
    form.mbut_up_Click();
    EXPECT_EQ(column(1), (Texts{"a.pdf", "b.pdf", "c.pdf"}));
    form.merge_grid_Click(3, 1);
    form.mbut_down_Click();
    EXPECT_EQ(column(1), (Texts{"a.pdf", "b.pdf", "c.pdf"}));
    EXPECT_EQ(form.merge_grid.row, 3);

    form.merge_grid_Click(2, 1);
    form.mbut_up_Click();
    EXPECT_EQ(column(1), (Texts{"b.pdf", "a.pdf", "c.pdf"}));
    EXPECT_EQ(column(4), (Texts{"pb", "", ""}));
    EXPECT_EQ(column(0), (Texts{"1", "2", "3"}));
    EXPECT_EQ(form.merge_grid.row, 1);
    EXPECT_EQ(highlightedRows(), (std::vector<int>{1}));

    form.mbut_down_Click();
    form.mbut_down_Click();
    EXPECT_EQ(column(1), (Texts{"a.pdf", "c.pdf", "b.pdf"}));
    EXPECT_EQ(form.merge_grid.row, 3);
    EXPECT_EQ(highlightedRows(), (std::vector<int>{3}));
}

TEST_F(MergeTest, TheFileNameHeaderSortsWithoutCaseAndToggles) {
    fs::create_directories(dir.path() / "work" / "other");
    form.mbut_fisier_add(pdfFile("b.pdf", 1, "B"));
    form.mbut_fisier_add(pdfFile("A.pdf", 2, "A"));
    form.mbut_fisier_add(pdfFile("c.pdf", 3, "C"));
    form.merge_grid.setTextMatrix(2, 4, "pa");

    form.merge_grid_Click(0, 1);
    EXPECT_EQ(form.state.mgrid_sort_dir, -1);
    EXPECT_EQ(column(1), (Texts{"A.pdf", "b.pdf", "c.pdf"}));
    EXPECT_EQ(column(3), (Texts{"2", "1", "3"}));
    EXPECT_EQ(column(4), (Texts{"pa", "", ""}));
    EXPECT_EQ(column(0), (Texts{"1", "2", "3"}));
    EXPECT_EQ(form.merge_grid.row, 1);
    EXPECT_EQ(highlightedRows(), (std::vector<int>{1}));

    form.merge_grid_Click(0, 1);
    EXPECT_EQ(form.state.mgrid_sort_dir, 1);
    EXPECT_EQ(column(1), (Texts{"c.pdf", "b.pdf", "A.pdf"}));

    // Other header cells sort nothing.
    form.merge_grid_Click(0, 2);
    EXPECT_EQ(column(1), (Texts{"c.pdf", "b.pdf", "A.pdf"}));

    // Equal names keep their order in both directions.
    const std::string same = work("other/B.PDF");
    writeTestPdf(same, 1, "S");
    form.mbut_fisier_add(same);
    form.merge_grid_Click(0, 1);
    EXPECT_EQ(column(1), (Texts{"A.pdf", "b.pdf", "B.PDF", "c.pdf"}));
    form.merge_grid_Click(0, 1);
    EXPECT_EQ(column(1), (Texts{"c.pdf", "b.pdf", "B.PDF", "A.pdf"}));
    EXPECT_EQ(column(2)[2], workFolder() + "other" + kSep);
}

TEST_F(MergeTest, ClickingAnEmptyRowSelectsTheLastFile) {
    form.merge_grid_Click(3, 1);  // empty list
    EXPECT_EQ(form.merge_grid.row, 1);
    for (const char* name : {"a.pdf", "b.pdf"}) form.mbut_fisier_add(pdfFile(name, 1, "X"));
    form.merge_grid_Click(1, 3);
    EXPECT_EQ(highlightedRows(), (std::vector<int>{1}));
    form.merge_grid_Click(5, 1);
    EXPECT_EQ(form.merge_grid.row, 2);
    EXPECT_EQ(highlightedRows(), (std::vector<int>{2}));
}

TEST_F(MergeTest, ThePasswordBoxWritesTheAnswerAndCancelClearsIt) {
    for (const char* name : {"a.pdf", "b.pdf", "c.pdf"})
        form.mbut_fisier_add(pdfFile(name, 1, "X"));
    ui.inputAnswers.push_back("  se cret ");
    form.mbut_key_Click(2);
    ASSERT_EQ(ui.inputs.size(), 1u);
    EXPECT_EQ(ui.inputs[0].prompt, "Ombrix Pagemeld");
    EXPECT_EQ(ui.inputs[0].title, "Enter the password for this PDF file:");
    EXPECT_EQ(ui.inputs[0].defaultText, "");
    EXPECT_EQ(column(4), (Texts{"", "  se cret ", ""}));
    EXPECT_EQ(form.merge_grid.row, 2);
    EXPECT_EQ(highlightedRows(), (std::vector<int>{2}));
    EXPECT_TRUE(form.merge_grid.hasFocus);

    form.mbut_key_Click(2);  // cancelled
    EXPECT_EQ(ui.inputs[1].defaultText, "  se cret ");
    EXPECT_EQ(column(4), (Texts{"", "", ""}));

    // A scrolled list: button 1 serves the first row shown.
    form.merge_grid.topRow = 3;
    ui.inputAnswers.push_back("pc");
    form.mbut_key_Click(1);
    EXPECT_EQ(column(4), (Texts{"", "", "pc"}));
    // A button over a row past the files asks nothing and writes nothing.
    form.mbut_key_Click(2);
    EXPECT_EQ(ui.inputs.size(), 3u);
    EXPECT_EQ(form.merge_grid.textMatrix(4, 4), "");
}

TEST_F(MergeTest, TheDialogAndDroppingAddEveryFileInOrder) {
    const std::string x = pdfFile("x.pdf", 1, "X");
    const std::string y = pdfFile("y.pdf", 2, "Y");
    const std::string z = pdfFile("z.pdf", 3, "Z");
    ui.openAnswers.push_back({x, y, z});
    form.mbut_add_Click();
    ASSERT_EQ(ui.opens.size(), 1u);
    ASSERT_EQ(ui.opens[0].size(), 1u);
    EXPECT_EQ(ui.opens[0][0].description, "All PDF Files (*.pdf)");
    EXPECT_EQ(ui.opens[0][0].pattern, "*.pdf");
    EXPECT_EQ(column(1), (Texts{"x.pdf", "y.pdf", "z.pdf"}));
    EXPECT_EQ(column(2), (Texts{workFolder(), workFolder(), workFolder()}));

    form.mbut_add_Click();  // cancelled
    EXPECT_EQ(form.state.mgrid_count, 3);

    form.merge_grid_OLEDragDrop({z, work("notes.txt"), x, work("read.me")});
    EXPECT_EQ(column(1), (Texts{"x.pdf", "y.pdf", "z.pdf", "z.pdf", "x.pdf"}));
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_NE(ui.boxes[0].text.find("notes.txt"), std::string::npos);
    EXPECT_NE(ui.boxes[1].text.find("read.me"), std::string::npos);
}

TEST_F(MergeTest, TheOutputButtonAddsTheExtensionWhenMissing) {
    const std::string before = form.moutput_file.text;
    form.but_moutput_Click();  // cancelled
    EXPECT_EQ(form.moutput_file.text, before);
    ASSERT_EQ(ui.saves.size(), 1u);
    EXPECT_EQ(ui.saves[0].title, "Save output PDF file");
    ASSERT_EQ(ui.saves[0].filters.size(), 1u);
    EXPECT_EQ(ui.saves[0].filters[0].description, "PDF files (*.pdf)");
    EXPECT_EQ(ui.saves[0].filters[0].pattern, "*.pdf");
    // Nothing listed and nothing remembered: the home folder, the name proposed.
    EXPECT_EQ(ui.saves[0].startFolder, platformStartFolder("C:\\output.pdf"));

    ui.saveAnswers.push_back(work("joined"));
    form.but_moutput_Click();
    EXPECT_EQ(form.moutput_file.text, work("joined.pdf"));
    ui.saveAnswers.push_back(work("JOINED.PDF"));
    form.but_moutput_Click();
    EXPECT_EQ(form.moutput_file.text, work("JOINED.PDF"));
}

TEST_F(MergeTest, TheHoverTipNamesTheRowUnderTheMouse) {
    for (const char* name : {"a.pdf", "b.pdf", "c.pdf"})
        form.mbut_fisier_add(pdfFile(name, 1, "X"));
    const double height = form.merge_grid.rowHeight(1);
    form.merge_grid_MouseMove(0, 0, 100, height * 2.5);
    EXPECT_EQ(form.hover_row_offset, 2);
    EXPECT_EQ(form.merge_grid.toolTipText, "2");
    form.merge_grid.topRow = 2;
    form.merge_grid_Scroll();
    EXPECT_EQ(form.hover_row, 3);
    EXPECT_EQ(form.merge_grid.toolTipText, "3");
    // Below the last file the tip stays as it was.
    form.merge_grid_MouseMove(0, 0, 100, height * 5.2);
    EXPECT_EQ(form.merge_grid.toolTipText, "3");
}

TEST(FileListGrid, SortingIsStableAndIgnoresCase) {
    Grid grid;
    grid.setCols(5);
    grid.setRows(7);
    const char* names[] = {"b", "A", "a", "C", "B"};
    for (int r = 1; r <= 5; ++r) {
        filelist::writeRow(grid, r, names[r - 1], std::to_string(r), r);
    }
    filelist::sortRows(grid, 5, 1, -1);
    Texts order;
    for (int r = 1; r <= 5; ++r) order.push_back(grid.textMatrix(r, 1) + grid.textMatrix(r, 2));
    EXPECT_EQ(order, (Texts{"A2", "a3", "b1", "B5", "C4"}));
    EXPECT_TRUE(filelist::endsInPdf("a.PdF"));
    EXPECT_TRUE(filelist::endsInPdf("xpdf"));
    EXPECT_FALSE(filelist::endsInPdf("pd"));
    EXPECT_FALSE(filelist::endsInPdf("a.pdf "));
}

}  // namespace
}  // namespace pagemeld::testing
