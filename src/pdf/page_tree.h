// The page tree of an opened file, made safe for qpdf to walk. qpdf lists the pages by
// recursion, one call per level of the tree, so a tree nested deeply enough overflows
// the stack; where that happens depends on the stack the platform gives a thread (a
// Windows program's main thread has 2 MB, Linux's 8 MB), so the same file would open
// on one system and not on another. The tree is measured here without recursion: a
// file nested deeper than kMaxPageTreeDepth is refused as damaged everywhere, and a
// deep tree within the limit is flattened in memory before qpdf sees it.
#pragma once

#include <qpdf/QPDF.hh>

#include <array>
#include <string>

namespace pagemeld {

// The levels of page-tree nodes above the deepest page. No sound file comes near it:
// a balanced tree of a million pages is a few levels deep, and even a tree that puts
// every page one level below the one before stays within it up to 20,000 pages.
inline constexpr int kMaxPageTreeDepth = 20000;

// The entries a page takes from the nearest node above it that has them.
inline constexpr std::array<const char*, 4> kInheritedPageKeys = {"/Resources", "/MediaBox",
                                                                  "/CropBox", "/Rotate"};

// The value `key` takes for `page` from the nearest node above it that has it, or null
// (a loop in the /Parent chain ends the search).
QPDFObjectHandle inheritedAttribute(QPDFObjectHandle page, const std::string& key);

// Prepares the page tree of `qpdf` before its pages are listed: a tree more than
// kMaxPageTreeDepth levels deep throws RuntimeError (kInvalidFileFormat); a tree
// deeper than qpdf's own walk may safely go becomes one level, each page holding what
// it inherited; any other tree is left as it is.
void preparePageTree(QPDF& qpdf);

}  // namespace pagemeld
