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

// The window's controls that have a caption, with their design captions.
const std::vector<std::pair<std::string, std::string>> kDesignCaptions = {
    {"frm_split_dest", "Destination folder and filename settings"},
    {"split_dest_other", "Select new folder"},
    {"split_dest_source", "Use source folder"},
    {"cmd_split_dest", "Browse"},
    {"lbl_split_basefilename", "Base Filename"},
    {"lbl_split_dest", "Destination folder"},
    {"frm_split_method", "Split method"},
    {"r_split_method1", "Into files of "},
    {"lbl_split_pages", "pages"},
    {"r_split_method2", "By page Range"},
    {"lbl_split_demo",
     "Page range separated by comma, semi-colon to separate files. Example: "
     "1-4,6,9-10;5,6;12;20-21,23;"},
    {"r_split_method3", "Every group of"},
    {"Label14", "pages, starting with page"},
    {"r_split_method4", "Each"},
    {"Label15", "page, starting with page"},
    {"cmd_split_run", "Split this PDF!"},
    {"merge_output", "Output file options"},
    {"but_moutput", "Select file"},
    {"chk_merge_ovr", "Overwrite file if exists"},
    {"lbl_mfile", "Output filename"},
    {"cmd_merge", "Merge files!"},
    {"cmd_cancel", "Cancel"},
    {"frm_mix_method", "Mix method"},
    {"frm_mix_meth_doc1", "Use from first document (base file)"},
    {"r_mix1_method1", "Every group of"},
    {"r_mix1_method1_lbl2", "pages, starting with page"},
    {"r_mix1_method2", "Each"},
    {"r_mix1_method2_lbl2", "page, starting with page"},
    {"frm_mix_meth_doc2", "Use from second document"},
    {"r_mix2_method1", "Every group of"},
    {"r_mix2_method1_lbl2", "pages, starting with page"},
    {"r_mix2_method2", "Each"},
    {"r_mix2_method2_lbl2", "page, starting with page"},
    {"frm_mix_dest", "Destination folder and filename settings"},
    {"mix_dest_other", "Select new folder"},
    {"mix_dest_source", "Use source folder"},
    {"cmd_mix_dest", "Browse"},
    {"lbl_mix_dest", "Destination folder"},
    {"lbl_mix_basefilename", "Base Filename"},
    {"cmd_mix_run", "Mix files!"},
    {"ab_lb4a", "Website:"},
    {"ab_lb5a", "Support:"},
    {"ab_lb3", "Split, merge and mix PDF documents, one page or a thousand at a time."},
    {"lbl_extras2", "More tools from Ombrix"},
    {"Label2", "Small desktop tools for everyday work with documents."},
    {"Label3", "Portable: copy the program's folder anywhere and run it."},
    {"Label4", "No installer and no background services."},
    {"Label5", "Only your language and the folders you last used are kept between runs."},
    {"Label6", "Every text comes from a language file in plain INI format,"},
    {"Label7", "so anyone can translate the tools and share the translation."},
    {"Label8", "Quiet command-line modes for scripts and batch jobs."},
    {"Label9", "A plain-text log of every batch request, when asked for."},
    {"Label10", "Your documents stay on your computer."},
    {"Label11", "Output files are written completely or not at all."},
    {"Label12", "See all the tools on the web:"},
};

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

TEST_F(ShippedLanguagesTest, EnglishHoldsTheBuiltInTextsAndDesignCaptions) {
    const std::string english = languageFile("English.ini");
    const Catalogue defaults;
    for (const auto& entry : catalogueEntries()) {
        EXPECT_EQ(GetIni(errors, english, entry.section, entry.key, "(missing)"),
                  defaults.*entry.text)
            << entry.key;
    }

    Names main = catalogueKeys("MAIN");
    for (const auto& [control, caption] : kDesignCaptions) {
        main.insert(control);
        EXPECT_EQ(value(english, "MAIN", control), caption) << control;
    }
    EXPECT_EQ(keysOf(english, "MAIN"), main);
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

TEST_F(ShippedLanguagesTest, SwitchingBetweenTheShippedLanguages) {
    fs::copy(pathFromUtf8(kLanguages), dir.path() / "languages", fs::copy_options::recursive);
    Catalogue catalogue;
    FakeLanguageWindow window(catalogue);
    for (const auto& [control, caption] : kDesignCaptions)
        window.controls.push_back({control, caption});
    for (const auto& control : kCaptionless) window.controls.push_back({control, std::nullopt});
    LanguageLoader loader(window, catalogue, settings, ui, system, errors);

    loader.load_languages();
    EXPECT_EQ(window.list,
              (std::vector<std::string>{"Add your language", "Deutsch", "English", "Français"}));
    EXPECT_EQ(window.shownText, "English");
    window.loaded = true;

    const auto choose = [&](int index) {
        window.selectLanguage(index);
        loader.cmb_languages_Click();
    };
    const auto expectLanguage = [&](const std::string& name) {
        SCOPED_TRACE(name);
        const std::string file = languageFile(name + ".ini");
        for (const auto& control : window.controls) {
            if (control.caption) {
                EXPECT_EQ(*control.caption, value(file, "MAIN", control.name)) << control.name;
            }
        }
        for (const auto& entry : catalogueEntries()) {
            EXPECT_EQ(catalogue.*entry.text, value(file, entry.section, entry.key)) << entry.key;
        }
    };

    choose(3);
    expectLanguage("Français");
    EXPECT_EQ(catalogue.tabsplit, "Diviser");
    EXPECT_EQ(settings.read(kSettingsKeyPath, kLanguageValue), "Français");
    choose(1);
    expectLanguage("Deutsch");
    EXPECT_EQ(catalogue.tabsplit, "Teilen");

    // English puts back every design caption and built-in text.
    choose(2);
    expectLanguage("English");
    const Catalogue defaults;
    for (const auto& entry : catalogueEntries())
        EXPECT_EQ(catalogue.*entry.text, defaults.*entry.text) << entry.key;
    for (const auto& [control, caption] : kDesignCaptions)
        EXPECT_EQ(window.caption(control), caption);
    EXPECT_EQ(settings.read(kSettingsKeyPath, kLanguageValue), "English");
}

}  // namespace
}  // namespace pagemeld
