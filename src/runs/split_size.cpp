#include "runs/split_size.h"

#include <algorithm>

#include "pdf/piece_size.h"

namespace pagemeld {

std::size_t estimatedPieceCount(const std::vector<PageRef>& pages, std::size_t first,
                                std::uint64_t maxBytes) {
    PieceSizeEstimate estimate;
    std::size_t count = 0;
    while (first + count < pages.size()) {
        if (estimate.add(pages[first + count]) > maxBytes && count > 0) break;
        ++count;
    }
    return count;
}

WrittenPiece writeWithinSize(std::size_t first, std::size_t count, std::uint64_t maxBytes,
                             const PieceWrite& write) {
    std::optional<std::uint64_t> size = write(first, count);
    if (!size) return {};
    if (*size <= maxBytes || count == 1) return {count, *size > maxBytes};
    // The estimate was short. Scaled by how far it was out, the piece usually fits;
    // else the count is halved towards the largest that does.
    std::size_t tooMany = count;
    std::size_t fits = 0;
    count = std::clamp<std::size_t>(
        static_cast<std::size_t>(static_cast<double>(count) * static_cast<double>(maxBytes) /
                                 static_cast<double>(*size)),
        1, count - 1);
    for (;;) {
        size = write(first, count);
        if (!size) return {};
        if (*size <= maxBytes)
            fits = count;
        else
            tooMany = count;
        if (count == 1 && !fits) return {1, true};
        if (fits + 1 >= tooMany) break;
        count = fits + (tooMany - fits) / 2;
        if (count == 0) count = 1;
    }
    // The last write must be the piece kept.
    if (count != fits) {
        size = write(first, fits);
        if (!size) return {};
    }
    return {fits, false};
}

std::string pageListText(const std::vector<std::int32_t>& pages) {
    std::string list;
    for (const std::int32_t page : pages) list += (list.empty() ? "" : ", ") + std::to_string(page);
    return list;
}

}  // namespace pagemeld
