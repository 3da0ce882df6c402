// pagemeld-cli: the quiet requests for scripts and servers, from the core alone. A
// console program, so a console or a batch file waits for it and gets its exit status.
#include "batch/command_line.h"
#include "batch/program_arguments.h"
#include "batch/quiet_program.h"

int main(int argc, char** argv) {
    using namespace pagemeld;
    return runQuietProgram(joinArguments(programArguments(argc, argv)), kConsoleProgram);
}
