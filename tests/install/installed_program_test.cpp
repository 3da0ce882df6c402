// The installed program: `cmake --install` of this build gives a portable folder (the
// programs, their languages folder and the shortcuts side by side), and the programs
// started from any other folder - directly, through a link, from a moved copy, by a
// user who may not write the folder - find what lies beside them.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "base/registry.h"
#include "base/settings_store.h"
#include "support/program_run.h"
#include "support/temp_dir.h"
#include "support/test_pdfs.h"
#include "support/unprivileged.h"

namespace pagemeld {
namespace {

namespace fs = std::filesystem;
using testing::namesIn;
using testing::runProgram;
using Names = std::set<std::string>;
using Texts = std::vector<std::string>;

const fs::path kSourceLanguages = PAGEMELD_LANGUAGES_DIR;
const fs::path kSourceShortcuts = PAGEMELD_SHORTCUTS_DIR;
// An opening quote that never closes: refused, in the saved language.
const std::vector<std::string> kRefused = {"-qs", "\"a.pdf", "-o", "out/"};

// The German refusal of a command line, read plainly from the shipped file.
std::string germanRefusal() {
    std::ifstream in(kSourceLanguages / "Deutsch.ini", std::ios::binary);
    std::string line;
    while (std::getline(in, line) && line.rfind("MsgErrCL=", 0) != 0) {
    }
    return line.substr(9, line.find_last_not_of('\r') - 8);
}

// Qt's translation of its own texts for every shipped language, named by the
// language file's Locale.
Names qtTranslationsForLanguages() {
    Names names;
    for (const std::string& language : namesIn(kSourceLanguages)) {
        std::ifstream in(kSourceLanguages / language, std::ios::binary);
        std::string line;
        while (std::getline(in, line)) {
            if (line.rfind("Locale=", 0) == 0) {
                names.insert("qtbase_" + line.substr(7, line.find_last_not_of('\r') - 6) + ".qm");
            }
        }
    }
    return names;
}

// A folder of inputs, its runs' settings saying the language is German.
void prepareWork(const fs::path& work) {
    fs::create_directories(work);
    testing::writeTestPdf((work / "a.pdf").string(), 2, "A");
    testing::writeTestPdf((work / "b.pdf").string(), 1, "B");
    SettingsStore settings(work / ".home" / ".config");
    RegWriteString(settings, kHkeyCurrentUser, kSettingsKeyPath, kLanguageValue, "Deutsch");
}

class InstalledProgram : public ::testing::Test {
protected:
    void SetUp() override {
        folder = (dir.path() / "prefix" / PAGEMELD_INSTALL_DIR).lexically_normal();
        if (folder.filename().empty()) folder = folder.parent_path();
        // `cmake --install` records what it installed in the build's manifest; the record
        // of a real install is put back. Installs of parallel suites take turns.
        const fs::path manifest = fs::path(PAGEMELD_BUILD_DIR) / "install_manifest.txt";
        const int lock = ::open(PAGEMELD_BUILD_DIR "/CMakeCache.txt", O_RDONLY | O_CLOEXEC);
        ::flock(lock, LOCK_EX);
        const bool hadManifest = fs::exists(manifest);
        const std::string before = testing::fileText(manifest);
        const auto install = runProgram(
            PAGEMELD_CMAKE_COMMAND,
            {dir.path(),
             {"--install", PAGEMELD_BUILD_DIR, "--prefix", (dir.path() / "prefix").string()}});
        if (hadManifest) std::ofstream(manifest, std::ios::binary) << before;
        if (!hadManifest) fs::remove(manifest);
        ::close(lock);
        ASSERT_EQ(install.status, 0) << install.errors;
    }

    testing::TempDir dir;
    fs::path folder;
};

TEST_F(InstalledProgram, HoldsWhatShipsAndRunsFromAnyFolderInTheLanguageBesideIt) {
    Names expected = namesIn(kSourceShortcuts);
    EXPECT_EQ(expected.count("support.url"), 1u);
    expected.insert(
        {PAGEMELD_EXECUTABLE_NAME, PAGEMELD_CLI_EXECUTABLE_NAME, "languages", "translations"});
    EXPECT_EQ(namesIn(folder), expected);
    // Qt's buttons and dialogs speak every shipped language.
    const Names qtTexts = qtTranslationsForLanguages();
    EXPECT_EQ(qtTexts.count("qtbase_de.qm") + qtTexts.count("qtbase_fr.qm"), 2u);
    EXPECT_EQ(namesIn(folder / "translations"), qtTexts);
    for (const char* program : {PAGEMELD_EXECUTABLE_NAME, PAGEMELD_CLI_EXECUTABLE_NAME}) {
        EXPECT_EQ(::access((folder / program).c_str(), X_OK), 0) << program;
    }
    // Every language file and shortcut as it ships, byte for byte, non-ASCII names too.
    EXPECT_EQ(namesIn(folder / "languages"), namesIn(kSourceLanguages));
    EXPECT_EQ(namesIn(kSourceLanguages).count("Français.ini"), 1u);
    for (const auto& [shipped, installed] :
         {std::pair{kSourceLanguages, folder / "languages"}, std::pair{kSourceShortcuts, folder}}) {
        for (const std::string& name : namesIn(shipped)) {
            EXPECT_EQ(testing::fileText(installed / name), testing::fileText(shipped / name))
                << name;
        }
    }

    const std::string german = germanRefusal();
    ASSERT_EQ(german.find("Invalid command line"), std::string::npos);
    const fs::path work = dir.path() / "somewhere else";
    prepareWork(work);
    // The way a folder in /opt is put on the PATH: a link in another folder.
    fs::create_directories(work / "bin");
    fs::create_symlink(folder / PAGEMELD_EXECUTABLE_NAME, work / "bin" / "pagemeld");
    // A copy of the whole folder elsewhere reads its own language files.
    const fs::path moved = dir.path() / "moved copy";
    fs::copy(folder, moved, fs::copy_options::recursive);
    const std::string marker = "Befehlszeile abgelehnt (aus der verschobenen Kopie)";
    std::string file = testing::fileText(moved / "languages" / "Deutsch.ini");
    file.replace(file.find(german), german.size(), marker);
    std::ofstream(moved / "languages" / "Deutsch.ini", std::ios::binary) << file;
    const Names installed = namesIn(folder);

    for (const auto& [program, refusal] : std::vector<std::pair<fs::path, std::string>>{
             {folder / PAGEMELD_EXECUTABLE_NAME, german},
             {folder / PAGEMELD_CLI_EXECUTABLE_NAME, german},
             {work / "bin" / "pagemeld", german},  // through a link
             {moved / PAGEMELD_EXECUTABLE_NAME, marker}}) {
        SCOPED_TRACE(program);
        fs::remove(work / "out.pdf");
        auto done =
            runProgram(program.string(), {work, {"-qm", "b.pdf", "a.pdf", "-o", "out.pdf"}});
        EXPECT_EQ(done.status, 0) << done.errors;
        EXPECT_EQ(testing::pageTexts((work / "out.pdf").string()), (Texts{"B 1", "A 1", "A 2"}));
        done = runProgram(program.string(), {work, kRefused});
        EXPECT_EQ(done.status, 2);
        EXPECT_NE(done.errors.find(refusal), std::string::npos) << done.errors;
    }
    EXPECT_EQ(namesIn(folder), installed) << "a request wrote into the program's folder";
}

TEST_F(InstalledProgram, WorksForAUserWhoMayNotWriteItsFolder) {
    // The runs give up root rights (a read-only folder does not stop root): their
    // current folder, home and inputs must be open to the user they run as.
    const fs::path work = dir.path() / "work";
    testing::openToEveryone(dir.path().string());
    fs::create_directory(work);
    fs::permissions(work, fs::perms::all);
    fs::permissions(folder,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const Names installed = namesIn(folder);
    const std::string program = (folder / PAGEMELD_EXECUTABLE_NAME).string();
    const int failed = testing::runUnprivileged([&] {
        prepareWork(work);
        const auto run = [&](const Texts& args) { return runProgram(program, {work, args}); };
        // Each result is a bit, so the child's exit status tells which failed.
        return int(run({"-qm", "a.pdf", "b.pdf", "-o", "out.pdf"}).status != 0) |
               int(run({"-qsl", "b.pdf", "-o", "./"}).status != 0) << 1 |
               int(run(kRefused).errors.find(germanRefusal()) == std::string::npos) << 2;
    });
    fs::permissions(folder, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(testing::pageTexts((work / "out.pdf").string()), (Texts{"A 1", "A 2", "B 1"}));
    EXPECT_EQ(testing::pageTexts((work / "b01.pdf").string()), Texts{"B 1"});
    EXPECT_EQ(namesIn(folder), installed);
}

}  // namespace
}  // namespace pagemeld
