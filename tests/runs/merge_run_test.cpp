// The merge run driven by requests on generated PDFs: every input's fate, the output
// written only when complete (over an input, too, when the request allows it), the
// progress a list of plain or protected files reaches, Cancel and the error handler.
#include "runs/merge_run.h"

#include "base/runtime_error.h"
#include "runs/page_choice.h"
#include "runs/run_harness.h"

namespace pagemeld::testing {
namespace {

using Fates = std::vector<InputFate>;
constexpr auto kUsed = InputFate::Used;

class MergeRun : public RunHarness {
protected:
    MergeRun() {
        writeTestPdf(work("a.pdf"), {2, "A", true, 64, {{"Title", "First"}}});
        pdfFile("b.pdf", 1, "B");
        writeNotPdf(work("bad.pdf"));
        writeEncryptedPdf(work("locked.pdf"), {1, "L"}, Encryption::Aes128, "u", "o");
    }
    // The inputs by name, with a password after a ":" or a page choice after a "#".
    MergeResult run(const Texts& names, const std::string& output = "out.pdf",
                    bool outputMayBeAnInput = true) {
        MergeRequest request;
        for (const std::string& name : names) {
            const auto hash = name.find('#');
            const std::string file = name.substr(0, hash);
            const auto colon = file.find(':');
            request.inputs.push_back({work(file.substr(0, colon)),
                                      colon == std::string::npos ? "" : file.substr(colon + 1),
                                      hash == std::string::npos ? "" : name.substr(hash + 1)});
        }
        request.bookmarkEach = bookmarkEach;
        request.blankAfterOdd = blankAfterOdd;
        request.output = work(output);
        request.outputMayBeAnInput = outputMayBeAnInput;
        return runMerge(request, pdf, reporter, trap);
    }
    bool bookmarkEach = false;
    bool blankAfterOdd = false;
    static Fates fates(const MergeResult& result) {
        Fates all;
        for (const InputOutcome& input : result.inputs) all.push_back(input.fate);
        return all;
    }
};

TEST_F(MergeRun, EveryInputIsMergedOrLeftOutWithItsReason) {
    struct Case {
        const char* what;
        Texts inputs;
        Fates fates;
        Texts pages;  // none: no output written
        const char* output = "out.pdf";
    } cases[] = {
        {"in list order", {"b.pdf", "a.pdf"}, {kUsed, kUsed}, {"B 1", "A 1", "A 2"}},
        {"what cannot be read is left out",
         {"a.pdf", "bad.pdf", "locked.pdf", "locked.pdf:wrong", "locked.pdf:u", "notes.txt",
          "b.pdf"},
         {kUsed, InputFate::NotLoaded, InputFate::NeedsPassword, InputFate::WrongPassword, kUsed,
          InputFate::NotPdfName, kUsed},
         {"A 1", "A 2", "L 1", "B 1"}},
        {"nothing to merge",
         {"bad.pdf", "gone.pdf"},
         {InputFate::NotLoaded, InputFate::NotLoaded},
         {}},
        {"over an input", {"a.pdf", "b.pdf"}, {kUsed, kUsed}, {"A 1", "A 2", "B 1"}, "a.pdf"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(work("out.pdf"));
        const MergeResult result = run(c.inputs, c.output);
        EXPECT_EQ(fates(result), c.fates);
        EXPECT_EQ(result.complete(), c.fates == Fates(c.fates.size(), kUsed));
        EXPECT_EQ(result.written.empty(), c.pages.empty());
        if (c.pages.empty()) continue;
        EXPECT_EQ(pageTexts(work(c.output)), c.pages);
        EXPECT_TRUE(qpdfCheckClean(work(c.output)));
        EXPECT_EQ(infoEntries(work(c.output))["Title"], c.inputs[0] == "a.pdf" ? "First" : "");
    }
    const MergeResult nothing = run({"bad.pdf", "gone.pdf"});
    EXPECT_EQ(nothing.inputs[0].failure.code, errcode::kInvalidFileFormat);
    EXPECT_EQ(nothing.inputs[1].failure.code, errcode::kFileNotFound);
    EXPECT_EQ(workListing(), (Texts{"a.pdf", "b.pdf", "bad.pdf", "locked.pdf"}));
}

// Chosen pages of each file, in the order and as often as chosen; a blank page after a
// file of an odd page count when another file's pages follow; a bookmark per file.
TEST_F(MergeRun, ChosenPagesBlankPagesAndABookmarkForEachFile) {
    pdfFile("c.pdf", 3, "C");
    struct Case {
        const char* what;
        Texts inputs;
        Fates fates;
        Texts pages;
        bool blank = false;
    } cases[] = {
        {"pages chosen",
         {"a.pdf#2-1", "c.pdf# 3- ", "c.pdf#1,,1", "b.pdf# "},
         {kUsed, kUsed, kUsed, kUsed},
         {"A 2", "A 1", "C 3", "C 1", "C 1", "B 1"}},
        {"a file none of whose chosen pages it has",
         {"a.pdf#3-", "b.pdf", "c.pdf#9,2"},
         {InputFate::NoChosenPages, kUsed, kUsed},
         {"B 1", "C 2"}},
        {"blank after odd files, not after the last",
         {"b.pdf", "a.pdf", "c.pdf#2-3", "c.pdf"},
         {kUsed, kUsed, kUsed, kUsed},
         {"B 1", "", "A 1", "A 2", "C 2", "C 3", "C 1", "C 2", "C 3"},
         true},
        {"a blank goes before the next file merged",
         {"b.pdf", "bad.pdf", "a.pdf", "c.pdf#1", "bad.pdf"},
         {kUsed, InputFate::NotLoaded, kUsed, kUsed, InputFate::NotLoaded},
         {"B 1", "", "A 1", "A 2", "C 1"},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        blankAfterOdd = c.blank;
        const MergeResult result = run(c.inputs);
        EXPECT_EQ(fates(result), c.fates);
        EXPECT_EQ(pageTexts(work("out.pdf")), c.pages);
        EXPECT_TRUE(qpdfCheckClean(work("out.pdf")));
    }

    // The blank page takes the size and turn of the page before it.
    writeRichPdf(work("small.pdf"), {1, "S"}, "@1 << /MediaBox [0 0 200 300] /Rotate 90 >>");
    blankAfterOdd = true;
    run({"small.pdf", "b.pdf"});
    EXPECT_EQ(pageBoxes(work("out.pdf"))[1], pageBoxes(work("small.pdf"))[0]);
    EXPECT_NE(pageBoxes(work("out.pdf"))[1], pageBoxes(work("b.pdf"))[0]);

    const MergeResult refused = run({"a.pdf", "b.pdf#2,x-1"});
    EXPECT_EQ(refused.refusal, MergeRefusal::UnclearPages);
    EXPECT_EQ(refused.unclearInput, 1u);
    EXPECT_EQ(refused.unclearItem, "x-1");

    // The second file's bookmark leads past the blank page.
    bookmarkEach = true;
    pdfFile("my scan.PDF", 1, "S");
    ASSERT_TRUE(run({"a.pdf#2", "my scan.PDF"}).complete());
    EXPECT_EQ(bookmarks(work("out.pdf")), (Texts{"a -> 1", "my scan -> 3"}));
}

// A choice is refused for the first item it cannot read, quoted as typed.
TEST(PageChoice, TheFirstItemNotUnderstoodIsQuoted) {
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"", std::nullopt},      {"1-4, 6 ,8-", std::nullopt},
        {"3-1,,", std::nullopt}, {"2, -3", "-3"},
        {"1-2-3", "1-2-3"},      {"0", "0"},
        {"5;6", "5;6"},          {"1,a,b", "a"},
        {"8 -", std::nullopt},   {"--", "--"},
    };
    for (const auto& [choice, item] : cases)
        EXPECT_EQ(unclearPageChoiceItem(choice), item) << choice;
    EXPECT_EQ(chosenPages("2-,1", 3), (std::vector<std::int32_t>{2, 3, 1}));
}

// A refused request, or an output that cannot be made, leaves every file as it was; the
// inputs are still looked at, so that what would have become of each is known.
TEST_F(MergeRun, RefusedOrUnwritableOutputsLeaveEverythingAsItWas) {
    const std::string before = bytesOf(work("a.pdf"));
    MergeRequest request;
    request.inputs = {{work("b.pdf"), ""}, {work("locked.pdf"), ""}};
    request.output = work("a.pdf");
    request.existing = ExistingFiles::Refuse;
    EXPECT_EQ(runMerge(request, pdf, reporter, trap).refusal, MergeRefusal::OutputExists);
    EXPECT_EQ(run({"a.pdf"}).refusal, MergeRefusal::TooFewInputs);
    EXPECT_EQ(run({"a.pdf", "b.pdf"}, "a.pdf", false).refusal, MergeRefusal::OutputIsAnInput);
    EXPECT_EQ(bytesOf(work("a.pdf")), before);
    EXPECT_EQ(reporter.lastProgress, -1);

    const MergeResult result = run({"a.pdf", "bad.pdf", "locked.pdf"}, "gone/out.pdf");
    EXPECT_EQ(result.outputFailure.code, errcode::kPathNotFound);
    EXPECT_EQ(result.outputFailure.file, work("gone/out.pdf"));
    EXPECT_EQ(fates(result),
              (Fates{InputFate::Unused, InputFate::NotLoaded, InputFate::NeedsPassword}));
    EXPECT_EQ(workListing(), (Texts{"a.pdf", "b.pdf", "bad.pdf", "locked.pdf"}));
}

// Each file moves the bar twice when protected, once otherwise: a list of plain files
// ends at 45, one of protected files at 90, before the window's final jump to 100.
TEST_F(MergeRun, ProgressReachesHalfWayForPlainFilesAndFurtherForProtectedOnes) {
    run({"a.pdf", "b.pdf", "bad.pdf"});
    EXPECT_EQ(reporter.lastProgress, 45);
    run({"locked.pdf:u", "locked.pdf:o"});
    EXPECT_EQ(reporter.lastProgress, 90);
}

// Cancel stops between files; an error the handler has the run left at ends it at once,
// and one that ends the program goes through it. None of them writes an output, and an
// earlier output of the same name stays as it was.
TEST_F(MergeRun, CancelAndTheErrorHandlerLeaveNoOutput) {
    const std::string earlier = pdfFile("out.pdf", 1, "Earlier");
    reporter.cancelAfter = 0;
    EXPECT_TRUE(run({"a.pdf", "b.pdf"}).cancelled);
    reporter.cancelAfter = -1;
    for (const std::int32_t code : {20, 91}) {
        SCOPED_TRACE(code);
        int opened = 0;
        pdf.onOpen = [&] {
            if (++opened == 2) throw RuntimeError(code, "Checked file failed");
        };
        if (code == 91) {
            EXPECT_THROW(run({"a.pdf", "b.pdf"}), ExitRequested);
        } else {
            EXPECT_TRUE(run({"a.pdf", "b.pdf"}).left);
        }
    }
    EXPECT_EQ(pageTexts(earlier), Texts{"Earlier 1"});
    EXPECT_EQ(workListing(), (Texts{"a.pdf", "b.pdf", "bad.pdf", "locked.pdf", "out.pdf"}));
}

}  // namespace
}  // namespace pagemeld::testing
