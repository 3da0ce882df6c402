// Page labels after merging and splitting.
#include <gtest/gtest.h>

#include "keep_fixture.h"

namespace pagemeld {
namespace {

using testing::readPageLabels;
using Labels = std::vector<std::string>;

class KeepLabelTest : public KeepTest {
protected:
    std::string writeLabelled() {
        testing::RichPdfOptions options;
        options.base.pages = 5;
        options.base.label = "L";
        options.pageLabels = {{1, "r"}, {3, "D"}, {5, "A", "App-", 3}};
        const std::string path = dir.file("labelled.pdf");
        testing::writeRichPdf(path, options);
        return path;
    }
};

TEST_F(KeepLabelTest, MergedOutputShowsEveryInputsLabels) {
    const std::string labelled = writeLabelled();
    ASSERT_EQ(readPageLabels(labelled), (Labels{"i", "ii", "1", "2", "App-C"}));
    testing::writeTestPdf(dir.file("plain.pdf"), 3, "P");
    engine.ClearFileList("");
    engine.AddToFileList("", dir.file("plain.pdf"));
    engine.AddToFileList("", labelled);
    engine.AddToFileList("", dir.file("plain.pdf"));
    const std::string out = dir.file("out.pdf");
    ASSERT_EQ(engine.MergeFileList("", out), 3);
    expectClean(out);
    // Pages of a file without labels keep the numbers they had there.
    EXPECT_EQ(readPageLabels(out),
              (Labels{"1", "2", "3", "i", "ii", "1", "2", "App-C", "1", "2", "3"}));

    // Without labels in any input the output has none either.
    engine.ClearFileList("");
    engine.AddToFileList("", dir.file("plain.pdf"));
    engine.AddToFileList("", dir.file("plain.pdf"));
    ASSERT_EQ(engine.MergeFileList("", out), 2);
    QPDF pdf;
    pdf.processFile(out.c_str());
    EXPECT_FALSE(pdf.getRoot().hasKey("/PageLabels"));
}

TEST_F(KeepLabelTest, PiecesAndMixesKeepTheirPagesLabels) {
    const std::int32_t whole = engine.LoadFromFile(writeLabelled());
    const std::string out = dir.file("piece.pdf");
    ASSERT_NE(engine.ExtractPageRanges("4,2-3,5"), 0);
    ASSERT_EQ(engine.SaveToFile(out), 1);
    expectClean(out);
    EXPECT_EQ(testing::pageTexts(out), (Labels{"L 4", "L 2", "L 3", "L 5"}));
    EXPECT_EQ(readPageLabels(out), (Labels{"2", "ii", "1", "App-C"}));

    testing::writeTestPdf(dir.file("plain.pdf"), 2, "P");
    const std::int32_t plain = engine.LoadFromFile(dir.file("plain.pdf"));
    engine.SelectDocument(whole);
    ASSERT_NE(engine.ExtractPages(2, 2), 0);
    ASSERT_EQ(engine.MergeDocument(plain), 1);
    ASSERT_EQ(engine.SaveToFile(out), 1);
    expectClean(out);
    EXPECT_EQ(readPageLabels(out), (Labels{"ii", "1", "1", "2"}));
}

}  // namespace
}  // namespace pagemeld
