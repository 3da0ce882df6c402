// The one error handler behind every procedure's trap: it classifies the error,
// tells the user, appends a record to the month's error log and decides what the
// failing procedure does next.
#pragma once

#include <cstdint>
#include <string>

#include "base/platform.h"

namespace pagemeld {

// What a trapping procedure does after a report.
namespace outcome {
inline constexpr std::int16_t kResume = 1;      // repeat the failed step
inline constexpr std::int16_t kResumeNext = 2;  // skip the failed step
inline constexpr std::int16_t kReturn = 4;      // leave the procedure
inline constexpr std::int16_t kExitProject = 5;
inline constexpr std::int16_t kUndecided = 99;  // never leaves the handler
}  // namespace outcome

class ErrorReporter {
public:
    ErrorReporter(Ui& ui, System& system);

    // Reports one error and returns the outcome, also kept in ErrorOutcome.
    std::int16_t ErrorHandler(std::int32_t code, const std::string& description, std::int32_t line,
                              const std::string& moduleName, const std::string& procedureName);

    // The class boxes; on outcome 5 they end the program before returning. A code
    // outside the class gets no box and kUndecided.
    std::int16_t FileErrors(std::int32_t code);
    std::int16_t PrinterErrors(std::int32_t code);
    std::int16_t DatabaseErrors(std::int32_t code);
    std::int16_t ObjectErrors(std::int32_t code);

    // Appends the record; `message` is left as written (blank lines removed,
    // final line break cut).
    void WriteErrorToLog(std::string& message, std::int16_t outcomeCode);

    std::string GetWorkstation();
    std::string GetNetUser();

    // Asks the user interface to close every window, then throws ExitRequested.
    [[noreturn]] void ExitProject();

    // The message composed for an error, as shown and logged.
    static std::string ComposeMessage(std::int32_t code, const std::string& description,
                                      std::int32_t line, const std::string& moduleName,
                                      const std::string& procedureName);
    // "Ombrix Pagemeld" + YY + MM + "Error.Log" for the given month.
    static std::string LogFileName(int year, int month);

    // The shared outcome of the last report.
    std::int16_t ErrorOutcome = 0;

private:
    Ui& ui_;
    System& system_;
    int logDepth_ = 0;  // stops a failing log writer from reporting itself without end
};

}  // namespace pagemeld
