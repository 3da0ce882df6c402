// Writing many documents into one: document by document, or all pages at once.
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

using testing::pageTexts;
using testing::TempDir;

// Every page of `files`, document by document, into `output`; the number of documents
// whose pages went in.
int writeOneByOne(PdfEngine& engine, const std::vector<std::string>& files,
                  const std::string& output) {
    PdfFailure failure;
    auto writer = engine.startDocument(output, failure);
    if (!writer) return -1;
    int appended = 0;
    for (const std::string& file : files) {
        const OpenedDocument document = engine.open(file, "");
        if (!writer->append(document.pages)) ++appended;
    }
    return writer->commit({}) ? -1 : appended;
}

// Page numbers run past what 16 bits hold: two files of 33,000 pages that share one
// content stream, so that they are quick to make.
TEST(EngineMerge, MoreThan65535PagesAreAllKept) {
    TempDir dir;
    for (const char* name : {"a.pdf", "b.pdf"}) testing::writeManyPagesPdf(dir.file(name), 33000);
    QpdfEngine engine;
    ASSERT_EQ(writeOneByOne(engine, {dir.file("a.pdf"), dir.file("b.pdf")}, dir.file("out.pdf")),
              2);
    EXPECT_EQ(testing::pageCount(dir.file("out.pdf")), 66000);
}

#ifndef _WIN32
// Files read in blocks (here every file, as large ones are) keep at most the pool's
// handles open, however many documents are open, and read the same as files read whole.
TEST(EngineMerge, ManyOpenDocumentsReadInBlocksWithFewFileHandles) {
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
    std::vector<OpenedDocument> open;
    std::vector<PageRef> pages;
    for (const auto& name : names) {
        open.push_back(engine.open(name, ""));
        pages.insert(pages.end(), open.back().pages.begin(), open.back().pages.end());
    }
    const bool written = !engine.write(dir.file("open.pdf"), pages, {});
    const int oneByOne = writeOneByOne(engine, names, dir.file("listed.pdf"));
    setrlimit(RLIMIT_NOFILE, &old);
    EXPECT_TRUE(written);
    EXPECT_EQ(oneByOne, kFiles);
    EXPECT_EQ(pageTexts(dir.file("open.pdf")), expected);
    EXPECT_EQ(pageTexts(dir.file("listed.pdf")), expected);
    EXPECT_TRUE(testing::qpdfCheckClean(dir.file("open.pdf")));
}
#endif

}  // namespace
}  // namespace pagemeld
