// pagemeld-cli: the quiet requests for scripts and servers, from the core alone. A
// console program, so a console or a batch file waits for it and gets its exit status.
#include "batch/program_arguments.h"
#include "batch/quiet_program.h"

int main(int argc, char** argv) {
    using namespace pagemeld;
    return runQuietProgram(programArguments(argc, argv), kConsoleProgram);
}
