// Extracting pages and ranges, merging documents, information entries.
#include <gtest/gtest.h>

#include <filesystem>

#include "pdf/qpdf_engine.h"
#include "support/temp_dir.h"
#include "support/test_pdfs.h"

namespace pagemeld {
namespace {

using testing::labels;
using testing::pageTexts;
using Texts = std::vector<std::string>;

class EnginePages : public ::testing::Test {
protected:
    void SetUp() override {
        testing::writeTestPdf(dir.file("ten.pdf"), 10, "T");
        source = engine.LoadFromFile(dir.file("ten.pdf"));
        ASSERT_NE(source, 0);
    }
    // Saves the selected document and returns its page texts.
    Texts saved() {
        EXPECT_NE(engine.SaveToFile(dir.file("out.pdf")), 0);
        return pageTexts(dir.file("out.pdf"));
    }

    testing::TempDir dir;
    QpdfEngine engine;
    std::int32_t source = 0;
};

TEST_F(EnginePages, ExtractsRunsAndRangesAndLeavesTheSourceAlone) {
    struct Run {
        int first, count;
        Texts expected;  // none: the run yields nothing, fails and leaves nothing selected
    };
    for (const auto& [first, count, expected] : std::vector<Run>{{4, 3, labels("T", 4, 6)},
                                                                 {10, 3, {"T 10"}},
                                                                 {1, 1000000, labels("T", 1, 10)},
                                                                 {11, 1, {}},
                                                                 {0, 2, {}},
                                                                 {3, 0, {}},
                                                                 {-5, 3, {}},
                                                                 {5, -1, {}}}) {
        SCOPED_TRACE(std::to_string(first) + "," + std::to_string(count));
        engine.SelectDocument(source);
        const auto piece = engine.ExtractPages(first, count);
        EXPECT_EQ(engine.SelectedDocument(), piece);
        EXPECT_EQ(piece != 0 ? saved() : Texts{}, expected);
    }
    engine.SelectDocument(source);
    EXPECT_EQ(engine.ExtractPageRanges("11-20"), 0);
    engine.SelectDocument(source);
    ASSERT_NE(engine.ExtractPageRanges(" 8 - 12 , 3-1"), 0);
    EXPECT_EQ(saved(), (Texts{"T 8", "T 9", "T 10", "T 3", "T 2", "T 1"}));
    EXPECT_TRUE(testing::qpdfCheckClean(dir.file("out.pdf")));
    engine.SelectDocument(source);
    EXPECT_EQ(engine.pagecount(), 10);
}

TEST_F(EnginePages, InformationEntriesAreWrittenAndRemoved) {
    ASSERT_NE(engine.ExtractPages(1, 2), 0);
    for (int field = 0; field <= 7; ++field)
        engine.SetInformation(field, "v" + std::to_string(field));
    engine.SetInformation(3, "");
    engine.SetInformation(4, "Ünïcödé, 日本");
    saved();
    EXPECT_EQ(testing::infoEntries(dir.file("out.pdf")),
              (std::map<std::string, std::string>{{"Author", "v1"},
                                                  {"Title", "v2"},
                                                  {"Keywords", "Ünïcödé, 日本"},
                                                  {"Creator", "v5"},
                                                  {"Producer", "v6"}}));
}

// Ten pages share a font and an image: a one-page piece must be far smaller than ten.
// Merged into itself a piece doubles; unknown ids fail.
TEST_F(EnginePages, APieceCarriesOnlyItsPagesAndMergesIntoItself) {
    const auto piece = engine.ExtractPages(5, 1);
    EXPECT_EQ(saved(), Texts{"T 5"});
    EXPECT_LT(std::filesystem::file_size(dir.file("out.pdf")),
              std::filesystem::file_size(dir.file("ten.pdf")));
    ASSERT_NE(engine.MergeDocument(piece), 0);
    EXPECT_EQ(saved(), (Texts{"T 5", "T 5"}));
    EXPECT_EQ(engine.MergeDocument(9999), 0);
    engine.SelectDocument(0);
    EXPECT_EQ(engine.MergeDocument(piece), 0);
}

}  // namespace
}  // namespace pagemeld
