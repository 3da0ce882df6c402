// Cutting a document at its bookmarks: where each piece starts, and the file name its
// bookmark's title gives it. Plain functions over the bookmarks read from the outline.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

#include "pdf/outline_levels.h"

namespace pagemeld {

// The longest name, in characters, a title gives a file (".pdf" not counted).
inline constexpr std::size_t kTitleNameMax = 100;

// A file name (without ".pdf") made of a bookmark title: characters Windows forbids in
// names, and control characters, become "_"; blanks at both ends and dots at the end
// go (Windows would drop them); at most kTitleNameMax characters; a name Windows keeps
// for a device ("CON", "lpt1.txt") gets "_" after its stem ("CON_", "lpt1_.txt"). ""
// when nothing is left.
std::string titleFileName(const std::string& title);

// Gives names that differ from each other and from names already taken, ignoring case
// as Windows does: the second "Intro" becomes "Intro (2)", the third "Intro (3)".
class DistinctNames {
public:
    // `taken` says whether a name (without ".pdf") is someone else's.
    explicit DistinctNames(std::function<bool(const std::string&)> taken)
        : taken_(std::move(taken)) {}
    std::string next(const std::string& name);

private:
    std::function<bool(const std::string&)> taken_;
    std::unordered_set<std::string> given_;  // folded
};

// A name folded for comparison as Windows compares file names (letters of the Latin,
// Greek and Cyrillic alphabets without case).
std::string foldedName(const std::string& name);

struct BookmarkPiece {
    std::string name;  // file name without folder and ".pdf"
    std::int32_t first = 1;
    std::int32_t count = 0;
};

struct BookmarkPlan {
    std::vector<BookmarkPiece> pieces;
    // Bookmarks of the levels cut at that lead to no page of the document.
    std::int32_t withoutPage = 0;
    // No bookmark of the level asked for leads to a page: nothing is cut.
    bool levelMissing = false;
};

// The pieces of pages 1..limit cut at the bookmarks of levels 1..level (a chapter
// without sections still starts a piece of its own at level 2, rather than ending up
// in the last section of the chapter before), in page order; bookmarks beyond `limit`
// cut nothing. Pages
// before the first cut form a piece named baseName + "00". A piece is named after the
// first bookmark that starts it; one whose title leaves no name takes baseName and
// its number as the numbered methods name pieces.
BookmarkPlan bookmarkPieces(const std::vector<LeveledBookmark>& marks, int level,
                            std::int32_t limit, const std::string& baseName, DistinctNames& names);

}  // namespace pagemeld
