#include "lang/ini_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "errors/error_handler.h"
#include "support/fake_services.h"
#include "support/temp_dir.h"

namespace pagemeld {
namespace {

using testing::FakeSystem;
using testing::FakeUi;
using testing::TempDir;

class IniFileTest : public ::testing::Test {
protected:
    IniFileTest() : system(dir.path().string()), errors(ui, system) {}

    // Writes `bytes` as the file `name` and returns its path.
    std::string write(const std::string& name, const std::string& bytes) {
        const std::string path = dir.file(name);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << bytes;
        return path;
    }

    std::string get(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& def = "DEFAULT") {
        return GetIni(errors, file, section, key, def);
    }

    void TearDown() override {
        // Nothing here is an error: no trap may have reported anything.
        EXPECT_TRUE(ui.boxes.empty());
    }

    TempDir dir;
    FakeUi ui;
    FakeSystem system;
    ErrorReporter errors;
};

TEST_F(IniFileTest, MissingOrEmptyValuesGiveTheDefault) {
    const std::string file = write("English.ini",
                                   "[MAIN]\r\n"
                                   "cmd_merge=Merge files!\r\n"
                                   "empty=\r\n"
                                   "blank =   \r\n"
                                   "quoted=\"\"\r\n");
    EXPECT_EQ(get(file, "MAIN", "cmd_merge"), "Merge files!");
    EXPECT_EQ(get(file, "MAIN", "empty"), "DEFAULT");
    EXPECT_EQ(get(file, "MAIN", "blank"), "DEFAULT");
    EXPECT_EQ(get(file, "MAIN", "quoted"), "DEFAULT");
    EXPECT_EQ(get(file, "MAIN", "missing"), "DEFAULT");
    EXPECT_EQ(get(file, "OTHER", "cmd_merge"), "DEFAULT");
    EXPECT_EQ(get(dir.file("Nope.ini"), "MAIN", "cmd_merge"), "DEFAULT");
    EXPECT_EQ(get("", "MAIN", "cmd_merge"), "DEFAULT");
    // A folder where a file is expected (the languages folder holds sub-folders too).
    std::filesystem::create_directory(dir.path() / "sub");
    EXPECT_EQ(get(dir.file("sub"), "MAIN", "cmd_merge"), "DEFAULT");
    KeyList keys{"stale"};
    EXPECT_EQ(GetIniAppAllKeys(errors, dir.file("sub"), "MAIN", keys), 0);
    EXPECT_TRUE(keys.empty());
}

TEST_F(IniFileTest, NamesIgnoreCaseButFindKeyDoesNot) {
    const std::string file = write("a.ini", "[General]\nLanguage=Deutsch\n[MAIN]\nCMD_MERGE=Go\n");
    EXPECT_EQ(get(file, "GENERAL", "language"), "Deutsch");
    EXPECT_EQ(get(file, "main", "cmd_merge"), "Go");

    KeyList keys;
    ASSERT_EQ(GetIniAppAllKeys(errors, file, "main", keys), 1);
    EXPECT_EQ(keys, KeyList{"CMD_MERGE"});
    EXPECT_EQ(FindKey(errors, "cmd_merge", keys), 0);
    EXPECT_EQ(FindKey(errors, "CMD_MERGE", keys), 1);
    EXPECT_EQ(FindKey(errors, "x", KeyList{}), 0);
    // The last equal entry counts.
    EXPECT_EQ(FindKey(errors, "b", KeyList{"a", "b", "c", "b"}), 4);
}

TEST_F(IniFileTest, BlanksAndQuotesAroundValuesAreDropped) {
    const std::string file = write("q.ini",
                                   "  [ OTHER ]  \n"
                                   "\tMsgErrDecrypt =  \" cannot be decrypted. \"  \n"
                                   "single='it''s'\n"
                                   "mixed=\"half'\n"
                                   "lonequote=\"\n"
                                   "inner=a \"b\" c\n"
                                   "equals=a=b\n"
                                   "spaced value = two  words \n");
    EXPECT_EQ(get(file, "OTHER", "MsgErrDecrypt"), " cannot be decrypted. ");
    EXPECT_EQ(get(file, "OTHER", "single"), "it''s");
    EXPECT_EQ(get(file, "OTHER", "mixed"), "\"half'");
    EXPECT_EQ(get(file, "OTHER", "lonequote"), "\"");
    EXPECT_EQ(get(file, "OTHER", "inner"), "a \"b\" c");
    EXPECT_EQ(get(file, "OTHER", "equals"), "a=b");
    EXPECT_EQ(get(file, "OTHER", "spaced value"), "two  words");
}

TEST_F(IniFileTest, FilesAreReadAsUtf8OrWindows1252) {
    const std::string bom = write("bom.ini",
                                  "\xEF\xBB\xBF[GENERAL]\r\nLanguage=Fran\xC3\xA7"
                                  "ais\r\n");
    EXPECT_EQ(get(bom, "GENERAL", "Language"),
              "Fran\xC3\xA7"
              "ais");

    // A legacy file saved in the Windows code page: é is the byte 0xE9, € is 0x80.
    const std::string legacy = write("legacy.ini", "[OTHER]\r\nx=caf\xE9 \x80 5\r\n");
    EXPECT_EQ(get(legacy, "OTHER", "x"), "caf\xC3\xA9 \xE2\x82\xAC 5");

    // Notepad's "Unicode": UTF-16 little-endian with its mark.
    const std::u16string wide = u"[MAIN]\r\ntabsplit=\u00CEmparte\r\n";
    std::string bytes = "\xFF\xFE";
    for (char16_t c : wide) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    EXPECT_EQ(get(write("utf16.ini", bytes), "MAIN", "tabsplit"), "\xC3\x8Emparte");
}

TEST_F(IniFileTest, ChangedFilesAreReadAgain) {
    const std::string file = write("c.ini", "[S]\nk=old\n");
    EXPECT_EQ(get(file, "S", "k"), "old");
    write("c.ini", "[S]\nk=newer value\n");
    EXPECT_EQ(get(file, "S", "k"), "newer value");
    std::filesystem::remove(file);
    EXPECT_EQ(get(file, "S", "k"), "DEFAULT");
}

}  // namespace
}  // namespace pagemeld
