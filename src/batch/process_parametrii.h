// Carries out the program's command line: a quiet request splits or merges and ends
// the program; "-s" and "-m" preload a list before the window opens.
#pragma once

#include "batch/command_line.h"

namespace pagemeld {

class Form1;

// Reads form.state.command_line. A quiet request ends the program through
// ExitProject (ExitRequested is thrown) with form.state.exit_status set; every other
// request returns and the window opens with whatever it put into the lists.
void process_parametrii(Form1& form, const NameCompleter& complete);

}  // namespace pagemeld
