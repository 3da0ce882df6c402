#include "runs/split_run.h"

#include <algorithm>

#include "errors/trap.h"
#include "pdf/page_ranges.h"
#include "runs/document_information.h"
#include "runs/split_plan.h"

namespace pagemeld {

namespace {

// The pieces of a range text: each part rewritten for the page limit, then the pages
// it names.
std::vector<std::vector<PageRef>> rangePages(const RangePieces& method,
                                             const OpenedDocument& source, SplitResult& result) {
    std::vector<std::vector<PageRef>> pages;
    for (const std::string& piece : method.pieces) {
        const std::string rewritten =
            check_rangesmall_for_max(piece, result.limit, result.pagesLeftOut);
        pages.push_back(source.pagesNumbered(parsePageRanges(rewritten, source.pageCount())));
    }
    return pages;
}

std::vector<std::vector<PageRef>> fixedPages(const FixedPieces& method,
                                             const OpenedDocument& source, SplitResult& result) {
    std::vector<std::vector<PageRef>> pages;
    for (const PageRun& run :
         fixedSizePieces(result.limit, method.step, method.start, method.count))
        pages.push_back(source.pageRun(run.first, run.count));
    result.pagesLeftOut = result.pages > result.limit;
    return pages;
}

}  // namespace

SplitResult runSplit(const SplitRequest& request, PdfEngine& pdf, RunReporter& reporter,
                     Trap& trap) {
    SplitResult result;
    result.inputs.resize(1);
    OpenedDocument source;
    std::vector<NumberedOutput> pieces;
    bool stop = false;
    const bool went = trap.run(
        {
            [&] {
                source = openInput(pdf, request.source, result.inputs[0]);
                stop = !source.opened();
                if (stop) return;
                result.inputs[0].fate = InputFate::Used;
                reporter.note({RunEvent::Kind::InputOpened, 0, request.source.path});
            },
            [&] {
                result.pages = source.pageCount();
                result.limit =
                    request.pageLimit ? std::min(*request.pageLimit, result.pages) : result.pages;
                const auto pages =
                    std::holds_alternative<FixedPieces>(request.method)
                        ? fixedPages(std::get<FixedPieces>(request.method), source, result)
                        : rangePages(std::get<RangePieces>(request.method), source, result);
                pieces.clear();
                for (std::size_t k = 1; k <= pages.size(); ++k) {
                    pieces.push_back({numberedOutputName(request.destination, request.baseName,
                                                         static_cast<std::int32_t>(k)),
                                      pages[k - 1]});
                }
            },
            [&] {
                // No piece may take the source's place (or a kept file's): the rest of
                // the user's document would be lost. Every number is checked, also one
                // whose piece turns out empty.
                KeptFiles kept(request.kept);
                kept.keep(request.source.path);
                for (NumberedOutput& piece : pieces) {
                    piece.skipped = kept.wouldReplace(piece.name);
                    if (piece.skipped && request.onClash == OnClash::RefuseRun) {
                        result.clash = piece.name;
                        stop = true;
                        return;
                    }
                }
            },
            [&] {
                stop = result.replaceRefused =
                    !mayWriteOutputs(request.existing, reporter, request.destination,
                                     request.baseName, pieces.size());
            },
        },
        [&] { return stop; });
    if (!went) result.left = true;
    if (!went || stop) return result;

    writeOutputs(pieces, withEntries(source.information, request.information), pdf, reporter, trap,
                 result);
    return result;
}

}  // namespace pagemeld
