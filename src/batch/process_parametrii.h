// Carries out the program's command line: a quiet request splits or merges and ends
// the program; "-s" and "-m" preload a list before the window opens.
#pragma once

#include "batch/command_line.h"

namespace pagemeld {

class Form1;

// The exit statuses of a request carried out without the window.
inline constexpr int kExitDone = 0;        // everything asked for was done
inline constexpr int kExitIncomplete = 1;  // an input skipped, an output or the log not written
inline constexpr int kExitRefused = 2;     // the command line was refused

// Reads form.state.command_line. A quiet request ends the program through
// ExitProject (ExitRequested is thrown) with form.state.exit_status set; every other
// request returns and the window opens with whatever it put into the lists.
void process_parametrii(Form1& form, const NameCompleter& complete);

}  // namespace pagemeld
