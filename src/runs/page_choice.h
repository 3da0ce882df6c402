// Which pages of a file go into a merge: the text typed beside it. Empty means every
// page; otherwise items separated by "," as in a split's ranges ("1-4,6", "3-1" runs
// backwards), plus an open end ("8-" runs to the last page). Blank items name nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pagemeld {

// The first item (without the blanks around it) that is not understood, to be quoted
// when the text is refused; nothing when the whole text can be used.
std::optional<std::string> unclearPageChoiceItem(const std::string& choice);

// The 1-based page numbers the choice names in a file of `pageCount` pages, in order,
// repeats kept; pages beyond the file are left out. An empty (or blank) choice names
// every page. Items that are not understood name nothing.
std::vector<std::int32_t> chosenPages(const std::string& choice, std::int32_t pageCount);

}  // namespace pagemeld
