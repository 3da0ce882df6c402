#include "split/split_plan.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace pagemeld {

void PrintTo(const PageRun& run, std::ostream* os) {
    *os << "{" << run.first << ", " << run.count << "}";
}

namespace {

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();

using Pieces = std::vector<PageRun>;

TEST(SplitNaming, BlankBaseNameFallsBackAndOthersAreTrimmed) {
    EXPECT_EQ(splitBaseName(""), "pdfcdocument");
    EXPECT_EQ(splitBaseName("   "), "pdfcdocument");
    EXPECT_EQ(splitBaseName("  report "), "report");
    EXPECT_EQ(numberedOutputName("/out/", splitBaseName(""), 1), "/out/pdfcdocument01.pdf");
}

TEST(SplitNaming, NumbersArePaddedToTwoDigitsOnly) {
    EXPECT_EQ(numberedOutputName("C:\\docs\\", "report", 1), "C:\\docs\\report01.pdf");
    EXPECT_EQ(numberedOutputName("C:\\docs\\", "report", 9), "C:\\docs\\report09.pdf");
    EXPECT_EQ(numberedOutputName("C:\\docs\\", "report", 10), "C:\\docs\\report10.pdf");
    EXPECT_EQ(numberedOutputName("C:\\docs\\", "report", 100), "C:\\docs\\report100.pdf");
    EXPECT_EQ(numberedOutputName("d/", "p", 40000), "d/p40000.pdf");
}

TEST(SplitNaming, DestinationIsUsedExactlyAsTyped) {
    EXPECT_EQ(numberedOutputName("c:\\out", "filename", 1), "c:\\outfilename01.pdf");
    EXPECT_EQ(numberedOutputName(" /tmp/x/ ", "a", 2), " /tmp/x/ a02.pdf");
}

TEST(SplitNumberBox, AcceptsOnlyWholeNumbersFromOne) {
    EXPECT_EQ(wholeNumberField("3"), 3);
    EXPECT_EQ(wholeNumberField("  12 "), 12);
    EXPECT_EQ(wholeNumberField("\t7\t"), 7);
    EXPECT_EQ(wholeNumberField("007"), 7);
    EXPECT_EQ(wholeNumberField("2147483647"), kInt32Max);

    for (const char* bad : {"", "   ", "0", "000", "-1", "+3", "1.5", "3abc", "abc", "1 2",
                            "2147483648", "99999999999999999999999"}) {
        EXPECT_EQ(wholeNumberField(bad), std::nullopt) << '"' << bad << '"';
    }
}

TEST(SplitFixedSize, TheThreeMethodsOnTenPages) {
    // Method 1, N = 3.
    EXPECT_EQ(fixedSizePieces(10, 3, 1, 3), (Pieces{{1, 3}, {4, 3}, {7, 3}, {10, 1}}));
    // Method 4, N = 3 from page 1: single pages.
    EXPECT_EQ(fixedSizePieces(10, 3, 1, 1), (Pieces{{1, 1}, {4, 1}, {7, 1}, {10, 1}}));
    // Method 3, groups of 4 from page 2.
    EXPECT_EQ(fixedSizePieces(10, 4, 2, 4), (Pieces{{2, 4}, {6, 4}, {10, 1}}));
    // Exact fit: no short last piece.
    EXPECT_EQ(fixedSizePieces(10, 5, 1, 5), (Pieces{{1, 5}, {6, 5}}));
}

TEST(SplitFixedSize, EdgesOfTheDocument) {
    // N larger than P: one file with every page.
    EXPECT_EQ(fixedSizePieces(10, 25, 1, 25), (Pieces{{1, 10}}));
    // Start on the last page: one file with only that page.
    EXPECT_EQ(fixedSizePieces(10, 3, 10, 3), (Pieces{{10, 1}}));
    // Start beyond the last page, or an empty document: nothing.
    EXPECT_TRUE(fixedSizePieces(10, 3, 11, 3).empty());
    EXPECT_TRUE(fixedSizePieces(0, 1, 1, 1).empty());
}

TEST(SplitFixedSize, RefusesStepsCountsAndStartsBelowOne) {
    EXPECT_THROW(fixedSizePieces(10, 0, 1, 3), std::invalid_argument);
    EXPECT_THROW(fixedSizePieces(10, -2, 1, 3), std::invalid_argument);
    EXPECT_THROW(fixedSizePieces(10, 3, 0, 3), std::invalid_argument);
    EXPECT_THROW(fixedSizePieces(10, 3, 1, 0), std::invalid_argument);
}

TEST(SplitFixedSize, LongDocumentsDoNotOverflow) {
    const Pieces singles = fixedSizePieces(40000, 1, 1, 1);
    ASSERT_EQ(singles.size(), 40000u);
    EXPECT_EQ(singles[32767], (PageRun{32768, 1}));
    EXPECT_EQ(singles.back(), (PageRun{40000, 1}));

    EXPECT_EQ(fixedSizePieces(40000, 15000, 1, 15000),
              (Pieces{{1, 15000}, {15001, 15000}, {30001, 10000}}));

    // Positions and piece ends beyond the int32 range end the walk instead of wrapping.
    constexpr std::int32_t kHalf = 1 << 30;
    EXPECT_EQ(fixedSizePieces(kInt32Max, kHalf, 1, kHalf),
              (Pieces{{1, kHalf}, {kHalf + 1, kHalf - 1}}));
    EXPECT_EQ(fixedSizePieces(kInt32Max, kInt32Max, kInt32Max, kInt32Max),
              (Pieces{{kInt32Max, 1}}));
}

TEST(SplitRangeText, FinalSemicolonIsAddedOnlyWhenMissing) {
    EXPECT_EQ(withFinalSemicolon("1-3"), "1-3;");
    EXPECT_EQ(withFinalSemicolon("1-3;"), "1-3;");
    EXPECT_EQ(withFinalSemicolon("1-3;  "), "1-3;  ");
    EXPECT_EQ(withFinalSemicolon("1-3  "), "1-3  ;");
    EXPECT_EQ(withFinalSemicolon(""), ";");
}

TEST(SplitRangeText, PiecesEndAtEachSemicolon) {
    EXPECT_EQ(rangePieces("1-4,6,9-10;5,6;12;20-21,23;"),
              (std::vector<std::string>{"1-4,6,9-10", "5,6", "12", "20-21,23"}));
    EXPECT_EQ(rangePieces(withFinalSemicolon("11-12;1")), (std::vector<std::string>{"11-12", "1"}));
    // An empty piece stays, so later pieces keep their output numbers.
    EXPECT_EQ(rangePieces("1;;3-1;"), (std::vector<std::string>{"1", "", "3-1"}));
    EXPECT_EQ(rangePieces("  2 ; 4;  "), (std::vector<std::string>{"2 ", " 4"}));
    EXPECT_EQ(rangePieces(withFinalSemicolon("")), (std::vector<std::string>{""}));
    // Text after the last ";" is not a piece: callers add the final ";" first.
    EXPECT_EQ(rangePieces("1;2"), (std::vector<std::string>{"1"}));
    EXPECT_TRUE(rangePieces("5").empty());
}

TEST(SplitRangeText, LeadingWholeNumberReadsLikeTheRunDoes) {
    EXPECT_EQ(leadingWholeNumber("12abc"), 12);
    EXPECT_EQ(leadingWholeNumber("abc"), 0);
    EXPECT_EQ(leadingWholeNumber("  \t7 "), 7);
    EXPECT_EQ(leadingWholeNumber("-3"), -3);
    EXPECT_EQ(leadingWholeNumber("2.9"), 2);
    EXPECT_EQ(leadingWholeNumber("1 2"), 1);
    EXPECT_GT(leadingWholeNumber("999999999999999999999999999"), kInt32Max);
}

TEST(SplitRangeText, ItemsBeyondTheDocumentAreCutOrDropped) {
    bool ignored = false;
    EXPECT_EQ(check_rangesmall_for_max("10-10", 10, ignored), "10-10");
    EXPECT_EQ(check_rangesmall_for_max("1-4,6,9-10", 10, ignored), "1-4,6,9-10");
    EXPECT_EQ(check_rangesmall_for_max("3-1", 10, ignored), "3-1");
    EXPECT_EQ(check_rangesmall_for_max("", 10, ignored), "");
    EXPECT_EQ(check_rangesmall_for_max("1,,2", 10, ignored), "1,,2");
    EXPECT_EQ(check_rangesmall_for_max("abc", 10, ignored), "abc");
    EXPECT_FALSE(ignored);

    struct Case {
        const char* piece;
        const char* expected;
        bool dropped;
    };
    for (const Case& c :
         {Case{"2-5,12,8-15", "2-5,8-10", true}, Case{"12-20", "", true}, Case{"11-12", "", true},
          Case{"12", "", true}, Case{" 12abc,1", "1", true}, Case{"2-5,12", "2-5,", true},
          Case{"12,3", "3", true}, Case{"08-15", "08-10", false}, Case{"15-8", "10-8", false},
          Case{"-15", "-10", false}, Case{"12-", "10-", false}, Case{"1-2-30", "1-2-30", false},
          Case{"4 - 99", "4 -10", false}, Case{"5,", "5,", false}}) {
        bool flag = false;
        EXPECT_EQ(check_rangesmall_for_max(c.piece, 10, flag), c.expected) << c.piece;
        EXPECT_EQ(flag, c.dropped) << c.piece;
    }
}

TEST(SplitRangeText, DropsInAnyPieceAreReported) {
    // The run resets the flag once; a later piece without drops must not clear it.
    bool ignored = false;
    std::vector<std::string> rewritten;
    for (const std::string& piece : rangePieces(withFinalSemicolon("11-12;1"))) {
        rewritten.push_back(check_rangesmall_for_max(piece, 10, ignored));
    }
    EXPECT_EQ(rewritten, (std::vector<std::string>{"", "1"}));
    EXPECT_TRUE(ignored);
}

TEST(SplitRangeText, HintExampleOnTwentyFiveAndTwentyPages) {
    const std::string text = "1-4,6,9-10;5,6;12;20-21,23;";
    bool ignored = false;
    std::vector<std::string> on25;
    for (const std::string& piece : rangePieces(text))
        on25.push_back(check_rangesmall_for_max(piece, 25, ignored));
    EXPECT_EQ(on25, (std::vector<std::string>{"1-4,6,9-10", "5,6", "12", "20-21,23"}));
    EXPECT_FALSE(ignored);

    std::vector<std::string> on20;
    for (const std::string& piece : rangePieces(text))
        on20.push_back(check_rangesmall_for_max(piece, 20, ignored));
    EXPECT_EQ(on20, (std::vector<std::string>{"1-4,6,9-10", "5,6", "12", "20-20,"}));
    EXPECT_TRUE(ignored);
}

TEST(SplitRangeText, LongDocuments) {
    bool ignored = false;
    EXPECT_EQ(check_rangesmall_for_max("32767-32769,39999", 40000, ignored), "32767-32769,39999");
    EXPECT_FALSE(ignored);
    EXPECT_EQ(check_rangesmall_for_max("35000-45000,40001,99999999999-1", 40000, ignored),
              "35000-40000,40000-1");
    EXPECT_TRUE(ignored);
}

}  // namespace
}  // namespace pagemeld
