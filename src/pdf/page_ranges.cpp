#include "pdf/page_ranges.h"

#include <algorithm>
#include <optional>

namespace pagemeld {
namespace {

std::string trimmed(const std::string& text) {
    auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// A whole number made only of digits; larger numbers than any document saturate.
std::optional<std::int64_t> pageNumber(const std::string& text) {
    if (text.empty() ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (char c : text) {
        value = value * 10 + (c - '0');
        if (value > (std::int64_t{1} << 40)) return value;
    }
    return value;
}

}  // namespace

std::vector<std::int32_t> parsePageRanges(const std::string& ranges, std::int32_t pageCount) {
    std::vector<std::int32_t> pages;
    std::size_t start = 0;
    while (start <= ranges.size()) {
        std::size_t comma = ranges.find(',', start);
        if (comma == std::string::npos) comma = ranges.size();
        const std::string item = trimmed(ranges.substr(start, comma - start));
        start = comma + 1;
        if (item.empty()) continue;
        std::int64_t from;
        std::int64_t to;
        auto dash = item.find('-');
        if (dash == std::string::npos) {
            auto page = pageNumber(item);
            if (!page) continue;
            from = to = *page;
        } else {
            const std::string left = trimmed(item.substr(0, dash));
            const std::string right = trimmed(item.substr(dash + 1));
            if (left.empty() && right.empty()) continue;
            auto a = left.empty() ? std::optional<std::int64_t>(1) : pageNumber(left);
            auto b = right.empty() ? std::optional<std::int64_t>(pageCount) : pageNumber(right);
            if (!a || !b) continue;
            from = *a;
            to = *b;
        }
        const std::int64_t step = from <= to ? 1 : -1;
        // Only the part of the run inside the document matters; clamp before walking
        // so that "1-999999999" costs no more than the document's pages.
        const std::int64_t low = std::max<std::int64_t>(1, std::min(from, to));
        const std::int64_t high = std::min<std::int64_t>(pageCount, std::max(from, to));
        if (low > high) continue;
        if (step > 0) {
            for (std::int64_t p = low; p <= high; ++p)
                pages.push_back(static_cast<std::int32_t>(p));
        } else {
            for (std::int64_t p = high; p >= low; --p)
                pages.push_back(static_cast<std::int32_t>(p));
        }
        if (start > ranges.size()) break;
    }
    return pages;
}

}  // namespace pagemeld
