// The programs as they run without a window: pagemeld-cli always, and the window
// program for what needs no window. One entry point, so both take the same requests
// with the same logs, messages and exit statuses.
#pragma once

#include <iostream>
#include <string>

#include "batch/usage_text.h"

namespace pagemeld {

inline const ProgramDescription kWindowProgram{"pagemeld", true};
inline const ProgramDescription kConsoleProgram{"pagemeld-cli", false};

// True when the window program answers `commandLine` without its window: quiet
// requests, help and the version; and, when there is no display to open the window
// on, every other command line, which it then refuses.
bool answeredWithoutWindow(const std::string& commandLine, bool displayAvailable);

// Carries `commandLine` out without any window and returns the exit status: help and
// the version on `out` (standard output), quiet requests as the window program carries
// them out, messages on `messages` (standard error). A request only the window can carry
// out ("-s", "-m", none at all) is refused.
int runQuietProgram(const std::string& commandLine, const ProgramDescription& program,
                    std::ostream& out = std::cout, std::ostream& messages = std::cerr);

}  // namespace pagemeld
