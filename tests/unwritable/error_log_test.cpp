// The error log of the real program services when the program's own folder is on a
// read-only medium: the log moves to the user's data folder and the error is still
// reported. The folder is made read-only by a bind mount seen only by a child process.
#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/system_info.h"
#include "errors/error_handler.h"
#include "support/fake_services.h"
#include "support/temp_dir.h"

namespace pagemeld::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kCannotMount = 77;

// Every monthly error log in `folder`, joined.
std::string logTextIn(const fs::path& folder) {
    std::string text;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        if (!entry.path().filename().string().ends_with("Error.Log")) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        text.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return text;
}

TEST(ErrorLogOnAReadOnlyProgramFolder, GoesToTheUserDataFolder) {
    TempDir home;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // A mount namespace of its own: the read-only folder is this child's view only,
        // so tests running beside it still write where they build.
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            ::_exit(kCannotMount);
        }
        SystemInfo system;
        const std::string program = system.programFolder();
        if (::mount(program.c_str(), program.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
            ::mount(nullptr, program.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) !=
                0) {
            ::_exit(kCannotMount);
        }
        ::setenv("HOME", home.path().c_str(), 1);
        ::unsetenv("XDG_DATA_HOME");
        const std::string before = logTextIn(program);

        FakeUi ui;
        ErrorReporter errors(ui, system);
        errors.ErrorHandler(18, "read-only program folder", 0, "Form1", "end_to_end");
        // Reported to the user once, and logged where the user may write.
        if (ui.boxes.size() != 1) ::_exit(10);
        const std::string logged = logTextIn(system.userDataFolder());
        if (logged.find("read-only program folder") == std::string::npos) ::_exit(11);
        if (logTextIn(program) != before) ::_exit(12);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == kCannotMount) {
        GTEST_SKIP() << "this machine does not let the test mount the program folder read-only";
    }
    EXPECT_EQ(WEXITSTATUS(status), 0)
        << "10: not reported once, 11: not in the user's folder, 12: written in the program's";
    EXPECT_NE(logTextIn(home.path() / ".local/share/Ombrix").find("read-only program folder"),
              std::string::npos);
}

}  // namespace
}  // namespace pagemeld::testing
