#include "runs/split_run.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/file_system.h"
#include "errors/trap.h"
#include "pdf/outline_levels.h"
#include "pdf/page_ranges.h"
#include "runs/document_information.h"
#include "runs/split_bookmarks.h"
#include "runs/split_plan.h"
#include "runs/split_size.h"

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

// Pieces by the size estimate alone; writing them measures each (writeSizePieces).
std::vector<std::vector<PageRef>> sizePages(const SizePieces& method, const OpenedDocument& source,
                                            SplitResult& result) {
    const std::vector<PageRef> pages = source.pageRun(1, result.limit);
    std::vector<std::vector<PageRef>> pieces;
    for (std::size_t first = 0; first < pages.size();) {
        const std::size_t count = estimatedPieceCount(pages, first, method.maxBytes);
        pieces.emplace_back(pages.begin() + static_cast<std::ptrdiff_t>(first),
                            pages.begin() + static_cast<std::ptrdiff_t>(first + count));
        first += count;
    }
    result.pagesLeftOut = result.pages > result.limit;
    return pieces;
}

std::vector<NumberedOutput> numbered(const SplitRequest& request,
                                     const std::vector<std::vector<PageRef>>& pages) {
    std::vector<NumberedOutput> pieces;
    for (std::size_t k = 1; k <= pages.size(); ++k) {
        pieces.push_back({numberedOutputName(request.destination, request.baseName,
                                             static_cast<std::int32_t>(k)),
                          pages[k - 1]});
    }
    return pieces;
}

std::vector<NumberedOutput> bookmarkOutputs(const SplitRequest& request,
                                            const OpenedDocument& source, const KeptFiles& kept,
                                            SplitResult& result) {
    const std::int32_t level = std::get<BookmarkPieces>(request.method).level;
    // A title never takes the name of a file the run must keep: it is numbered instead.
    DistinctNames names([&](const std::string& name) {
        return kept.wouldReplace(request.destination + name + ".pdf");
    });
    const BookmarkPlan plan = bookmarkPieces(bookmarksToLevel(source, level), level, result.limit,
                                             request.baseName, names);
    result.noBookmarksAtLevel = plan.levelMissing;
    result.bookmarksWithoutPage = plan.withoutPage;
    result.pagesLeftOut = result.pages > result.limit;
    std::vector<NumberedOutput> pieces;
    for (const BookmarkPiece& piece : plan.pieces) {
        pieces.push_back(
            {request.destination + piece.name + ".pdf", source.pageRun(piece.first, piece.count)});
    }
    return pieces;
}

// Writes the size pieces, each measured once written and cut shorter when the estimate
// let it grow too large; the pages it gives up start the next piece, so the pieces after
// it are sized again. A number beyond those planned was not asked about: it is checked
// here as the planned ones were before the run began.
void writeSizePieces(const SplitRequest& request, const OpenedDocument& source,
                     const std::vector<NumberedOutput>& planned, const KeptFiles& kept,
                     const DocumentInformation& information, PdfEngine& pdf, RunReporter& reporter,
                     Trap& trap, SplitResult& result) {
    const std::uint64_t maxBytes = std::get<SizePieces>(request.method).maxBytes;
    const std::vector<PageRef> pages = source.pageRun(1, result.limit);
    reporter.started();
    std::size_t first = 0;
    std::size_t plannedFirst = 0;
    std::optional<bool> beyondAnswer;  // to replace files beyond the planned numbers
    for (std::size_t k = 1; first < pages.size(); ++k) {
        if (reporter.cancelled()) {
            result.cancelled = true;
            return;
        }
        const std::size_t before = first;
        std::size_t attempted = 1;
        const bool carriedOn = trap.step([&] {
            const std::string name = numberedOutputName(request.destination, request.baseName,
                                                        static_cast<std::int32_t>(k));
            // While the pieces written match the plan, the plan's count stands.
            std::size_t count = k <= planned.size() && first == plannedFirst
                                    ? planned[k - 1].pages.size()
                                    : estimatedPieceCount(pages, first, maxBytes);
            attempted = count;
            if (kept.wouldReplace(name)) {
                if (request.onClash == OnClash::RefuseRun) {
                    result.clash = name;
                    return;
                }
                result.skipped.push_back(name);
                reporter.note({RunEvent::Kind::OutputSkipped, 0, name});
            } else {
                std::error_code ec;
                if (k > planned.size() && request.existing != ExistingFiles::Replace &&
                    std::filesystem::exists(fileStatus(name, ec))) {
                    if (!beyondAnswer)
                        beyondAnswer = request.existing == ExistingFiles::Ask &&
                                       reporter.mayReplace({request.destination, 1});
                    if (!*beyondAnswer) {
                        result.replaceRefused = true;
                        return;
                    }
                }
                reporter.writing(name);
                const WrittenPiece piece = writeWithinSize(
                    first, count, maxBytes,
                    [&](std::size_t from, std::size_t n) -> std::optional<std::uint64_t> {
                        const std::vector<PageRef> some(
                            pages.begin() + static_cast<std::ptrdiff_t>(from),
                            pages.begin() + static_cast<std::ptrdiff_t>(from + n));
                        if (const PdfFailure failure = pdf.write(name, some, information)) {
                            result.outputFailure = {failure.code, name};
                            return std::nullopt;
                        }
                        std::error_code ec;
                        const auto size = std::filesystem::file_size(systemPath(name), ec);
                        return ec ? std::uint64_t{0} : static_cast<std::uint64_t>(size);
                    });
                if (piece.count == 0) return;
                if (piece.oversize)
                    result.oversizePages.push_back(static_cast<std::int32_t>(first + 1));
                result.written.push_back(name);
                count = piece.count;
            }
            if (k <= planned.size() && first == plannedFirst)
                plannedFirst += planned[k - 1].pages.size();
            first += count;
            reporter.progress(percentDone(first, pages.size()));
        });
        result.left = !carriedOn;
        if (result.left || result.outputFailure || !result.clash.empty() || result.replaceRefused)
            return;
        // A piece the error handler had skipped is left out, as the other methods leave it.
        if (first == before) first += attempted;
    }
}

}  // namespace

SplitResult runSplit(const SplitRequest& request, PdfEngine& pdf, RunReporter& reporter,
                     Trap& trap) {
    SplitResult result;
    result.inputs.resize(1);
    OpenedDocument source;
    std::vector<NumberedOutput> pieces;
    KeptFiles kept(request.kept);
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
                kept.keep(request.source.path);
                if (std::holds_alternative<BookmarkPieces>(request.method)) {
                    pieces = bookmarkOutputs(request, source, kept, result);
                    stop = result.noBookmarksAtLevel;
                    return;
                }
                const auto pages =
                    std::holds_alternative<FixedPieces>(request.method)
                        ? fixedPages(std::get<FixedPieces>(request.method), source, result)
                    : std::holds_alternative<RangePieces>(request.method)
                        ? rangePages(std::get<RangePieces>(request.method), source, result)
                        : sizePages(std::get<SizePieces>(request.method), source, result);
                pieces = numbered(request, pages);
            },
            [&] {
                // No piece may take the source's place (or a kept file's): the rest of
                // the user's document would be lost. Every number is checked, also one
                // whose piece turns out empty.
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
                    std::holds_alternative<BookmarkPieces>(request.method)
                        ? !mayWriteNamedOutputs(request.existing, reporter, request.destination,
                                                pieces)
                        : !mayWriteOutputs(request.existing, reporter, request.destination,
                                           request.baseName, pieces.size());
            },
        },
        [&] { return stop; });
    if (!went) result.left = true;
    if (!went || stop) return result;

    const DocumentInformation information = withEntries(source.information, request.information);
    if (std::holds_alternative<SizePieces>(request.method)) {
        writeSizePieces(request, source, pieces, kept, information, pdf, reporter, trap, result);
        return result;
    }
    writeOutputs(pieces, information, pdf, reporter, trap, result);
    return result;
}

}  // namespace pagemeld
