// The programs as they run without a window: pagemeld-cli always, and the window
// program for what needs no window. One entry point, so both take the same requests
// with the same logs, messages and exit statuses.
#pragma once

#include <iostream>
#include <string>

#include "base/platform.h"
#include "batch/usage_text.h"

namespace pagemeld {

class PdfEngine;

// The exit statuses of a request carried out without the window.
inline constexpr int kExitDone = 0;        // everything asked for was done
inline constexpr int kExitIncomplete = 1;  // an input skipped, an output or the log not written
inline constexpr int kExitRefused = 2;     // the command line was refused

inline const ProgramDescription kWindowProgram{"pagemeld", true};
inline const ProgramDescription kConsoleProgram{"pagemeld-cli", false};

// True when the window program answers `commandLine` without its window: quiet
// requests, help and the version; and, when there is no display to open the window
// on, every other command line, which it then refuses.
bool answeredWithoutWindow(const std::string& commandLine, bool displayAvailable);

// Carries `commandLine` out without any window and returns the exit status: help and
// the version on `out` (standard output), quiet requests on the runs, messages on
// `messages` (standard error). A request only the window can carry out ("-s", "-m",
// none at all) is refused.
int runQuietProgram(const std::string& commandLine, const ProgramDescription& program,
                    std::ostream& out = std::cout, std::ostream& messages = std::cerr);

// What a quiet request works with: runQuietProgram gives it the console, the machine
// and the qpdf engine.
struct QuietServices {
    Ui& ui;
    System& system;
    Settings& settings;
    PdfEngine& pdf;
};

// Carries out a quiet request ("-qs", "-qm"; anything else is refused) and returns the
// exit status. The error handler ending the program on the way leaves it not done.
int runQuietRequest(const std::string& commandLine, const QuietServices& services);

}  // namespace pagemeld
