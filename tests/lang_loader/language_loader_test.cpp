// Language switching at its lowest layer: the loader over a small window that records
// what it was given. The real window's switch is tested once in tests/gui_window.
#include "lang/language_loader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/registry.h"
#include "base/runtime_error.h"
#include "errors/error_handler.h"
#include "lang/ini_file.h"
#include "support/fake_services.h"
#include "support/temp_dir.h"
#include "support/unprivileged.h"

namespace pagemeld {
namespace {

using Strings = std::vector<std::string>;

// Named controls with or without a caption, the language list, and the tab captions
// each refresh found in the catalogue.
class FakeLanguageWindow : public LanguageWindow {
public:
    explicit FakeLanguageWindow(const Catalogue& catalogue) : catalogue_(catalogue) {}

    std::vector<std::string> controlNames() const override {
        Strings names;
        for (const auto& [name, caption] : controls) names.push_back(name);
        return names;
    }
    bool setCaption(const std::string& controlName, const std::string& text) override {
        bool set = false;
        for (auto& [name, caption] : controls) {
            if (name == controlName && caption) {
                caption = text;
                set = true;
            }
        }
        return set;
    }
    void clearLanguages() override {
        list.clear();
        selected = -1;
    }
    void addLanguage(const std::string& displayName) override { list.push_back(displayName); }
    std::vector<std::string> languages() const override { return list; }
    int selectedLanguage() const override { return selected; }
    void selectLanguage(int index) override {
        selected = index;
        shownText = list.at(static_cast<std::size_t>(index));
    }
    void setLanguageText(const std::string& text) override { shownText = text; }
    bool formLoaded() const override { return loaded; }
    void refresh_objects() override {
        if (auto fail = std::exchange(failRefresh, nullptr)) fail();
        refreshedTabs.push_back(catalogue_.tabsplit);
    }

    std::optional<std::string> caption(const std::string& controlName) const {
        for (const auto& [name, caption] : controls) {
            if (name == controlName) return caption;
        }
        return std::nullopt;
    }

    std::vector<std::pair<std::string, std::optional<std::string>>> controls = {
        {"cmd_merge", "Merge files!"}, {"chk_merge_ovr", "Overwrite file if exists"},
        {"merge_grid", std::nullopt},  {"xbut_key", "key"},
        {"xbut_key", "key"},           {"txt_split_dest", std::nullopt},
    };
    Strings list;
    int selected = -1;
    std::string shownText;
    bool loaded = false;
    Strings refreshedTabs;
    std::function<void()> failRefresh;  // run once by the next refresh

private:
    const Catalogue& catalogue_;
};

const std::string kEnglish =
    "[GENERAL]\nLanguage=English\n"
    "[MAIN]\ncmd_merge=Merge them!\ntabsplit=Split\nmerge_grid=not a caption\n"
    "[OTHER]\nMsgMergeDone=Merging done (file)\n";
const std::string kDeutsch =
    "[GENERAL]\nLanguage=Deutsch\n"
    "[MAIN]\ncmd_merge=Zusammenfügen!\nchk_merge_ovr=Überschreiben\ntabsplit=Teilen\n"
    "[OTHER]\nMsgMergeDone=Fertig!\nMsgErrMerge=\" kann nicht zusammengefügt werden.\"\n";
const std::string kAddYours = "[GENERAL]\nLanguage=Add your language\n";

class LanguageLoaderTest : public ::testing::Test {
protected:
    LanguageLoaderTest()
        : system(dir.path().string()),
          errors(ui, system),
          window(catalogue),
          loader(window, catalogue, settings, ui, system, errors) {
        std::filesystem::create_directory(dir.path() / "languages");
    }

    // Writes the languages folder's files.
    void install(const std::vector<std::pair<std::string, std::string>>& files) {
        for (const auto& [name, text] : files) {
            std::ofstream(dir.path() / "languages" /
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
        for (std::size_t i = 0; i < window.list.size(); ++i) {
            if (window.list[i] == entry) window.selectLanguage(static_cast<int>(i));
        }
        ASSERT_EQ(window.shownText, entry);
        loader.cmb_languages_Click();
    }

    testing::TempDir dir;
    testing::FakeUi ui;
    testing::FakeSettings settings;
    testing::FakeSystem system;
    ErrorReporter errors;
    Catalogue catalogue;
    FakeLanguageWindow window;
    LanguageLoader loader;
};

TEST_F(LanguageLoaderTest, WithoutSavedChoiceEnglishIsLoadedAndClicksWhileLoadingDoNothing) {
    install({{"English.ini", kEnglish}, {"Deutsch.ini", kDeutsch}, {"Add.ini", kAddYours}});
    loader.load_languages();

    EXPECT_EQ(window.list, (Strings{"Add your language", "Deutsch", "English"}));
    EXPECT_EQ(window.selected, 2);
    EXPECT_EQ(window.caption("cmd_merge"), "Merge them!");
    EXPECT_EQ(window.caption("merge_grid"), std::nullopt);
    EXPECT_EQ(catalogue.MsgMergeDone, "Merging done (file)");
    // The tabs are refreshed once, after the catalogue holds the new texts.
    EXPECT_EQ(window.refreshedTabs, Strings{"Split"});

    // Selections before the window has loaded, or with nothing selected, are no choice.
    choose("Deutsch");
    choose("Add your language");
    window.loaded = true;
    window.selected = -1;
    loader.cmb_languages_Click();
    EXPECT_EQ(window.caption("cmd_merge"), "Merge them!");
    EXPECT_EQ(window.refreshedTabs.size(), 1u);
    EXPECT_FALSE(savedLanguage());
    EXPECT_TRUE(ui.opened.empty());
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(LanguageLoaderTest, ASavedLanguageWhoseFileIsGoneLeavesTheEnglishTexts) {
    install({{"English.ini", kEnglish}, {"Français.ini", "[GENERAL]\nLanguage=Français\n"},
             {"Add your language.ini", kAddYours}});
    saveLanguage("Deutsch");
    catalogue.MsgMergeDone = "left over from the last language";

    loader.load_languages();

    // No entry matches: the third is selected, yet Deutsch.ini is what gets loaded.
    EXPECT_EQ(window.selected, 2);
    EXPECT_EQ(window.caption("cmd_merge"), "Merge files!");
    EXPECT_EQ(catalogue.MsgMergeDone, "Merge process done!");
    EXPECT_EQ(*savedLanguage(), "Deutsch");
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(LanguageLoaderTest, ChoosingALanguageLoadsAndSavesIt) {
    install({{"English.ini", kEnglish}, {"Deutsch.ini", kDeutsch}, {"Add.ini", kAddYours}});
    loader.load_languages();
    window.loaded = true;

    choose("Deutsch");
    EXPECT_EQ(window.caption("cmd_merge"), "Zusammenfügen!");
    EXPECT_EQ(window.caption("chk_merge_ovr"), "Überschreiben");
    EXPECT_EQ(catalogue.MsgErrMerge, " kann nicht zusammengefügt werden.");
    EXPECT_EQ(window.refreshedTabs, (Strings{"Split", "Teilen"}));
    EXPECT_EQ(*savedLanguage(), "Deutsch");

    // "Add your language" opens the page about language files and shows the choice.
    choose("Add your language");
    EXPECT_EQ(ui.opened, Strings{LanguageLoader::kLanguagePageAddress});
    EXPECT_EQ(window.shownText, "Deutsch");
    EXPECT_EQ(*savedLanguage(), "Deutsch");

    // Back to English: texts Deutsch.ini set and English.ini lacks return to English;
    // a caption English.ini does not name keeps the German one.
    choose("English");
    EXPECT_EQ(catalogue.MsgErrMerge, Catalogue{}.MsgErrMerge);
    EXPECT_EQ(window.caption("cmd_merge"), "Merge them!");
    EXPECT_EQ(window.caption("chk_merge_ovr"), "Überschreiben");
    EXPECT_EQ(*savedLanguage(), "English");

    // The next start shows and loads the saved choice.
    saveLanguage("Deutsch");
    FakeLanguageWindow next(catalogue);
    LanguageLoader(next, catalogue, settings, ui, system, errors).load_languages();
    EXPECT_EQ(next.selected, 1);
    EXPECT_EQ(next.caption("cmd_merge"), "Zusammenfügen!");
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(LanguageLoaderTest, AFailureIsReportedUnderItsProcedureAndKeepsWhatWasLoaded) {
    install({{"English.ini", kEnglish}});
    window.failRefresh = [] {
        throw RuntimeError(errcode::kIndexOutOfRange, "Subscript out of range");
    };
    loader.load_languages();

    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_NE(ui.boxes[0].text.find("Procedure ( load_language )"), std::string::npos);
    EXPECT_NE(ui.boxes[0].text.find("Module ( Form1 )"), std::string::npos);
    EXPECT_TRUE(window.refreshedTabs.empty());
    EXPECT_EQ(catalogue.MsgMergeDone, "Merging done (file)");
}

// A folder's permissions bind on POSIX systems only.
using LanguageLoaderPosixTest = LanguageLoaderTest;

TEST_F(LanguageLoaderPosixTest, AFolderThatCannotBeListedOffersNoLanguages) {
    install({{"English.ini", kEnglish}, {"Deutsch.ini", kDeutsch}});
    saveLanguage("Deutsch");
    testing::openToEveryone(dir.path().string());
    namespace fs = std::filesystem;
    for (const char* name : {"English.ini", "Deutsch.ini"}) {
        fs::permissions(dir.path() / "languages" / name, fs::perms::others_read,
                        fs::perm_options::add);
    }
    // The files can be opened by name, but the folder cannot be read.
    fs::permissions(dir.path() / "languages",
                    fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                    fs::perm_options::replace);
    const int result = testing::runUnprivileged([&] {
        loader.load_languages();
        if (!window.list.empty()) return 1;
        if (!ui.boxes.empty()) return 2;
        return window.caption("cmd_merge") == "Zusammenfügen!" ? 0 : 3;
    });
    EXPECT_EQ(result, 0);
}

}  // namespace
}  // namespace pagemeld
