// Lists of file names for the quiet requests: "@list.txt" in place of input names
// reads them from the file, "@-" from standard input. A command line cannot hold
// thousands of names on Windows; a list can.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace pagemeld {

struct ExpandedArguments {
    std::vector<std::string> args;  // as if every listed name had been typed
    bool fromList = false;          // a list gave names
    bool progressOff = false;       // "-q" among the switches: no progress line
    // The list that could not be read, as it was named; `args` is empty then.
    std::string unreadableList;
};

// The names one list holds: one a line (UTF-8, a byte order mark skipped, CR LF or LF);
// empty lines and lines starting with "#" skipped. A line "name<TAB>range" gives the
// two arguments "name --pages range", the page choice of a merge.
std::vector<std::string> listedArguments(std::istream& list);

// Replaces each input name "@file" of a quiet request (`args`[1] is the switch; names
// stand before "-o") by the arguments its list holds, "@-" by those of
// `standardInput`, and takes "-q" out of the words before the first name. Relative
// list names and the names in a list are taken from the current folder, as typed
// names are. Other command lines come back as they are.
ExpandedArguments expandListFiles(const std::vector<std::string>& args,
                                  std::istream& standardInput);

}  // namespace pagemeld
