#include "runs/split_bookmarks.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "runs/split_plan.h"

namespace pagemeld {
namespace {

bool forbidden(unsigned char ch) {
    return ch < 0x20 || ch == 0x7F ||
           std::string_view("\\/:*?\"<>|").find(static_cast<char>(ch)) != std::string_view::npos;
}

bool isContinuation(unsigned char ch) {
    return (ch & 0xC0) == 0x80;
}

// Cuts `text` after `characters` UTF-8 characters.
std::string firstCharacters(const std::string& text, std::size_t characters) {
    std::size_t at = 0;
    for (std::size_t n = 0; at < text.size(); ++n) {
        if (n == characters) return text.substr(0, at);
        ++at;
        while (at < text.size() && isContinuation(static_cast<unsigned char>(text[at]))) ++at;
    }
    return text;
}

std::string trimmedName(std::string name) {
    const std::size_t first = name.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    name.erase(0, first);
    name.erase(name.find_last_not_of(". ") + 1);
    return name;
}

bool isDeviceName(const std::string& name) {
    std::string stem = name.substr(0, name.find('.'));
    stem.erase(stem.find_last_not_of(' ') + 1);
    for (char& ch : stem) ch = static_cast<char>(ch >= 'a' && ch <= 'z' ? ch - 32 : ch);
    static constexpr std::array<std::string_view, 4> kPlain = {"CON", "PRN", "AUX", "NUL"};
    if (std::find(kPlain.begin(), kPlain.end(), stem) != kPlain.end()) return true;
    return stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) &&
           stem[3] >= '1' && stem[3] <= '9';
}

void appendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

char32_t lowerCase(char32_t code) {
    if ((code >= 'A' && code <= 'Z') || (code >= 0xC0 && code <= 0xDE && code != 0xD7) ||
        (code >= 0x391 && code <= 0x3A9) || (code >= 0x410 && code <= 0x42F))
        return code + 0x20;
    if (code >= 0x400 && code <= 0x40F) return code + 0x50;
    if (code >= 0x100 && code <= 0x17F && code % 2 == 0 && code != 0x130 && code != 0x138)
        return code + 1;
    return code;
}

}  // namespace

std::string foldedName(const std::string& name) {
    std::string folded;
    for (std::size_t i = 0; i < name.size();) {
        const auto lead = static_cast<unsigned char>(name[i]);
        // Two- and three-byte characters hold every letter that is folded here.
        if (lead >= 0xC0 && lead < 0xE0 && i + 1 < name.size()) {
            appendUtf8(folded, lowerCase(char32_t((lead & 0x1F) << 6) |
                                         (static_cast<unsigned char>(name[i + 1]) & 0x3F)));
            i += 2;
        } else if (lead < 0x80) {
            appendUtf8(folded, lowerCase(lead));
            ++i;
        } else {
            folded += name[i++];
        }
    }
    return folded;
}

std::string titleFileName(const std::string& title) {
    std::string name;
    for (const char ch : title) name += forbidden(static_cast<unsigned char>(ch)) ? '_' : ch;
    name = trimmedName(firstCharacters(trimmedName(name), kTitleNameMax));
    if (!name.empty() && isDeviceName(name)) {
        // "con.txt" names the device as much as "con" does: the mark goes in the stem.
        const std::size_t dot = std::min(name.find('.'), name.size());
        name = firstCharacters(name.substr(0, dot) + "_" + name.substr(dot), kTitleNameMax);
    }
    return name;
}

std::string DistinctNames::next(const std::string& name) {
    std::string candidate = name;
    for (int n = 2; given_.count(foldedName(candidate)) > 0 || taken_(candidate); ++n) {
        const std::string suffix = " (" + std::to_string(n) + ")";
        candidate = trimmedName(firstCharacters(name, kTitleNameMax - suffix.size())) + suffix;
    }
    given_.insert(foldedName(candidate));
    return candidate;
}

BookmarkPlan bookmarkPieces(const std::vector<LeveledBookmark>& marks, int level,
                            std::int32_t limit, const std::string& baseName, DistinctNames& names) {
    BookmarkPlan plan;
    std::vector<const LeveledBookmark*> starts;
    for (const LeveledBookmark& mark : marks) {
        if (mark.level > level) continue;
        if (!mark.page) {
            ++plan.withoutPage;
            continue;
        }
        if (*mark.page <= limit) starts.push_back(&mark);
    }
    plan.levelMissing = std::none_of(marks.begin(), marks.end(), [&](const LeveledBookmark& m) {
        return m.level == level && m.page;
    });
    if (plan.levelMissing) return plan;
    // In page order; of bookmarks on one page, the first in the outline names the piece.
    std::stable_sort(starts.begin(), starts.end(),
                     [](const auto* a, const auto* b) { return *a->page < *b->page; });
    starts.erase(std::unique(starts.begin(), starts.end(),
                             [](const auto* a, const auto* b) { return *a->page == *b->page; }),
                 starts.end());
    if (starts.empty()) return plan;
    const std::int32_t firstCut = *starts.front()->page;
    if (firstCut > 1) plan.pieces.push_back({names.next(baseName + "00"), 1, firstCut - 1});
    for (std::size_t i = 0; i < starts.size(); ++i) {
        const std::int32_t first = *starts[i]->page;
        const std::int32_t end = i + 1 < starts.size() ? *starts[i + 1]->page : limit + 1;
        std::string name = titleFileName(starts[i]->title);
        if (name.empty()) {
            const std::string numbered =
                numberedOutputName("", baseName, static_cast<std::int32_t>(plan.pieces.size() + 1));
            name = numbered.substr(0, numbered.size() - 4);
        }
        plan.pieces.push_back({names.next(name), first, end - first});
    }
    return plan;
}

}  // namespace pagemeld
