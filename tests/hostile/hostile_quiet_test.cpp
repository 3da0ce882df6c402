// Hostile files through the quiet requests of the real program, each run as a process
// of its own: a clear exit status and log line, no partial output, and bounded time
// and memory.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "hostile_pdfs.h"
#include "support/program_run.h"
#include "support/temp_dir.h"
#include "support/test_pdfs.h"

namespace pagemeld {
namespace {

namespace fs = std::filesystem;
using testing::HostileFile;
using testing::TempDir;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// A file under 10 MB is done within 30 s and 1 GiB. The sanitizer build's shadow
// memory and checks make neither figure meaningful there, so it is only given more time.
constexpr auto kTimeLimit = std::chrono::seconds(kSanitized ? 90 : 30);
constexpr long kMemoryLimitKiB = 1024 * 1024;

using testing::ProgramRun;

// Runs the program in `folder`; the kernel stops it when it outlives twice the time limit.
ProgramRun runPagemeld(const fs::path& folder, const std::vector<std::string>& args) {
    testing::ProgramOptions options{folder, args};
    options.cpuLimit = 2 * kTimeLimit;
    return testing::runProgram(PAGEMELD_EXECUTABLE, options);
}

std::string contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int pagesOf(const fs::path& path) {
    try {
        return testing::pageCount(path.string());
    } catch (...) {
        return -1;
    }
}

void expectWithinBounds(const ProgramRun& run, const std::string& what) {
    EXPECT_EQ(run.signal, 0) << what << " was killed by signal " << run.signal << "\n"
                             << run.errors;
    EXPECT_LE(run.elapsed, kTimeLimit) << what << " took " << run.elapsed.count() << " s";
    if (!kSanitized) {
        EXPECT_LE(run.peakKiB, kMemoryLimitKiB) << what << " peaked at " << run.peakKiB << " KiB";
    }
}

class HostileQuiet : public ::testing::TestWithParam<HostileFile> {};

TEST_P(HostileQuiet, SplitAndMergeEndWithAClearResult) {
    const HostileFile& hostile = GetParam();
    TempDir dir;
    const std::string name = hostile.name + ".pdf";
    hostile.make(dir.file(name));
    testing::writeTestPdf(dir.file("good.pdf"), 3, "G");
    fs::create_directory(dir.path() / "out");

    // Quiet split: every piece it leaves is a whole one-page file; a refused file is
    // named in the log and makes the request end with status 1.
    const ProgramRun split = runPagemeld(dir.path(), {"-qsl", name, "-o", "out/"});
    expectWithinBounds(split, "the quiet split");
    const std::string splitLog = contents(dir.path() / "out" / "output.log");
    int pieces = 0;
    for (const auto& entry : fs::directory_iterator(dir.path() / "out")) {
        if (entry.path().filename() == "output.log") continue;
        EXPECT_EQ(entry.path().extension(), ".pdf") << "a stray file " << entry.path();
        EXPECT_EQ(pagesOf(entry.path()), 1) << "a partial piece " << entry.path();
        ++pieces;
    }
    if (hostile.pagesIfLoaded == 0) {
        EXPECT_EQ(split.status, 1) << split.errors;
        EXPECT_EQ(pieces, 0);
    }
    if (hostile.pagesIfLoaded > 0) {
        EXPECT_EQ(split.status, 0) << split.errors << splitLog;
        EXPECT_EQ(pieces, std::min(hostile.pagesIfLoaded, 999));
    }
    if (split.status != 0) {
        const bool named =
            splitLog.find("Error loading file " + dir.file(name)) != std::string::npos ||
            splitLog.find(" cannot be created!") != std::string::npos;
        EXPECT_TRUE(named) << "the log does not say what failed:\n" << splitLog;
    } else {
        EXPECT_GT(pieces, 0);
    }

    // Quiet merge with a sound file after it: the sound pages are always there.
    const ProgramRun merge =
        runPagemeld(dir.path(), {"-qml", name, "good.pdf", "-o", "merged.pdf"});
    expectWithinBounds(merge, "the quiet merge");
    const int merged = pagesOf(dir.path() / "merged.pdf");
    const std::string mergeLog = contents(dir.path() / "merged.pdf.log");
    EXPECT_TRUE(merge.status == 0 || merge.status == 1) << merge.errors;
    if (merge.status == 0) {
        EXPECT_GT(merged, 3);
        if (hostile.pagesIfLoaded > 0) {
            EXPECT_EQ(merged, hostile.pagesIfLoaded + 3);
        }
    } else {
        EXPECT_EQ(merged, 3) << mergeLog;
        EXPECT_NE(mergeLog.find(dir.file(name)), std::string::npos) << mergeLog;
    }
    if (hostile.pagesIfLoaded == 0) {
        EXPECT_EQ(merge.status, 1);
    }

    // Nothing but the inputs, the outputs and the logs.
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        const std::string file = entry.path().filename().string();
        EXPECT_TRUE(file == name || file == "good.pdf" || file == "out" || file == "merged.pdf" ||
                    file == "merged.pdf.log" || file == ".home")
            << "a stray file " << file;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, HostileQuiet, ::testing::ValuesIn(testing::hostileFiles()),
                         testing::hostileTestName);

}  // namespace
}  // namespace pagemeld
