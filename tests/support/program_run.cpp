#include "support/program_run.h"

// Processes are started the POSIX way; the suites that use this run on Linux only.
#ifndef _WIN32
#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

extern char** environ;

namespace pagemeld::testing {

namespace fs = std::filesystem;

ProgramRun runProgram(const std::string& executable, const ProgramOptions& options) {
    const std::string tag = std::to_string(::getpid()) + ".txt";
    const fs::path errorsFile = fs::temp_directory_path() / ("pagemeld-stderr-" + tag);
    const fs::path outputFile = fs::temp_directory_path() / ("pagemeld-stdout-" + tag);
    // No display, and a home of its own.
    const fs::path home = options.folder / ".home";
    std::error_code ec;
    fs::create_directories(home, ec);
    std::vector<std::string> environment{"HOME=" + home.string()};
    for (char** entry = environ; *entry; ++entry) {
        const std::string name = std::string(*entry).substr(0, std::string(*entry).find('='));
        if (name != "DISPLAY" && name != "WAYLAND_DISPLAY" && name != "QT_QPA_PLATFORM" &&
            name != "HOME" && !name.starts_with("XDG_")) {
            environment.push_back(*entry);
        }
    }
    std::vector<std::string> arguments{executable};
    arguments.insert(arguments.end(), options.arguments.begin(), options.arguments.end());
    const auto pointers = [](std::vector<std::string>& texts) {
        std::vector<char*> list;
        for (auto& text : texts) list.push_back(text.data());
        list.push_back(nullptr);
        return list;
    };
    std::vector<char*> envp = pointers(environment), argv = pointers(arguments);

    // A terminal for standard error: the test keeps its own end of it open, so what the
    // program wrote can be read once it has ended.
    int terminal = -1, terminalSide = -1;
    if (options.errorsOnTerminal) {
        terminal = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (terminal >= 0 && ::grantpt(terminal) == 0 && ::unlockpt(terminal) == 0) {
            terminalSide = ::open(::ptsname(terminal), O_RDWR | O_NOCTTY);
        }
    }
    int slowInput[2] = {-1, -1};
    if (options.standardInputDelay.count() > 0 && ::pipe(slowInput) != 0) slowInput[0] = -1;
    int closedPipe[2] = {-1, -1};
    if (options.standardOutputClosed && ::pipe(closedPipe) == 0) ::close(closedPipe[0]);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        if (::chdir(options.folder.c_str()) != 0) ::_exit(126);
        ::dup2(terminalSide >= 0 ? terminalSide
                                 : ::open(errorsFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666),
               2);
        const fs::path& output =
            options.standardOutput.empty() ? outputFile : options.standardOutput;
        ::dup2(closedPipe[1] >= 0 ? closedPipe[1]
                                  : ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666),
               1);
        const fs::path input = options.standardInput.empty() ? "/dev/null" : options.standardInput;
        ::dup2(slowInput[0] >= 0 ? slowInput[0] : ::open(input.c_str(), O_RDONLY), 0);
        if (slowInput[1] >= 0) ::close(slowInput[1]);
        // A runaway child is stopped by the kernel rather than left hanging the suite.
        const auto seconds = static_cast<rlim_t>(options.cpuLimit.count());
        const rlimit cpu{seconds, seconds};
        ::setrlimit(RLIMIT_CPU, &cpu);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    if (closedPipe[1] >= 0) ::close(closedPipe[1]);
    std::thread slowWriter;
    if (slowInput[0] >= 0) {
        ::close(slowInput[0]);
        slowWriter = std::thread([&options, writeEnd = slowInput[1]] {
            std::this_thread::sleep_for(options.standardInputDelay);
            const std::string text = fileText(options.standardInput);
            // A program that ended without reading it leaves the write failing: no matter.
            const ssize_t written = ::write(writeEnd, text.data(), text.size());
            (void)written;
            ::close(writeEnd);
        });
    }
    ProgramRun run;
    int status = 0;
    rusage usage{};
    if (child > 0 && ::wait4(child, &status, 0, &usage) == child) {
        if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
        if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
        run.peakKiB = usage.ru_maxrss;
    }
    if (slowWriter.joinable()) slowWriter.join();
    run.elapsed = std::chrono::steady_clock::now() - start;
    run.errors = fileText(errorsFile);
    if (terminal >= 0) {
        char buffer[4096];
        for (ssize_t got; (got = ::read(terminal, buffer, sizeof buffer)) > 0;) {
            run.errors.append(buffer, static_cast<std::size_t>(got));
        }
        ::close(terminalSide);
        ::close(terminal);
    }
    run.output = fileText(outputFile);
    fs::remove(errorsFile, ec);
    fs::remove(outputFile, ec);
    return run;
}

}  // namespace pagemeld::testing

#endif
