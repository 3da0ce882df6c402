#include <gtest/gtest.h>

#include "pdf/page_ranges.h"

namespace pagemeld {
namespace {

using Pages = std::vector<std::int32_t>;

TEST(PageRanges, ItemsRunsReversedRunsAndNonsense) {
    const std::vector<std::pair<const char*, Pages>> cases = {
        {"1-4,6,9-10", {1, 2, 3, 4, 6, 9, 10}},
        {"3-1", {3, 2, 1}},
        {" 2 , 2 ", {2, 2}},
        {"9-", {9, 10}},
        {"-2", {1, 2}},
        {"", {}},
        {",,", {}},
        {"0,11,abc,1.5,-,4x", {}},
        {"8-12", {8, 9, 10}},
        {"12-8", {10, 9, 8}},
        // A huge run costs only the document's pages.
        {"1-99999999999999999999", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}}};
    for (const auto& [text, pages] : cases) EXPECT_EQ(parsePageRanges(text, 10), pages) << text;
    EXPECT_EQ(parsePageRanges("5", 0), Pages{});
}

}  // namespace
}  // namespace pagemeld
