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

// A new piece at the page of each bookmark of levels 1..level, named after its title
// (bookmarkPieces); pages before the first form a piece of their own.
struct BookmarkPieces {
    std::int32_t level = 1;
};

// Consecutive pages while the piece's written size stays within maxBytes; a page
// larger by itself is a piece of its own. Numbered as the fixed pieces are.
struct SizePieces {
    std::uint64_t maxBytes = 0;
};

using SplitMethod = std::variant<FixedPieces, RangePieces, BookmarkPieces, SizePieces>;

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
    // Bookmarks: the source has none of the level asked for that leads to one of its
    // pages (nothing written), and how many of the levels cut at lead to no page.
    bool noBookmarksAtLevel = false;
    std::int32_t bookmarksWithoutPage = 0;
    // Size: pages (1-based) larger than the limit by themselves, each written alone.
    std::vector<std::int32_t> oversizePages;
};

// Runs `request`; each step goes through `trap`, the error trap of whoever started it.
SplitResult runSplit(const SplitRequest& request, PdfEngine& pdf, RunReporter& reporter,
                     Trap& trap);

}  // namespace pagemeld
