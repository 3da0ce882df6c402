// The bookmarks of a document down to a level, in outline order, with the page each
// leads to: what a split at bookmarks cuts by.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pdf/pdf_document.h"

namespace pagemeld {

struct LeveledBookmark {
    std::string title;  // UTF-8, as the reader shows it
    int level = 1;      // 1 for the outline's top level
    // The 1-based page of the document it leads to; none when it leads to no page of
    // it (no destination, a destination in another file, a name that is not defined).
    std::optional<std::int32_t> page;
};

// The bookmarks of levels 1..`deepest` of `document`, in outline order. The outline
// is read as PdfSource reads it: loops cut, depth and count bounded, damage ending it.
std::vector<LeveledBookmark> bookmarksToLevel(const OpenedDocument& document, int deepest);

// A bookmark title as text: UTF-16 with either byte-order mark, UTF-8 with its mark,
// otherwise PDFDocEncoding.
std::string bookmarkTitleText(const std::string& bytes);

}  // namespace pagemeld
