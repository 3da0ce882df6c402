// A procedure's error trap. A procedure is written as a sequence of steps:
//
//     Trap trap(errors, kFormName, "cmd_merge_Click");
//     if (!trap.run({[&] { ... }, [&] { ... }})) return;
//
// When a step throws, the error goes to ErrorHandler and the trap acts on the
// outcome: repeat the step, skip it, leave the procedure (step() returns false),
// or end the program (ExitProject throws ExitRequested).
#pragma once

#include <functional>
#include <initializer_list>
#include <string>

#include "errors/error_handler.h"

namespace pagemeld {

// The module the window's procedures and the command line's requests report their
// errors from: the main window's.
inline constexpr const char* kFormName = "Form1";

class Trap {
public:
    // How often one step is repeated before the procedure is left: a cause that
    // persists must not keep a box coming back without end.
    static constexpr int kMaxRepeats = 3;

    Trap(ErrorReporter& errors, std::string moduleName, std::string procedureName);

    // Runs one step; returns false when the procedure must return now.
    bool step(const std::function<void()>& body);

    // Runs the steps in order; returns false when the procedure must return now. When
    // `stopped` is given and says true after a step, the rest are not run (true).
    bool run(std::initializer_list<std::function<void()>> steps,
             const std::function<bool()>& stopped = {});

private:
    ErrorReporter& errors_;
    std::string module_;
    std::string procedure_;
};

}  // namespace pagemeld
