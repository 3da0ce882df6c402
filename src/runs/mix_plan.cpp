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

// Where one document is read: forwards the position is a page number; backwards it
// counts the pages walked down from the top page (the last, or the limit).
class Reader {
public:
    Reader(const MixDocumentPlan& plan, std::int64_t pages, std::int64_t limit)
        : plan_(plan), pages_(pages), limit_(limit), top_(std::min(pages, limit)) {
        restart();
    }

    bool within() const {
        return plan_.backwards ? pos_ <= top_ - plan_.start + 1 : pos_ <= limit_ && pos_ <= pages_;
    }
    // Beyond the document's pages (the limit is not the end: it ends the passes).
    bool pastEnd() const { return plan_.backwards || pos_ > pages_; }
    PageRun run() const {
        if (!plan_.backwards) return cutRun(pos_, plan_.count, limit_, pages_);
        const std::int64_t walked = top_ - plan_.start + 1;
        const std::int64_t last = std::min<std::int64_t>(pos_ + plan_.count - 1, walked);
        return {static_cast<std::int32_t>(top_ - pos_ + 1),
                static_cast<std::int32_t>(last - pos_ + 1)};
    }
    void advance() { pos_ += plan_.step; }
    void restart() { pos_ = plan_.backwards ? 1 : plan_.start; }

private:
    MixDocumentPlan plan_;
    std::int64_t pages_;
    std::int64_t limit_;
    std::int64_t top_;
    std::int64_t pos_ = 0;
};

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

    Reader first(doc1, pages1, maxPage);
    Reader second(doc2, pages2, maxPage);
    std::int32_t number = 0;
    while (first.within() && second.within()) {
        ++number;
        // Each pass is cut on its own, so a short run at the limit does not shorten the
        // second document's runs after it starts over.
        result.passes.push_back({number, first.run(), second.run()});
        first.advance();
        second.advance();
        if (!second.within() && second.pastEnd()) second.restart();
    }
    return result;
}

}  // namespace pagemeld
