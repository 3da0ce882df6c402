// The statuses the programs end with, and the one place a request's outcome becomes
// one: a script reads them to tell a finished job from a partial one from nothing.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace pagemeld {

enum class ExitStatus {
    Done = 0,            // everything asked for was done
    PartlyDone = 1,      // outputs written, but something was left out
    Refused = 2,         // the command line was refused: nothing was tried
    NothingWritten = 3,  // the request was tried and wrote nothing
};

// What a request achieved, gathered over the runs it started.
struct RequestOutcome {
    std::size_t written = 0;  // outputs made
    // Something asked for was not done: an input skipped, pages beyond the limit, an
    // output or the log not written, an output not delivered whole.
    bool leftOut = false;

    RequestOutcome& operator+=(const RequestOutcome& other) {
        written += other.written;
        leftOut = leftOut || other.leftOut;
        return *this;
    }
};

ExitStatus exitStatusOf(const RequestOutcome& outcome);

constexpr int exitCode(ExitStatus status) {
    return static_cast<int>(status);
}

struct ExitStatusMeaning {
    ExitStatus status;
    std::string_view meaning;
};

// Each status with what it means, as --help and the README tell it.
inline constexpr std::array<ExitStatusMeaning, 4> kExitStatusMeanings{{
    {ExitStatus::Done, "everything done"},
    {ExitStatus::PartlyDone, "done, but something left out (an input, pages, an output, the log)"},
    {ExitStatus::Refused, "command line refused, nothing tried"},
    {ExitStatus::NothingWritten, "nothing written"},
}};

}  // namespace pagemeld
