// The engine and the three runs of the window writing into a full disk, a read-only
// disk and past a file size limit.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/form1.h"
#include "errors/error_handler.h"
#include "lang/catalogue.h"
#include "pdf/qpdf_engine.h"
#include "support/fake_services.h"
#include "support/form_harness.h"
#include "support/test_pdfs.h"
#include "unwritable_fixture.h"

namespace pagemeld::testing {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

std::string contentOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string numbered(int k) {
    return (k < 10 ? "0" : "") + std::to_string(k);
}

class UnwritableRuns : public UnwritableTest, protected FormHarness<QpdfEngine> {
protected:
    UnwritableRuns() {
        form.Form_Load("");
        writeGrowingPdf(work("report.pdf"));
        writeTestPdf(work("sheet.pdf"), 1, "B");
        reportBytes = contentOf(work("report.pdf"));
    }
    // Outputs k = 1.. before the first failing one are whole, with `pagesOf(k)`; the
    // failing one and any after it do not exist; nothing else is in the place.
    void expectOutputsUpToTheFailure(const std::string& base,
                                     const std::function<Texts(int)>& pagesOf,
                                     const Texts& alsoThere = {}) {
        Texts expected = alsoThere;
        for (int k = 1; k < firstFailingOutput(); ++k) {
            const std::string name = base + numbered(k) + ".pdf";
            expected.push_back(name);
            EXPECT_EQ(pageTexts(placeFile(name)), pagesOf(k)) << name;
            std::string report;
            EXPECT_TRUE(qpdfCheckClean(placeFile(name), &report)) << name << report;
        }
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(placeListing(), expected) << "a partial or temporary file was left";
    }
    void expectInputsUntouched() {
        EXPECT_EQ(contentOf(work("report.pdf")), reportBytes);
        EXPECT_EQ(pageTexts(work("sheet.pdf")), Texts{"B 1"});
    }

    std::string reportBytes;
};

TEST_P(UnwritableRuns, TheEngineFailsNamingTheFileAndKeepsWhatWasThere) {
    std::string whyNot;
    if (!makePlace(whyNot)) GTEST_SKIP() << whyNot;
    writeTestPdf(work("old.pdf"), 1, "Old");
    place->preload(work("old.pdf"), "existing.pdf");
    const std::string before = contentOf(placeFile("existing.pdf"));
    place->activate();

    const std::int32_t expectedCode =
        GetParam() == PlaceKind::ReadOnly ? pdferr::kPermissionDenied : pdferr::kDiskFull;
    ASSERT_NE(pdf.LoadFromFile(work("report.pdf")), 0);
    for (const std::string& target : {placeFile("new.pdf"), placeFile("existing.pdf")}) {
        EXPECT_EQ(pdf.SaveToFile(target), 0) << target;
        EXPECT_EQ(pdf.LastErrorCode(), expectedCode) << target;
        EXPECT_EQ(pdf.LastErrorFile(), target);
    }
    pdf.ClearFileList("");
    pdf.AddToFileList("", work("sheet.pdf"));
    pdf.AddToFileList("", work("report.pdf"));
    EXPECT_EQ(pdf.MergeFileList("", placeFile("merged.pdf")), 0);
    EXPECT_EQ(pdf.LastErrorCode(), expectedCode);
    EXPECT_EQ(pdf.LastErrorFile(), placeFile("merged.pdf"));
    EXPECT_EQ(pdf.DecryptFile(work("report.pdf"), placeFile("plain.pdf"), ""), 0);
    EXPECT_EQ(pdf.LastErrorCode(), expectedCode);

    place->deactivate();
    EXPECT_EQ(placeListing(), Texts{"existing.pdf"});
    EXPECT_EQ(contentOf(placeFile("existing.pdf")), before);
    expectInputsUntouched();
}

TEST_P(UnwritableRuns, AMergeRunNamesTheOutputAndWhy) {
    std::string whyNot;
    if (!makePlace(whyNot)) GTEST_SKIP() << whyNot;
    form.mbut_fisier_add(work("sheet.pdf"));
    form.mbut_fisier_add(work("report.pdf"));
    form.moutput_file.text = placeFile("merged.pdf");
    place->activate();
    form.cmd_merge_Click();
    place->deactivate();

    const Catalogue english;
    EXPECT_EQ(ui.boxTexts(), (Texts{"Merge process failed!\n" + english.MsgErrMergeSave + " " +
                                    placeFile("merged.pdf") + "\r\n" + expectedReason()}));
    EXPECT_EQ(placeListing(), Texts{});
    expectInputsUntouched();
}

TEST_P(UnwritableRuns, ASplitRunKeepsTheWholePiecesAndNamesTheOneThatFailed) {
    std::string whyNot;
    if (!makePlace(whyNot)) GTEST_SKIP() << whyNot;
    form.add_fisier_split(work("report.pdf"));
    form.txt_split_filename.text = "part";
    form.txt_split_dest.text = placeFolder();
    form.r_split_method1_Click();
    form.txt_split_meth1.text = "1";
    place->activate();
    form.cmd_split_run_Click();
    place->deactivate();

    const Catalogue english;
    EXPECT_EQ(ui.boxTexts(), Texts{english.MsgErrSplitSave + " " +
                                   placeFile("part" + numbered(firstFailingOutput()) + ".pdf") +
                                   "\r\n" + expectedReason()});
    expectOutputsUpToTheFailure("part", [](int k) { return Texts{"A " + std::to_string(k)}; });
    EXPECT_EQ(pdf.documentCount(), 0u);
    expectInputsUntouched();
}

TEST_P(UnwritableRuns, AMixRunKeepsTheWholeOutputsAndNamesTheOneThatFailed) {
    std::string whyNot;
    if (!makePlace(whyNot)) GTEST_SKIP() << whyNot;
    form.xbut_fisier_add(work("report.pdf"));
    form.xbut_fisier_add(work("sheet.pdf"));
    form.r_mix1_method1_e1.text = "1";
    form.r_mix2_method1_e1.text = "1";
    form.txt_mix_dest.text = placeFolder();
    place->activate();
    form.cmd_mix_run_Click();
    place->deactivate();

    const Catalogue english;
    EXPECT_EQ(ui.boxTexts(), Texts{english.MsgErrMixSave + " " +
                                   placeFile("report" + numbered(firstFailingOutput()) + ".pdf") +
                                   "\r\n" + expectedReason()});
    expectOutputsUpToTheFailure("report", [](int k) {
        return Texts{"A " + std::to_string(k), "B 1"};
    });
    EXPECT_EQ(pdf.documentCount(), 0u);
    expectInputsUntouched();
}

INSTANTIATE_TEST_SUITE_P(Places, UnwritableRuns, allPlaceKinds(), placeKindName);

}  // namespace
}  // namespace pagemeld::testing
