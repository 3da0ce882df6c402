// Cutting a document into pieces of at most a size: consecutive pages go into a piece
// while its estimated size (PieceSizeEstimate) stays within the limit; each piece is
// measured once written, and one the estimate let grow too large is written again
// with fewer pages. So a piece is written once when the estimate holds, and at most
// 3 + log2(its pages) times when it does not, whatever the size of the document.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "pdf/pdf_document.h"

namespace pagemeld {

// 1 MB as the size limits count it: the smaller reading, so that a piece fits a limit
// meant in either.
inline constexpr std::uint64_t kBytesPerMegabyte = 1000 * 1000;

// How many pages from `first` the next piece takes by the estimate: at least one.
std::size_t estimatedPieceCount(const std::vector<PageRef>& pages, std::size_t first,
                                std::uint64_t maxBytes);

// Writes one piece and tells its size, or nothing when it could not be written (the
// writer has recorded why).
using PieceWrite =
    std::function<std::optional<std::uint64_t>(std::size_t first, std::size_t count)>;

struct WrittenPiece {
    std::size_t count = 0;  // pages in it; 0 when it could not be written
    bool oversize = false;  // one page larger than the limit by itself
};

// Writes the piece starting at `first` whose estimate gave `count` pages, shrinking it
// until its written size is within `maxBytes` or it holds one page.
WrittenPiece writeWithinSize(std::size_t first, std::size_t count, std::uint64_t maxBytes,
                             const PieceWrite& write);

// The pages a message names: "3, 7, 12".
std::string pageListText(const std::vector<std::int32_t>& pages);

}  // namespace pagemeld
