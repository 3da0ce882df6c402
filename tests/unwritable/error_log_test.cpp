// The error log when the program's folder is on a read-only medium: it moves to the
// user's data folder and the error is still reported. The folder is made read-only by
// a bind mount that only a child process sees.
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

// Every monthly error log in `folder`, joined.
std::string logTextIn(const std::filesystem::path& folder) {
    std::string text;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        if (!entry.path().filename().string().ends_with("Error.Log")) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        text.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return text;
}

TEST(ErrorLogOnAReadOnlyProgramFolder, GoesToTheUserDataFolder) {
    constexpr int kCannotMount = 77;
    TempDir home;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // A mount namespace of its own, so tests running beside it still write there.
        SystemInfo system;
        const std::string program = system.programFolder();
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount(program.c_str(), program.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
            ::mount(nullptr, program.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) !=
                0) {
            ::_exit(kCannotMount);
        }
        ::setenv("HOME", home.path().c_str(), 1);
        ::unsetenv("XDG_DATA_HOME");
        const std::string before = logTextIn(program);
        FakeUi ui;
        ErrorReporter(ui, system).ErrorHandler(18, "read-only program folder", 0, "Form1", "x");
        // Reported once, and logged where the user may write, not in the program's folder.
        ::_exit(ui.boxes.size() != 1 ? 10 : logTextIn(program) != before ? 12 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == kCannotMount) GTEST_SKIP() << "cannot mount the folder read-only";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "10: not reported once, 12: written in the program's";
    EXPECT_NE(logTextIn(home.path() / ".local/share/Ombrix").find("read-only program folder"),
              std::string::npos);
}

}  // namespace
}  // namespace pagemeld::testing
