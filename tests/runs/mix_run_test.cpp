// The mix run driven by requests on generated PDFs: which pages every output joins,
// what ends a mix before it writes (a document it cannot use, a start beyond the end,
// an output over a document), and Cancel.
#include "runs/mix_run.h"

#include "base/runtime_error.h"
#include "runs/document_information.h"
#include "runs/run_harness.h"

namespace pagemeld::testing {
namespace {

// How a document is read: "Every group of" n pages, or "Each" n-th page, from a start.
MixDocumentPlan group(int n, int start) {
    return mixDocumentPlan(true, n, n, start);
}
MixDocumentPlan each(int n, int start) {
    return mixDocumentPlan(false, n, n, start);
}
MixDocumentPlan backwards(MixDocumentPlan plan) {
    plan.backwards = true;
    return plan;
}

class MixRun : public RunHarness {
protected:
    MixResult run(MixDocumentPlan first, MixDocumentPlan second) {
        const MixRequest request{
            {InputFile{work("a.pdf"), password}, InputFile{work(secondName), ""}},
            {first, second},
            work(""),
            "mix",
            kPageLimit,
            ExistingFiles::Ask,
            outputInformation(),
            oneFile.empty() ? "" : work(oneFile)};
        return runMix(request, pdf, reporter, trap);
    }
    std::string oneFile;
    std::string password;  // the first document's
    std::string secondName = "b.pdf";
};

struct MixCase {
    const char* name;
    int pages1;
    MixDocumentPlan first;
    int pages2;
    MixDocumentPlan second;
    const char* outputs;
    bool pagesIgnored;
    friend void PrintTo(const MixCase& c, std::ostream* os) { *os << c.name; }
};

class MixMethods : public MixRun, public ::testing::WithParamInterface<MixCase> {};

TEST_P(MixMethods, JoinThePagesOfBothDocuments) {
    const MixCase& c = GetParam();
    pdfFile("a.pdf", c.pages1, "A");
    pdfFile("b.pdf", c.pages2, "B");
    const MixResult result = run(c.first, c.second);
    EXPECT_EQ(pieces("mix"), c.outputs);
    EXPECT_EQ(result.pagesIgnored, c.pagesIgnored);
    EXPECT_EQ(result.maxPage, std::min(c.pages1, kPageLimit));
    EXPECT_TRUE(qpdfCheckClean(result.written.front()));
}

// The second document starts over at its start page when it runs out; its pages after
// 999 are beyond what a mix takes.
const MixCase kMixes[] = {
    {"GroupsWithOneSheet", 7, group(3, 1), 1, each(1, 1),
     "01: A1 A2 A3 B1; 02: A4 A5 A6 B1; 03: A7 B1", false},
    {"GroupsFromALaterPage", 7, group(3, 2), 1, each(1, 1), "01: A2 A3 A4 B1; 02: A5 A6 A7 B1",
     false},
    {"EachSecondPageWithAWholeDocument", 5, each(2, 1), 2, group(3, 1),
     "01: A1 B1 B2; 02: A3 B1 B2; 03: A5 B1 B2", false},
    {"SecondStartsOver", 5, each(1, 1), 4, group(2, 2),
     "01: A1 B2 B3; 02: A2 B4; 03: A3 B2 B3; 04: A4 B4; 05: A5 B2 B3", false},
    {"PagesBeyondTheLimit", 3, each(1, 1), 1001, each(1, 998), "01: A1 B998; 02: A2 B999", true},
    // A duplex scan: the backs come last page first.
    {"SecondReadBackwards", 3, group(1, 1), 3, backwards(group(1, 1)),
     "01: A1 B3; 02: A2 B2; 03: A3 B1", false},
    {"BackwardsDownToItsStartThenOver", 5, group(2, 1), 5, backwards(group(2, 2)),
     "01: A1 A2 B5 B4; 02: A3 A4 B3 B2; 03: A5 B5 B4", false},
    {"FirstReadBackwardsEachSecondPage", 5, backwards(each(2, 1)), 1, each(1, 1),
     "01: A5 B1; 02: A3 B1; 03: A1 B1", false},
    {"BackwardsFromTheLimit", 1000, backwards(each(500, 1)), 1, each(1, 1),
     "01: A999 B1; 02: A499 B1", true},
};
INSTANTIATE_TEST_SUITE_P(Methods, MixMethods, ::testing::ValuesIn(kMixes),
                         [](const auto& info) { return std::string(info.param.name); });

// What ends a mix before its first output: each case writes nothing and leaves the
// documents as they were.
TEST_F(MixRun, WhatEndsAMixBeforeItWritesAnything) {
    writeEncryptedPdf(work("a.pdf"), {3, "A"}, Encryption::Aes256, "secret", "owner");
    pdfFile("b.pdf", 1, "B");
    EXPECT_EQ(run(group(1, 1), group(1, 1)).inputs[0].fate, InputFate::NeedsPassword);
    password = "wrong";
    EXPECT_EQ(run(group(1, 1), group(1, 1)).inputs[0].fate, InputFate::WrongPassword);
    password = "secret";
    EXPECT_EQ(run(group(1, 4), group(1, 1)).startBeyond, 0u);
    EXPECT_EQ(run(group(1, 1), group(1, 2)).startBeyond, 1u);
    // A document named as an output.
    secondName = "mix02.pdf";
    pdfFile(secondName, 1, "S");
    EXPECT_EQ(run(group(1, 1), group(1, 1)).clash, work("mix02.pdf"));
    // Files already there are replaced only when the user says so.
    secondName = "b.pdf";
    pdfFile("mix01.pdf", 1, "Old");
    reporter.answers = {false};
    EXPECT_TRUE(run(group(1, 1), group(1, 1)).replaceRefused);
    EXPECT_EQ(reporter.questions, Texts{work("") + " 2"});
    secondName = "gone.pdf";
    EXPECT_EQ(run(group(1, 1), group(1, 1)).inputs[1].failure.code, errcode::kFileNotFound);
    EXPECT_EQ(workListing(), (Texts{"a.pdf", "b.pdf", "mix01.pdf", "mix02.pdf"}));
    EXPECT_EQ(pieces("mix"), "01: Old1; 02: S1");
}

// Protected documents are read with their password; the outputs are open and nothing
// but them appears. Cancel stops between passes and keeps what was written.
TEST_F(MixRun, PasswordsOpenTheDocumentAndCancelKeepsWhatWasWritten) {
    writeEncryptedPdf(work("a.pdf"), {3, "A"}, Encryption::Aes256, "secret", "owner");
    writeEncryptedPdf(work("b.pdf"), {1, "B"}, Encryption::Rc4_128, "", "owner");
    reporter.cancelAfter = 2;
    password = "secret";
    const MixResult result = run(group(1, 1), group(1, 1));
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(pieces("mix"), "01: A1 B1; 02: A2 B1");
    EXPECT_FALSE(isEncrypted(work("mix01.pdf")));
    EXPECT_EQ(workListing(), (Texts{"a.pdf", "b.pdf", "mix01.pdf", "mix02.pdf"}));
}

// Every pass into one file, in order: the duplex scan put together. The file is a
// document's or already there like any output.
TEST_F(MixRun, OneFileHoldsEveryPassInOrder) {
    pdfFile("a.pdf", 3, "A");
    pdfFile("b.pdf", 3, "B");
    oneFile = "output.pdf";
    const MixResult result = run(group(1, 1), backwards(group(1, 1)));
    EXPECT_EQ(result.written, Texts{work("output.pdf")});
    EXPECT_EQ(pageTexts(work("output.pdf")), (Texts{"A 1", "B 3", "A 2", "B 2", "A 3", "B 1"}));
    EXPECT_TRUE(qpdfCheckClean(work("output.pdf")));
    reporter.answers = {false};
    EXPECT_TRUE(run(group(2, 1), group(1, 1)).replaceRefused);
    EXPECT_EQ(reporter.questions, Texts{work("output.pdf") + " 1"});
    oneFile = "b.pdf";
    EXPECT_EQ(run(group(1, 1), group(1, 1)).clash, work("b.pdf"));
    EXPECT_EQ(workListing(), (Texts{"a.pdf", "b.pdf", "output.pdf"}));
    EXPECT_EQ(pageCount(work("output.pdf")), 6);
}

// Only hundreds of outputs reach a pass cut at the page limit: the second document then
// starts over, with whole pairs again.
TEST(MixPlan, APassCutAtTheLimitDoesNotShortenLaterOnes) {
    const MixPlanResult plan = planMix(kPageLimit, kPageLimit, {1, 1, 1}, {2, 2, 1});
    ASSERT_EQ(plan.passes.size(), static_cast<std::size_t>(kPageLimit));
    const std::size_t cut = (kPageLimit - 1) / 2;
    EXPECT_EQ(plan.passes[cut].second, (PageRun{kPageLimit, 1}));
    EXPECT_EQ(plan.passes[cut + 1].second, (PageRun{1, 2}));
}

}  // namespace
}  // namespace pagemeld::testing
