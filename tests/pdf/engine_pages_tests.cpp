// Choosing pages of a document, and the information entries written with them.
#include <gtest/gtest.h>

#include <filesystem>

#include "pdf/page_ranges.h"
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
        testing::writeTestPdf(dir.file("ten.pdf"), {10, "T", true, 64, {{"Title", "Ten"}}});
        ten = engine.open(dir.file("ten.pdf"), "");
        ASSERT_TRUE(ten.opened());
    }
    // Writes `pages` and returns their texts.
    Texts written(const std::vector<PageRef>& pages, const DocumentInformation& information = {}) {
        EXPECT_FALSE(engine.write(dir.file("out.pdf"), pages, information));
        return pageTexts(dir.file("out.pdf"));
    }

    testing::TempDir dir;
    QpdfEngine engine;
    OpenedDocument ten;
};

TEST_F(EnginePages, ChoosesRunsAndNumberedPagesAndLeavesTheDocumentAlone) {
    struct Run {
        int first, count;
        Texts expected;  // none: the run chooses no page
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
        const std::vector<PageRef> pages = ten.pageRun(first, count);
        EXPECT_EQ(pages.empty() ? Texts{} : written(pages), expected);
    }
    EXPECT_TRUE(ten.pagesNumbered(parsePageRanges("11-20", 10)).empty());
    EXPECT_EQ(written(ten.pagesNumbered(parsePageRanges(" 8 - 12 , 3-1", 10))),
              (Texts{"T 8", "T 9", "T 10", "T 3", "T 2", "T 1"}));
    EXPECT_TRUE(testing::qpdfCheckClean(dir.file("out.pdf")));
    EXPECT_EQ(ten.pageCount(), 10);
}

TEST_F(EnginePages, InformationEntriesAreWrittenAsText) {
    written(ten.pageRun(1, 2), {{"/Author", "v1"}, {"/Keywords", "Ünïcödé, 日本"}});
    EXPECT_EQ(
        testing::infoEntries(dir.file("out.pdf")),
        (std::map<std::string, std::string>{{"Author", "v1"}, {"Keywords", "Ünïcödé, 日本"}}));
    EXPECT_EQ(ten.information.at("/Title"), "Ten");
}

// Ten pages share a font and an image: a one-page piece must be far smaller than ten. A
// page chosen twice is written twice.
TEST_F(EnginePages, APieceCarriesOnlyItsPagesAndAPageMayComeTwice) {
    EXPECT_EQ(written(ten.pageRun(5, 1)), Texts{"T 5"});
    EXPECT_LT(std::filesystem::file_size(dir.file("out.pdf")),
              std::filesystem::file_size(dir.file("ten.pdf")));
    EXPECT_EQ(written(ten.pagesNumbered({5, 5})), (Texts{"T 5", "T 5"}));
}

}  // namespace
}  // namespace pagemeld
