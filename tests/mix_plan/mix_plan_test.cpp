#include "mix/mix_plan.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <stdexcept>
#include <vector>

namespace pagemeld {

void PrintTo(const PageRun& run, std::ostream* os) {
    *os << "{" << run.first << ", " << run.count << "}";
}

void PrintTo(const MixPass& pass, std::ostream* os) {
    *os << "pass " << pass.number << ": ";
    PrintTo(pass.first, os);
    *os << " + ";
    PrintTo(pass.second, os);
}

namespace {

using Passes = std::vector<MixPass>;

std::vector<PageRun> firstRuns(const MixPlanResult& plan) {
    std::vector<PageRun> runs;
    for (const MixPass& pass : plan.passes) runs.push_back(pass.first);
    return runs;
}

std::vector<PageRun> secondRuns(const MixPlanResult& plan) {
    std::vector<PageRun> runs;
    for (const MixPass& pass : plan.passes) runs.push_back(pass.second);
    return runs;
}

TEST(MixDocument, OptionRowsGiveCountStepAndStart) {
    EXPECT_EQ(mixDocumentPlan(true, 3, 5, 2), (MixDocumentPlan{3, 3, 2}));
    EXPECT_EQ(mixDocumentPlan(false, 3, 5, 2), (MixDocumentPlan{1, 5, 2}));
}

TEST(MixPlan, WorkedExampleGroupsOfThreeWithOneSheet) {
    const MixPlanResult plan =
        planMix(7, 1, mixDocumentPlan(true, 3, 3, 1), mixDocumentPlan(false, 3, 1, 1));
    EXPECT_EQ(plan.passes, (Passes{{1, {1, 3}, {1, 1}}, {2, {4, 3}, {1, 1}}, {3, {7, 1}, {1, 1}}}));
    EXPECT_FALSE(plan.pagesIgnored);
    EXPECT_FALSE(plan.secondStartBeyondEnd);
    EXPECT_EQ(plan.maxPage, 7);
    EXPECT_EQ(numberedOutputName("C:\\docs\\", "report", plan.passes.back().number),
              "C:\\docs\\report03.pdf");
}

TEST(MixPlan, EachTakesOnePageEveryStep) {
    const MixPlanResult plan =
        planMix(5, 2, mixDocumentPlan(false, 3, 2, 1), mixDocumentPlan(true, 2, 3, 1));
    EXPECT_EQ(firstRuns(plan), (std::vector<PageRun>{{1, 1}, {3, 1}, {5, 1}}));
    // The two-page second document is taken whole each time.
    EXPECT_EQ(secondRuns(plan), (std::vector<PageRun>{{1, 2}, {1, 2}, {1, 2}}));
}

TEST(MixPlan, SecondDocumentStartsOverAtItsStartPage) {
    const MixPlanResult plan =
        planMix(5, 4, mixDocumentPlan(false, 3, 1, 1), mixDocumentPlan(true, 2, 3, 2));
    EXPECT_EQ(secondRuns(plan), (std::vector<PageRun>{{2, 2}, {4, 1}, {2, 2}, {4, 1}, {2, 2}}));
    EXPECT_EQ(plan.passes.size(), 5u);
}

TEST(MixPlan, StartPages) {
    // First document: later start, and a start beyond its end gives nothing to do.
    EXPECT_EQ(firstRuns(planMix(7, 1, {3, 3, 2}, {1, 1, 1})),
              (std::vector<PageRun>{{2, 3}, {5, 3}}));
    const MixPlanResult none = planMix(7, 1, {3, 3, 8}, {1, 1, 1});
    EXPECT_TRUE(none.passes.empty());
    EXPECT_FALSE(none.secondStartBeyondEnd);

    // Second document: a start beyond its end would leave every pass without its pages.
    const MixPlanResult beyond = planMix(7, 3, {3, 3, 1}, {1, 1, 4});
    EXPECT_TRUE(beyond.passes.empty());
    EXPECT_TRUE(beyond.secondStartBeyondEnd);
    EXPECT_TRUE(planMix(7, 0, {3, 3, 1}, {1, 1, 1}).secondStartBeyondEnd);
    EXPECT_FALSE(planMix(7, 3, {3, 3, 1}, {1, 1, 3}).secondStartBeyondEnd);
}

TEST(MixPlan, RefusesCountsStepsAndStartsBelowOne) {
    EXPECT_THROW(planMix(7, 1, {0, 0, 1}, {1, 1, 1}), std::invalid_argument);
    EXPECT_THROW(planMix(7, 1, {1, 0, 1}, {1, 1, 1}), std::invalid_argument);
    EXPECT_THROW(planMix(7, 1, {3, 3, 0}, {1, 1, 1}), std::invalid_argument);
    EXPECT_THROW(planMix(7, 1, {3, 3, 1}, {1, -1, 1}), std::invalid_argument);
    EXPECT_THROW(planMix(7, 1, {3, 3, 1}, {1, 1, 0}), std::invalid_argument);
}

TEST(MixPlan, LongSecondDocumentStopsAtThePageLimit) {
    // Groups of 500 from a 1500-page second document: its third run would start at 1001.
    const MixPlanResult plan = planMix(7, 1500, {3, 3, 1}, {500, 500, 1});
    EXPECT_EQ(plan.passes, (Passes{{1, {1, 3}, {1, 500}}, {2, {4, 3}, {501, 499}}}));
    EXPECT_TRUE(plan.pagesIgnored);
    // The final message names the first document's page count.
    EXPECT_EQ(plan.maxPage, 7);

    // One page at a time: the passes end after page 999 of the second document.
    const MixPlanResult singles = planMix(1200, 1500, {1, 1, 1}, {1, 1, 1});
    ASSERT_EQ(singles.passes.size(), 999u);
    for (const MixPass& pass : singles.passes) {
        EXPECT_LE(pass.first.first + pass.first.count - 1, 999);
        EXPECT_LE(pass.second.first + pass.second.count - 1, 999);
    }
    EXPECT_TRUE(singles.pagesIgnored);
    EXPECT_EQ(singles.maxPage, 999);
}

TEST(MixPlan, LongFirstDocumentIsCutAndReported) {
    const MixPlanResult plan = planMix(1500, 1, {400, 400, 1}, {1, 1, 1});
    EXPECT_EQ(firstRuns(plan), (std::vector<PageRun>{{1, 400}, {401, 400}, {801, 199}}));
    EXPECT_TRUE(plan.pagesIgnored);
    EXPECT_EQ(plan.maxPage, 999);

    const MixPlanResult big = planMix(40000, 40000, {1, 1, 1}, {1, 1, 1});
    EXPECT_EQ(big.passes.size(), 999u);
    EXPECT_TRUE(big.pagesIgnored);

    // With a higher limit long documents mix whole.
    const MixPlanResult all = planMix(40000, 3, {1, 1, 1}, {2, 2, 1}, 40000);
    ASSERT_EQ(all.passes.size(), 40000u);
    EXPECT_EQ(all.passes.back(), (MixPass{40000, {40000, 1}, {3, 1}}));
    EXPECT_FALSE(all.pagesIgnored);
    EXPECT_EQ(all.maxPage, 40000);
}

TEST(MixPlan, RunCutAtTheLimitDoesNotShortenLaterRuns) {
    // Pairs from a 999-page second document: the 500th pass gets page 999 only, then the
    // document starts over and the pairs are whole again.
    const MixPlanResult plan = planMix(999, 999, {1, 1, 1}, {2, 2, 1});
    ASSERT_EQ(plan.passes.size(), 999u);
    EXPECT_EQ(plan.passes[498].second, (PageRun{997, 2}));
    EXPECT_EQ(plan.passes[499].second, (PageRun{999, 1}));
    EXPECT_EQ(plan.passes[500].second, (PageRun{1, 2}));
    EXPECT_EQ(plan.passes[998].second, (PageRun{997, 2}));
    EXPECT_FALSE(plan.pagesIgnored);
}

TEST(MixPlan, PassNumbersNameTheFiles) {
    const MixPlanResult plan = planMix(10, 1, {1, 1, 1}, {1, 1, 1});
    ASSERT_EQ(plan.passes.size(), 10u);
    for (std::size_t i = 0; i < plan.passes.size(); ++i)
        EXPECT_EQ(plan.passes[i].number, static_cast<std::int32_t>(i + 1));
    EXPECT_EQ(numberedOutputName("/d/", "mix", plan.passes[8].number), "/d/mix09.pdf");
    EXPECT_EQ(numberedOutputName("/d/", "mix", plan.passes[9].number), "/d/mix10.pdf");
}

}  // namespace
}  // namespace pagemeld
