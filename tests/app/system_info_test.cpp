#include "app/system_info.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "base/text_encoding.h"

namespace pagemeld {
namespace {

TEST(SystemInfoTest, FoldersOfTheRunningProgram) {
    SystemInfo system;
    const std::string program = system.programFolder();
    ASSERT_FALSE(program.empty());
    EXPECT_NE(program.back(), kPathSeparator);
    EXPECT_TRUE(std::filesystem::is_directory(pathFromUtf8(program)));
    const std::string temp = system.tempFolder();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), kPathSeparator);
    EXPECT_TRUE(std::filesystem::is_directory(pathFromUtf8(temp)));
    EXPECT_TRUE(system.userDataFolder().ends_with(kPathSeparator + std::string("Ombrix")));
}

#ifndef _WIN32
TEST(SystemInfoTest, XdgAndTmpdirAreHonouredWhenAbsolute) {
    const char* names[] = {"XDG_DATA_HOME", "TMPDIR"};
    std::optional<std::string> saved[2];
    for (int i = 0; i < 2; ++i) {
        if (const char* v = std::getenv(names[i])) saved[i] = v;
    }
    SystemInfo system;
    ::setenv("XDG_DATA_HOME", "/srv/data/", 1);
    ::setenv("TMPDIR", "/var/tmp", 1);
    const std::string data = system.userDataFolder();
    const std::string temp = system.tempFolder();
    ::setenv("XDG_DATA_HOME", "not/absolute", 1);
    const std::string fallback = system.userDataFolder();
    for (int i = 0; i < 2; ++i) {
        saved[i] ? ::setenv(names[i], saved[i]->c_str(), 1) : ::unsetenv(names[i]);
    }
    EXPECT_EQ(data, "/srv/data/Ombrix");
    EXPECT_EQ(temp, "/var/tmp/");
    EXPECT_EQ(fallback,
              userHomeFolder() + (userHomeFolder() == "/" ? "" : "/") + ".local/share/Ombrix");
}
#endif

}  // namespace
}  // namespace pagemeld
