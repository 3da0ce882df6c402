// The mix as the window's handler starts and tells it: refusals of what was typed, and
// each way a mix ends in the tab's words.
#include <functional>

#include "pdf/qpdf_engine.h"
#include "support/form_harness.h"

namespace pagemeld::testing {
namespace {

// How a document is read: "Every group of" n pages, or "Each" n-th page.
constexpr bool kGroup = true;
constexpr bool kEach = false;

class MixTest : public ::testing::Test, protected FormHarness<QpdfEngine> {
protected:
    MixTest() { form.Form_Load(""); }

    void listTwo(int pages1, int pages2) {
        form.xbut_fisier_add(pdfFile("a.pdf", pages1, "A"));
        form.xbut_fisier_add(pdfFile("b.pdf", pages2, "B"));
        form.txt_mix_filename.text = "mix";
    }
    // Document d (0 or 1) read by groups or each n-th page, from page `start`.
    void read(int d, bool everyGroup, int n, int start) {
        Form1& f = form;
        (d == 0 ? f.r_mix1_method1 : f.r_mix2_method1).value = everyGroup;
        (d == 0 ? f.r_mix1_method2 : f.r_mix2_method2).value = !everyGroup;
        TextBox* boxes[2][2][2] = {{{&f.r_mix1_method2_e1, &f.r_mix1_method2_e2},
                                    {&f.r_mix1_method1_e1, &f.r_mix1_method1_e2}},
                                   {{&f.r_mix2_method2_e1, &f.r_mix2_method2_e2},
                                    {&f.r_mix2_method1_e1, &f.r_mix2_method1_e2}}};
        boxes[d][everyGroup][0]->text = std::to_string(n);
        boxes[d][everyGroup][1]->text = std::to_string(start);
    }
    void run() {
        ui.boxes.clear();
        form.cmd_mix_run_Click();
    }
};

TEST_F(MixTest, RefusalsComeBeforeAnythingIsWritten) {
    form.xbut_fisier_add(pdfFile("a.pdf", 2, "A"));
    run();
    EXPECT_TRUE(shown(form.catalogue.MsgErrMixAdd2files));

    // The second document has the name of the first output of base name "a".
    const std::string second = pdfFile("a01.pdf", 1, "B");
    form.xbut_fisier_add(second);
    const std::string before = bytesOf(second);
    const Catalogue& t = form.catalogue;
    const std::vector<std::pair<std::function<void()>, std::string>> cases = {
        {[&] { form.txt_mix_filename.text = "re?port"; }, t.MsgOutputFileInvalidChar},
        {[&] { form.txt_mix_dest.text = ""; }, t.MsgSelectDestFolder},
        {[&] { form.r_mix2_method1_e1.text = "0"; }, t.MsgErrMixNumberField},
        {[&] { read(0, kGroup, 1, 3); }, t.MsgErrMixStartBeyond + " a.pdf"},
        {[&] { read(1, kEach, 1, 2); }, t.MsgErrMixStartBeyond + " a01.pdf"},
        {[&] { form.txt_mix_filename.text = "a"; }, t.MsgErrMixSave + " " + second},
    };
    const std::string destination = form.txt_mix_dest.text;
    for (const auto& [spoil, message] : cases) {
        SCOPED_TRACE(message);
        form.txt_mix_filename.text = "mix";
        form.txt_mix_dest.text = destination;
        read(0, kGroup, 1, 1);
        read(1, kGroup, 1, 1);
        spoil();
        run();
        EXPECT_TRUE(shown(message)) << ::testing::PrintToString(ui.boxTexts());
        EXPECT_EQ(workListing(), (Texts{"a.pdf", "a01.pdf"}));
        EXPECT_EQ(bytesOf(second), before);
    }

    // A document that cannot be loaded ends the run naming it.
    writeNotPdf(work("bad.pdf"));
    form.x_but_rem_Click();
    form.xbut_fisier_add(work("bad.pdf"));
    run();
    EXPECT_TRUE(shown(work("bad.pdf")));
    EXPECT_EQ(workListing(), (Texts{"a.pdf", "a01.pdf", "bad.pdf"}));
}

TEST_F(MixTest, PasswordsRightWrongMissingAndOwnerOnly) {
    writeEncryptedPdf(work("a.pdf"), {3, "A"}, Encryption::Aes256, "secret", "owner");
    writeEncryptedPdf(work("b.pdf"), {1, "B"}, Encryption::Rc4_128, "", "owner");
    form.xbut_fisier_add(work("a.pdf"));
    form.xbut_fisier_add(work("b.pdf"));
    form.txt_mix_filename.text = "mix";
    read(0, kGroup, 2, 1);

    run();
    EXPECT_TRUE(shown("a.pdf " + form.catalogue.MsgErrDecryptAddPassw));
    form.mix_grid.setTextMatrix(1, 4, "wrong");
    run();
    EXPECT_TRUE(shown("a.pdf " + form.catalogue.MsgErrDecryptWrPassw));
    EXPECT_EQ(workListing(), (Texts{"a.pdf", "b.pdf"}));

    // With blanks around it; the outputs are unprotected and nothing else is written.
    form.mix_grid.setTextMatrix(1, 4, " secret ");
    run();
    EXPECT_EQ(ui.boxTexts(), Texts{form.catalogue.MsgMixDone});
    EXPECT_EQ(pieces("mix"), "01: A1 A2 B1; 02: A3 B1");
    EXPECT_FALSE(isEncrypted(work("mix01.pdf")));
    EXPECT_EQ(workListing(), (Texts{"a.pdf", "b.pdf", "mix01.pdf", "mix02.pdf"}));
}

}  // namespace
}  // namespace pagemeld::testing
