// The programs as they run without a window: pagemeld-cli always, and the window
// program for what needs no window. One entry point, so both take the same requests
// with the same logs, messages and exit statuses.
#pragma once

#include <iostream>
#include <string>
#include <vector>

#include "base/platform.h"
#include "batch/usage_text.h"

namespace pagemeld {

class PdfEngine;
class TerminalProgress;

inline const ProgramDescription kWindowProgram{"pagemeld", true};
inline const ProgramDescription kConsoleProgram{"pagemeld-cli", false};

// True when the window program answers `commandLine` without its window: quiet
// requests, help and the version; and, when there is no display to open the window
// on, every other command line, which it then refuses.
bool answeredWithoutWindow(const std::string& commandLine, bool displayAvailable);

// Carries the program's arguments (`args`[0] the program) out without any window and
// returns the exit status (ExitStatus): help and the version on `out` (standard
// output), quiet requests on the runs, messages on `messages` (standard error), a list
// "@-" from `in`. A request only the window can carry out ("-s", "-m", none at all) is
// refused.
int runQuietProgram(const std::vector<std::string>& args, const ProgramDescription& program,
                    std::ostream& out = std::cout, std::ostream& messages = std::cerr,
                    std::istream& in = std::cin);

// What a quiet request works with: runQuietProgram gives it the console, the machine,
// the qpdf engine and the standard streams.
struct QuietServices {
    Ui& ui;
    System& system;
    Settings& settings;
    PdfEngine& pdf;
    std::istream* standardInput = nullptr;   // the list "@-"
    std::ostream* standardOutput = nullptr;  // a merge to "-"
    std::ostream* standardError = nullptr;   // the log of a merge to "-"
    TerminalProgress* progress = nullptr;    // standard error is a terminal: the count
};

// Carries out a quiet request ("-qs", "-qm"; anything else is refused), its list files
// expanded, and returns the exit status. The error handler ending the program on the
// way leaves it partly done.
int runQuietRequest(const std::vector<std::string>& args, const QuietServices& services);

}  // namespace pagemeld
