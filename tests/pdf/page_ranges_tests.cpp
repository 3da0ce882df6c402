#include <gtest/gtest.h>

#include "pdf/page_ranges.h"

namespace pagemeld {
namespace {

using Pages = std::vector<std::int32_t>;

TEST(PageRanges, ItemsRunsAndReversedRuns) {
    EXPECT_EQ(parsePageRanges("1-4,6,9-10", 25), (Pages{1, 2, 3, 4, 6, 9, 10}));
    EXPECT_EQ(parsePageRanges("3-1", 10), (Pages{3, 2, 1}));
    EXPECT_EQ(parsePageRanges(" 2 , 2 ", 10), (Pages{2, 2}));
    EXPECT_EQ(parsePageRanges("9-", 10), (Pages{9, 10}));
    EXPECT_EQ(parsePageRanges("-2", 10), (Pages{1, 2}));
}

TEST(PageRanges, OutsideTheDocumentAndNonsenseAreLeftOut) {
    EXPECT_EQ(parsePageRanges("", 10), Pages{});
    EXPECT_EQ(parsePageRanges(",,", 10), Pages{});
    EXPECT_EQ(parsePageRanges("0,11,abc,1.5,-,4x", 10), Pages{});
    EXPECT_EQ(parsePageRanges("8-12", 10), (Pages{8, 9, 10}));
    EXPECT_EQ(parsePageRanges("12-8", 10), (Pages{10, 9, 8}));
    // A huge run costs only the document's pages.
    EXPECT_EQ(parsePageRanges("1-99999999999999999999", 3), (Pages{1, 2, 3}));
    EXPECT_EQ(parsePageRanges("5", 0), Pages{});
}

}  // namespace
}  // namespace pagemeld
