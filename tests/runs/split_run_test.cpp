// The split run driven by requests on generated PDFs: the pieces of every method and
// of the quiet split's page limit, what becomes of a source that cannot be used, pieces
// that would replace kept files or files already there, Cancel and the error handler.
#include "runs/split_run.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "base/runtime_error.h"
#include "runs/document_information.h"
#include "runs/run_harness.h"
#include "runs/split_plan.h"
#include "runs/split_size.h"

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

// A top-level outline of `items`, each "<title> <what leads to the page>" in PDF syntax.
std::string outlineOf(const std::vector<std::string>& items) {
    std::string extras = "root << /Outlines #1 >>\n#1 << /Type /Outlines /First #2 >>\n";
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string next = i + 1 < items.size() ? " /Next #" + std::to_string(i + 3) : "";
        extras +=
            "#" + std::to_string(i + 2) + " << /Parent #1" + next + " /Title " + items[i] + " >>\n";
    }
    return extras;
}

struct BookmarkCase {
    const char* name;
    std::string extras;  // "" for writeChapteredPdf
    std::int32_t level;
    std::string files;  // "<name>: <pages>; ..."
    std::int32_t withoutPage;
    friend void PrintTo(const BookmarkCase& c, std::ostream* os) { *os << c.name; }
};

class SplitAtBookmarks : public SplitRun, public ::testing::WithParamInterface<BookmarkCase> {
protected:
    // The PDFs in `folder`, each as its name and its pages' texts without blanks.
    std::string filesIn(const std::string& folder) {
        std::string all;
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(work(folder)))
            if (entry.path().filename() != "src.pdf")
                names.insert(entry.path().filename().string());
        for (const std::string& name : names) {
            all += (all.empty() ? "" : "; ") + name.substr(0, name.size() - 4) + ":";
            for (std::string page : pageTexts(work(folder) + kSep + name)) {
                std::erase(page, ' ');
                all += " " + page;
            }
        }
        return all;
    }
};

// Titles become names Windows takes; equal names, also against the source, are
// numbered; bookmarks that lead nowhere in the document are counted and cut nothing;
// a level lower than the outline goes writes nothing; hostile outlines end.
TEST_P(SplitAtBookmarks, CutAtTheBookmarksNamingThePiecesAfterThem) {
    const BookmarkCase& c = GetParam();
    std::filesystem::create_directory(work("out"));
    const std::string source = work("out") + kSep + "src.pdf";
    if (c.extras.empty())
        writeChapteredPdf(source);
    else
        writeRichPdf(source, {6, "P"}, c.extras);
    SplitRequest asked = request(source, BookmarkPieces{c.level});
    asked.destination = work("out") + kSep;
    const SplitResult result = run(asked);
    EXPECT_EQ(filesIn("out"), c.files);
    EXPECT_EQ(result.bookmarksWithoutPage, c.withoutPage);
    EXPECT_EQ(result.noBookmarksAtLevel, c.files.empty());
    for (const std::string& output : result.written) EXPECT_TRUE(qpdfCheckClean(output));
}

std::string deepOutline(int depth) {
    std::string extras = "root << /Outlines #1 >>\n#1 << /Type /Outlines /First #2 >>\n";
    for (int i = 2; i < depth + 2; ++i)
        extras += "#" + std::to_string(i) + " << /Title (D) /Dest [@" + std::to_string(i % 6 + 1) +
                  " /Fit] /First #" + std::to_string(i + 1) + " >>\n";
    return extras + "#" + std::to_string(depth + 2) + " << /Title (End) >>\n";
}

const BookmarkCase kBookmarkCases[] = {
    {"ChaptersAtLevel1", "", 1,
     "1 Basics: P3 P4 P5 P6 P7 P8 P9 P10 P11; 2 Methods: P12 P13 P14 P15 P16 P17 P18 P19; "
     "3 Results: P20 P21 P22 P23 P24 P25 P26 P27 P28 P29 P30; part00: P1 P2",
     0},
    {"SectionsAtLevel2", "", 2,
     "1 Basics: P3; 1.1 Terms: P4 P5 P6 P7; 1.2 Rules: P8 P9 P10 P11; "
     "2 Methods: P12 P13 P14 P15 P16 P17 P18 P19; "
     "3 Results: P20 P21 P22 P23 P24 P25 P26 P27 P28 P29 P30; part00: P1 P2",
     0},
    {"NoBookmarksOfLevel3", "", 3, "", 0},
    {"NoOutlineAtAll", "root << >>\n", 1, "", 0},
    {"HostileTitlesAndTargets",
     outlineOf({"(a/b\\\\c:d*e?f\"g<h>i|j) /Dest [@1 /Fit]", "(Intro) /Dest [@2 /Fit]",
                "(INTRO) /Dest [@3 /Fit]", "(Nowhere)",
                "(Other file) /A << /S /GoToR /F (x.pdf) "
                "/D [0 /Fit] >>",
                "(Undefined name) /Dest /nosuch", "(src) /Dest [@4 /Fit]",
                "( con.txt. ) /Dest [@5 /Fit]",
                "(Web) /A << /S /URI /URI (https://example.org/) >>"}),
     1, "INTRO (2): P3; Intro: P2; a_b_c_d_e_f_g_h_i_j: P1; con_.txt: P5 P6; src (2): P4", 4},
    {"EncodedTitlesAndNamedDestinations",
     "root << /Outlines #1 /Dests << /two [@2 /Fit] >> /Names << /Dests << /Names "
     "[(three) [@3 /Fit]] >> >> >>\n"
     "#1 << /Type /Outlines /First #2 >>\n"
     "#2 << /Title <FEFF00C90074005C00E9> /Dest /two /Next #3 >>\n"
     "#3 << /Title <FFFE4E00E900> /A << /S /GoTo /D (three) >> /Next #4 >>\n"
     "#4 << /Title (Caf\\351 \\200) /Dest [@4 /Fit] /Next #5 >>\n"
     "#5 << /Title <EFBBBF41> /Dest [@5 /Fit] /Next #6 >>\n"
     "#6 << /Title (   ) /Dest [@6 /Fit] >>\n",
     1, "A: P5; Café •: P4; Né: P3; part00: P1; part06: P6; Ét_é: P2", 0},
    {"ALoopInTheChainAndAVeryLongTitle",
     "root << /Outlines #1 >>\n#1 << /Type /Outlines /First #2 >>\n"
     "#2 << /Title (" +
         std::string(150, 'x') +
         ") /Dest [@1 /Fit] /Next #3 >>\n"
         "#3 << /Title (B) /Dest [@4 /Fit] /Next #2 /First #4 >>\n"
         "#4 << /Title (C) /Dest [@5 /Fit] /Next #3 /First #3 >>\n",
     2, "B: P4; C: P5 P6; " + std::string(100, 'x') + ": P1 P2 P3", 0},
    {"AnOutlineTooDeepToFollow", deepOutline(3000), 1, "D: P3 P4 P5 P6; part00: P1 P2", 0},
};
INSTANTIATE_TEST_SUITE_P(Outlines, SplitAtBookmarks, ::testing::ValuesIn(kBookmarkCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Pages with an image of about 1 MB each, cut at 3 MB: two a piece, every piece within
// the limit and each written once; a page larger than the limit goes alone and is named.
TEST_F(SplitRun, PiecesOfAtMostASize) {
    TestPdfOptions options{20, "P"};
    options.sharedImage = false;
    options.ownImages = true;
    options.imageSide = 590;
    writeTestPdf(work("big.pdf"), options);
    int writes = 0;
    pdf.onWrite = [&] { ++writes; };
    SplitResult result = run(request(work("big.pdf"), SizePieces{3 * kBytesPerMegabyte}));
    EXPECT_EQ(result.written.size(), 10u);
    EXPECT_EQ(writes, 10);
    std::string expected;
    for (int k = 1; k <= 10; ++k) {
        expected += (k > 1 ? "; " : "") + std::string(k < 10 ? "0" : "") + std::to_string(k) +
                    ": P" + std::to_string(2 * k - 1) + " P" + std::to_string(2 * k);
        EXPECT_LE(std::filesystem::file_size(result.written[k - 1]), 3 * kBytesPerMegabyte);
    }
    EXPECT_EQ(pieces("part"), expected);
    EXPECT_TRUE(result.oversizePages.empty());
    EXPECT_TRUE(qpdfCheckClean(result.written.front()));

    options.pages = 3;
    writeTestPdf(work("huge.pdf"), options);
    SplitRequest asked = request(work("huge.pdf"), SizePieces{kBytesPerMegabyte});
    asked.baseName = "one";
    result = run(asked);
    EXPECT_EQ(pieces("one"), "01: P1; 02: P2; 03: P3");
    EXPECT_EQ(result.oversizePages, (std::vector<std::int32_t>{1, 2, 3}));
}

// When the estimate falls short, the written piece is measured and cut shorter.
TEST(SizePieceWriting, APieceTooLargeIsWrittenAgainWithFewerPages) {
    struct Case {
        std::size_t estimated;
        std::uint64_t pageBytes;
        std::size_t kept;
        int writesAtMost;
    } cases[] = {{4, 100, 4, 1}, {10, 130, 7, 4}, {64, 200, 5, 10}, {3, 5000, 1, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.estimated);
        int writes = 0;
        std::size_t last = 0;
        const WrittenPiece piece =
            writeWithinSize(0, c.estimated, 1000, [&](std::size_t, std::size_t count) {
                ++writes;
                last = count;
                return std::optional<std::uint64_t>(count * c.pageBytes);
            });
        EXPECT_EQ(piece.count, c.kept);
        EXPECT_EQ(last, c.kept);
        EXPECT_EQ(piece.oversize, c.pageBytes > 1000);
        EXPECT_LE(writes, c.writesAtMost);
    }
}

}  // namespace
}  // namespace pagemeld::testing
