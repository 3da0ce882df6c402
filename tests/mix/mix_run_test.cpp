// The mix run on generated PDFs: outputs checked by their pages' texts.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "mix_fixture.h"

namespace pagemeld::testing {
namespace {

namespace fs = std::filesystem;

TEST_F(MixTest, RefusalsBeforeAnythingIsTouched) {
    form.xbut_fisier_add(pdfFile("report.pdf", 2, "A"));
    const int callsBefore = pdf.calls;
    form.cmd_mix_run_Click();
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Please add at 2 PDF files to mix!"});
    EXPECT_EQ(ui.boxes.back().style, 48);

    form.xbut_fisier_add(pdfFile("sheet.pdf", 1, "B"));
    const int callsListed = pdf.calls;
    EXPECT_GT(callsListed, callsBefore);
    form.txt_mix_filename.text = "re?port";
    form.cmd_mix_run_Click();
    EXPECT_EQ(ui.boxes.back().text, "Output filename contains invalid characters!");
    EXPECT_EQ(ui.boxes.back().style, 48);

    form.txt_mix_filename.text = "report";
    form.txt_mix_dest.text = "";
    form.cmd_mix_run_Click();
    EXPECT_EQ(ui.boxes.back().text, "Please select a destination folder!");
    EXPECT_EQ(ui.boxes.back().style, 16);

    EXPECT_EQ(ui.boxes.size(), 3u);
    EXPECT_EQ(pdf.calls, callsListed);
    EXPECT_EQ(workListing(), (std::vector<std::string>{"report.pdf", "sheet.pdf"}));
}

TEST_F(MixTest, StartPageBeyondADocumentIsToldAndWritesNothing) {
    listTwo(7, 1);
    form.r_mix1_method1_e2.text = "8";
    form.cmd_mix_run_Click();
    EXPECT_EQ(boxTexts(),
              std::vector<std::string>{"The start page lies beyond the last page of this document: "
                                       "report.pdf"});
    EXPECT_EQ(ui.boxes[0].style, 48);

    form.r_mix1_method1_e2.text = "1";
    form.r_mix2_method1_e2.text = "2";
    ui.boxes.clear();
    form.cmd_mix_run_Click();
    EXPECT_EQ(boxTexts(),
              std::vector<std::string>{"The start page lies beyond the last page of this document: "
                                       "sheet.pdf"});
    EXPECT_EQ(workListing(), (std::vector<std::string>{"report.pdf", "sheet.pdf"}));
    EXPECT_EQ(form.mixpb.value, 0);
    EXPECT_FALSE(form.tmix_pb.enabled);
}

TEST_F(MixTest, EncryptedDocumentsWithRightWrongAndNoPassword) {
    writeEncryptedPdf(work("report.pdf"), {3, "A"}, Encryption::Aes256, "secret", "owner");
    form.xbut_fisier_add(work("report.pdf"));
    // Opens without a password: only an owner password is set.
    writeEncryptedPdf(work("sheet.pdf"), {1, "B"}, Encryption::Rc4_128, "", "owner");
    form.xbut_fisier_add(work("sheet.pdf"));
    ui.boxes.clear();
    const std::vector<std::string> inputs = {"report.pdf", "sheet.pdf"};
    groups(2, 1);

    // No password for a document that needs one.
    form.cmd_mix_run_Click();
    EXPECT_EQ(boxTexts(), std::vector<std::string>{
                              "report.pdf  cannot be decrypted. Please add a password. PDF will "
                              "be skipped."});
    EXPECT_EQ(workListing(), inputs);

    // A wrong one.
    form.mix_grid.setTextMatrix(1, 4, "wrong");
    ui.boxes.clear();
    form.cmd_mix_run_Click();
    EXPECT_EQ(boxTexts(), std::vector<std::string>{
                              "Password for report.pdf  is incorect. PDF will be skipped."});
    EXPECT_FALSE(saidDone());
    EXPECT_EQ(workListing(), inputs);

    // The right one, with blanks around it: the outputs hold the pages, unprotected,
    // and no decrypted copy is ever written.
    form.mix_grid.setTextMatrix(1, 4, " secret ");
    ui.boxes.clear();
    form.cmd_mix_run_Click();
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Mix process done!"});
    EXPECT_EQ(pageTexts(work("report01.pdf")), (std::vector<std::string>{"A 1", "A 2", "B 1"}));
    EXPECT_EQ(pageTexts(work("report02.pdf")), (std::vector<std::string>{"A 3", "B 1"}));
    EXPECT_FALSE(isEncrypted(work("report01.pdf")));
    EXPECT_EQ(pdf.decryptFileCalls, 0);
    EXPECT_EQ(workListing(), (std::vector<std::string>{"report.pdf", "report01.pdf", "report02.pdf",
                                                       "sheet.pdf"}));
}

TEST_F(MixTest, AFailedMergeKeepsEarlierOutputsAndSaysSo) {
    listTwo(6, 1);
    groups(2, 1);
    pdf.failMergeOn = 2;
    form.cmd_mix_run_Click();
    EXPECT_EQ(boxTexts(),
              std::vector<std::string>{
                  "There was an error during the mix process. The pieces cannot be merged!"});
    EXPECT_EQ(ui.boxes[0].style, 48);
    EXPECT_EQ(pageTexts(work("report01.pdf")), (std::vector<std::string>{"A 1", "A 2", "B 1"}));
    EXPECT_EQ(workListing(), (std::vector<std::string>{"report.pdf", "report01.pdf", "sheet.pdf"}));
    EXPECT_FALSE(form.tmix_pb.enabled);
}

TEST_F(MixTest, AnOutputThatCannotBeWrittenStopsTheRunNamingIt) {
    listTwo(6, 1);
    groups(2, 1);
    pdf.failSaveOn = 2;
    form.cmd_mix_run_Click();
    EXPECT_EQ(boxTexts(),
              std::vector<std::string>{"This output file could not be written. The mix process was "
                                       "stopped: " +
                                       work("report02.pdf")});
    EXPECT_EQ(pdf.saves, 2);
    EXPECT_TRUE(fs::exists(work("report01.pdf")));
    EXPECT_FALSE(fs::exists(work("report02.pdf")));

    // A destination folder that does not exist: the real engine's own failure.
    pdf.failSaveOn = 0;
    const std::string missing = (dir.path() / "missing").string() + kSep;
    form.txt_mix_dest.text = missing;
    ui.boxes.clear();
    form.cmd_mix_run_Click();
    EXPECT_EQ(boxTexts(),
              std::vector<std::string>{"This output file could not be written. The mix process was "
                                       "stopped: " +
                                       missing + "report01.pdf\r\nThe folder does not exist."});
    EXPECT_FALSE(fs::exists(dir.path() / "missing"));
}

TEST_F(MixTest, OutputsNeverReplaceAnInput) {
    form.xbut_fisier_add(pdfFile("x.pdf", 2, "A"));
    form.xbut_fisier_add(pdfFile("x02.pdf", 1, "B"));
    groups(1, 1);
    form.cmd_mix_run_Click();
    EXPECT_EQ(boxTexts(),
              std::vector<std::string>{"This output file could not be written. The mix process was "
                                       "stopped: " +
                                       work("x02.pdf")});
    EXPECT_EQ(pageTexts(work("x02.pdf")), (std::vector<std::string>{"B 1"}));
    EXPECT_EQ(workListing(), (std::vector<std::string>{"x.pdf", "x02.pdf"}));
}

TEST_F(MixTest, PagesBeyondTheLimitAreIgnoredAndTheNextRunStartsAfresh) {
    listTwo(3, 1001);
    groups(1, 1);
    form.r_mix2_method1_e2.text = "998";
    form.cmd_mix_run_Click();
    EXPECT_EQ(boxTexts(), std::vector<std::string>{
                              "Mix process done! Pages with pagenumber above  3  were ignored "
                              "because it exceeds document total page number!"});
    EXPECT_EQ(ui.boxes[0].style, 64);
    // Pages 998 and 999 of the second document; its next page would be 1000, above
    // the limit, so the passes end there.
    EXPECT_EQ(pageTexts(work("report01.pdf")), (std::vector<std::string>{"A 1", "B 998"}));
    EXPECT_EQ(pageTexts(work("report02.pdf")), (std::vector<std::string>{"A 2", "B 999"}));
    EXPECT_FALSE(fs::exists(work("report03.pdf")));

    // The second document replaced by a short one: nothing is ignored now.
    form.x_but_rem_Click();
    form.xbut_fisier_add(pdfFile("short.pdf", 2, "C"));
    form.r_mix2_method1_e2.text = "1";
    ui.boxes.clear();
    ui.boxAnswers.push_back(msgbox::kAnswerYes);  // over the first run's files
    form.cmd_mix_run_Click();
    EXPECT_EQ(boxTexts().back(), "Mix process done!");
    EXPECT_FALSE(form.state.pages_ignored);
    EXPECT_EQ(pageTexts(work("report03.pdf")), (std::vector<std::string>{"A 3", "C 1"}));
}

}  // namespace
}  // namespace pagemeld::testing

namespace pagemeld::testing {
namespace {

TEST_F(MixTest, ADocumentThatCannotBeLoadedEndsTheRun) {
    form.xbut_fisier_add(pdfFile("report.pdf", 2, "A"));
    writeNotPdf(work("bad.pdf"));
    form.xbut_fisier_add(work("bad.pdf"));
    ui.boxes.clear();
    form.cmd_mix_run_Click();
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Error loading file " + work("bad.pdf")});
    EXPECT_EQ(workListing(), (std::vector<std::string>{"bad.pdf", "report.pdf"}));
    EXPECT_EQ(form.mixpb.value, 0);
}

}  // namespace
}  // namespace pagemeld::testing
