#include "app/settings_store.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "app/system_info.h"
#include "base/registry.h"
#include "base/text_encoding.h"
#include "support/temp_dir.h"
#include "support/unprivileged.h"

namespace pagemeld {
namespace {

using testing::TempDir;

const std::string kKey = "Software\\Ombrix\\OmbrixPagemeld";

// The store the program uses: the registry on Windows, under a key of each test's own
// (tests run side by side) that is removed afterwards; a settings file in the test's
// folder elsewhere.
class SettingsStoreTest : public ::testing::Test {
protected:
    const std::string kTestKey = std::string("Software\\Ombrix\\PagemeldTest-") +
                                 ::testing::UnitTest::GetInstance()->current_test_info()->name();
#ifdef _WIN32
    void TearDown() override {
        const std::u16string key = utf8ToUtf16(kTestKey);
        RegDeleteTreeW(HKEY_CURRENT_USER, std::wstring(key.begin(), key.end()).c_str());
    }
#endif

    TempDir dir;
    SettingsStore store{dir.path()};
};

// The settings file itself; on Windows the values live in the registry instead.
class SettingsStorePosixTest : public ::testing::Test {
protected:
    std::string fileText() {
        std::ifstream in(store.file(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    TempDir dir;
    SettingsStore store{dir.path()};
};

TEST_F(SettingsStorePosixTest, ValuesRoundTripThroughTheFile) {
    EXPECT_EQ(store.file(), dir.path() / "Ombrix" / "OmbrixPagemeld.ini");
    EXPECT_EQ(store.read(kKey, "Language"), std::nullopt);  // no file yet

    const std::string romanian = "Rom\xC3\xA2n\xC4\x83 \xC8\x99i \xC8\x9B";
    ASSERT_TRUE(store.write(kKey, "Language", romanian));
    ASSERT_TRUE(store.write(kKey, "updatecheck", "1"));
    EXPECT_EQ(store.read(kKey, "Language"), romanian);
    EXPECT_EQ(store.read(kKey, "updatecheck"), "1");
    EXPECT_EQ(store.read(kKey, "missing"), std::nullopt);
    EXPECT_EQ(store.read("Software\\Other", "Language"), std::nullopt);

    // Names ignore case, as in the registry; rewriting keeps the other values.
    ASSERT_TRUE(store.write(kKey, "LANGUAGE", "English"));
    EXPECT_EQ(store.read("software\\ombrix\\ombrixpagemeld", "language"), "English");
    EXPECT_EQ(store.read(kKey, "updatecheck"), "1");

    // A second store (the next run) sees the same values.
    SettingsStore again(dir.path());
    EXPECT_EQ(again.read(kKey, "Language"), "English");

    // Nothing but the settings file is left in its folder.
    int entries = 0;
    for ([[maybe_unused]] const auto& e :
         std::filesystem::directory_iterator(dir.path() / "Ombrix"))
        ++entries;
    EXPECT_EQ(entries, 1);
}

TEST_F(SettingsStorePosixTest, HandEditedFilesKeepTheirComments) {
    std::filesystem::create_directories(store.file().parent_path());
    std::ofstream(store.file()) << "; my settings\n"
                                   "[Software\\Ombrix\\OmbrixPagemeld]\n"
                                   "  Language = Deutsch  \n"
                                   "\n"
                                   "[Elsewhere]\n"
                                   "x=1\n";
    EXPECT_EQ(store.read(kKey, "language"), "Deutsch");
    ASSERT_TRUE(store.write(kKey, "updatecheck", "0"));
    ASSERT_TRUE(store.write(kKey, "Language",
                            "Fran\xC3\xA7"
                            "ais"));
    EXPECT_EQ(fileText(),
              "; my settings\n"
              "[Software\\Ombrix\\OmbrixPagemeld]\n"
              "Language=Fran\xC3\xA7"
              "ais\n"
              "updatecheck=0\n"
              "\n"
              "[Elsewhere]\n"
              "x=1\n");
}

TEST_F(SettingsStorePosixTest, AFolderThatCannotBeMadeFailsTheWrite) {
    // The folder cannot be made: a file stands where it belongs.
    std::ofstream(dir.path() / "blocked") << "x";
    SettingsStore blocked(dir.path() / "blocked");
    EXPECT_FALSE(blocked.write(kKey, "Language", "English"));
    EXPECT_EQ(blocked.read(kKey, "Language"), std::nullopt);
}

TEST_F(SettingsStorePosixTest, AnUnreadableFileIsNotReplaced) {
    ASSERT_TRUE(store.write(kKey, "Language", "Deutsch"));
    // A file that cannot be read is not replaced by one holding only the new value.
    // Permissions do not bind root, so the write runs as an unprivileged user who may
    // write the folder but not read the file.
    const auto folder = store.file().parent_path();
    testing::openToEveryone(dir.path().string());
#ifndef _WIN32
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
    }
#endif
    std::filesystem::permissions(store.file(), std::filesystem::perms::none);
    const int written = testing::runUnprivileged([&] {
        SettingsStore unprivileged{dir.path()};
        return unprivileged.write(kKey, "updatecheck", "1") ? 1 : 0;
    });
    EXPECT_EQ(written, 0);
    std::filesystem::permissions(
        store.file(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(store.read(kKey, "Language"), "Deutsch");
}

#ifndef _WIN32
TEST_F(SettingsStorePosixTest, TheFileLivesUnderXdgConfigHome) {
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    const std::string previous = saved ? saved : "";
    ::setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1);
    SettingsStore fromEnvironment;
    ::setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    SettingsStore relative;
    if (saved) {
        ::setenv("XDG_CONFIG_HOME", previous.c_str(), 1);
    } else {
        ::unsetenv("XDG_CONFIG_HOME");
    }
    EXPECT_EQ(fromEnvironment.file(), dir.path() / "Ombrix" / "OmbrixPagemeld.ini");
    EXPECT_EQ(relative.file(), std::filesystem::path(userHomeFolder()) / ".config" / "Ombrix" /
                                   "OmbrixPagemeld.ini");
    ASSERT_TRUE(fromEnvironment.write(kKey, "Language", "English"));
    EXPECT_EQ(store.read(kKey, "Language"), "English");
}
#endif

}  // namespace
}  // namespace pagemeld
