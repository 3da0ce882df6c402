// The page arithmetic, range-text handling and output naming behind the split run (and,
// for the shared parts, the mix run). Plain functions: no window, no PDF engine, no
// globals, so every rule here can be checked on its own.
//
// How a split uses them:
//   - base name:        splitBaseName(txt_split_filename)
//   - each output file: numberedOutputName(destination, base, k) for output k = 1, 2, ...
//   - methods 1, 3, 4:  read N (and S) with wholeNumberField, refuse the run when it gives
//                       nothing, then write one file per fixedSizePieces(...) entry
//   - method 2:         refuse a text readRangeText finds fault with, write
//                       withFinalSemicolon(text) back into the box, then for each
//                       piece of rangePieces(text): check_rangesmall_for_max(piece, P, flag)
//                       and write the pages the rewritten piece names
//   - the bar:          percentDone(pieces written, pieces)
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pagemeld {

// The highest page number a mix takes from either document, and a quiet split of
// each file: no output number or page beyond it.
inline constexpr std::int32_t kPageLimit = 999;

// How far a run is, 0..100, after `done` of `total` files, pieces or passes.
constexpr int percentDone(std::size_t done, std::size_t total) {
    return total == 0 ? 100 : static_cast<int>(std::min(done, total) * 100 / total);
}

// The base name used when the typed one is blank.
inline constexpr const char* kDefaultBaseName = "pdfcdocument";

// The base name of numbered outputs: the typed text without surrounding blanks, or
// "pdfcdocument" when nothing else is left. The mix run uses the same rule.
std::string splitBaseName(const std::string& typed);

// destination + baseName + "0" when number < 10 + number + ".pdf": pieces end in 01..09,
// then 10, 11, ..., 99, 100. The destination is used exactly as given; no separator is
// added, so "c:\out" and "filename" give "c:\outfilename01.pdf". Numbers start at 1.
std::string numberedOutputName(const std::string& destination, const std::string& baseName,
                               std::int32_t number);

// The value of a method's number box (piece size, step or start page) when it holds a
// whole number of at least 1, with blanks around it allowed. Anything else - empty text,
// 0, a sign, a fraction, trailing letters, a value above INT32_MAX - gives nothing, and
// the run must refuse it before it writes anything: a size or step below 1 would never
// end the cutting loop, and there is no page 0 to start from.
std::optional<std::int32_t> wholeNumberField(const std::string& text);

// A run of pages: `count` pages from page `first` (1-based).
struct PageRun {
    std::int32_t first;
    std::int32_t count;

    friend bool operator==(const PageRun&, const PageRun&) = default;
};

// The pieces of the three fixed-size methods, in output order: from `start`, one piece
// of `countPerPiece` pages every `step` pages while the piece's first page is within the
// document; the last piece is cut at the document's last page. A start beyond the last
// page gives no piece.
//   method 1 ("Into files of" N):                fixedSizePieces(P, N, 1, N)
//   method 3 ("Every group of" N, from page S):  fixedSizePieces(P, N, S, N)
//   method 4 ("Each" N, from page S):            fixedSizePieces(P, N, S, 1)
// Throws std::invalid_argument when step, start or countPerPiece is below 1 (the
// callers have refused such input through wholeNumberField). A pageCount below 1 gives
// no piece. Safe for any page count: the arithmetic does not overflow.
std::vector<PageRun> fixedSizePieces(std::int32_t pageCount, std::int32_t step, std::int32_t start,
                                     std::int32_t countPerPiece);

// The range text as the run leaves it in its box: unchanged when its last character,
// ignoring blanks around the text, is ";", otherwise the text (as typed) with ";" added.
std::string withFinalSemicolon(const std::string& text);

// The ";"-terminated pieces of a range text: with R the text without surrounding
// blanks, each piece is the text before the next ";" (an empty piece stays ""). Text
// after the last ";" is not a piece, so pass the text through withFinalSemicolon first.
// "1-4,6,9-10;5,6;12;20-21,23;" gives "1-4,6,9-10", "5,6", "12", "20-21,23".
std::vector<std::string> rangePieces(const std::string& text);

// What a range text holds, read before anything is cut: the first item (as typed,
// without the blanks around it) that readPageItem does not understand, which the run
// refuses and quotes, and whether any item names a page at all. Blank items (",,", a
// final ",") and empty pieces (";;") name nothing and are passed over; an empty piece
// still uses up its number when the run cuts.
struct RangeTextReading {
    std::optional<std::string> unclearItem;
    bool namesPages = false;
};
RangeTextReading readRangeText(const std::string& text);

// The whole number at the start of a text, read the way the run reads numbers in range
// items: blanks (space, tab, line breaks) skipped, an optional sign, then the leading
// digits; no digits gives 0 ("12abc" is 12, "abc" is 0). Values far beyond any page
// count saturate instead of overflowing.
std::int64_t leadingWholeNumber(const std::string& text);

// A range piece rewritten for a document of `pageCount` pages. The items, separated by
// ",", are walked from the left:
//   - "a-b" (split at its first "-"): an end whose leadingWholeNumber is above pageCount
//     is replaced by pageCount in decimal; when both ends are above, the item is dropped;
//   - a single page above pageCount is dropped;
//   - every other item is kept as typed, followed by "," when a "," followed it.
// With 10 pages: "2-5,12,8-15" gives "2-5,8-10", "12-20" gives "", "10-10" stays.
// A drop sets `pagesIgnored`; nothing here ever clears it, so a run that resets it once
// and then rewrites every piece learns about drops in any piece, not just the last.
std::string check_rangesmall_for_max(const std::string& piece, std::int32_t pageCount,
                                     bool& pagesIgnored);

}  // namespace pagemeld
