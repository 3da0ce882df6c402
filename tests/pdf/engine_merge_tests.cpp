// Merging a list of files.
#include <gtest/gtest.h>

#include <filesystem>

#ifndef _WIN32
#include <sys/resource.h>
#endif

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
    testing::TestPdfOptions first;
    first.pages = 2;
    first.label = "A";
    first.info = {{"Title", "First"}};
    testing::writeTestPdf(dir.file("a.pdf"), first);
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
    testing::TestPdfOptions options;
    testing::writeEncryptedPdf(dir.file("locked.pdf"), options, testing::Encryption::Aes128, "u",
                               "o");
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
    EXPECT_EQ(engine.MergeFileList("", dir.file("none.pdf")), 0);
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
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names.size(), 2u);
}

TEST(EngineMergeList, FiveThousandFilesWithFewFileHandles) {
    TempDir dir;
    testing::TestPdfOptions options;
    options.sharedImage = false;
    constexpr int kFiles = 5000;
    QpdfEngine engine;
    engine.ClearFileList("");
    for (int i = 1; i <= kFiles; ++i) {
        options.label = "F" + std::to_string(i);
        options.pages = i % 2 ? 1 : 2;
        const std::string name = dir.file("in " + std::to_string(i) + ".pdf");
        testing::writeTestPdf(name, options);
        engine.AddToFileList("", name);
    }
#ifdef _WIN32
    // The C runtime's own limit of 512 open streams.
    const auto merged = engine.MergeFileList("", dir.file("all.pdf"));
#else
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &old), 0);
    rlimit limited = old;
    limited.rlim_cur = 256;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &limited), 0);
    const auto merged = engine.MergeFileList("", dir.file("all.pdf"));
    setrlimit(RLIMIT_NOFILE, &old);
#endif
    EXPECT_EQ(merged, kFiles);
    const auto texts = pageTexts(dir.file("all.pdf"));
    ASSERT_EQ(texts.size(), static_cast<std::size_t>(kFiles + kFiles / 2));
    EXPECT_EQ(texts.front(), "F1 1");
    EXPECT_EQ(texts[1], "F2 1");
    EXPECT_EQ(texts[2], "F2 2");
    EXPECT_EQ(texts.back(), "F5000 2");
}

}  // namespace
}  // namespace pagemeld
