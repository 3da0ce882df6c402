// The mix run through the window model on generated PDFs: which pages every output
// joins, refusals (no output over an input among them), and passwords.
#include <functional>

#include "mix/mix_plan.h"
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

struct MixCase {
    const char* name;
    int pages1;
    bool group1;
    int n1, start1, pages2;
    bool group2;
    int n2, start2;
    const char* outputs;
    bool pagesIgnored;
    friend void PrintTo(const MixCase& c, std::ostream* os) { *os << c.name; }
};

class MixMethods : public MixTest, public ::testing::WithParamInterface<MixCase> {};

TEST_P(MixMethods, JoinThePagesOfBothDocuments) {
    const MixCase& c = GetParam();
    listTwo(c.pages1, c.pages2);
    read(0, c.group1, c.n1, c.start1);
    read(1, c.group2, c.n2, c.start2);
    run();
    const Catalogue& t = form.catalogue;
    EXPECT_EQ(ui.boxTexts(),
              Texts{c.pagesIgnored ? t.MsgErrMixAboveMax1 + " " + std::to_string(c.pages1) + " " +
                                         t.MsgErrMixAboveMax2
                                   : t.MsgMixDone});
    EXPECT_EQ(pieces("mix"), c.outputs);
}

// The second document starts over at its start page when it runs out; its pages after
// 999 are beyond what a mix takes.
const MixCase kMixes[] = {
    {"GroupsWithOneSheet", 7, kGroup, 3, 1, 1, kEach, 1, 1,
     "01: A1 A2 A3 B1; 02: A4 A5 A6 B1; 03: A7 B1", false},
    {"GroupsFromALaterPage", 7, kGroup, 3, 2, 1, kEach, 1, 1, "01: A2 A3 A4 B1; 02: A5 A6 A7 B1",
     false},
    {"EachSecondPageWithAWholeDocument", 5, kEach, 2, 1, 2, kGroup, 3, 1,
     "01: A1 B1 B2; 02: A3 B1 B2; 03: A5 B1 B2", false},
    {"SecondStartsOver", 5, kEach, 1, 1, 4, kGroup, 2, 2,
     "01: A1 B2 B3; 02: A2 B4; 03: A3 B2 B3; 04: A4 B4; 05: A5 B2 B3", false},
    {"PagesBeyondTheLimit", 3, kEach, 1, 1, 1001, kEach, 1, 998, "01: A1 B998; 02: A2 B999", true},
};
INSTANTIATE_TEST_SUITE_P(Methods, MixMethods, ::testing::ValuesIn(kMixes),
                         [](const auto& info) { return std::string(info.param.name); });

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

    // With blanks around it; the outputs are unprotected and no decrypted copy is left.
    form.mix_grid.setTextMatrix(1, 4, " secret ");
    run();
    EXPECT_EQ(ui.boxTexts(), Texts{form.catalogue.MsgMixDone});
    EXPECT_EQ(pieces("mix"), "01: A1 A2 B1; 02: A3 B1");
    EXPECT_FALSE(isEncrypted(work("mix01.pdf")));
    EXPECT_EQ(workListing(), (Texts{"a.pdf", "b.pdf", "mix01.pdf", "mix02.pdf"}));
}

// Only hundreds of outputs reach a pass cut at the page limit: the second document then
// starts over, with whole pairs again.
TEST(MixPlan, APassCutAtTheLimitDoesNotShortenLaterOnes) {
    const MixPlanResult plan = planMix(kMixPageLimit, kMixPageLimit, {1, 1, 1}, {2, 2, 1});
    ASSERT_EQ(plan.passes.size(), static_cast<std::size_t>(kMixPageLimit));
    const std::size_t cut = (kMixPageLimit - 1) / 2;
    EXPECT_EQ(plan.passes[cut].second, (PageRun{kMixPageLimit, 1}));
    EXPECT_EQ(plan.passes[cut + 1].second, (PageRun{1, 2}));
}

}  // namespace
}  // namespace pagemeld::testing
