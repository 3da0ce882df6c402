// Runs the built program as a separate process, the way a script or a user starts it:
// no display, a home of its own, standard error captured.
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace pagemeld::testing {

struct ProgramRun {
    int status = -1;     // the exit status, or -1 when the program did not exit normally
    int signal = 0;      // the signal that ended it, if one did
    std::string errors;  // standard error
    std::string output;  // standard output
    std::chrono::duration<double> elapsed{};
    long peakKiB = 0;
};

struct ProgramOptions {
    std::filesystem::path folder;  // the current folder; its ".home" is the program's home
    std::vector<std::string> arguments;
    // The kernel stops a run that spends more processor time than this.
    std::chrono::seconds cpuLimit{120};
    // Where standard output goes (such as /dev/full); captured into `output` when empty.
    std::filesystem::path standardOutput = {};
    // Standard output is a pipe its reader has closed already.
    bool standardOutputClosed = false;
    // Standard error is a terminal (a pseudo-terminal whose output is `errors`).
    bool errorsOnTerminal = false;
    // What the program reads from standard input (a file); empty: nothing.
    std::filesystem::path standardInput = {};
    // Standard input is a pipe that gives the file's text only after this long.
    std::chrono::milliseconds standardInputDelay{0};
};

ProgramRun runProgram(const std::string& executable, const ProgramOptions& options);

// The bytes of `file`; empty when there is none.
inline std::string fileText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The names of what lies in `folder`.
inline std::set<std::string> namesIn(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

}  // namespace pagemeld::testing
