#include "app/system_info.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

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

    const std::string data = system.userDataFolder();
    ASSERT_GE(data.size(), 7u);
    EXPECT_EQ(data.substr(data.size() - 7), kPathSeparator + std::string("Ombrix"));
}

#ifndef _WIN32
TEST(SystemInfoTest, XdgAndTmpdirAreHonoured) {
    struct Saved {
        const char* name;
        std::string value;
        bool set;
    };
    Saved saved[] = {{"XDG_DATA_HOME", {}, false}, {"TMPDIR", {}, false}};
    for (auto& s : saved) {
        if (const char* v = std::getenv(s.name)) s = {s.name, v, true};
    }
    SystemInfo system;
    ::setenv("XDG_DATA_HOME", "/srv/data/", 1);
    ::setenv("TMPDIR", "/var/tmp", 1);
    const std::string data = system.userDataFolder();
    const std::string temp = system.tempFolder();
    ::setenv("XDG_DATA_HOME", "not/absolute", 1);
    const std::string fallback = system.userDataFolder();
    for (const auto& s : saved) {
        if (s.set) {
            ::setenv(s.name, s.value.c_str(), 1);
        } else {
            ::unsetenv(s.name);
        }
    }
    EXPECT_EQ(data, "/srv/data/Ombrix");
    EXPECT_EQ(temp, "/var/tmp/");
    EXPECT_EQ(fallback,
              userHomeFolder() + (userHomeFolder() == "/" ? "" : "/") + ".local/share/Ombrix");
}
#endif

}  // namespace
}  // namespace pagemeld
