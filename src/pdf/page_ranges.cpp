#include "pdf/page_ranges.h"

#include <algorithm>

namespace pagemeld {
namespace {

constexpr const char* kBlanks = " \t";

std::string trimmed(const std::string& text) {
    auto first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos) return {};
    auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

// A page number: digits only, at least 1; larger numbers than any document saturate.
std::optional<std::int64_t> pageNumber(const std::string& text) {
    const std::string digits = trimmed(text);
    if (digits.empty() ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (char c : digits) {
        value = value * 10 + (c - '0');
        if (value > (std::int64_t{1} << 40)) return value;
    }
    if (value < 1) return std::nullopt;
    return value;
}

}  // namespace

std::optional<PageItem> readPageItem(const std::string& item) {
    const auto dash = item.find('-');
    if (dash == std::string::npos) {
        const auto page = pageNumber(item);
        if (!page) return std::nullopt;
        return PageItem{*page, *page};
    }
    const auto first = pageNumber(item.substr(0, dash));
    const auto last = pageNumber(item.substr(dash + 1));
    if (!first || !last) return std::nullopt;
    return PageItem{*first, *last};
}

void appendItemPages(const PageItem& item, std::int32_t pageCount,
                     std::vector<std::int32_t>& pages) {
    // Only the part of the run inside the document matters; clamp before walking so
    // that "1-999999999" costs no more than the document's pages.
    const std::int64_t low = std::max<std::int64_t>(1, std::min(item.first, item.last));
    const std::int64_t high = std::min<std::int64_t>(pageCount, std::max(item.first, item.last));
    if (item.first <= item.last) {
        for (std::int64_t p = low; p <= high; ++p) pages.push_back(static_cast<std::int32_t>(p));
    } else {
        for (std::int64_t p = high; p >= low; --p) pages.push_back(static_cast<std::int32_t>(p));
    }
}

std::vector<std::int32_t> parsePageRanges(const std::string& ranges, std::int32_t pageCount) {
    std::vector<std::int32_t> pages;
    std::size_t start = 0;
    while (start <= ranges.size()) {
        std::size_t comma = ranges.find(',', start);
        if (comma == std::string::npos) comma = ranges.size();
        const std::optional<PageItem> item = readPageItem(ranges.substr(start, comma - start));
        start = comma + 1;
        if (!item) continue;
        appendItemPages(*item, pageCount, pages);
    }
    return pages;
}

}  // namespace pagemeld
