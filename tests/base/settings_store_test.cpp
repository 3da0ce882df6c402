// The settings file used where there is no registry (on Windows the values live in
// the registry, so these tests are POSIX-only).
#include "base/settings_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "support/temp_dir.h"
#include "support/unprivileged.h"

namespace pagemeld {
namespace {

const std::string kKey = "Software\\Ombrix\\OmbrixPagemeld";

class SettingsStorePosixTest : public ::testing::Test {
protected:
    std::string fileText() {
        std::ifstream in(store.file(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    testing::TempDir dir;
    SettingsStore store{dir.path()};
};

TEST_F(SettingsStorePosixTest, ValuesRoundTripAndHandEditsAreKept) {
    EXPECT_EQ(store.read(kKey, "Language"), std::nullopt);  // no file yet
    std::filesystem::create_directories(store.file().parent_path());
    std::ofstream(store.file()) << "; my settings\n"
                                   "[Software\\Ombrix\\OmbrixPagemeld]\n"
                                   "  Language = Deutsch  \n"
                                   "\n"
                                   "[Elsewhere]\n"
                                   "x=1\n";
    EXPECT_EQ(store.read(kKey, "language"), "Deutsch");  // names ignore case
    ASSERT_TRUE(store.write(kKey, "updatecheck", "0"));
    ASSERT_TRUE(store.write(kKey, "LANGUAGE",
                            "Fran\xC3\xA7"
                            "ais"));
    EXPECT_EQ(store.read("Software\\Other", "Language"), std::nullopt);
    EXPECT_EQ(fileText(),
              "; my settings\n"
              "[Software\\Ombrix\\OmbrixPagemeld]\n"
              "Language=Fran\xC3\xA7"
              "ais\n"
              "updatecheck=0\n"
              "\n"
              "[Elsewhere]\n"
              "x=1\n");
    // The next run sees the same values; nothing but the file is left in its folder.
    EXPECT_EQ(SettingsStore(dir.path()).read(kKey, "Language"),
              "Fran\xC3\xA7"
              "ais");
    const auto entries = std::distance(std::filesystem::directory_iterator(dir.path() / "Ombrix"),
                                       std::filesystem::directory_iterator());
    EXPECT_EQ(entries, 1);
}

TEST_F(SettingsStorePosixTest, FailedWritesLoseNothing) {
    // The folder cannot be made: a file stands where it belongs.
    std::ofstream(dir.path() / "blocked") << "x";
    EXPECT_FALSE(SettingsStore(dir.path() / "blocked").write(kKey, "Language", "English"));

    // A file that cannot be read is not replaced by one holding only the new value.
    // Permissions do not bind root: the write runs as a user who may write the folder
    // but not read the file.
    ASSERT_TRUE(store.write(kKey, "Language", "Deutsch"));
    testing::openToEveryone(dir.path().string());
#ifndef _WIN32
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(store.file().parent_path().c_str(), 65534, 65534), 0);
    }
#endif
    std::filesystem::permissions(store.file(), std::filesystem::perms::none);
    const int written = testing::runUnprivileged(
        [&] { return SettingsStore(dir.path()).write(kKey, "updatecheck", "1") ? 1 : 0; });
    EXPECT_EQ(written, 0);
    std::filesystem::permissions(
        store.file(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(store.read(kKey, "Language"), "Deutsch");
}

}  // namespace
}  // namespace pagemeld
