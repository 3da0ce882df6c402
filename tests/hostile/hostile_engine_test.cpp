// Hostile files through the engine in-process: every operation ends in bounded time
// with either a correct result or a failure that says so, and leaves no partial file.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>

#include "hostile_pdfs.h"
#include "pdf/qpdf_engine.h"
#include "support/temp_dir.h"
#include "support/test_pdfs.h"
#include "watchdog.h"

namespace pagemeld {
namespace {

namespace fs = std::filesystem;
using testing::HostileFile;
using testing::TempDir;

std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// Pages of a file the engine wrote, read back by qpdf itself; -1 when it cannot.
int pagesOf(const std::string& path) {
    try {
        return testing::pageCount(path);
    } catch (...) {
        return -1;
    }
}

class HostileEngine : public ::testing::TestWithParam<HostileFile> {};

TEST_P(HostileEngine, EveryOperationEndsCleanly) {
    const HostileFile& hostile = GetParam();
    TempDir dir;
    const std::string input = dir.file(hostile.name + ".pdf");
    const std::string good = dir.file("good.pdf");
    hostile.make(input);
    testing::writeTestPdf(good, 3, "G");
    std::set<std::string> expected{hostile.name + ".pdf", "good.pdf"};

    testing::Watchdog watchdog(hostile.name, std::chrono::seconds(60));
    QpdfEngine engine;
    const std::int32_t id = engine.LoadFromFile(input);
    std::int32_t pages = 0;
    if (id == 0) {
        EXPECT_NE(engine.LastErrorCode(), 0);
        EXPECT_EQ(engine.SelectedDocument(), 0);
        EXPECT_LE(hostile.pagesIfLoaded, 0) << "a loadable file was refused";
    } else {
        EXPECT_NE(hostile.pagesIfLoaded, 0) << "a file that is no PDF was loaded";
        pages = engine.pagecount();
        if (hostile.pagesIfLoaded > 0) {
            EXPECT_EQ(pages, hostile.pagesIfLoaded);
        }
        EXPECT_GE(pages, 0);
    }

    if (pages > 0) {
        // The first two pages as a file of their own.
        const std::string extract = dir.file("extract.pdf");
        ASSERT_NE(engine.ExtractPages(1, 2), 0);
        if (engine.SaveToFile(extract) != 0) {
            EXPECT_EQ(pagesOf(extract), std::min(pages, 2));
            expected.insert("extract.pdf");
        } else {
            EXPECT_NE(engine.LastErrorCode(), 0);
        }
        // The last page and the first, onto the sound document.
        engine.SelectDocument(id);
        ASSERT_NE(engine.ExtractPageRanges(std::to_string(pages) + ",1"), 0);
        const std::int32_t picked = engine.SelectedDocument();
        const std::int32_t base = engine.LoadFromFile(good);
        ASSERT_NE(base, 0);
        const std::string combined = dir.file("combined.pdf");
        if (engine.MergeDocument(picked) != 0 && engine.SaveToFile(combined) != 0) {
            EXPECT_EQ(pagesOf(combined), 5);
            expected.insert("combined.pdf");
        }
    }

    // A list with the hostile file first: the sound file is merged whatever happens.
    engine.ClearFileList("list");
    engine.AddToFileList("list", input);
    engine.AddToFileList("list", good);
    const std::string merged = dir.file("merged.pdf");
    engine.MergeFileList("list", merged);
    const int mergedPages = pagesOf(merged);
    EXPECT_TRUE(mergedPages == 3 || (pages > 0 && mergedPages == 3 + pages))
        << "merged pages: " << mergedPages;
    expected.insert("merged.pdf");

    // The hostile file alone: a complete file or none.
    engine.ClearFileList("alone");
    engine.AddToFileList("alone", input);
    const std::string alone = dir.file("alone.pdf");
    if (engine.MergeFileList("alone", alone) != 0) {
        EXPECT_EQ(pagesOf(alone), pages);
        expected.insert("alone.pdf");
    } else {
        EXPECT_NE(engine.LastErrorCode(), 0);
    }

    // The light counter gives a number or refuses; it never runs away.
    const std::int32_t handle = engine.DAOpenFile(input, "");
    if (handle != 0) {
        EXPECT_GE(engine.DAGetPageCount(handle), 0);
        engine.DACloseFile(handle);
    }

    EXPECT_EQ(namesIn(dir.path()), expected) << "a partial or stray file was left behind";
}

INSTANTIATE_TEST_SUITE_P(Files, HostileEngine, ::testing::ValuesIn(testing::hostileFiles()),
                         testing::hostileTestName);

}  // namespace
}  // namespace pagemeld
