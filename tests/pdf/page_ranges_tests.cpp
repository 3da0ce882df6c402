#include <gtest/gtest.h>

#include <optional>

#include "pdf/page_ranges.h"

namespace pagemeld {
namespace {

using Pages = std::vector<std::int32_t>;

// What an item of a page list is, for the split's range text and the engine alike.
TEST(PageRanges, WhatAnItemIs) {
    const std::vector<std::pair<const char*, std::optional<PageItem>>> items = {
        {"7", PageItem{7, 7}},
        {"007", PageItem{7, 7}},
        {" 12\t", PageItem{12, 12}},
        {"1-4", PageItem{1, 4}},
        {" 8 - 12 ", PageItem{8, 12}},
        {"3-1", PageItem{3, 1}},  // backwards
        {"", std::nullopt},
        {"  ", std::nullopt},
        {"abc", std::nullopt},
        {"x", std::nullopt},
        {"4x", std::nullopt},
        {"0", std::nullopt},  // there is no page 0
        {"00", std::nullopt},
        {"0-3", std::nullopt},
        {"3-0", std::nullopt},
        {"1.5", std::nullopt},
        {"+3", std::nullopt},
        {"-2", std::nullopt},
        {"9-", std::nullopt},
        {"-", std::nullopt},
        {"1-2-3", std::nullopt},
        {"1 2", std::nullopt},
        {"1;2", std::nullopt},
    };
    for (const auto& [item, read] : items)
        EXPECT_EQ(readPageItem(item), read) << '"' << item << '"';
}

TEST(PageRanges, ListsInTheDocumentInOrder) {
    const std::vector<std::pair<const char*, Pages>> cases = {
        {"1-4,6,9-10", {1, 2, 3, 4, 6, 9, 10}},
        {"3-1", {3, 2, 1}},
        {" 2 , 2 ", {2, 2}},
        {"", {}},
        {",,", {}},
        {"0,11,abc,1.5,-,4x,9-,-2", {}},
        {"8-12", {8, 9, 10}},
        {"12-8", {10, 9, 8}},
        // A huge run costs only the document's pages.
        {"1-99999999999999999999", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}}};
    for (const auto& [text, pages] : cases) EXPECT_EQ(parsePageRanges(text, 10), pages) << text;
    EXPECT_EQ(parsePageRanges("5", 0), Pages{});
}

}  // namespace
}  // namespace pagemeld
