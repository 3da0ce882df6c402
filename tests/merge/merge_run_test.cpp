// The merge run: checks, passwords and decrypted copies, messages, progress, and
// what is left on disk afterwards.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/runtime_error.h"
#include "merge_fixture.h"

namespace pagemeld::testing {
namespace {

using Texts = std::vector<std::string>;

std::string contentOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class MergeRunTest : public MergeTest {
protected:
    MergeRunTest() {
        form.repaint = [this] { bar.push_back(form.mergepb.value); };
    }
    void add(const std::string& path, const std::string& password = {}) {
        form.mbut_fisier_add(path);
        form.merge_grid.setTextMatrix(form.state.mgrid_count, 4, password);
    }
    void run(const std::string& output) {
        form.moutput_file.text = output;
        ui.boxes.clear();
        pdf.calls = 0;
        bar.clear();
        form.cmd_merge_Click();
    }
    std::string encrypted(const std::string& name, const std::string& label,
                          const std::string& user, const std::string& owner) {
        writeEncryptedPdf(work(name), TestPdfOptions{2, label}, Encryption::Aes256, user, owner);
        return work(name);
    }

    std::vector<int> bar;  // mergepb at every repaint
};

TEST_F(MergeRunTest, OneFileOrAnExistingOutputStopsTheRun) {
    const std::string a = pdfFile("a.pdf", 1, "A");
    const std::string out = pdfFile("out.pdf", 1, "OLD");
    add(a);
    form.chk_merge_ovr.value = kChecked;
    run(out);
    EXPECT_EQ(ui.boxTexts(), (Texts{"Please add at least 2 PDF files to merge!"}));
    EXPECT_EQ(ui.boxes[0].style, msgbox::kExclamation);
    EXPECT_EQ(pdf.calls, 0);

    add(pdfFile("b.pdf", 1, "B"));
    form.chk_merge_ovr.value = kUnchecked;
    run(out);
    EXPECT_EQ(ui.boxTexts(),
              (Texts{"Output file aleady exists. Please select another file or check the "
                     "'Overwrite file if exists' option"}));
    EXPECT_EQ(pdf.calls, 0);
    EXPECT_EQ(pageTexts(out), (Texts{"OLD 1"}));

    form.chk_merge_ovr.value = kChecked;
    run(out);
    EXPECT_EQ(ui.boxTexts(), (Texts{"Merge process done!"}));
    EXPECT_EQ(pageTexts(out), (Texts{"A 1", "B 1"}));
}

TEST_F(MergeRunTest, EncryptedFilesAreMergedThroughCopiesThatNeverTakeAUsersFile) {
    const std::string a = encrypted("a.pdf", "A", "pa", "owner");
    const std::string b = encrypted("b.pdf", "B", "pb", "owner");
    add(a, "pa");
    add(b, "pb");
    // A file of the user's where the copy of the second input used to go.
    const std::string theirs = pdfFile("o.pdf2", 1, "MINE");
    const std::string before = contentOf(theirs);

    run(work("o.pdf"));
    EXPECT_EQ(ui.boxTexts(), (Texts{"Merge process done!"}));
    EXPECT_EQ(pageTexts(work("o.pdf")), (Texts{"A 1", "A 2", "B 1", "B 2"}));
    EXPECT_EQ(bar, (std::vector<int>{0, 23, 45, 68, 90, 100}));

    EXPECT_EQ(contentOf(theirs), before);
    EXPECT_EQ(workListing(), (Texts{"a.pdf", "b.pdf", "o.pdf", "o.pdf2"}));
}

TEST_F(MergeRunTest, PasswordsAreCheckedAndUsedWithoutSurroundingBlanks) {
    const std::string a = pdfFile("a.pdf", 1, "A");
    const std::string b = encrypted("b.pdf", "B", "pw", "owner");
    add(a);
    add(b, "  pw ");
    run(work("out.pdf"));
    EXPECT_EQ(ui.boxTexts(), (Texts{"Merge process done!"}));
    EXPECT_EQ(pageTexts(work("out.pdf")), (Texts{"A 1", "B 1", "B 2"}));
    EXPECT_EQ(column(4)[1], "  pw ");
    EXPECT_EQ(workListing(), (Texts{"a.pdf", "b.pdf", "out.pdf"}));
}

TEST_F(MergeRunTest, WrongOrMissingPasswordsSkipTheFileWithItsMessage) {
    const std::string a = pdfFile("a.pdf", 1, "A");
    const std::string b = encrypted("b.pdf", "B", "pw", "owner");
    const std::string c = encrypted("c.pdf", "C", "pw", "owner");
    const std::string d = pdfFile("d.pdf", 1, "D");
    add(a);
    add(b, "wrong");
    add(c);
    add(d);
    run(work("out.pdf"));
    EXPECT_EQ(ui.boxTexts(),
              (Texts{"Merge process failed!\nPassword for b.pdf  is incorect. PDF will be skipped."
                     "\nc.pdf  cannot be decrypted. Please add a password. PDF will be skipped."
                     "\nThe other files were merged into: " +
                     work("out.pdf")}));
    for (const auto& box : ui.boxes) EXPECT_EQ(box.style, msgbox::kExclamation);
    // The other files are merged all the same; the bar stays full.
    EXPECT_EQ(pageTexts(work("out.pdf")), (Texts{"A 1", "D 1"}));
    EXPECT_EQ(form.mergepb.value, 100);
    EXPECT_FALSE(form.tmerge_pb.enabled);
    EXPECT_EQ(workListing(), (Texts{"a.pdf", "b.pdf", "c.pdf", "d.pdf", "out.pdf"}));
}

TEST_F(MergeRunTest, AnOwnerPasswordOnlyFileIsAddedWithItsOwnPath) {
    const std::string a = pdfFile("a.pdf", 1, "A");
    const std::string b = encrypted("b.pdf", "B", "", "owner");
    add(a);
    add(b);
    run(work("out.pdf"));
    EXPECT_EQ(ui.boxTexts(), (Texts{"Merge process done!"}));
    EXPECT_EQ(pageTexts(work("out.pdf")), (Texts{"A 1", "B 1", "B 2"}));
    // One plain and one encrypted file: 22.5 + 22.5 + 22.5.
    EXPECT_EQ(bar, (std::vector<int>{0, 23, 45, 68, 100}));
}

TEST_F(MergeRunTest, AFileThatCannotBeMergedIsNamedAndTheRunFails) {
    const std::string a = pdfFile("a.pdf", 1, "A");
    writeNotPdf(work("bad.pdf"));
    const std::string c = pdfFile("c.pdf", 1, "C");
    add(a);
    add(work("bad.pdf"));
    add(c);
    run(work("out.pdf"));
    EXPECT_EQ(ui.boxTexts(), (Texts{"Merge process failed!\nError loading file " + work("bad.pdf") +
                                    "\nbad.pdf  cannot be merged. It will be skipped!\nThe other "
                                    "files were merged into: " +
                                    work("out.pdf")}));
    EXPECT_EQ(ui.boxes[0].style, msgbox::kExclamation);
    EXPECT_EQ(ui.boxes[0].title, "Ombrix Pagemeld");
    EXPECT_EQ(pageTexts(work("out.pdf")), (Texts{"A 1", "C 1"}));
    EXPECT_EQ(form.mergepb.value, 100);
    EXPECT_FALSE(form.tmerge_pb.enabled);

    // A first file left out: both first names are given, and the output that was
    // written all the same is named.
    form.mbut_rem_Click();  // c.pdf
    form.merge_grid_Click(1, 1);
    form.mbut_down_Click();  // bad.pdf, a.pdf
    form.chk_merge_ovr.value = kChecked;
    run(work("out2.pdf"));
    EXPECT_EQ(ui.boxTexts(), (Texts{"Merge process failed!\nError loading file " + work("bad.pdf") +
                                    "\nbad.pdfORa.pdf  cannot be merged. It will be skipped!\nThe "
                                    "other files were merged into: " +
                                    work("out2.pdf")}));
    EXPECT_EQ(pageTexts(work("out2.pdf")), (Texts{"A 1"}));
}

TEST_F(MergeRunTest, TheMergeMessageNamesTheFileThatFailedNotOneSkippedBefore) {
    const std::string a = pdfFile("a.pdf", 1, "A");
    const std::string b = encrypted("b.pdf", "B", "pw", "owner");
    writeNotPdf(work("bad.pdf"));
    const std::string d = pdfFile("d.pdf", 1, "D");
    add(a);
    add(b, "wrong");
    add(work("bad.pdf"));
    add(d);
    run(work("out.pdf"));
    EXPECT_EQ(ui.boxTexts(),
              (Texts{"Merge process failed!\nPassword for b.pdf  is incorect. PDF will be skipped."
                     "\nError loading file " +
                     work("bad.pdf") +
                     "\nbad.pdf  cannot be merged. It will be skipped!\nThe other files were "
                     "merged into: " +
                     work("out.pdf")}));
    EXPECT_EQ(pageTexts(work("out.pdf")), (Texts{"A 1", "D 1"}));
}

TEST_F(MergeRunTest, AnOutputThatIsAlsoAnInputIsReplacedOnlyWhenComplete) {
    const std::string a = pdfFile("a.pdf", 2, "A");
    const std::string b = pdfFile("b.pdf", 1, "B");
    add(a);
    add(b);
    form.chk_merge_ovr.value = kChecked;
    run(a);
    EXPECT_EQ(ui.boxTexts(), (Texts{"Merge process done!"}));
    EXPECT_EQ(pageTexts(a), (Texts{"A 1", "A 2", "B 1"}));
    EXPECT_EQ(pageTexts(b), (Texts{"B 1"}));
    EXPECT_TRUE(qpdfCheckClean(a));

    // A merge that yields nothing leaves an existing output as it was.
    const std::string keep = pdfFile("keep.pdf", 1, "K");
    const std::string before = contentOf(keep);
    writeNotPdf(work("bad1.pdf"));
    writeNotPdf(work("bad2.pdf"));
    while (form.state.mgrid_count > 0) form.mbut_rem_Click();
    add(work("bad1.pdf"));
    add(work("bad2.pdf"));
    run(keep);
    EXPECT_EQ(ui.boxTexts().back().rfind("Merge process failed!\n", 0), 0u);
    EXPECT_EQ(contentOf(keep), before);
    EXPECT_EQ(workListing(), (Texts{"a.pdf", "b.pdf", "bad1.pdf", "bad2.pdf", "keep.pdf"}));
}

TEST_F(MergeRunTest, ARunLeftByAnErrorLeavesNoCopyBehind) {
    const std::string a = encrypted("a.pdf", "A", "pa", "owner");
    const std::string b = pdfFile("b.pdf", 1, "B");
    add(a, "pa");
    add(b);
    // Error 20 tells the procedure to return at once: here while the second file is
    // checked, after the first one's copy was made.
    int checked = 0;
    pdf.onEncryptionStatus = [&] {
        if (++checked == 2) throw RuntimeError(20, "Resume without error");
    };
    run(work("out.pdf"));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "Attention!");
    EXPECT_NE(ui.boxes[0].text.find("cmd_merge_Click"), std::string::npos);
    EXPECT_NE(ui.boxes[0].text.find("Form1"), std::string::npos);
    EXPECT_EQ(workListing(), (Texts{"a.pdf", "b.pdf"}));
    EXPECT_EQ(pdf.documentCount(), 0u);
}

TEST_F(MergeRunTest, ACopyThatCannotBeMadeSkipsTheFile) {
    const std::string a = pdfFile("a.pdf", 1, "A");
    const std::string b = encrypted("b.pdf", "B", "pw", "owner");
    add(a);
    add(b, "pw");
    // The output's folder does not exist: no copy can be put beside it.
    run(work("missing/out.pdf"));
    const Texts boxes = ui.boxTexts();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(
        boxes[0].rfind("Merge process failed!\nb.pdf  cannot be decrypted. PDF will be skiped.", 0),
        0u);
    EXPECT_EQ(workListing(), (Texts{"a.pdf", "b.pdf"}));
}

TEST_F(MergeRunTest, AnOutputThatCannotBeWrittenIsNamedInsteadOfAnInput) {
    add(pdfFile("a.pdf", 1, "A"));
    add(pdfFile("b.pdf", 1, "B"));
    const std::string output = work("missing/out.pdf");
    run(output);
    EXPECT_EQ(ui.boxTexts(),
              (Texts{"Merge process failed!\nThis output file could not be written. The merge "
                     "process was stopped: " +
                     output + "\r\nThe folder does not exist."}));
    EXPECT_EQ(workListing(), (Texts{"a.pdf", "b.pdf"}));
}

}  // namespace
}  // namespace pagemeld::testing
