// The split as the window's handler starts and tells it: refusals of what was typed,
// and each way a split ends in the tab's words.
#include <functional>

#include "pdf/qpdf_engine.h"
#include "support/form_harness.h"

namespace pagemeld::testing {
namespace {

class SplitRunTest : public ::testing::Test, protected FormHarness<QpdfEngine> {
protected:
    SplitRunTest() { form.Form_Load(""); }

    void list(const std::string& path) {
        form.add_fisier_split(path);
        form.txt_split_filename.text = "part";
    }
    // Method 1..6 with its number boxes; the view only sets the options' values.
    void method(int number, const std::string& n, const std::string& s = "1") {
        OptionButton* options[] = {&form.r_split_method1, &form.r_split_method2,
                                   &form.r_split_method3, &form.r_split_method4,
                                   &form.r_split_method5, &form.r_split_method6};
        TextBox* boxes[] = {&form.txt_split_meth1, &form.txt_split_range, &form.txt_split_meth3,
                            &form.txt_split_meth4, &form.txt_split_meth5, &form.txt_split_meth6};
        for (int m = 1; m <= 6; ++m) options[m - 1]->value = m == number;
        boxes[number - 1]->text = n;
        form.txt_split_meth3_s.text = form.txt_split_meth4_s.text = s;
    }
    void run() {
        ui.boxes.clear();
        form.cmd_split_run_Click();
    }
};

TEST_F(SplitRunTest, RefusalsComeBeforeAnythingIsWritten) {
    method(1, "2");
    run();  // no source
    EXPECT_TRUE(shown(form.catalogue.MsgSplitAddFile));

    const std::string source = pdfFile("src.pdf", 3);
    const Catalogue& t = form.catalogue;
    const std::vector<std::pair<std::function<void()>, std::string>> cases = {
        {[&] { form.txt_split_filename.text = "a:b"; }, t.MsgOutputFileInvalidChar},
        {[&] { form.txt_split_dest.text = ""; }, t.MsgSelectDestFolder},
        {[&] { method(1, "2147483648"); }, t.MsgErrSplitNumberField},
        {[&] { method(3, "2", "0"); }, t.MsgErrSplitNumberField},
        {[&] { method(2, " ; ;"); }, t.MsgErrSplitRange},
        {[&] { method(5, "0"); }, t.MsgErrSplitNumberField + " \"At bookmarks of level\""},
        {[&] { method(6, "1.5"); }, t.MsgErrSplitNumberField + " \"Pieces of at most\""},
        {[&] { method(5, "1"); }, t.MsgErrSplitNoBookmarks + " 1"},
        // No page chosen lies in the document: the run must not say it is done.
        {[&] { method(2, "4-9;12"); }, t.MsgErrSplitNothingWritten + " 3"},
        {[&] { method(3, "2", "4"); }, t.MsgErrSplitNothingWritten + " 3"},
        // Gone since it was listed.
        {[&] { std::filesystem::rename(source, work("moved.pdf")); }, t.MsgErrPageNo},
    };
    for (const auto& [spoil, message] : cases) {
        SCOPED_TRACE(message);
        list(source);
        method(1, "2");
        spoil();
        run();
        EXPECT_TRUE(shown(message)) << ::testing::PrintToString(ui.boxTexts());
        EXPECT_EQ(pieces("part"), "");
    }
}

TEST_F(SplitRunTest, PasswordsAndNothingButThePiecesIsWritten) {
    const std::string locked = work("locked.pdf");
    writeEncryptedPdf(locked, {3, "L"}, Encryption::Aes256, "user", "owner");
    // A file of the user's with the name a decrypted copy once had.
    std::ofstream(work("tmp.pdf"), std::ios::binary) << "mine";
    list(locked);
    method(1, "2");
    const Texts before = workListing();

    run();
    EXPECT_TRUE(shown("locked.pdf " + form.catalogue.MsgErrDecryptAddPassw));
    form.split_grid.setTextMatrix(1, 4, "wrong");
    run();
    EXPECT_TRUE(shown("locked.pdf " + form.catalogue.MsgErrDecryptWrPassw));
    EXPECT_EQ(workListing(), before);

    // With blanks around it.
    form.split_grid.setTextMatrix(1, 4, " user ");
    run();
    EXPECT_EQ(ui.boxTexts(), Texts{form.catalogue.MsgSplitDone});
    EXPECT_EQ(pieces("part"), "01: L1 L2; 02: L3");
    EXPECT_FALSE(isEncrypted(work("part01.pdf")));
    EXPECT_EQ(workListing(), (Texts{"locked.pdf", "part01.pdf", "part02.pdf", "tmp.pdf"}));
    EXPECT_EQ(bytesOf(work("tmp.pdf")), "mine");

    // Dropped again, the source keeps its password; another file dropped in its place is
    // not opened with it.
    writeEncryptedPdf(work("owner.pdf"), {1, "O"}, Encryption::Aes256, "", "owner");
    for (const std::string next : {"locked", "owner"}) {
        list(work(next + ".pdf"));
        form.txt_split_filename.text = "of-" + next;
        run();
        EXPECT_EQ(ui.boxTexts(), Texts{form.catalogue.MsgSplitDone}) << next;
    }
    EXPECT_EQ(pieces("of-owner"), "01: O1");
}

// What the two methods that count no pages left out is told when they are done.
TEST_F(SplitRunTest, BookmarksLeadingNowhereAndPagesLargerThanTheLimitAreTold) {
    writeRichPdf(work("marked.pdf"), {3, "M"},
                 "root << /Outlines #1 >>\n#1 << /Type /Outlines /First #2 >>\n"
                 "#2 << /Title (One) /Dest [@2 /Fit] /Next #3 >>\n#3 << /Title (Web) /A << /S "
                 "/URI /URI (https://example.org/) >> >>\n");
    list(work("marked.pdf"));
    method(5, "1");
    run();
    EXPECT_EQ(ui.boxTexts(), Texts{form.catalogue.MsgSplitBookmarksSkipped + " 1"});
    EXPECT_EQ(pieces("One"), ": M2 M3");

    TestPdfOptions options{2, "S"};
    options.sharedImage = false;
    options.ownImages = true;
    options.imageSide = 590;
    writeTestPdf(work("scan.pdf"), options);
    list(work("scan.pdf"));
    method(6, "1");
    run();
    EXPECT_EQ(ui.boxTexts(), Texts{form.catalogue.MsgSplitOversizePages + " 1, 2"});
    EXPECT_EQ(pieces("part"), "00: M1; 01: S1; 02: S2");
}

TEST_F(SplitRunTest, NoPieceMayReplaceTheSource) {
    const std::string path = pdfFile("part03.pdf", 4);
    list(path);
    const std::string before = bytesOf(path);
    method(1, "1");
    run();
    EXPECT_EQ(ui.boxTexts(), Texts{form.catalogue.MsgErrSplitOverSource + " " + path});
    // Refused before the first piece was written.
    EXPECT_EQ(workListing(), Texts{"part03.pdf"});
    EXPECT_EQ(bytesOf(path), before);

    // Fewer pieces than the source's number: nothing is in the way.
    method(2, "1-2;3-4");
    run();
    EXPECT_EQ(ui.boxTexts(), Texts{form.catalogue.MsgSplitDone});
    EXPECT_EQ(bytesOf(path), before);
    EXPECT_EQ(pieces("part"), "01: P1 P2; 02: P3 P4; 03: P1 P2 P3 P4");
}

}  // namespace
}  // namespace pagemeld::testing
