// What the split run's own tests leave out: range texts of every shape against the
// page count, and page arithmetic at the edge of the 32-bit range.
#include "split/split_plan.h"

#include <gtest/gtest.h>

#include <limits>
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

TEST(SplitFixedSize, PositionsBeyondTheInt32RangeEndTheWalkInsteadOfWrapping) {
    constexpr std::int32_t kHalf = 1 << 30;
    EXPECT_EQ(fixedSizePieces(kInt32Max, kHalf, 1, kHalf),
              (std::vector<PageRun>{{1, kHalf}, {kHalf + 1, kHalf - 1}}));
    EXPECT_EQ(fixedSizePieces(kInt32Max, kInt32Max, kInt32Max, kInt32Max),
              (std::vector<PageRun>{{kInt32Max, 1}}));
}

}  // namespace
}  // namespace pagemeld
