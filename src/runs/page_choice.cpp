#include "runs/page_choice.h"

#include <algorithm>

#include "pdf/page_ranges.h"

namespace pagemeld {
namespace {

constexpr const char* kBlanks = " \t";

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::vector<std::string> items(const std::string& choice) {
    std::vector<std::string> all;
    std::size_t start = 0;
    while (start <= choice.size()) {
        std::size_t comma = choice.find(',', start);
        if (comma == std::string::npos) comma = choice.size();
        all.push_back(trimmed(choice.substr(start, comma - start)));
        start = comma + 1;
    }
    return all;
}

// An item as pages of a file of `pageCount` pages: "8-" is read as "8-<last page>".
std::optional<PageItem> readItem(const std::string& item, std::int32_t pageCount) {
    if (item.size() > 1 && item.back() == '-' && item.find('-') == item.size() - 1) {
        const std::optional<PageItem> first = readPageItem(item.substr(0, item.size() - 1));
        if (!first) return std::nullopt;
        return PageItem{first->first, std::max<std::int64_t>(first->first, pageCount)};
    }
    return readPageItem(item);
}

}  // namespace

std::optional<std::string> unclearPageChoiceItem(const std::string& choice) {
    for (const std::string& item : items(choice)) {
        if (!item.empty() && !readItem(item, 1)) return item;
    }
    return std::nullopt;
}

std::vector<std::int32_t> chosenPages(const std::string& choice, std::int32_t pageCount) {
    std::vector<std::int32_t> pages;
    if (trimmed(choice).empty()) {
        for (std::int32_t p = 1; p <= pageCount; ++p) pages.push_back(p);
        return pages;
    }
    for (const std::string& item : items(choice)) {
        const std::optional<PageItem> read =
            item.empty() ? std::nullopt : readItem(item, pageCount);
        if (read) appendItemPages(*read, pageCount, pages);
    }
    return pages;
}

}  // namespace pagemeld
