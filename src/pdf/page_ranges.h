// Page lists as the engine reads them: items "a" or "a-b" separated by ",".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pagemeld {

// One item of a page list: the pages from `first` to `last`, backwards when `last` is
// below `first`; a single page has both the same.
struct PageItem {
    std::int64_t first;
    std::int64_t last;

    friend bool operator==(const PageItem&, const PageItem&) = default;
};

// The one reading of an item that everything taking page lists shares: a page number
// (digits only, at least 1: there is no page 0) or two joined by "-", with blanks
// allowed around the numbers. Anything else - an empty item, a sign, a fraction, a
// letter, a missing end ("5-", "-2"), a second "-" - is not understood and gives
// nothing. Numbers far beyond any document saturate instead of overflowing.
std::optional<PageItem> readPageItem(const std::string& item);

// Appends the pages `item` names in a document of `pageCount` pages, in the item's
// order; pages outside 1..pageCount are left out.
void appendItemPages(const PageItem& item, std::int32_t pageCount,
                     std::vector<std::int32_t>& pages);

// The 1-based page numbers an item list names, in order, for a document of
// `pageCount` pages. "3-1" runs backwards; pages outside 1..pageCount, blank items and
// items readPageItem does not understand are left out.
std::vector<std::int32_t> parsePageRanges(const std::string& ranges, std::int32_t pageCount);

}  // namespace pagemeld
