// The installed program: `cmake --install` of this build gives a portable folder (the
// program, its languages folder and its shortcuts side by side), and the program
// started from any other folder finds what lies beside it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "app/settings_store.h"
#include "base/registry.h"
#include "errors/error_handler.h"
#include "install/installation.h"
#include "lang/catalogue.h"
#include "lang/language_loader.h"
#include "lang_loader/fake_language_window.h"
#include "support/fake_services.h"
#include "support/program_run.h"
#include "support/temp_dir.h"
#include "support/test_pdfs.h"
#include "support/unprivileged.h"

namespace pagemeld {
namespace {

namespace fs = std::filesystem;
using testing::pageTexts;
using testing::ProgramRun;
using testing::TempDir;
using Names = std::set<std::string>;
using Texts = std::vector<std::string>;

const fs::path kSourceLanguages = PAGEMELD_LANGUAGES_DIR;
const fs::path kSourceShortcuts = PAGEMELD_SHORTCUTS_DIR;

std::string contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

Names namesIn(const fs::path& folder) {
    Names names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        names.insert(it->path().filename().string());
    }
    return names;
}

// The value of the first "key=" line of a language file, read plainly so the
// expectation does not come from the reader under test.
std::string iniValue(const fs::path& file, const std::string& key) {
    std::ifstream in(file, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
    }
    return {};
}

// An opening quote that never closes: refused, in the saved language.
const std::vector<std::string> kRefused = {"-qs", "\"a.pdf", "-o", "out/"};

class InstalledProgram : public ::testing::Test {
protected:
    void SetUp() override {
        installation = testing::installInto(dir.path() / "prefix", dir.path());
        ASSERT_EQ(installation.status, 0) << installation.errors;
        ASSERT_TRUE(fs::is_regular_file(installation.executable)) << installation.executable;
        // A folder that has nothing to do with the program or the build.
        work = dir.path() / "somewhere else";
        fs::create_directory(work);
        testing::writeTestPdf((work / "a.pdf").string(), 2, "A");
        testing::writeTestPdf((work / "b.pdf").string(), 1, "B");
    }

    const fs::path& folder() const { return installation.folder; }
    fs::path consoleProgram() const { return folder() / PAGEMELD_CLI_EXECUTABLE_NAME; }

    // Saves the language choice the way the program does, in the settings of the home
    // the runs in `work` get.
    static void saveLanguage(const fs::path& work, const std::string& language) {
        SettingsStore settings(work / ".home" / ".config");
        ASSERT_TRUE(
            RegWriteString(settings, kHkeyCurrentUser, kSettingsKeyPath, kLanguageValue, language));
    }

    // The German refusal of a command line, as the shipped file has it.
    static std::string germanRefusal() {
        const std::string german = iniValue(kSourceLanguages / "Deutsch.ini", "MsgErrCL");
        EXPECT_FALSE(german.empty());
        EXPECT_EQ(german.find("Invalid command line"), std::string::npos);
        return german;
    }

    ProgramRun run(const std::vector<std::string>& arguments) const {
        return testing::runProgram(installation.executable.string(), {work, arguments});
    }

    TempDir dir;
    testing::Installation installation;
    fs::path work;
};

TEST_F(InstalledProgram, FolderHoldsTheProgramItsLanguagesAndShortcutsSideBySide) {
    Names expected = namesIn(kSourceShortcuts);
    ASSERT_TRUE(expected.count("website.url") && expected.count("support.url") &&
                expected.count("website2.url") && expected.count("download.url"));
    expected.insert(installation.executable.filename().string());
    expected.insert(PAGEMELD_CLI_EXECUTABLE_NAME);
    expected.insert("languages");
    EXPECT_EQ(namesIn(folder()), expected);

    for (const fs::path& program : {installation.executable, consoleProgram()}) {
        const fs::perms perms = fs::status(program).permissions();
        for (fs::perms exec :
             {fs::perms::owner_exec, fs::perms::group_exec, fs::perms::others_exec}) {
            EXPECT_NE(perms & exec, fs::perms::none) << program;
        }
    }

    // Every language file as it ships, byte for byte, non-ASCII names included.
    const Names languages = namesIn(folder() / "languages");
    EXPECT_EQ(languages, namesIn(kSourceLanguages));
    for (const char* name : {"English.ini", "Deutsch.ini", "Français.ini"}) {
        EXPECT_EQ(languages.count(name), 1u) << name;
    }
    for (const std::string& name : languages) {
        EXPECT_EQ(contents(folder() / "languages" / name), contents(kSourceLanguages / name))
            << name;
    }
    for (const std::string& name : namesIn(kSourceShortcuts)) {
        const std::string shortcut = contents(folder() / name);
        EXPECT_EQ(shortcut, contents(kSourceShortcuts / name)) << name;
        EXPECT_NE(shortcut.find("URL=https://"), std::string::npos) << name;
    }
}

TEST_F(InstalledProgram, QuietRequestsWorkFromAnyFolder) {
    const Names installed = namesIn(folder());

    ProgramRun done = run({"-qm", "a.pdf", "b.pdf", "-o", "out.pdf"});
    EXPECT_EQ(done.status, 0) << done.errors;
    EXPECT_EQ(pageTexts((work / "out.pdf").string()), (Texts{"A 1", "A 2", "B 1"}));

    fs::create_directory(work / "out");
    done = run({"-qs", "a.pdf", "b.pdf", "-o", "out/"});
    EXPECT_EQ(done.status, 0) << done.errors;
    EXPECT_EQ(namesIn(work / "out"), (Names{"a01.pdf", "a02.pdf", "b01.pdf"}));
    EXPECT_EQ(pageTexts((work / "out" / "a02.pdf").string()), Texts{"A 2"});
    EXPECT_EQ(pageTexts((work / "out" / "b01.pdf").string()), Texts{"B 1"});

    // The console program beside it, in the language saved for the user.
    saveLanguage(work, "Deutsch");
    done = testing::runProgram(consoleProgram().string(),
                               {work, {"-qm", "b.pdf", "a.pdf", "-o", "cli.pdf"}});
    EXPECT_EQ(done.status, 0) << done.errors;
    EXPECT_EQ(pageTexts((work / "cli.pdf").string()), (Texts{"B 1", "A 1", "A 2"}));
    done = testing::runProgram(consoleProgram().string(), {work, kRefused});
    EXPECT_EQ(done.status, 2);
    EXPECT_NE(done.errors.find(germanRefusal()), std::string::npos) << done.errors;

    // Requests that went well leave the program's folder as it was.
    EXPECT_EQ(namesIn(folder()), installed);
}

TEST_F(InstalledProgram, SpeaksTheLanguageFilesBesideItWhereverTheFolderIsMoved) {
    saveLanguage(work, "Deutsch");
    const std::string german = germanRefusal();

    ProgramRun done = run(kRefused);
    EXPECT_EQ(done.status, 2);
    EXPECT_NE(done.errors.find(german), std::string::npos) << done.errors;

    // A copy of the whole folder elsewhere reads its own language files, not the
    // ones it was copied from.
    const fs::path moved = dir.path() / "moved copy";
    fs::copy(folder(), moved, fs::copy_options::recursive);
    const std::string marker = "Befehlszeile abgelehnt (aus der verschobenen Kopie)";
    std::string file = contents(moved / "languages" / "Deutsch.ini");
    file.replace(file.find(german), german.size(), marker);
    std::ofstream(moved / "languages" / "Deutsch.ini", std::ios::binary | std::ios::trunc) << file;

    done = testing::runProgram((moved / installation.executable.filename()).string(),
                               {work, kRefused});
    EXPECT_EQ(done.status, 2);
    EXPECT_NE(done.errors.find(marker), std::string::npos) << done.errors;
    EXPECT_EQ(done.errors.find(german), std::string::npos) << done.errors;

    done = run(kRefused);
    EXPECT_NE(done.errors.find(german), std::string::npos) << done.errors;
}

TEST_F(InstalledProgram, StartedThroughALinkItStillFindsItsOwnFolder) {
    // The way a folder in /opt is put on the PATH: a link in another folder.
    const fs::path link = work / "bin" / "pagemeld";
    fs::create_directory(work / "bin");
    fs::create_symlink(installation.executable, link);
    saveLanguage(work, "Deutsch");

    ProgramRun done = testing::runProgram(link.string(), {work, kRefused});
    EXPECT_EQ(done.status, 2);
    EXPECT_NE(done.errors.find(germanRefusal()), std::string::npos) << done.errors;

    done = testing::runProgram(link.string(), {work, {"-qm", "b.pdf", "a.pdf", "-o", "out.pdf"}});
    EXPECT_EQ(done.status, 0) << done.errors;
    EXPECT_EQ(pageTexts((work / "out.pdf").string()), (Texts{"B 1", "A 1", "A 2"}));
}

TEST_F(InstalledProgram, WorksForAUserWhoMayNotWriteItsFolder) {
    // The runs give up root rights (a read-only folder does not stop root): their
    // current folder, home and inputs must be open to the user they run as.
    testing::openToEveryone(dir.path().string());
    fs::permissions(work, fs::perms::all, fs::perm_options::add);
    for (const char* name : {"a.pdf", "b.pdf"}) testing::openToEveryone((work / name).string());
    const fs::perms writable =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    fs::permissions(folder(), writable, fs::perm_options::remove);
    const Names installed = namesIn(folder());

    // Each result is a bit, so the child's exit status tells which failed.
    const int failed = testing::runUnprivileged([&] {
        int result = 0;
        if (run({"-qm", "a.pdf", "b.pdf", "-o", "out.pdf"}).status != 0) result |= 1;
        if (run({"-qsl", "b.pdf", "-o", "./"}).status != 0) result |= 2;
        // The saved language is the user's own, read from the folder of the program.
        saveLanguage(work, "Deutsch");
        if (run(kRefused).errors.find(germanRefusal()) == std::string::npos) result |= 4;
        return result;
    });
    fs::permissions(folder(), fs::perms::owner_write, fs::perm_options::add);

    EXPECT_EQ(failed, 0);
    EXPECT_EQ(pageTexts((work / "out.pdf").string()), (Texts{"A 1", "A 2", "B 1"}));
    EXPECT_EQ(pageTexts((work / "b01.pdf").string()), Texts{"B 1"});
    EXPECT_TRUE(fs::is_regular_file(work / "output.log"));
    EXPECT_EQ(namesIn(folder()), installed);
}

TEST_F(InstalledProgram, LanguageListOffersEveryShippedLanguageFromTheInstalledFolder) {
    testing::FakeUi ui;
    testing::FakeSettings settings;
    testing::FakeSystem system(folder().string());
    ErrorReporter errors(ui, system);
    Catalogue catalogue;
    testing::FakeLanguageWindow window(catalogue);
    window.controls = {{"cmd_merge", "Merge files!"}};
    LanguageLoader loader(window, catalogue, settings, ui, system, errors);
    ASSERT_TRUE(
        RegWriteString(settings, kHkeyCurrentUser, kSettingsKeyPath, kLanguageValue, "Français"));

    loader.load_languages();

    Names expected;
    for (const std::string& name : namesIn(kSourceLanguages)) {
        expected.insert(iniValue(kSourceLanguages / name, "Language"));
    }
    const Names listed(window.list.begin(), window.list.end());
    EXPECT_EQ(listed, expected);
    for (const char* language : {"English", "Deutsch", "Français"}) {
        EXPECT_EQ(listed.count(language), 1u) << language;
    }
    const fs::path french = kSourceLanguages / "Français.ini";
    EXPECT_EQ(window.shownText, "Français");
    EXPECT_EQ(*window.caption("cmd_merge"), iniValue(french, "cmd_merge"));
    EXPECT_EQ(catalogue.MsgErrCL, iniValue(french, "MsgErrCL"));
    EXPECT_TRUE(ui.boxes.empty());
}

}  // namespace
}  // namespace pagemeld
