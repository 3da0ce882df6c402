#include "lang/language_loader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/registry.h"
#include "base/runtime_error.h"
#include "errors/error_handler.h"
#include "lang/ini_file.h"
#include "lang_loader/fake_language_window.h"
#include "support/fake_services.h"
#include "support/temp_dir.h"
#include "support/unprivileged.h"

namespace pagemeld {
namespace {

using testing::FakeLanguageWindow;
using testing::FakeSettings;
using testing::FakeSystem;
using testing::FakeUi;
using testing::TempDir;
using Strings = std::vector<std::string>;

// Also records the working folder the page is opened in.
class RecordingUi : public FakeUi {
public:
    bool openWithAssociatedProgram(const std::string& path,
                                   const std::string& workingFolder) override {
        workingFolders.push_back(workingFolder);
        return FakeUi::openWithAssociatedProgram(path, workingFolder);
    }
    Strings workingFolders;
};

const std::string kEnglish =
    "[GENERAL]\n"
    "Language=English\n"
    "[MAIN]\n"
    "cmd_merge=Merge them!\n"
    "tabsplit=Split\n"
    "[OTHER]\n"
    "MsgMergeDone=Merging done (file)\n";

const std::string kDeutsch =
    "[GENERAL]\n"
    "Language=Deutsch\n"
    "[MAIN]\n"
    "cmd_merge=Zusammenfügen!\n"
    "chk_merge_ovr=Überschreiben\n"
    "tabsplit=Teilen\n"
    "[OTHER]\n"
    "MsgMergeDone=Fertig!\n"
    "MsgErrMerge=\" kann nicht zusammengefügt werden.\"\n";

class LanguageLoaderTest : public ::testing::Test {
protected:
    LanguageLoaderTest()
        : system(dir.path().string()),
          errors(ui, system),
          window(catalogue),
          loader(window, catalogue, settings, ui, system, errors) {
        std::filesystem::create_directory(dir.path() / "languages");
        window.controls = {
            {"cmd_merge", "Merge files!"}, {"chk_merge_ovr", "Overwrite file if exists"},
            {"merge_grid", std::nullopt},  {"xbut_key", "key"},
            {"xbut_key", "key"},           {"txt_split_dest", std::nullopt},
        };
    }

    // Writes a language file (or any file) into the languages folder.
    void write(const std::string& name, const std::string& text) {
        std::ofstream out(dir.path() / "languages" /
                              std::filesystem::path(std::u8string(name.begin(), name.end())),
                          std::ios::binary | std::ios::trunc);
        out << text;
        out.close();
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

    TempDir dir;
    RecordingUi ui;
    FakeSettings settings;
    FakeSystem system;
    ErrorReporter errors;
    Catalogue catalogue;
    FakeLanguageWindow window;
    LanguageLoader loader;
};

TEST_F(LanguageLoaderTest, WithoutSavedChoiceEnglishIsSelectedAndLoaded) {
    write("English.ini", kEnglish);
    write("Deutsch.ini", kDeutsch);

    loader.load_languages();

    EXPECT_EQ(window.list, (Strings{"Deutsch", "English"}));
    EXPECT_EQ(window.selected, 1);
    EXPECT_EQ(*window.caption("cmd_merge"), "Merge them!");
    EXPECT_EQ(*window.caption("chk_merge_ovr"), "Overwrite file if exists");
    EXPECT_EQ(catalogue.MsgMergeDone, "Merging done (file)");
    EXPECT_EQ(catalogue.MsgErrMerge, Catalogue{}.MsgErrMerge);
    // The tabs are refreshed once, after the catalogue holds the new texts.
    EXPECT_EQ(window.refreshedTabs, Strings{"Split"});
    // Loading at start-up is not a choice: nothing is saved.
    EXPECT_FALSE(savedLanguage());
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(LanguageLoaderTest, SavedLanguageWhoseFileIsGone) {
    write("English.ini", kEnglish);
    write("Français.ini", "[GENERAL]\nLanguage=Français\n[OTHER]\nMsgMergeDone=Terminé\n");
    write("Add your language.ini", "[GENERAL]\nLanguage=Add your language\n");
    saveLanguage("Deutsch");
    catalogue.MsgMergeDone = "left over from the last language";
    catalogue.tabsplit = "left over";

    loader.load_languages();

    // No entry matches: the third is selected, yet Deutsch.ini is what gets loaded.
    EXPECT_EQ(window.list, (Strings{"Add your language", "English", "Français"}));
    EXPECT_EQ(window.selected, 2);
    EXPECT_TRUE(window.captionCalls.empty());
    EXPECT_EQ(*window.caption("cmd_merge"), "Merge files!");
    EXPECT_EQ(catalogue.MsgMergeDone, "Merge process done!");
    EXPECT_EQ(window.refreshedTabs, Strings{"Split"});
    EXPECT_EQ(*savedLanguage(), "Deutsch");
    EXPECT_TRUE(ui.boxes.empty());
}

// A folder's permissions bind on POSIX systems only.
class LanguageLoaderPosixTest : public LanguageLoaderTest {};

TEST_F(LanguageLoaderPosixTest, AFolderThatCannotBeListedOffersNoLanguages) {
    write("English.ini", kEnglish);
    write("Deutsch.ini", kDeutsch);
    saveLanguage("Deutsch");
    testing::openToEveryone(dir.path().string());
    for (const char* name : {"English.ini", "Deutsch.ini"}) {
        std::filesystem::permissions(dir.path() / "languages" / name,
                                     std::filesystem::perms::others_read,
                                     std::filesystem::perm_options::add);
    }
    // The files can be opened by name, but the folder cannot be read.
    std::filesystem::permissions(dir.path() / "languages",
                                 std::filesystem::perms::owner_exec |
                                     std::filesystem::perms::group_exec |
                                     std::filesystem::perms::others_exec,
                                 std::filesystem::perm_options::replace);

    const int result = testing::runUnprivileged([&] {
        loader.load_languages();
        if (!window.list.empty()) return 1;
        if (!ui.boxes.empty()) return 2;
        if (window.caption("cmd_merge") != "Zusammenfügen!") return 3;
        return 0;
    });
    EXPECT_EQ(result, 0);
}

TEST_F(LanguageLoaderTest, ClicksBeforeTheWindowHasLoadedDoNothing) {
    write("English.ini", kEnglish);
    write("Deutsch.ini", kDeutsch);
    write("Add your language.ini", "[GENERAL]\nLanguage=Add your language\n");
    loader.load_languages();

    choose("Deutsch");
    choose("Add your language");

    EXPECT_EQ(*window.caption("cmd_merge"), "Merge them!");
    EXPECT_EQ(catalogue.MsgMergeDone, "Merging done (file)");
    EXPECT_EQ(window.refreshedTabs.size(), 1u);
    EXPECT_FALSE(savedLanguage());
    EXPECT_TRUE(ui.opened.empty());

    // Nor does a click with nothing selected.
    window.loaded = true;
    window.selected = -1;
    loader.cmb_languages_Click();
    EXPECT_EQ(window.refreshedTabs.size(), 1u);
    EXPECT_FALSE(savedLanguage());
}

TEST_F(LanguageLoaderTest, ChoosingALanguageLoadsAndSavesIt) {
    write("English.ini", kEnglish);
    write("Deutsch.ini", kDeutsch);
    loader.load_languages();
    window.loaded = true;

    choose("Deutsch");

    EXPECT_EQ(*window.caption("cmd_merge"), "Zusammenfügen!");
    EXPECT_EQ(*window.caption("chk_merge_ovr"), "Überschreiben");
    EXPECT_EQ(catalogue.MsgMergeDone, "Fertig!");
    EXPECT_EQ(catalogue.MsgErrMerge, " kann nicht zusammengefügt werden.");
    EXPECT_EQ(window.refreshedTabs, (Strings{"Split", "Teilen"}));
    EXPECT_EQ(*savedLanguage(), "Deutsch");

    // Back to English: texts Deutsch.ini set and English.ini lacks return to English.
    choose("English");
    EXPECT_EQ(catalogue.MsgErrMerge, Catalogue{}.MsgErrMerge);
    EXPECT_EQ(*window.caption("cmd_merge"), "Merge them!");
    // A caption English.ini does not name keeps the German one.
    EXPECT_EQ(*window.caption("chk_merge_ovr"), "Überschreiben");
    EXPECT_EQ(*savedLanguage(), "English");

    // The next start shows and loads the saved choice.
    saveLanguage("Deutsch");
    FakeLanguageWindow next(catalogue);
    next.controls = {{"cmd_merge", "Merge files!"}};
    LanguageLoader(next, catalogue, settings, ui, system, errors).load_languages();
    EXPECT_EQ(next.selected, 0);
    EXPECT_EQ(*next.caption("cmd_merge"), "Zusammenfügen!");
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(LanguageLoaderTest, FailuresAreReportedUnderTheProcedureName) {
    write("English.ini", kEnglish);
    window.failRefresh = [] {
        throw RuntimeError(errcode::kIndexOutOfRange, "Subscript out of range");
    };

    loader.load_languages();

    // The handler skips the failed step; the texts loaded before it stay.
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_NE(ui.boxes[0].text.find("Procedure ( load_language )"), std::string::npos);
    EXPECT_NE(ui.boxes[0].text.find("Module ( Form1 )"), std::string::npos);
    EXPECT_TRUE(window.refreshedTabs.empty());
    EXPECT_EQ(catalogue.MsgMergeDone, "Merging done (file)");
    EXPECT_EQ(window.selected, 0);
}

}  // namespace
}  // namespace pagemeld
