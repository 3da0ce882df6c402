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

class IniFileTest : public ::testing::Test {
protected:
    IniFileTest() : system(dir.path().string()), errors(ui, system) {}
    // Nothing here is an error: no trap may have reported anything.
    void TearDown() override { EXPECT_TRUE(ui.boxes.empty()); }

    std::string write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir.file(name), std::ios::binary | std::ios::trunc) << bytes;
        return dir.file(name);
    }
    std::string get(const std::string& file, const std::string& section, const std::string& key) {
        return GetIni(errors, file, section, key, "DEFAULT");
    }

    testing::TempDir dir;
    testing::FakeUi ui;
    testing::FakeSystem system;
    ErrorReporter errors;
};

// Notepad's "Unicode": UTF-16 little-endian with its mark.
std::string utf16File(const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

TEST_F(IniFileTest, ValuesAsTheLanguageFilesWriteThem) {
    const std::string quoting =
        "  [ OTHER ]  \n"
        "\tMsgErrDecrypt =  \" cannot be decrypted. \"  \n"
        "lonequote=\"\nequals=a=b\n"
        "spaced value = two  words \nempty=\nblank =   \nquoted=\"\"\n";
    struct Case {
        std::string bytes, section, key, expected;
    };
    const Case cases[] = {
        {"[MAIN]\r\ncmd_merge=Merge files!\r\n", "MAIN", "cmd_merge", "Merge files!"},
        {"[MAIN]\r\ncmd_merge=Merge files!\r\n", "OTHER", "cmd_merge", "DEFAULT"},
        {"[MAIN]\r\ncmd_merge=Merge files!\r\n", "MAIN", "missing", "DEFAULT"},
        {"[General]\nLanguage=Deutsch\n", "GENERAL", "language", "Deutsch"},  // any case
        {quoting, "OTHER", "MsgErrDecrypt", " cannot be decrypted. "},
        {quoting, "OTHER", "lonequote", "\""},
        {quoting, "OTHER", "equals", "a=b"},
        {quoting, "OTHER", "spaced value", "two  words"},
        {quoting, "OTHER", "empty", "DEFAULT"},
        {quoting, "OTHER", "blank", "DEFAULT"},
        {quoting, "OTHER", "quoted", "DEFAULT"},
        {"\xEF\xBB\xBF[GENERAL]\r\nLanguage=Fran\xC3\xA7"
         "ais\r\n",
         "GENERAL", "Language",
         "Fran\xC3\xA7"
         "ais"},
        // A legacy file in the Windows code page: é is the byte 0xE9, € is 0x80.
        {"[OTHER]\r\nx=caf\xE9 \x80 5\r\n", "OTHER", "x", "caf\xC3\xA9 \xE2\x82\xAC 5"},
        {utf16File(u"[MAIN]\r\ntabsplit=\u00CEmparte\r\n"), "MAIN", "tabsplit", "\xC3\x8Emparte"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.section + " " + c.key + " in " + c.bytes);
        // Each file under a name of its own: the reader keeps what it read.
        EXPECT_EQ(get(write(std::to_string(++n) + ".ini", c.bytes), c.section, c.key), c.expected);
    }
}

TEST_F(IniFileTest, NoFileGivesTheDefaultAndChangedFilesAreReadAgain) {
    EXPECT_EQ(get(dir.file("Nope.ini"), "MAIN", "cmd_merge"), "DEFAULT");
    EXPECT_EQ(get("", "MAIN", "cmd_merge"), "DEFAULT");
    // A folder where a file is expected (the languages folder holds sub-folders too).
    std::filesystem::create_directory(dir.path() / "sub");
    EXPECT_EQ(get(dir.file("sub"), "MAIN", "cmd_merge"), "DEFAULT");
    KeyList keys{"stale"};
    EXPECT_EQ(GetIniAppAllKeys(errors, dir.file("sub"), "MAIN", keys), 0);
    EXPECT_TRUE(keys.empty());

    const std::string file = write("c.ini", "[S]\nk=old\n");
    EXPECT_EQ(get(file, "S", "k"), "old");
    write("c.ini", "[S]\nk=newer value\n");
    EXPECT_EQ(get(file, "S", "k"), "newer value");
    std::filesystem::remove(file);
    EXPECT_EQ(get(file, "S", "k"), "DEFAULT");
}

}  // namespace
}  // namespace pagemeld
