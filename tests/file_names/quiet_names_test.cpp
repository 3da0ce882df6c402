// The quiet requests of the real program with names whose bytes are no UTF-8: the
// program must reach the very files they name, not a re-encoded copy of the name.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "file_names/name_samples.h"
#include "support/program_run.h"
#include "support/temp_dir.h"
#include "support/test_pdfs.h"

namespace pagemeld::testing {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

bool holds(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class QuietNamesTest : public ::testing::Test {
protected:
    QuietNamesTest() { fs::create_directory(dir.path() / ".home"); }

    ProgramRun run(const std::vector<std::string>& args) {
        return runProgram(PAGEMELD_EXECUTABLE, {dir.path(), args});
    }
    // A path in the test's folder, from raw bytes.
    std::string at(const std::string& relative) const {
        return dir.path().string() + "/" + relative;
    }
    std::string folder(const std::string& relative) const {
        fs::create_directories(at(relative));
        return at(relative) + "/";
    }
    // What the test's folder holds besides the program's home.
    std::set<std::string> made() const {
        std::set<std::string> names = namesIn(dir.path().string());
        names.erase(".home");
        return names;
    }

    TempDir dir;
};

TEST_F(QuietNamesTest, NamesThatAreNoUtf8ReachTheFilesTheyName) {
    writeTestPdf(at("caf\xE9.pdf"), 1, "C");
    writeTestPdf(at("bad\xFF.pdf"), 2, "F");
    folder("raw\xFE");
    ProgramRun finished = run({"-qml", "caf\xE9.pdf", "bad\xFF.pdf", "-o", "out\xFF.pdf"});
    EXPECT_EQ(finished.status, 0) << finished.errors;
    EXPECT_EQ(pageTexts(at("out\xFF.pdf")), (Texts{"C 1", "F 1", "F 2"}));
    finished = run({"-qs", "bad\xFF.pdf", "-o", "raw\xFE/"});
    EXPECT_EQ(finished.status, 0) << finished.errors;
    EXPECT_EQ(namesIn(at("raw\xFE")), (std::set<std::string>{"bad\xFF"
                                                             "01.pdf",
                                                             "bad\xFF"
                                                             "02.pdf"}));
    // No name with the replacement character was made on the way.
    for (const std::string& name : made()) EXPECT_FALSE(holds(name, "\xEF\xBF\xBD")) << name;
}

}  // namespace
}  // namespace pagemeld::testing
