// The programs' standard streams as a quiet request uses them: a PDF on standard
// output, a progress line on a terminal, a pipe its reader may close.
#pragma once

namespace pagemeld {

// Whether standard error is a terminal (a console on Windows).
bool standardErrorIsTerminal();

// Standard output passes bytes unchanged (Windows would turn "\n" into CR LF).
void useBinaryStandardOutput();

// Writing to a pipe whose reader is gone fails like any write, instead of ending the
// program with a signal.
void ignoreClosedPipes();

}  // namespace pagemeld
