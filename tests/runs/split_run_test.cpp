// The split run driven by requests on generated PDFs: the pieces of every method and
// of the quiet split's page limit, what becomes of a source that cannot be used, pieces
// that would replace kept files or files already there, Cancel and the error handler.
#include "runs/split_run.h"

#include <algorithm>

#include "base/runtime_error.h"
#include "runs/document_information.h"
#include "runs/run_harness.h"
#include "runs/split_plan.h"

namespace pagemeld::testing {
namespace {

class SplitRun : public RunHarness {
protected:
    SplitRequest request(const std::string& source, SplitMethod method = FixedPieces{}) {
        return {{source, ""},       method,
                work(""),           "part",
                std::nullopt,       ExistingFiles::Ask,
                OnClash::RefuseRun, {},
                outputInformation()};
    }
    SplitResult run(const SplitRequest& request) { return runSplit(request, pdf, reporter, trap); }
};

struct MethodCase {
    const char* name;
    int pages;
    SplitMethod method;
    std::optional<std::int32_t> limit;
    const char* pieces;
    bool pagesLeftOut;
    friend void PrintTo(const MethodCase& c, std::ostream* os) { *os << c.name; }
};

class SplitMethods : public SplitRun, public ::testing::WithParamInterface<MethodCase> {};

TEST_P(SplitMethods, CutThePiecesFromTheSource) {
    const MethodCase& c = GetParam();
    SplitRequest asked = request(pdfFile("src.pdf", c.pages), c.method);
    asked.pageLimit = c.limit;
    const SplitResult result = run(asked);
    EXPECT_EQ(pieces("part"), c.pieces);
    EXPECT_EQ(result.pagesLeftOut, c.pagesLeftOut);
    EXPECT_EQ(result.limit, std::min(c.limit.value_or(c.pages), c.pages));
    EXPECT_EQ(result.inputs.front().fate, InputFate::Used);
    Texts listed{"src.pdf"};
    for (const std::string& output : result.written) {
        listed.push_back(output.substr(work("").size()));
        EXPECT_EQ(reporter.events.at(listed.size() - 1), "writing " + output);
    }
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(workListing(), listed);
    if (!result.written.empty()) {
        EXPECT_TRUE(qpdfCheckClean(result.written.front()));
        EXPECT_EQ(infoEntries(result.written.front())["Creator"], "Ombrix Pagemeld Driver");
    }
}

// Range pieces that name no page leave gaps in the numbers; a piece after them is still
// cut from the source. Documents beyond 16-bit page numbers split like any other. The
// quiet split's each page up to its limit says what it left out.
const MethodCase kMethods[] = {
    {"IntoFilesOf",
     10,
     FixedPieces{3, 1, 3},
     {},
     "01: P1 P2 P3; 02: P4 P5 P6; 03: P7 P8 P9; 04: P10",
     false},
    {"Ranges",
     10,
     RangePieces{{"2-5,12,8-15", "11-12", "", "", "4-3"}},
     {},
     "01: P2 P3 P4 P5 P8 P9 P10; 05: P4 P3",
     true},
    {"EveryGroupOfFromPage",
     10,
     FixedPieces{4, 2, 4},
     {},
     "01: P2 P3 P4 P5; 02: P6 P7 P8 P9; 03: P10",
     false},
    {"EachFromPage", 10, FixedPieces{3, 1, 1}, {}, "01: P1; 02: P4; 03: P7; 04: P10", false},
    {"StartBeyondTheEnd", 3, FixedPieces{2, 4, 2}, {}, "", false},
    {"EachBeyond32767", 40000, FixedPieces{20000, 32767, 1}, {}, "01: P32767", false},
    {"RangesBeyond32767",
     40000,
     RangePieces{{"32768-32769,40000", "40001", "39999"}},
     {},
     "01: P32768 P32769 P40000; 03: P39999",
     true},
    {"EveryPageUpToTheLimit", 5, FixedPieces{1, 1, 1}, 3, "01: P1; 02: P2; 03: P3", true},
    {"ALimitBeyondTheLastPage", 2, FixedPieces{1, 1, 1}, kPageLimit, "01: P1; 02: P2", false},
};
INSTANTIATE_TEST_SUITE_P(Methods, SplitMethods, ::testing::ValuesIn(kMethods),
                         [](const auto& info) { return std::string(info.param.name); });

// A source that cannot be used writes nothing and says why; one opened with its
// password gives open pieces, and no file but the pieces appears beside them.
TEST_F(SplitRun, ASourceIsUsedWithItsPasswordOrSaysWhyNot) {
    writeEncryptedPdf(work("locked.pdf"), {3, "L"}, Encryption::Aes256, "user", "owner");
    writeEncryptedPdf(work("owner.pdf"), {1, "O"}, Encryption::Rc4_128, "", "owner");
    writeNotPdf(work("text.pdf"));
    struct Case {
        std::string source, password;
        InputFate fate;
        std::int32_t code;
        const char* pieces;
    } cases[] = {
        {"gone.pdf", "", InputFate::NotLoaded, errcode::kFileNotFound, ""},
        {"text.pdf", "", InputFate::NotLoaded, errcode::kInvalidFileFormat, ""},
        {"notes.txt", "", InputFate::NotPdfName, 0, ""},
        {"locked.pdf", "", InputFate::NeedsPassword, 0, ""},
        {"locked.pdf", "wrong", InputFate::WrongPassword, 0, ""},
        {"locked.pdf", "user", InputFate::Used, 0, "01: L1; 02: L2; 03: L3"},
        {"owner.pdf", "", InputFate::Used, 0, "01: O1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source + " " + c.password);
        SplitRequest asked = request(work(c.source));
        asked.source.password = c.password;
        asked.baseName = "part" + c.source.substr(0, 2);
        const SplitResult result = run(asked);
        EXPECT_EQ(result.inputs.front().fate, c.fate);
        EXPECT_EQ(result.inputs.front().failure.code, c.code);
        EXPECT_EQ(pieces(asked.baseName), c.pieces);
        for (const std::string& output : result.written) EXPECT_FALSE(isEncrypted(output));
    }
    EXPECT_EQ(workListing(), (Texts{"locked.pdf", "owner.pdf", "partlo01.pdf", "partlo02.pdf",
                                    "partlo03.pdf", "partow01.pdf", "text.pdf"}));
}

TEST_F(SplitRun, PiecesOverKeptFilesAndFilesAlreadyThere) {
    const std::string source = pdfFile("part03.pdf", 4);
    const std::string sourceBytes = bytesOf(source);
    // The window's split refuses the run before it writes anything.
    SplitResult result = run(request(source));
    EXPECT_EQ(result.clash, source);
    EXPECT_EQ(workListing(), Texts{"part03.pdf"});

    // The quiet split leaves out each piece over a kept file and says so as it goes.
    const std::string kept = pdfFile("part02.pdf", 1, "K");
    SplitRequest quiet = request(source);
    quiet.onClash = OnClash::SkipPiece;
    quiet.existing = ExistingFiles::Replace;
    quiet.kept = {kept};
    reporter = {};
    result = run(quiet);
    EXPECT_EQ(result.skipped, (Texts{kept, source}));
    EXPECT_EQ(reporter.events,
              (Texts{"opened " + source, "writing " + work("part01.pdf"), "skipped " + kept,
                     "skipped " + source, "writing " + work("part04.pdf")}));
    EXPECT_EQ(pieces("part"), "01: P1; 02: K1; 03: P1 P2 P3 P4; 04: P4");
    EXPECT_EQ(bytesOf(source), sourceBytes);

    // Asked, No writes nothing; Yes replaces them.
    SplitRequest again = request(pdfFile("other.pdf", 2, "O"), RangePieces{{"1", "2"}});
    reporter.answers = {false, true};
    EXPECT_TRUE(run(again).replaceRefused);
    EXPECT_EQ(pieces("part"), "01: P1; 02: K1; 03: P1 P2 P3 P4; 04: P4");
    EXPECT_EQ(run(again).written.size(), 2u);
    EXPECT_EQ(reporter.questions, (Texts{work("") + " 2", work("") + " 2"}));
    EXPECT_EQ(pieces("part"), "01: O1; 02: O2; 03: P1 P2 P3 P4; 04: P4");
}

TEST_F(SplitRun, AnOutputThatCannotBeWrittenEndsTheRunNamingIt) {
    SplitRequest asked = request(pdfFile("src.pdf", 3));
    asked.destination = work("gone") + kSep;
    const SplitResult result = run(asked);
    EXPECT_EQ(result.outputFailure.code, errcode::kPathNotFound);
    EXPECT_EQ(result.outputFailure.file, asked.destination + "part01.pdf");
    EXPECT_TRUE(result.written.empty());
    EXPECT_EQ(workListing(), Texts{"src.pdf"});
}

// Cancel stops between pieces and keeps those written. An error the handler has the
// run left at ends it at once; one that ends the program goes through it, and neither
// leaves a half-written piece.
TEST_F(SplitRun, CancelAndTheErrorHandlerStopItBetweenPieces) {
    SplitRequest asked = request(pdfFile("src.pdf", 5));
    reporter.cancelAfter = 2;
    SplitResult result = run(asked);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(pieces("part"), "01: P1; 02: P2");

    asked.existing = ExistingFiles::Replace;
    for (const std::int32_t code : {20, 91}) {
        SCOPED_TRACE(code);
        reporter = {};
        int writes = 0;
        pdf.onWrite = [&] {
            if (++writes == 3) throw RuntimeError(code, "Disk failed");
        };
        if (code == 91) {
            EXPECT_THROW(run(asked), ExitRequested);
        } else {
            EXPECT_TRUE(run(asked).left);
            EXPECT_TRUE(shown("a_run"));
        }
        EXPECT_EQ(pieces("part"), "01: P1; 02: P2");
    }
}

}  // namespace
}  // namespace pagemeld::testing
