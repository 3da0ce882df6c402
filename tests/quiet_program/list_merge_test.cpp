// Quiet merges as processes: 5000 files, more names than any command line holds, from
// a list file and from standard input; the count of files done on a terminal.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/program_run.h"
#include "support/temp_dir.h"
#include "support/test_pdfs.h"

namespace pagemeld {
namespace {

namespace fs = std::filesystem;

TEST(ConsoleProgram, MergesFiveThousandFilesFromAListAndFromStandardInput) {
    constexpr int kFiles = 5000;
    testing::TempDir dir;
    std::vector<std::string> pages;
    std::string list = "# every scan of the year\n";
    for (int i = 1; i <= kFiles; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "scan %04d.pdf", i);
        pages.push_back("S " + std::to_string(i) + " 1");
        testing::writeTestPdf(dir.file(name), 1, "S " + std::to_string(i));
        list += std::string(name) + "\n";
    }
    std::ofstream(dir.path() / "list.txt", std::ios::binary) << list;

    testing::ProgramOptions fromFile{dir.path(), {"-qm", "@list.txt", "-o", "from file.pdf"}};
    const testing::ProgramRun file = testing::runProgram(PAGEMELD_CLI_EXECUTABLE, fromFile);
    EXPECT_EQ(file.status, 0) << file.errors;
    EXPECT_EQ(testing::pageTexts(dir.file("from file.pdf")), pages);

    testing::ProgramOptions fromInput{dir.path(), {"-qm", "@-", "-o", "from input.pdf"}};
    fromInput.standardInput = dir.path() / "list.txt";
    const testing::ProgramRun input = testing::runProgram(PAGEMELD_CLI_EXECUTABLE, fromInput);
    EXPECT_EQ(input.status, 0) << input.errors;
    EXPECT_EQ(testing::pageTexts(dir.file("from input.pdf")), pages);

    // One name more than the window's list takes is refused before anything is read.
    std::ofstream(dir.path() / "list.txt", std::ios::app) << "scan 0001.pdf\n";
    const testing::ProgramRun tooMany = testing::runProgram(PAGEMELD_CLI_EXECUTABLE, fromFile);
    EXPECT_EQ(tooMany.status, 2);
    EXPECT_NE(tooMany.errors.find("one request takes at most 5000 file names"), std::string::npos);
}

// The count of files done appears on a terminal once a request has run two seconds
// (here a list on standard input that comes late), and never in a file or with -q.
TEST(ConsoleProgram, CountsFilesOnATerminalForALongRequestOnly) {
    testing::TempDir dir;
    testing::writeTestPdf(dir.file("a.pdf"), 2, "A");
    testing::writeTestPdf(dir.file("b.pdf"), 1, "B");
    std::ofstream(dir.path() / "list.txt") << "a.pdf\nb.pdf\n";
    const struct {
        const char* what;
        std::vector<std::string> args;
        bool terminal;
        int delayMs;
        std::string errors;
    } cases[] = {
        {"long, on a terminal",
         {"-qm", "@-", "-o", "m.pdf"},
         true,
         2500,
         "\r1/2 files done\r2/2 files done\r" + std::string(14, ' ') + "\r"},
        {"long, -q", {"-qm", "-q", "@-", "-o", "m.pdf"}, true, 2500, ""},
        {"long, into a file", {"-qm", "@-", "-o", "m.pdf"}, false, 2500, ""},
        {"short", {"-qm", "@-", "-o", "m.pdf"}, true, 1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testing::ProgramOptions options{dir.path(), c.args};
        options.standardInput = dir.path() / "list.txt";
        options.standardInputDelay = std::chrono::milliseconds(c.delayMs);
        options.errorsOnTerminal = c.terminal;
        const testing::ProgramRun run = testing::runProgram(PAGEMELD_CLI_EXECUTABLE, options);
        EXPECT_EQ(run.status, 0) << run.errors;
        EXPECT_EQ(run.errors, c.errors);
        EXPECT_EQ(testing::pageTexts(dir.file("m.pdf")),
                  (std::vector<std::string>{"A 1", "A 2", "B 1"}));
    }
}

}  // namespace
}  // namespace pagemeld
