// The quiet requests of the real program, as separate processes, writing into a full
// disk, a read-only disk and past a file size limit: status 1, the failing file named
// with the reason, the whole files before it kept, nothing half-written.
#include <filesystem>
#include <fstream>

#include "support/program_run.h"
#include "support/test_pdfs.h"
#include "unwritable_fixture.h"

namespace pagemeld::testing {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

std::string contentOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class UnwritableQuiet : public UnwritableTest {
protected:
    UnwritableQuiet() {
        writeGrowingPdf(dir.file("report.pdf"));
        writeTestPdf(dir.file("sheet.pdf"), 1, "B");
    }
    ProgramRun run(const Texts& args) {
        ProgramOptions options(dir.path(), args);
        options.beforeStart = place->inChild();
        place->activate();
        ProgramRun result = runProgram(PAGEMELD_EXECUTABLE, options);
        place->deactivate();
        return result;
    }
    // The problem is told where the user will look: on the console, or in the log when
    // the log could be written.
    static bool told(const ProgramRun& result, const std::string& log, const std::string& line) {
        return contains(result.errors, line) || contains(log, line);
    }
};

TEST_P(UnwritableQuiet, ASplitKeepsTheWholePiecesAndTellsWhichFailedAndWhy) {
    std::string whyNot;
    if (!makePlace(whyNot)) GTEST_SKIP() << whyNot;
    const std::string failing =
        placeFile("report0" + std::to_string(firstFailingOutput()) + ".pdf");

    for (const std::string request : {"-qs", "-qsl"}) {
        SCOPED_TRACE(request);
        const ProgramRun result = run({request, "report.pdf", "-o", placeFolder()});
        EXPECT_EQ(result.status, 1) << result.errors;
        EXPECT_EQ(result.signal, 0);
        const std::string log = contentOf(placeFile("output.log"));
        EXPECT_TRUE(told(result, log, failing + " cannot be created!"))
            << result.errors << "\n--- log:\n"
            << log;
        EXPECT_TRUE(told(result, log, expectedReason())) << result.errors << log;
        Texts expected;
        for (int k = 1; k < firstFailingOutput(); ++k) {
            const std::string name = "report0" + std::to_string(k) + ".pdf";
            expected.push_back(name);
            EXPECT_EQ(pageTexts(placeFile(name)), Texts{"A " + std::to_string(k)});
        }
        if (fs::exists(placeFile("output.log"))) expected.push_back("output.log");
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(placeListing(), expected) << "a partial or temporary file was left";
        if (GetParam() == PlaceKind::ReadOnly && request == "-qsl") {
            // No log can be written on a read-only disk: that is said once, with why.
            EXPECT_TRUE(contains(result.errors, "The log file " + placeFile("output.log") +
                                                    " cannot be written!\r\n" + expectedReason()))
                << result.errors;
        }
    }
}

TEST_P(UnwritableQuiet, AMergeTellsTheOutputAndWhyAndLeavesNothing) {
    std::string whyNot;
    if (!makePlace(whyNot)) GTEST_SKIP() << whyNot;
    for (const std::string request : {"-qm", "-qml"}) {
        SCOPED_TRACE(request);
        const ProgramRun result =
            run({request, "sheet.pdf", "report.pdf", "-o", placeFile("merged.pdf")});
        EXPECT_EQ(result.status, 1) << result.errors;
        EXPECT_EQ(result.signal, 0);
        // The merge's failed save is always shown, whatever the log.
        EXPECT_TRUE(contains(
            result.errors, placeFile("merged.pdf") + " cannot be created!\r\n" + expectedReason()))
            << result.errors;
        Texts expected;
        if (fs::exists(placeFile("merged.pdf.log"))) expected.push_back("merged.pdf.log");
        EXPECT_EQ(placeListing(), expected) << "a partial or temporary file was left";
    }
    EXPECT_EQ(pageTexts(dir.file("report.pdf")), (Texts{"A 1", "A 2", "A 3", "Z 1"}));
}

INSTANTIATE_TEST_SUITE_P(Places, UnwritableQuiet, allPlaceKinds(), placeKindName);

}  // namespace
}  // namespace pagemeld::testing
