// Merging a list of files.
#include <gtest/gtest.h>

#include <filesystem>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include "pdf/pooled_file_source.h"
#include "pdf/qpdf_engine.h"
#include "support/temp_dir.h"
#include "support/test_pdfs.h"

namespace pagemeld {
namespace {

namespace fs = std::filesystem;
using testing::labels;
using testing::pageTexts;
using testing::TempDir;

TEST(EngineMergeList, MergesInListOrderAndTakesTheFirstFilesInformation) {
    TempDir dir;
    testing::writeTestPdf(dir.file("a.pdf"), {2, "A", true, 64, {{"Title", "First"}}});
    testing::writeTestPdf(dir.file("b.pdf"), 3, "B");
    QpdfEngine engine;
    engine.ClearFileList("");
    engine.AddToFileList("", dir.file("b.pdf"));
    engine.AddToFileList("", dir.file("a.pdf"));
    EXPECT_EQ(engine.MergeFileList("", dir.file("out.pdf")), 2);
    EXPECT_EQ(pageTexts(dir.file("out.pdf")),
              (std::vector<std::string>{"B 1", "B 2", "B 3", "A 1", "A 2"}));
    EXPECT_TRUE(testing::qpdfCheckClean(dir.file("out.pdf")));

    engine.ClearFileList("");
    engine.AddToFileList("", dir.file("a.pdf"));
    engine.AddToFileList("", dir.file("b.pdf"));
    EXPECT_EQ(engine.MergeFileList("", dir.file("out.pdf")), 2);
    EXPECT_EQ(testing::infoEntries(dir.file("out.pdf"))["Title"], "First");

    engine.ClearFileList("");
    EXPECT_EQ(engine.MergeFileList("", dir.file("empty.pdf")), 0);
    EXPECT_FALSE(fs::exists(dir.file("empty.pdf")));
}

TEST(EngineMergeList, AFailingFileIsLeftOutAndCounted) {
    TempDir dir;
    testing::writeTestPdf(dir.file("a.pdf"), 1, "A");
    testing::writeNotPdf(dir.file("bad.pdf"));
    testing::writeTestPdf(dir.file("c.pdf"), 1, "C");
    testing::writeEncryptedPdf(dir.file("locked.pdf"), {}, testing::Encryption::Aes128, "u", "o");
    QpdfEngine engine;
    engine.ClearFileList("");
    for (const char* name : {"a.pdf", "bad.pdf", "locked.pdf", "c.pdf"}) {
        engine.AddToFileList("", dir.file(name));
    }
    // One leading file merged; the output holds every file that could be merged.
    EXPECT_EQ(engine.MergeFileList("", dir.file("out.pdf")), 1);
    EXPECT_EQ(pageTexts(dir.file("out.pdf")), (std::vector<std::string>{"A 1", "C 1"}));
    EXPECT_EQ(engine.LastErrorCode(), pdferr::kInvalidFormat);

    engine.ClearFileList("");
    engine.AddToFileList("", dir.file("bad.pdf"));
    engine.AddToFileList("", dir.file("missing.pdf"));
    EXPECT_EQ(engine.MergeFileList("", dir.file("none.pdf")), 0);
    EXPECT_FALSE(fs::exists(dir.file("none.pdf")));
}

TEST(EngineMergeList, OutputMayBeOneOfTheInputs) {
    TempDir dir;
    testing::writeTestPdf(dir.file("a.pdf"), 2, "A");
    testing::writeTestPdf(dir.file("b.pdf"), 2, "B");
    QpdfEngine engine;
    engine.ClearFileList("");
    engine.AddToFileList("", dir.file("a.pdf"));
    engine.AddToFileList("", dir.file("b.pdf"));
    EXPECT_EQ(engine.MergeFileList("", dir.file("a.pdf")), 2);
    EXPECT_EQ(pageTexts(dir.file("a.pdf")), (std::vector<std::string>{"A 1", "A 2", "B 1", "B 2"}));
    EXPECT_TRUE(testing::qpdfCheckClean(dir.file("a.pdf")));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

#ifndef _WIN32
// Files read in blocks (here every file, as large ones are) keep at most the pool's
// handles open, however many documents are loaded, and read the same as files read whole.
TEST(EngineMergeList, ManyLoadedDocumentsReadInBlocksWithFewFileHandles) {
    struct Limit {
        std::int64_t old = PooledFileSource::setWholeFileLimit(0);
        ~Limit() { PooledFileSource::setWholeFileLimit(old); }
    } readInBlocks;
    TempDir dir;
    constexpr int kFiles = 300;
    std::vector<std::string> names;
    std::vector<std::string> expected;
    for (int i = 1; i <= kFiles; ++i) {
        // Every hundredth file spans many blocks: pages that share a 192 KB image.
        const testing::TestPdfOptions options{
            i % 100 == 0 ? 12 : 1 + i % 2, "F" + std::to_string(i), true, i % 100 == 0 ? 256 : 16};
        names.push_back(dir.file("in " + std::to_string(i) + ".pdf"));
        testing::writeTestPdf(names.back(), options);
        for (int p = 1; p <= options.pages; ++p)
            expected.push_back(options.label + " " + std::to_string(p));
    }
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &old), 0);
    rlimit limited = old;
    limited.rlim_cur = 96;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &limited), 0);
    QpdfEngine engine;
    std::vector<std::int32_t> ids;
    for (const auto& name : names) ids.push_back(engine.LoadFromFile(name));
    engine.SelectDocument(ids[0]);
    int merged = 1;
    for (std::size_t i = 1; i < ids.size(); ++i) merged += engine.MergeDocument(ids[i]);
    const bool saved = engine.SaveToFile(dir.file("loaded.pdf")) != 0;
    engine.ClearFileList("");
    for (const auto& name : names) engine.AddToFileList("", name);
    const auto listed = engine.MergeFileList("", dir.file("listed.pdf"));
    setrlimit(RLIMIT_NOFILE, &old);
    EXPECT_EQ(merged, kFiles);
    EXPECT_TRUE(saved);
    EXPECT_EQ(listed, kFiles);
    EXPECT_EQ(pageTexts(dir.file("loaded.pdf")), expected);
    EXPECT_EQ(pageTexts(dir.file("listed.pdf")), expected);
    EXPECT_TRUE(testing::qpdfCheckClean(dir.file("loaded.pdf")));
}
#endif

}  // namespace
}  // namespace pagemeld
