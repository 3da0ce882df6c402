// Extracting pages and ranges, merging documents, information entries.
#include <gtest/gtest.h>

#include "pdf/qpdf_engine.h"
#include "support/temp_dir.h"
#include "support/test_pdfs.h"

namespace pagemeld {
namespace {

using testing::labels;
using testing::pageTexts;
using testing::TempDir;

class EnginePages : public ::testing::Test {
protected:
    void SetUp() override {
        testing::writeTestPdf(dir.file("ten.pdf"), 10, "T");
        source = engine.LoadFromFile(dir.file("ten.pdf"));
        ASSERT_NE(source, 0);
    }
    // Saves the selected document and returns its page texts.
    std::vector<std::string> saved(const std::string& name) {
        EXPECT_NE(engine.SaveToFile(dir.file(name)), 0);
        return pageTexts(dir.file(name));
    }

    TempDir dir;
    QpdfEngine engine;
    std::int32_t source = 0;
};

TEST_F(EnginePages, ExtractPagesCutsAtTheLastPage) {
    const auto piece = engine.ExtractPages(4, 3);
    ASSERT_NE(piece, 0);
    EXPECT_EQ(engine.SelectedDocument(), piece);
    EXPECT_EQ(engine.pagecount(), 3);
    EXPECT_EQ(saved("middle.pdf"), labels("T", 4, 6));

    engine.SelectDocument(source);
    ASSERT_NE(engine.ExtractPages(10, 3), 0);
    EXPECT_EQ(saved("last.pdf"), std::vector<std::string>{"T 10"});

    engine.SelectDocument(source);
    ASSERT_NE(engine.ExtractPages(1, 1000000), 0);
    EXPECT_EQ(engine.pagecount(), 10);

    // Runs that yield nothing fail and leave nothing selected.
    for (auto [first, count] : {std::pair{11, 1}, {0, 2}, {3, 0}, {-5, 3}, {5, -1}}) {
        engine.SelectDocument(source);
        EXPECT_EQ(engine.ExtractPages(first, count), 0) << first << "," << count;
        EXPECT_EQ(engine.SelectedDocument(), 0);
    }
    // The source is untouched by all of this.
    engine.SelectDocument(source);
    EXPECT_EQ(engine.pagecount(), 10);
}

TEST_F(EnginePages, ExtractPageRangesKeepsOrderAndReverses) {
    ASSERT_NE(engine.ExtractPageRanges("1-3,6,9-10"), 0);
    EXPECT_EQ(saved("r1.pdf"),
              (std::vector<std::string>{"T 1", "T 2", "T 3", "T 6", "T 9", "T 10"}));

    engine.SelectDocument(source);
    ASSERT_NE(engine.ExtractPageRanges("3-1"), 0);
    EXPECT_EQ(saved("r2.pdf"), (std::vector<std::string>{"T 3", "T 2", "T 1"}));

    engine.SelectDocument(source);
    ASSERT_NE(engine.ExtractPageRanges(" 8 - 12 , 2,2"), 0);
    EXPECT_EQ(saved("r3.pdf"), (std::vector<std::string>{"T 8", "T 9", "T 10", "T 2", "T 2"}));
    EXPECT_TRUE(testing::qpdfCheckClean(dir.file("r3.pdf")));

    for (const char* nothing : {"", "11-20", "0", "x", "12"}) {
        engine.SelectDocument(source);
        EXPECT_EQ(engine.ExtractPageRanges(nothing), 0) << nothing;
        EXPECT_EQ(engine.SelectedDocument(), 0);
    }
}

TEST_F(EnginePages, MergeDocumentAppendsAndMixesSources) {
    testing::writeTestPdf(dir.file("other.pdf"), 2, "O");
    const auto other = engine.LoadFromFile(dir.file("other.pdf"));
    ASSERT_NE(other, 0);

    engine.SelectDocument(source);
    const auto first = engine.ExtractPages(1, 2);
    engine.SelectDocument(other);
    const auto second = engine.ExtractPages(2, 1);
    engine.SelectDocument(first);
    ASSERT_NE(engine.MergeDocument(second), 0);
    EXPECT_EQ(engine.pagecount(), 3);
    EXPECT_EQ(saved("mixed.pdf"), (std::vector<std::string>{"T 1", "T 2", "O 2"}));
    EXPECT_TRUE(testing::qpdfCheckClean(dir.file("mixed.pdf")));

    // Into itself doubles the pages; unknown ids fail.
    ASSERT_NE(engine.MergeDocument(first), 0);
    EXPECT_EQ(engine.pagecount(), 6);
    EXPECT_EQ(engine.MergeDocument(9999), 0);
    engine.SelectDocument(0);
    EXPECT_EQ(engine.MergeDocument(first), 0);
}

TEST_F(EnginePages, InformationEntriesAreWrittenAndRemoved) {
    ASSERT_NE(engine.ExtractPages(1, 2), 0);
    engine.SetInformation(1, "Ombrix Pagemeld");
    engine.SetInformation(2, "Output file");
    engine.SetInformation(3, "");
    engine.SetInformation(4, "Ünïcödé, 日本");
    engine.SetInformation(5, "Ombrix Pagemeld Driver");
    engine.SetInformation(6, "Ombrix Pagemeld");
    engine.SetInformation(7, "ignored");
    engine.SetInformation(0, "ignored");
    ASSERT_NE(engine.SaveToFile(dir.file("info.pdf")), 0);
    auto info = testing::infoEntries(dir.file("info.pdf"));
    EXPECT_EQ(info["Author"], "Ombrix Pagemeld");
    EXPECT_EQ(info["Title"], "Output file");
    EXPECT_EQ(info.count("Subject"), 0u);
    EXPECT_EQ(info["Keywords"], "Ünïcödé, 日本");
    EXPECT_EQ(info["Creator"], "Ombrix Pagemeld Driver");
    EXPECT_EQ(info["Producer"], "Ombrix Pagemeld");
    EXPECT_EQ(info.size(), 5u);

    engine.SetInformation(2, "");
    ASSERT_NE(engine.SaveToFile(dir.file("info2.pdf")), 0);
    EXPECT_EQ(testing::infoEntries(dir.file("info2.pdf")).count("Title"), 0u);
}

TEST_F(EnginePages, OnePagePieceDoesNotCarryOtherPages) {
    ASSERT_NE(engine.ExtractPages(5, 1), 0);
    ASSERT_NE(engine.SaveToFile(dir.file("one.pdf")), 0);
    EXPECT_EQ(testing::pageCount(dir.file("one.pdf")), 1);
    // Ten pages share a font and an image; one page must be far smaller than ten.
    const auto whole = std::filesystem::file_size(dir.file("ten.pdf"));
    const auto piece = std::filesystem::file_size(dir.file("one.pdf"));
    EXPECT_LT(piece, whole);
}

}  // namespace
}  // namespace pagemeld
