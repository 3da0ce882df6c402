// What the mix run reaches only with hundreds of outputs: runs cut at the page limit.
#include "mix/mix_plan.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

namespace pagemeld {

void PrintTo(const PageRun& run, std::ostream* os) {
    *os << "{" << run.first << ", " << run.count << "}";
}

namespace {

constexpr std::int32_t kLimit = kMixPageLimit;

TEST(MixPlan, ARunCutAtTheLimitDoesNotShortenLaterRuns) {
    // Pairs from a second document that ends at the limit on an odd page: one pass gets
    // its last page only, then the document starts over and the pairs are whole again.
    const MixPlanResult plan = planMix(kLimit, kLimit, {1, 1, 1}, {2, 2, 1});
    ASSERT_EQ(plan.passes.size(), static_cast<std::size_t>(kLimit));
    const std::size_t cut = (kLimit - 1) / 2;
    EXPECT_EQ(plan.passes[cut - 1].second, (PageRun{kLimit - 2, 2}));
    EXPECT_EQ(plan.passes[cut].second, (PageRun{kLimit, 1}));
    EXPECT_EQ(plan.passes[cut + 1].second, (PageRun{1, 2}));
    EXPECT_FALSE(plan.pagesIgnored);
}

TEST(MixPlan, ALongFirstDocumentIsCutAtTheLimitAndReported) {
    const MixPlanResult plan = planMix(kLimit + 501, 1, {400, 400, 1}, {1, 1, 1});
    ASSERT_EQ(plan.passes.size(), 3u);
    EXPECT_EQ(plan.passes.back().first, (PageRun{801, kLimit - 800}));
    EXPECT_TRUE(plan.pagesIgnored);
    EXPECT_EQ(plan.maxPage, kLimit);
}

}  // namespace
}  // namespace pagemeld
