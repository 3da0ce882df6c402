// The language files that ship with the program: each declares its own name, English
// gives exactly the built-in texts and the window's design captions, and every
// translation covers every key with the same blanks around it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/registry.h"
#include "base/text_encoding.h"
#include "errors/error_handler.h"
#include "lang/catalogue.h"
#include "lang/ini_file.h"
#include "lang/language_loader.h"
#include "lang_loader/fake_language_window.h"
#include "support/fake_services.h"
#include "support/temp_dir.h"

namespace pagemeld {
namespace {

namespace fs = std::filesystem;
using testing::FakeLanguageWindow;
using testing::FakeSettings;
using testing::FakeSystem;
using testing::FakeUi;
using testing::TempDir;
using Names = std::set<std::string>;

// Controls without a caption, which no language file may name.
const std::vector<std::string> kCaptionless = {
    "split_grid",      "merge_grid",   "mix_grid",     "txt_split_filename", "txt_split_dest",
    "txt_split_meth1", "moutput_file", "txt_mix_dest", "mbut_key",           "xbut_key",
};

const std::string kLanguages = PAGEMELD_LANGUAGES_DIR;

std::string languageFile(const std::string& name) {
    return pathToUtf8(pathFromUtf8(kLanguages) / pathFromUtf8(name));
}

Names catalogueKeys(const char* section) {
    Names keys;
    for (const auto& entry : catalogueEntries()) {
        if (std::string(entry.section) == section) keys.insert(entry.key);
    }
    return keys;
}

class ShippedLanguagesTest : public ::testing::Test {
protected:
    ShippedLanguagesTest() : system(dir.path().string()), errors(ui, system) { ini::clearCache(); }
    void TearDown() override { EXPECT_TRUE(ui.boxes.empty()); }

    Names keysOf(const std::string& file, const char* section) {
        KeyList keys;
        GetIniAppAllKeys(errors, file, section, keys);
        EXPECT_EQ(Names(keys.begin(), keys.end()).size(), keys.size()) << file << " " << section;
        return Names(keys.begin(), keys.end());
    }
    std::string value(const std::string& file, const char* section, const std::string& key) {
        return GetIni(errors, file, section, key, "");
    }

    TempDir dir;
    FakeUi ui;
    FakeSettings settings;
    FakeSystem system;
    ErrorReporter errors;
};

TEST_F(ShippedLanguagesTest, EveryFileIsNamedAfterTheLanguageItDeclares) {
    Names declared;
    for (const auto& entry : fs::directory_iterator(pathFromUtf8(kLanguages))) {
        const std::string name = pathToUtf8(entry.path().filename());
        SCOPED_TRACE(name);
        ASSERT_TRUE(entry.is_regular_file());
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
        EXPECT_TRUE(isValidUtf8(bytes));

        const std::string file = languageFile(name);
        KeyList keys;
        GetIniAppAllKeys(errors, file, "GENERAL", keys);
        ASSERT_NE(FindKey(errors, "Language", keys), 0);
        const std::string language = value(file, "GENERAL", "Language");
        // The loader opens a language by its display name.
        EXPECT_EQ(language + ".ini", name);
        declared.insert(language);
    }
    EXPECT_EQ(declared, (Names{"Add your language", "Deutsch", "English", "Français"}));
    EXPECT_TRUE(keysOf(languageFile("Add your language.ini"), "MAIN").empty());
}

TEST_F(ShippedLanguagesTest, EnglishHoldsTheBuiltInTexts) {
    const std::string english = languageFile("English.ini");
    const Catalogue defaults;
    for (const auto& entry : catalogueEntries()) {
        EXPECT_EQ(GetIni(errors, english, entry.section, entry.key, "(missing)"),
                  defaults.*entry.text)
            << entry.key;
    }

    EXPECT_EQ(keysOf(english, "OTHER"), catalogueKeys("OTHER"));
}

TEST_F(ShippedLanguagesTest, TranslationsCoverEveryKeyWithTheSameBlanks) {
    const std::string english = languageFile("English.ini");
    for (const std::string translation : {"Deutsch.ini", "Français.ini"}) {
        const std::string file = languageFile(translation);
        for (const char* section : {"MAIN", "OTHER"}) {
            SCOPED_TRACE(translation + " " + section);
            EXPECT_EQ(keysOf(file, section), keysOf(english, section));
            for (const std::string& key : keysOf(english, section)) {
                const std::string original = value(english, section, key);
                const std::string translated = value(file, section, key);
                ASSERT_FALSE(translated.empty()) << key;
                // Values are cut at 254 characters; a text that long was cut.
                EXPECT_LT(utf8Length(translated), ini::kValueBuffer - 1) << key;
                // The texts are joined with names and numbers: the blanks must match.
                EXPECT_EQ(translated.front() == ' ', original.front() == ' ') << key;
                EXPECT_EQ(translated.back() == ' ', original.back() == ' ') << key;
            }
        }
    }
}

}  // namespace
}  // namespace pagemeld
