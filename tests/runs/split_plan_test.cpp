// What the split run's own tests leave out: range texts of every shape against the
// page count, page arithmetic at the edge of the 32-bit range, and bookmark titles
// made distinct names.
#include "runs/split_plan.h"

#include "runs/split_bookmarks.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace pagemeld {
namespace {

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();

// Piece, the piece rewritten for 10 pages, and whether a page was dropped.
struct RangeCase {
    const char *piece, *rewritten;
    bool dropped;
};
const RangeCase kRanges[] = {{"3-1", "3-1", false},
                             {"abc", "abc", false},
                             {"2-5,12,8-15", "2-5,8-10", true},
                             {"12-20", "", true},
                             {" 12abc,1", "1", true},
                             {"2-5,12", "2-5,", true},
                             {"15-8", "10-8", false},
                             {"1-2-30", "1-2-30", false},
                             {"4 - 99", "4 -10", false},
                             {"99999999999-1", "10-1", false},
                             {"99999999999", "", true}};

TEST(SplitRangeText, ItemsBeyondTheDocumentAreCutOrDropped) {
    for (const RangeCase& c : kRanges) {
        SCOPED_TRACE(c.piece);
        bool dropped = false;
        EXPECT_EQ(check_rangesmall_for_max(c.piece, 10, dropped), c.rewritten);
        EXPECT_EQ(dropped, c.dropped);
    }
}

// The range text as the run reads it before cutting: the first item it does not
// understand (quoted to the user), and whether any item names a page.
TEST(SplitRangeText, TheFirstItemNotUnderstoodIsFoundBeforeAnythingIsCut) {
    struct Case {
        const char* text;
        std::optional<std::string> unclear;
        bool namesPages;
    };
    const Case cases[] = {
        {"1-4,6,9-10;5,6;12;20-21,23;", std::nullopt, true},
        {"abc", "abc", false},
        {"0", "0", false},
        {"1-4;;x", "x", true},
        {" 2 , 3-1 ; 4 x , y", "4 x", true},
        {"5-;1", "5-", false},
        {"1,,2,;;", std::nullopt, true},  // blank items and empty pieces name nothing
        {"12-20", std::nullopt, true},    // beyond the document: dropped later, not refused
        {" ; , ;", std::nullopt, false},
        {"", std::nullopt, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const RangeTextReading reading = readRangeText(c.text);
        EXPECT_EQ(reading.unclearItem, c.unclear);
        if (!c.unclear) {
            EXPECT_EQ(reading.namesPages, c.namesPages);
        }
    }
}

TEST(SplitFixedSize, PositionsBeyondTheInt32RangeEndTheWalkInsteadOfWrapping) {
    constexpr std::int32_t kHalf = 1 << 30;
    EXPECT_EQ(fixedSizePieces(kInt32Max, kHalf, 1, kHalf),
              (std::vector<PageRun>{{1, kHalf}, {kHalf + 1, kHalf - 1}}));
    EXPECT_EQ(fixedSizePieces(kInt32Max, kInt32Max, kInt32Max, kInt32Max),
              (std::vector<PageRun>{{kInt32Max, 1}}));
}

}  // namespace
}  // namespace pagemeld

namespace pagemeld::testing {
namespace {

// Windows takes names without regard to case, accented and Greek or Cyrillic letters
// too: a second chapter of the same name must not replace the first's file. A number
// added to a name at its longest keeps it within the longest.
TEST(BookmarkNames, EqualNamesAreNumberedWhateverTheirCase) {
    DistinctNames names([](const std::string& name) { return name == "taken"; });
    const std::string longest(kTitleNameMax, 'x');
    const std::pair<std::string, std::string> cases[] = {
        {"\xC3\x89t\xC3\xA9", "\xC3\x89t\xC3\xA9"},                // Été
        {"\xC3\x89T\xC3\x89", "\xC3\x89T\xC3\x89 (2)"},            // ÉTÉ
        {"\xD0\x9C\xD0\xB8\xD1\x80", "\xD0\x9C\xD0\xB8\xD1\x80"},  // Мир
        {"\xD0\xBC\xD0\x98\xD0\xA0", "\xD0\xBC\xD0\x98\xD0\xA0 (2)"},
        {"taken", "taken (2)"},
        {longest, longest},
        {longest, std::string(kTitleNameMax - 4, 'x') + " (2)"},
    };
    for (const auto& [title, name] : cases) EXPECT_EQ(names.next(title), name) << title;
}

}  // namespace
}  // namespace pagemeld::testing
