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
using testing::pageTexts;
using testing::TempDir;
using Texts = std::vector<std::string>;
using namespace std::string_literals;

// Files that fail are left out (the result counts the leading files merged), the first
// file's information is kept, and the output may be one of the inputs.
TEST(EngineMergeList, MergesWhatItCanInListOrderEvenOverAnInput) {
    TempDir dir;
    testing::writeTestPdf(dir.file("a.pdf"), {2, "A", true, 64, {{"Title", "First"}}});
    testing::writeTestPdf(dir.file("b.pdf"), 1, "B");
    testing::writeNotPdf(dir.file("bad.pdf"));
    testing::writeEncryptedPdf(dir.file("locked.pdf"), {}, testing::Encryption::Aes128, "u", "o");
    QpdfEngine engine;
    struct List {
        std::vector<const char*> inputs;
        const char* output;
        int merged;
        Texts pages;  // none: no output at all
        std::int32_t error = 0;
    };
    for (const auto& [inputs, output, merged, pages, error] :
         std::vector<List>{{{"b", "a"}, "out", 2, {"B 1", "A 1", "A 2"}},
                           {{"a", "bad", "locked", "b"},
                            "out",
                            1,
                            {"A 1", "A 2", "B 1"},
                            errcode::kInvalidFileFormat},
                           {{"bad", "missing"}, "none", 0, {}},
                           {{}, "none", 0, {}},
                           {{"a", "b"}, "a", 2, {"A 1", "A 2", "B 1"}}}) {
        SCOPED_TRACE(output + std::to_string(inputs.size()));
        engine.ClearFileList("");
        for (const char* input : inputs) engine.AddToFileList("", dir.file(input + ".pdf"s));
        EXPECT_EQ(engine.MergeFileList("", dir.file(output + ".pdf"s)), merged);
        if (error != 0) {
            EXPECT_EQ(engine.LastErrorCode(), error);
        }
        if (pages.empty()) continue;
        EXPECT_EQ(pageTexts(dir.file(output + ".pdf"s)), pages);
        EXPECT_TRUE(testing::qpdfCheckClean(dir.file(output + ".pdf"s)));
        EXPECT_EQ(testing::infoEntries(dir.file(output + ".pdf"s))["Title"],
                  inputs[0] == "a"s ? "First" : "");
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 5);
}

// What the list's check throws (the end of the program, a cancel) ends the merge and
// reaches the caller as it was thrown, whether or not the output could be created:
// no output, no temporary file, no document left loaded.
TEST(EngineMergeList, WhatTheCheckThrowsReachesTheCallerAndNothingIsWritten) {
    TempDir dir;
    testing::writeTestPdf(dir.file("a.pdf"), 1, "A");
    testing::writeTestPdf(dir.file("b.pdf"), 1, "B");
    QpdfEngine engine;
    for (const std::string& output : {dir.file("out.pdf"), dir.file("no folder/out.pdf")}) {
        SCOPED_TRACE(output);
        engine.ClearFileList("");
        for (const char* input : {"a.pdf", "b.pdf"}) engine.AddToFileList("", dir.file(input));
        std::vector<std::int32_t> checked;
        engine.SetFileListCheck("", [&](std::int32_t position) {
            checked.push_back(position);
            if (position == 2) throw ExitRequested{};
            return dir.file("a.pdf");
        });
        EXPECT_THROW(engine.MergeFileList("", output), ExitRequested);
        EXPECT_EQ(checked, (std::vector<std::int32_t>{1, 2}));
        EXPECT_EQ(engine.documentCount(), 0u);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

// Page numbers run past what 16 bits hold: two files of 33,000 pages that share one
// content stream, so that they are quick to make.
TEST(EngineMergeList, MoreThan65535PagesAreAllKept) {
    TempDir dir;
    for (const char* name : {"a.pdf", "b.pdf"}) testing::writeManyPagesPdf(dir.file(name), 33000);
    QpdfEngine engine;
    engine.ClearFileList("");
    engine.AddToFileList("", dir.file("a.pdf"));
    engine.AddToFileList("", dir.file("b.pdf"));
    ASSERT_EQ(engine.MergeFileList("", dir.file("out.pdf")), 2);
    EXPECT_EQ(testing::pageCount(dir.file("out.pdf")), 66000);
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
    const rlimit limited{96, old.rlim_max};
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
