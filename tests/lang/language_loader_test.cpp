// Language switching at its lowest layer: the loader over the window model. The real
// window's switch is tested once in tests/gui_window.
#include "lang/language_loader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/registry.h"
#include "lang/ini_file.h"
#include "pdf/qpdf_engine.h"
#include "support/form_harness.h"

namespace pagemeld {
namespace {

using Strings = std::vector<std::string>;

const std::string kEnglish =
    "[GENERAL]\nLanguage=English\n"
    "[MAIN]\ncmd_merge=Merge them!\ntabsplit=Split\nmerge_grid=not a caption\n"
    "[OTHER]\nMsgMergeDone=Merging done (file)\n";
const std::string kDeutsch =
    "[GENERAL]\nLanguage=Deutsch\n"
    "[MAIN]\ncmd_merge=Zusammenfügen!\nchk_merge_ovr=Überschreiben\ntabsplit=Teilen\n"
    "[OTHER]\nMsgMergeDone=Fertig!\nMsgErrMerge=\" kann nicht zusammengefügt werden.\"\n";
const std::string kAddYours = "[GENERAL]\nLanguage=Add your language\n";

class LanguageLoaderTest : public ::testing::Test, public testing::FormHarness<QpdfEngine> {
protected:
    LanguageLoaderTest() {
        std::filesystem::create_directory(dir.path() / "program" / "languages");
    }

    // Writes the languages folder's files.
    void install(const std::vector<std::pair<std::string, std::string>>& files) {
        for (const auto& [name, text] : files) {
            std::ofstream(dir.path() / "program" / "languages" /
                              std::filesystem::path(std::u8string(name.begin(), name.end())),
                          std::ios::binary)
                << text;
        }
        ini::clearCache();
    }
    void saveLanguage(const std::string& name) {
        ASSERT_TRUE(
            RegWriteString(settings, kHkeyCurrentUser, kSettingsKeyPath, kLanguageValue, name));
    }
    std::optional<std::string> savedLanguage() {
        return settings.read(kSettingsKeyPath, kLanguageValue);
    }
    // Selects the entry the way a user would, then runs the list's click.
    void choose(const std::string& entry) {
        const Strings listed = form.languages();
        for (std::size_t i = 0; i < listed.size(); ++i) {
            if (listed[i] == entry) form.selectLanguage(static_cast<int>(i));
        }
        ASSERT_EQ(form.cmb_languages.text, entry);
        loader.cmb_languages_Click();
    }
    const std::string& tabSplit() const { return form.tabOptions.tabCaptions[0]; }

    LanguageLoader loader{form, form.catalogue, settings, ui, system, errors};
};

TEST_F(LanguageLoaderTest, WithoutSavedChoiceEnglishIsLoadedAndClicksWhileLoadingDoNothing) {
    install({{"English.ini", kEnglish}, {"Deutsch.ini", kDeutsch}, {"Add.ini", kAddYours}});
    loader.load_languages();

    EXPECT_EQ(form.languages(), (Strings{"Add your language", "Deutsch", "English"}));
    EXPECT_EQ(form.selectedLanguage(), 2);
    EXPECT_EQ(form.cmd_merge.caption, "Merge them!");
    EXPECT_EQ(form.catalogue.MsgMergeDone, "Merging done (file)");
    EXPECT_EQ(tabSplit(), "Split");

    // Selections before the window has loaded, or with nothing selected, are no choice.
    choose("Deutsch");
    choose("Add your language");
    form.state.form_loaded = true;
    form.cmb_languages.listIndex = -1;
    loader.cmb_languages_Click();
    EXPECT_EQ(form.cmd_merge.caption, "Merge them!");
    EXPECT_EQ(tabSplit(), "Split");
    EXPECT_FALSE(savedLanguage());
    EXPECT_TRUE(ui.opened.empty());
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(LanguageLoaderTest, ChoosingALanguageLoadsAndSavesIt) {
    install({{"English.ini", kEnglish}, {"Deutsch.ini", kDeutsch}, {"Add.ini", kAddYours}});
    loader.load_languages();
    form.state.form_loaded = true;

    choose("Deutsch");
    EXPECT_EQ(form.cmd_merge.caption, "Zusammenfügen!");
    EXPECT_EQ(form.chk_merge_ovr.caption, "Überschreiben");
    EXPECT_EQ(form.catalogue.MsgErrMerge, " kann nicht zusammengefügt werden.");
    EXPECT_EQ(tabSplit(), "Teilen");
    EXPECT_EQ(*savedLanguage(), "Deutsch");

    // "Add your language" opens the page about language files and shows the choice.
    choose("Add your language");
    EXPECT_EQ(ui.opened, Strings{LanguageLoader::kLanguagePageAddress});
    EXPECT_EQ(form.cmb_languages.text, "Deutsch");
    EXPECT_EQ(*savedLanguage(), "Deutsch");

    // Back to English: texts Deutsch.ini set and English.ini lacks return to English;
    // a caption English.ini does not name keeps the German one.
    choose("English");
    EXPECT_EQ(form.catalogue.MsgErrMerge, Catalogue{}.MsgErrMerge);
    EXPECT_EQ(form.cmd_merge.caption, "Merge them!");
    EXPECT_EQ(form.chk_merge_ovr.caption, "Überschreiben");
    EXPECT_EQ(*savedLanguage(), "English");
    EXPECT_TRUE(ui.boxes.empty());
}

}  // namespace
}  // namespace pagemeld
