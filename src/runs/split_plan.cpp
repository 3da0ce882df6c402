#include "runs/split_plan.h"

#include <limits>
#include <stdexcept>

#include "pdf/page_ranges.h"

namespace pagemeld {
namespace {

constexpr const char* kBlanks = " \t";

std::string withoutSurroundingBlanks(const std::string& text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Far above any page count a document can have, and far from int64 overflow.
constexpr std::int64_t kNumberCeiling = std::int64_t{1} << 40;

}  // namespace

std::string splitBaseName(const std::string& typed) {
    std::string base = withoutSurroundingBlanks(typed);
    return base.empty() ? std::string(kDefaultBaseName) : base;
}

std::string numberedOutputName(const std::string& destination, const std::string& baseName,
                               std::int32_t number) {
    return destination + baseName + (number < 10 ? "0" : "") + std::to_string(number) + ".pdf";
}

std::optional<std::int32_t> wholeNumberField(const std::string& text) {
    const std::string digits = withoutSurroundingBlanks(text);
    if (digits.empty()) return std::nullopt;
    std::int64_t value = 0;
    for (char c : digits) {
        if (!isDigit(c)) return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    }
    if (value < 1) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::vector<PageRun> fixedSizePieces(std::int32_t pageCount, std::int32_t step, std::int32_t start,
                                     std::int32_t countPerPiece) {
    if (step < 1) throw std::invalid_argument("fixedSizePieces: step below 1");
    if (start < 1) throw std::invalid_argument("fixedSizePieces: start below 1");
    if (countPerPiece < 1) throw std::invalid_argument("fixedSizePieces: count below 1");

    std::vector<PageRun> pieces;
    const std::int64_t last = pageCount;
    for (std::int64_t first = start; first <= last; first += step) {
        std::int64_t count = countPerPiece;
        if (first + count > last) count = last - first + 1;
        pieces.push_back({static_cast<std::int32_t>(first), static_cast<std::int32_t>(count)});
    }
    return pieces;
}

std::string withFinalSemicolon(const std::string& text) {
    const std::string trimmed = withoutSurroundingBlanks(text);
    if (!trimmed.empty() && trimmed.back() == ';') return text;
    return text + ";";
}

std::vector<std::string> rangePieces(const std::string& text) {
    std::vector<std::string> pieces;
    const std::string rest = withoutSurroundingBlanks(text);
    std::size_t from = 0;
    for (auto semicolon = rest.find(';'); semicolon != std::string::npos;
         semicolon = rest.find(';', from)) {
        pieces.push_back(rest.substr(from, semicolon - from));
        from = semicolon + 1;
    }
    return pieces;
}

RangeTextReading readRangeText(const std::string& text) {
    RangeTextReading reading;
    for (const std::string& piece : rangePieces(withFinalSemicolon(text))) {
        std::size_t from = 0;
        for (;;) {
            const auto comma = piece.find(',', from);
            const std::string item = withoutSurroundingBlanks(
                piece.substr(from, comma == std::string::npos ? std::string::npos : comma - from));
            if (!item.empty()) {
                if (!readPageItem(item)) {
                    reading.unclearItem = item;
                    return reading;
                }
                reading.namesPages = true;
            }
            if (comma == std::string::npos) break;
            from = comma + 1;
        }
    }
    return reading;
}

std::int64_t leadingWholeNumber(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() &&
           (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::int64_t value = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        if (value < kNumberCeiling) value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

std::string check_rangesmall_for_max(const std::string& piece, std::int32_t pageCount,
                                     bool& pagesIgnored) {
    const std::string max = std::to_string(pageCount);
    std::string result;
    std::string rest = piece;
    for (;;) {
        const auto comma = rest.find(',');
        const bool followedByComma = comma != std::string::npos;
        const std::string item = followedByComma ? rest.substr(0, comma) : rest;
        rest = followedByComma ? rest.substr(comma + 1) : std::string();

        bool kept = true;
        const auto dash = item.find('-');
        if (dash != std::string::npos) {
            const std::string from = item.substr(0, dash);
            const std::string to = item.substr(dash + 1);
            const bool fromBeyond = leadingWholeNumber(from) > pageCount;
            const bool toBeyond = leadingWholeNumber(to) > pageCount;
            if (fromBeyond && toBeyond) {
                kept = false;
            } else {
                result += (fromBeyond ? max : from) + "-" + (toBeyond ? max : to);
            }
        } else if (leadingWholeNumber(item) > pageCount) {
            kept = false;
        } else {
            result += item;
        }

        if (!kept) {
            pagesIgnored = true;
        } else if (followedByComma) {
            result += ",";
        }
        if (!followedByComma || rest.empty()) break;
    }
    return result;
}

}  // namespace pagemeld
