// The split: one source cut into numbered output files. The window's split and the
// quiet split are this one run with different requests.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "runs/run_files.h"
#include "runs/run_reporter.h"

namespace pagemeld {

class Trap;

// Pieces of a fixed number of pages: fixedSizePieces(pages, step, start, count).
struct FixedPieces {
    std::int32_t step = 1;
    std::int32_t start = 1;
    std::int32_t count = 1;
};

// One piece per ";"-separated part of a range text (rangePieces), each written with
// the pages it names; a part that names no page of the document writes nothing but
// uses up its number.
struct RangePieces {
    std::vector<std::string> pieces;
};

using SplitMethod = std::variant<FixedPieces, RangePieces>;

// What to do with an output that would replace the source or a kept file.
enum class OnClash {
    RefuseRun,  // end the run before anything is written (RunResult::clash)
    SkipPiece,  // leave that piece out and go on (RunResult::skipped)
};

struct SplitRequest {
    InputFile source;
    SplitMethod method;
    // Output k is numberedOutputName(destination, baseName, k).
    std::string destination;
    std::string baseName;
    // The highest page written; none for the document's last page.
    std::optional<std::int32_t> pageLimit;
    ExistingFiles existing = ExistingFiles::Ask;
    OnClash onClash = OnClash::RefuseRun;
    // Files besides the source that no piece may replace.
    std::vector<std::string> kept;
    // Written over the source's own information entries in every piece.
    DocumentInformation information;
};

struct SplitResult : RunResult {
    std::int32_t pages = 0;  // the source's page count
    // The highest page the run could write: the page limit, or the last page.
    std::int32_t limit = 0;
    // Pages beyond `limit` were there or were asked for, and were left out.
    bool pagesLeftOut = false;
};

// Runs `request`; each step goes through `trap`, the error trap of whoever started it.
SplitResult runSplit(const SplitRequest& request, PdfEngine& pdf, RunReporter& reporter,
                     Trap& trap);

}  // namespace pagemeld
