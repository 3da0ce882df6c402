// The quiet requests of the real program, started as a process without any display.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "support/program_run.h"
#include "support/temp_dir.h"
#include "support/test_pdfs.h"

namespace pagemeld {
namespace {

namespace fs = std::filesystem;
using testing::pageTexts;
using testing::TempDir;

using Finished = testing::ProgramRun;

// Runs the program in `folder` with `args`, no display, and a home of its own.
Finished runPagemeld(const fs::path& folder, const std::vector<std::string>& args) {
    return testing::runProgram(PAGEMELD_EXECUTABLE, {folder, args});
}

std::vector<std::string> pdfsIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == ".pdf") names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class QuietProgram : public ::testing::Test {
protected:
    QuietProgram() {
        fs::create_directory(dir.path() / ".home");
        fs::create_directory(dir.path() / "out");
    }
    std::string file(const std::string& name) const { return dir.file(name); }
    TempDir dir;
};

TEST_F(QuietProgram, SplitWritesEachPageOfEachFileAndLogsWhenAsked) {
    testing::writeTestPdf(file("ten.pdf"), 10, "T");
    testing::writeTestPdf(file("twenty pages.pdf"), 20, "W");
    // Relative names and folder: taken from the current folder.
    const Finished run =
        runPagemeld(dir.path(), {"-qsl", "ten.pdf", "twenty pages.pdf", "-o", "out/"});
    EXPECT_EQ(run.status, 0) << run.errors;
    const auto pieces = pdfsIn(dir.path() / "out");
    ASSERT_EQ(pieces.size(), 30u);
    EXPECT_EQ(pieces[0], "ten01.pdf");
    EXPECT_EQ(pieces[10], "twenty pages01.pdf");
    EXPECT_EQ(pieces[29], "twenty pages20.pdf");
    EXPECT_EQ(pageTexts(file("out/ten03.pdf")), std::vector<std::string>{"T 3"});
    EXPECT_EQ(pageTexts(file("out/twenty pages20.pdf")), std::vector<std::string>{"W 20"});

    // A second logged request appends to the same log.
    const std::string firstLog = contents(dir.path() / "out" / "output.log");
    EXPECT_NE(firstLog.find("Processing file " + file("ten.pdf") + "\r\n"), std::string::npos);
    EXPECT_EQ(runPagemeld(dir.path(), {"-qs", "l", "ten.pdf", "-o", "out/"}).status, 0);
    const std::string bothLogs = contents(dir.path() / "out" / "output.log");
    EXPECT_EQ(bothLogs.rfind(firstLog, 0), 0u);
    EXPECT_GT(bothLogs.size(),
              firstLog.size() + 10 * std::strlen("Saving output file: out/ten01.pdf"));
}

TEST_F(QuietProgram, SplitTakesAtMost999PagesOfAFile) {
    testing::TestPdfOptions options;
    options.pages = 1200;
    options.sharedImage = false;
    testing::writeTestPdf(file("big.pdf"), options);
    const Finished run = runPagemeld(dir.path(), {"-qs", file("big.pdf"), "-o", file("out") + "/"});
    EXPECT_EQ(run.status, 0) << run.errors;
    const auto pieces = pdfsIn(dir.path() / "out");
    ASSERT_EQ(pieces.size(), 999u);
    EXPECT_EQ(pieces.back(), "big999.pdf");
}

TEST_F(QuietProgram, MergeJoinsInOrderAndReportsWhatItSkipped) {
    testing::writeTestPdf(file("a.pdf"), 2, "A");
    testing::writeTestPdf(file("b.pdf"), 1, "B");
    testing::writeNotPdf(file("broken.pdf"));
    std::ofstream(file("notes.txt")) << "text";

    Finished run = runPagemeld(dir.path(), {"-qml", "b.pdf", "a.pdf", "-o", "merged.pdf"});
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(pageTexts(file("merged.pdf")), (std::vector<std::string>{"B 1", "A 1", "A 2"}));
    EXPECT_NE(contents(file("merged.pdf.log")).find("Merged file: " + file("a.pdf")),
              std::string::npos);

    // The first file cannot be loaded: the second is the base.
    run = runPagemeld(dir.path(), {"-qm", "broken.pdf", "a.pdf", "b.pdf", "-o", "second.pdf"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(pageTexts(file("second.pdf")), (std::vector<std::string>{"A 1", "A 2", "B 1"}));

    // A PDF and a text file: a copy of the PDF.
    run = runPagemeld(dir.path(), {"-qm", "a.pdf", "notes.txt", "-o", "copy.pdf"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(pageTexts(file("copy.pdf")), (std::vector<std::string>{"A 1", "A 2"}));

    // One file: nothing to merge, nothing written.
    run = runPagemeld(dir.path(), {"-qml", "a.pdf", "-o", "single.pdf"});
    EXPECT_EQ(run.status, 1);
    EXPECT_FALSE(fs::exists(file("single.pdf")));
    EXPECT_NE(
        contents(file("single.pdf.log")).find("Please add at least 2 PDF files to merge!\r\n"),
        std::string::npos);
}

TEST_F(QuietProgram, FailuresAndRefusalsGoToStandardErrorWithTheirStatus) {
    testing::writeTestPdf(file("a.pdf"), 1, "A");
    testing::writeTestPdf(file("b.pdf"), 1, "B");

    Finished run = runPagemeld(dir.path(), {"-qm", "a.pdf", "b.pdf", "-o", file("missing/m.pdf")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find(file("missing/m.pdf") + " cannot be created!"), std::string::npos);

    const std::string refused =
        "Invalid command line arguments. Check online support page to learn how to use "
        "command line!";
    // An opening quote that never closes.
    run = runPagemeld(dir.path(), {"-qs", "\"a.pdf", "-o", "out/"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.errors.find(refused), std::string::npos);
    // No "-o": nothing to write to.
    run = runPagemeld(dir.path(), {"-qs", "a.pdf"});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(pdfsIn(dir.path() / "out").empty());
}

}  // namespace
}  // namespace pagemeld
