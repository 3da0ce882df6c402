#include "support/program_run.h"

// Processes are started the POSIX way; the suites that use this run on Linux only.
#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace pagemeld::testing {

namespace fs = std::filesystem;

ProgramRun runProgram(const std::string& executable, const ProgramOptions& options) {
    const std::string tag = std::to_string(::getpid()) + ".txt";
    const fs::path errorsFile = fs::temp_directory_path() / ("pagemeld-stderr-" + tag);
    const fs::path outputFile = fs::temp_directory_path() / ("pagemeld-stdout-" + tag);
    std::vector<std::string> environment;
    // No display, and a home of its own.
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('='));
        if (name != "DISPLAY" && name != "WAYLAND_DISPLAY" && name != "QT_QPA_PLATFORM" &&
            name != "HOME" && !name.starts_with("XDG_")) {
            environment.push_back(text);
        }
    }
    const fs::path home = options.folder / ".home";
    std::error_code ec;
    fs::create_directories(home, ec);
    environment.push_back("HOME=" + home.string());
    std::vector<char*> envp;
    for (auto& text : environment) envp.push_back(text.data());
    envp.push_back(nullptr);
    std::vector<std::string> argvText{executable};
    argvText.insert(argvText.end(), options.arguments.begin(), options.arguments.end());
    std::vector<char*> argv;
    for (auto& text : argvText) argv.push_back(text.data());
    argv.push_back(nullptr);

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        if (::chdir(options.folder.c_str()) != 0) ::_exit(126);
        const int fd = ::open(errorsFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (fd >= 0) ::dup2(fd, 2);
        const int out = ::open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (out >= 0) ::dup2(out, 1);
        // A runaway child is stopped by the kernel rather than left hanging the suite.
        const auto seconds = static_cast<rlim_t>(options.cpuLimit.count());
        const rlimit cpu{seconds, seconds};
        ::setrlimit(RLIMIT_CPU, &cpu);
        if (options.beforeStart) options.beforeStart();
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    ProgramRun run;
    int status = 0;
    rusage usage{};
    if (child > 0 && ::wait4(child, &status, 0, &usage) == child) {
        if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
        if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
        run.peakKiB = usage.ru_maxrss;
    }
    run.elapsed = std::chrono::steady_clock::now() - start;
    run.errors = fileText(errorsFile);
    run.output = fileText(outputFile);
    fs::remove(errorsFile, ec);
    fs::remove(outputFile, ec);
    return run;
}

}  // namespace pagemeld::testing

#endif
