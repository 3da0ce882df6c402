// The page arithmetic behind the mix run: which pages of the two documents every pass
// joins, and what the final message reports. Plain functions: no window, no PDF engine.
//
// How the mix run uses them:
//   - the window reads every number box with wholeNumberField (split_plan.h) and refuses
//     the run when one that is used gives nothing;
//   - doc(d) = mixDocumentPlan(...) for each document, then plan = planMix(...) with both
//     page counts;
//   - plan.secondStartBeyondEnd: tell the user and write nothing;
//   - for each pass: the run of pages `first` of document 1 followed by the run `second`
//     of document 2, written as numberedOutputName(destination, base, pass.number);
//   - the bar: percentDone(passes written, passes);
//   - final message: "Mix process done!" unless plan.pagesIgnored, then the "above"
//     message naming plan.maxPage.
#pragma once

#include <cstdint>
#include <vector>

#include "runs/split_plan.h"

namespace pagemeld {

// How one document is read: `count` pages per pass, the position advancing by `step`
// pages per pass, from page `start`. Read backwards, the document is taken from its
// last page (within the page limit) down to page `start`, as a duplex scan's backs.
struct MixDocumentPlan {
    std::int32_t count;
    std::int32_t step;
    std::int32_t start;
    bool backwards = false;

    friend bool operator==(const MixDocumentPlan&, const MixDocumentPlan&) = default;
};

// One document's plan from its option row values. "Every group of" chosen: count and
// step are its number (groupField). "Each" chosen: one page every eachField pages.
// startField is the start box of the chosen row.
MixDocumentPlan mixDocumentPlan(bool everyGroupSelected, std::int32_t groupField,
                                std::int32_t eachField, std::int32_t startField);

// One output file: `first` pages of the first document followed by `second` pages of
// the second, saved under output number `number` (1, 2, ...). A run of a document
// read backwards names its highest page and goes down: {6, 2} is pages 6, 5.
struct MixPass {
    std::int32_t number;
    PageRun first;
    PageRun second;

    friend bool operator==(const MixPass&, const MixPass&) = default;
};

struct MixPlanResult {
    std::vector<MixPass> passes;
    // True when a document has more pages than the page limit (pages beyond it are
    // never used): the run ends with the "pages above ... were ignored" message.
    bool pagesIgnored = false;
    // The number that message names: the first document's page count, but never more
    // than the page limit.
    std::int32_t maxPage = 0;
    // The second document's start page lies beyond its last page. No pass is planned:
    // every pass would need pages the document does not have, so the run must say so
    // instead of writing files.
    bool secondStartBeyondEnd = false;
};

// The passes of a mix of a first document of `pages1` pages and a second of `pages2`:
// positions begin at each document's start; a pass is made while both positions are
// within `maxPage` and the first document's position is within the document. Each run
// is cut so that it ends at `maxPage` and at its document's last page - the pages
// OpenedDocument::pageRun gives for it. After a pass both positions advance by their step;
// when the second document's position passes its last page it returns to its start, so
// the second document is read over and over. A first start beyond the first document
// (or beyond maxPage) gives no pass. A document read backwards is walked the same way
// over its pages from the last (or maxPage) down to its start.
// Throws std::invalid_argument when a count, step or start is below 1; the caller has
// refused such input already.
MixPlanResult planMix(std::int32_t pages1, std::int32_t pages2, MixDocumentPlan doc1,
                      MixDocumentPlan doc2, std::int32_t maxPage = kPageLimit);

}  // namespace pagemeld
