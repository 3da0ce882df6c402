// The quiet requests carried out on files: what they write, log and show.
#include "batch/quiet_requests.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/app_state.h"
#include "pdf/qpdf_engine.h"
#include "support/form_harness.h"

namespace pagemeld::testing {
namespace {

class QuietSplit : public ::testing::Test, protected FormHarness<QpdfEngine> {
protected:
    QuietRequestContext context{pdf, form.state, errors, ui, system, form.catalogue};
};

// A quiet split writes at most so many pages of each file; the pages after them are
// not left out without a word: the log and the console say so, and the request is
// not done. The next file is measured afresh.
TEST_F(QuietSplit, PagesBeyondTheMostOfAFileAreToldAndTheRequestIsNotDone) {
    std::filesystem::create_directories(work("in"));
    const std::string longer = pdfFile("in/long.pdf", 5, "L");
    const std::string shorter = pdfFile("in/short.pdf", 3, "S");
    form.state.split_max_page = 3;
    form.state.batch_log = 1;
    EXPECT_FALSE(process_quiet_split_line(context, {longer, shorter}, work("")));
    EXPECT_EQ(pieces("long"), "01: L1; 02: L2; 03: L3");
    EXPECT_EQ(pieces("short"), "01: S1; 02: S2; 03: S3");
    const std::string told =
        "Pages after page 3 were left out: a quiet split writes at most "
        "that many pages of each file. File: " +
        longer;
    EXPECT_EQ(ui.boxTexts(), Texts{told});
    EXPECT_NE(bytesOf(work("output.log"))
                  .find("Saving output file: " + work("long03.pdf") + "\r\n" + told + "\r\n"),
              std::string::npos);
}

}  // namespace
}  // namespace pagemeld::testing
