// The program's arguments as UTF-8 text, the way both programs read them.
#pragma once

#include <string>
#include <vector>

namespace pagemeld {

// args[0] is the program. On Windows the arguments come from the wide command line
// (argv holds the ANSI code page there, which loses characters); elsewhere they are
// argv's bytes as they come, so a name that is no UTF-8 still reaches its file.
std::vector<std::string> programArguments(int argc, char** argv);

}  // namespace pagemeld
