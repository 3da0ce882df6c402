// The program as a quiet request runs it: the same window model and routines, but no
// window, no display and no network; messages go to standard error.
#pragma once

#include <string>

namespace pagemeld {

// Carries out a quiet request and returns the program's exit status.
int runQuietProgram(const std::string& commandLine);

}  // namespace pagemeld
