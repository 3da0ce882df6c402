#include "runs/mix_plan.h"

#include <algorithm>
#include <stdexcept>

namespace pagemeld {
namespace {

void requirePositive(const MixDocumentPlan& doc, const char* which) {
    if (doc.count < 1 || doc.step < 1 || doc.start < 1) {
        throw std::invalid_argument(std::string("planMix: ") + which +
                                    " document's count, step or start is below 1");
    }
}

// The run of pages taken at `pos`: `count` pages, but none beyond the page limit and
// none beyond the document's last page.
PageRun cutRun(std::int64_t pos, std::int64_t count, std::int64_t limit, std::int64_t pages) {
    std::int64_t last = std::min({pos + count - 1, limit, pages});
    return {static_cast<std::int32_t>(pos), static_cast<std::int32_t>(last - pos + 1)};
}

}  // namespace

MixDocumentPlan mixDocumentPlan(bool everyGroupSelected, std::int32_t groupField,
                                std::int32_t eachField, std::int32_t startField) {
    if (everyGroupSelected) return {groupField, groupField, startField};
    return {1, eachField, startField};
}

MixPlanResult planMix(std::int32_t pages1, std::int32_t pages2, MixDocumentPlan doc1,
                      MixDocumentPlan doc2, std::int32_t maxPage) {
    requirePositive(doc1, "first");
    requirePositive(doc2, "second");

    MixPlanResult result;
    // Pages of either document beyond the limit are never used; the user is told.
    result.pagesIgnored = pages1 > maxPage || pages2 > maxPage;
    result.maxPage = std::max(0, std::min(pages1, maxPage));
    if (doc2.start > pages2) {
        result.secondStartBeyondEnd = true;
        return result;
    }

    std::int64_t pos1 = doc1.start;
    std::int64_t pos2 = doc2.start;
    std::int32_t number = 0;
    while (pos1 <= maxPage && pos2 <= maxPage && pos1 <= pages1) {
        ++number;
        // Each pass is cut on its own, so a short run at the limit does not shorten the
        // second document's runs after it starts over.
        result.passes.push_back({number, cutRun(pos1, doc1.count, maxPage, pages1),
                                 cutRun(pos2, doc2.count, maxPage, pages2)});
        pos1 += doc1.step;
        pos2 += doc2.step;
        if (pos2 > pages2) pos2 = doc2.start;
    }
    return result;
}

}  // namespace pagemeld
