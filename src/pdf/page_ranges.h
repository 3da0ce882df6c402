// Page lists as the engine reads them: items "a" or "a-b" separated by ",".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pagemeld {

// The 1-based page numbers an item list names, in order, for a document of
// `pageCount` pages. "3-1" runs backwards; a missing end stands for the document's
// edge ("5-" is 5 to the last page); pages outside 1..pageCount and items that are
// not numbers are left out.
std::vector<std::int32_t> parsePageRanges(const std::string& ranges, std::int32_t pageCount);

}  // namespace pagemeld
