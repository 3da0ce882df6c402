// The three runs through the real window: files chosen in the (scripted) dialogs,
// options clicked, numbers typed, the run button clicked, and the files on disk read
// back. What each method makes of a document is tested at the plan and run layers.
// Also what adding a file that cannot be read whole shows.
#include <map>

#include "window_harness.h"

namespace pagemeld::testing {
namespace {

using Texts = std::vector<std::string>;
using Pieces = std::map<std::string, Texts>;

class WindowRunsTest : public WindowHarness {
protected:
    // Page texts of every file in the test folder whose name starts with `base`.
    Pieces outputs(const std::string& base) const {
        Pieces found;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            const std::string name = entry.path().filename().string();
            if (name.rfind(base, 0) == 0 && name.ends_with(".pdf"))
                found[name] = pageTexts(entry.path().string());
        }
        return found;
    }
    // Double-clicks cell (row, col) of a grid's file rows, as a user opens a cell.
    void doubleClick(const std::string& gridName, int row, int col) {
        auto* grid = find<QTableWidget>(gridName);
        const QRect cell = grid->visualRect(grid->model()->index(row, col));
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    }
};

TEST_F(WindowRunsTest, SplitsWithEachMethodItsFieldsTypedIn) {
    struct Case {
        std::string option;
        std::map<std::string, std::string> fields;
        std::string base, box;
        Pieces pieces;
    };
    const std::string done = "Split process done!";
    const Case cases[] = {
        {"r_split_method1",
         {{"txt_split_meth1", "4"}},
         "piece",
         done,
         {{"piece01.pdf", labels("P", 1, 4)},
          {"piece02.pdf", labels("P", 5, 8)},
          {"piece03.pdf", {"P 9", "P 10"}}}},
        {"r_split_method3",
         {{"txt_split_meth3", "3"}, {"txt_split_meth3_s", "4"}},
         "group",
         done,
         {{"group01.pdf", labels("P", 4, 6)},
          {"group02.pdf", labels("P", 7, 9)},
          {"group03.pdf", {"P 10"}}}},
        {"r_split_method4",
         {{"txt_split_meth4", "4"}, {"txt_split_meth4_s", "3"}},
         "every",
         done,
         {{"every01.pdf", {"P 3"}}, {"every02.pdf", {"P 7"}}}},
        // Page 12 is past the end: its piece stays empty and the user is told.
        {"r_split_method2",
         {{"txt_split_range", "1-2,6;5;12;"}},
         "range",
         "Split process done! Pages with pagenumber above  10  were ignored because it exceeds "
         "document total page number!",
         {{"range01.pdf", {"P 1", "P 2", "P 6"}}, {"range02.pdf", {"P 5"}}}},
        // A range text the run cannot read is refused whole, before anything is cut.
        {"r_split_method2",
         {{"txt_split_range", "abc"}},
         "unread",
         "This part of the page ranges is not understood. Type page numbers from 1, or two "
         "joined by - (for example 4-9): \"abc\"",
         {}},
    };
    writeTestPdf(file("ten.pdf"), 10, "P");
    start();
    ui.openAnswers.push_back({file("ten.pdf")});
    click("split_add_but");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.option);
        choose(c.option);
        for (const auto& [box, text] : c.fields) type(box, text);
        type("txt_split_filename", c.base);
        ui.boxes.clear();
        click("cmd_split_run");
        EXPECT_EQ(ui.boxTexts(), Texts{c.box});
        EXPECT_EQ(outputs(c.base), c.pieces);
    }

    // Running again over the pieces asks from the run's thread; No writes nothing.
    choose("r_split_method1");
    type("txt_split_filename", "piece");
    ui.boxes.clear();
    click("cmd_split_run");
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].style, msgbox::kYesNo + msgbox::kQuestion + msgbox::kDefaultButton2);
    EXPECT_EQ(outputs("piece"), cases[0].pieces);
    ui.boxAnswers.push_back(msgbox::kAnswerYes);
    type("txt_split_meth1", "5");
    click("cmd_split_run");
    EXPECT_EQ(ui.boxTexts().back(), "Split process done!");
    EXPECT_EQ(outputs("piece"), (Pieces{{"piece01.pdf", labels("P", 1, 5)},
                                        {"piece02.pdf", labels("P", 6, 10)},
                                        {"piece03.pdf", {"P 9", "P 10"}}}));
}

// The two methods that count no pages: a chaptered document cut at its chapters, then
// at its sections (replacing the chapters' files once asked), then at a level it lacks;
// pages of about 1 MB each cut into pieces of at most 3 MB.
TEST_F(WindowRunsTest, SplitsAtBookmarksAndIntoPiecesOfAtMostASize) {
    writeChapteredPdf(file("book.pdf"));
    start();
    ui.openAnswers.push_back({file("book.pdf")});
    click("split_add_but");
    choose("r_split_method5");
    const Pieces chapters = {{"book00.pdf", labels("P", 1, 2)},
                             {"1 Basics.pdf", labels("P", 3, 11)},
                             {"2 Methods.pdf", labels("P", 12, 19)},
                             {"3 Results.pdf", labels("P", 20, 30)}};
    click("cmd_split_run");
    EXPECT_EQ(ui.boxTexts(), Texts{"Split process done!"});
    Pieces found = outputs("");
    found.erase("book.pdf");
    EXPECT_EQ(found, chapters);

    type("txt_split_meth5", "2");
    ui.boxes.clear();
    ui.boxAnswers.push_back(msgbox::kAnswerYes);
    click("cmd_split_run");
    EXPECT_EQ(ui.boxTexts().back(), "Split process done!");
    found = outputs("");
    found.erase("book.pdf");
    EXPECT_EQ(found, (Pieces{{"book00.pdf", labels("P", 1, 2)},
                             {"1 Basics.pdf", {"P 3"}},
                             {"1.1 Terms.pdf", labels("P", 4, 7)},
                             {"1.2 Rules.pdf", labels("P", 8, 11)},
                             {"2 Methods.pdf", labels("P", 12, 19)},
                             {"3 Results.pdf", labels("P", 20, 30)}}));

    type("txt_split_meth5", "3");
    ui.boxes.clear();
    click("cmd_split_run");
    EXPECT_EQ(ui.boxTexts(), Texts{"No file was written: this PDF has no bookmarks that lead to "
                                   "its pages at level 3"});

    TestPdfOptions options{20, "S"};
    options.sharedImage = false;
    options.ownImages = true;
    options.imageSide = 590;
    writeTestPdf(file("scan.pdf"), options);
    click("split_rem_but");
    ui.openAnswers.push_back({file("scan.pdf")});
    click("split_add_but");
    choose("r_split_method6");
    type("txt_split_meth6", "3");
    ui.boxes.clear();
    click("cmd_split_run");
    EXPECT_EQ(ui.boxTexts(), Texts{"Split process done!"});
    Pieces pieces;
    for (int k = 1; k <= 10; ++k) {
        const std::string name =
            "scan" + std::string(k < 10 ? "0" : "") + std::to_string(k) + ".pdf";
        pieces[name] = labels("S", 2 * k - 1, 2 * k);
        EXPECT_LE(std::filesystem::file_size(file(name)), 3'000'000u) << name;
    }
    found = outputs("scan");
    found.erase("scan.pdf");
    EXPECT_EQ(found, pieces);
}

TEST_F(WindowRunsTest, MergesThreeFilesOneOfThemEncryptedWithThePasswordTypedIn) {
    writeTestPdf(file("a.pdf"), 2, "A");
    writeEncryptedPdf(file("b.pdf"), {1, "B"}, Encryption::Aes256, "pw b", "owner");
    writeTestPdf(file("c.pdf"), 1, "C");
    start();
    clickTab(2);
    EXPECT_TRUE(find("merge_grid")->isVisible());
    ui.openAnswers.push_back({file("a.pdf"), file("b.pdf"), file("c.pdf")});
    click("mbut_add");
    ASSERT_EQ(column("merge_grid", 1), (Texts{"a.pdf", "b.pdf", "c.pdf", "", "", ""}));

    ui.inputAnswers.push_back("pw b");
    click("mbut_key_2");
    // The grid shows the password as dots.
    EXPECT_EQ(column("merge_grid", 4), (Texts{"", "●●●●", "", "", "", ""}));
    type("moutput_file", file("all.pdf"));
    click("cmd_merge");
    EXPECT_EQ(ui.boxTexts(), Texts{"Merge process done!"});
    EXPECT_EQ(pageTexts(file("all.pdf")), (Texts{"A 1", "A 2", "B 1", "C 1"}));
    EXPECT_TRUE(qpdfCheckClean(file("all.pdf")));

    // A wrong password leaves the file out: one box says which and where the others went.
    ui.inputAnswers.push_back("wrong");
    click("mbut_key_2");
    choose("chk_merge_ovr");
    ui.boxes.clear();
    click("cmd_merge");
    EXPECT_EQ(ui.boxTexts(), Texts{"Merge process failed!\nPassword for b.pdf  is incorect. PDF "
                                   "will be skipped.\nThe other files were merged into: " +
                                   file("all.pdf")});
    EXPECT_EQ(pageTexts(file("all.pdf")), (Texts{"A 1", "A 2", "C 1"}));
}

// A file the program cannot read whole is still listed: the box names it and says
// what is wrong, and its row shows that its page count is a guess.
TEST_F(WindowRunsTest, ADamagedFileIsNamedAndItsPageCountMarkedAsAGuess) {
    writeTruncatedPdf(file("cut short.pdf"), 6);
    start();
    clickTab(2);
    ui.openAnswers.push_back({file("cut short.pdf")});
    click("mbut_add");
    EXPECT_EQ(ui.boxTexts(),
              Texts{"This PDF file is damaged and cannot be read whole:\n" + file("cut short.pdf") +
                    "\nIt stays in the list, but its page count is only a guess, "
                    "marked with a question mark."});
    EXPECT_EQ(column("merge_grid", 1)[0], "cut short.pdf");
    EXPECT_EQ(column("merge_grid", 3)[0], "6?");
}

TEST_F(WindowRunsTest, MixesTwoDocuments) {
    writeTestPdf(file("base.pdf"), 6, "A");
    writeTestPdf(file("sheet.pdf"), 1, "B");
    start();
    clickTab(3);
    ui.openAnswers.push_back({file("base.pdf"), file("sheet.pdf")});
    click("x_but_add");
    ASSERT_EQ(column("mix_grid", 1), (Texts{"base.pdf", "sheet.pdf"}));
    choose("r_mix1_method2");  // "each" takes its start page from its own row
    type("r_mix1_method2_e1", "2");
    type("r_mix1_method2_e2", "2");
    choose("r_mix2_method2");
    type("r_mix2_method2_e1", "1");
    click("cmd_mix_run");

    EXPECT_EQ(ui.boxTexts(), Texts{"Mix process done!"});
    EXPECT_EQ(outputs("base0"), (Pieces{{"base01.pdf", {"A 2", "B 1"}},
                                        {"base02.pdf", {"A 4", "B 1"}},
                                        {"base03.pdf", {"A 6", "B 1"}}}));
}

// The pages of each file typed into the list (a choice that cannot be read is refused,
// quoted, and the cell keeps what it had), a bookmark for each file and a blank page
// after each odd count but the last.
TEST_F(WindowRunsTest, MergesChosenPagesWithABookmarkForEachFileAndBlankPages) {
    writeTestPdf(file("a.pdf"), 2, "A");
    writeTestPdf(file("b.pdf"), 3, "B");
    writeTestPdf(file("c.pdf"), 3, "C");
    start();
    clickTab(2);
    ui.openAnswers.push_back({file("a.pdf"), file("b.pdf"), file("c.pdf")});
    click("mbut_add");
    const auto typePages = [&](int row, const std::string& pages) {
        ui.inputAnswers.push_back(pages);
        doubleClick("merge_grid", row, 5);
    };
    typePages(0, "1");
    typePages(1, "2-3");
    typePages(1, "3,x-1");
    EXPECT_EQ(ui.boxTexts(), Texts{"These pages cannot be read: x-1"});
    EXPECT_EQ(column("merge_grid", 5), (Texts{"1", "2-3", "", "", "", ""}));
    choose("chk_merge_bookmarks");
    choose("chk_merge_blank");
    type("moutput_file", file("binder.pdf"));
    ui.boxes.clear();
    click("cmd_merge");
    EXPECT_EQ(ui.boxTexts(), Texts{"Merge process done!"});
    EXPECT_EQ(pageTexts(file("binder.pdf")), (Texts{"A 1", "", "B 2", "B 3", "C 1", "C 2", "C 3"}));
    EXPECT_EQ(bookmarks(file("binder.pdf")), (Texts{"a -> 1", "b -> 3", "c -> 5"}));
    EXPECT_TRUE(qpdfCheckClean(file("binder.pdf")));
}

// A duplex scan: the fronts, and the backs scanned last page first, into one file.
TEST_F(WindowRunsTest, PutsADuplexScanTogetherInOneFile) {
    writeTestPdf(file("fronts.pdf"), 3, "F");
    writeTestPdf(file("backs.pdf"), 3, "B");
    start();
    clickTab(3);
    ui.openAnswers.push_back({file("fronts.pdf"), file("backs.pdf")});
    click("x_but_add");
    type("r_mix1_method1_e1", "1");
    type("r_mix2_method1_e1", "1");
    choose("chk_mix2_backwards");
    choose("chk_mix_onefile");
    click("cmd_mix_run");
    EXPECT_EQ(ui.boxTexts(), Texts{"Mix process done!"});
    EXPECT_EQ(outputs("fronts0"), Pieces{});
    EXPECT_EQ(outputs("output"),
              (Pieces{{"output.pdf", {"F 1", "B 3", "F 2", "B 2", "F 3", "B 1"}}}));
}

}  // namespace
}  // namespace pagemeld::testing
