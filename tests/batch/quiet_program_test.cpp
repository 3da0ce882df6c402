// What the programs print without a window, and the status they end with.
#include "batch/quiet_program.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <streambuf>

#include "base/runtime_error.h"
#include "batch/exit_status.h"
#include "support/hooked_engine.h"
#include "support/work_folder.h"

namespace pagemeld {
namespace {

// A place nothing can be written to: a full disk, a closed pipe.
class FullDevice : public std::streambuf {
protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
};

// A script tells a whole job from a partial one from nothing at all.
TEST(ExitStatus, FollowsWhatTheRequestWroteAndLeftOut) {
    const struct {
        RequestOutcome outcome;
        ExitStatus status;
    } cases[] = {
        {{1, false}, ExitStatus::Done},           {{5000, false}, ExitStatus::Done},
        {{3, true}, ExitStatus::PartlyDone},      {{0, true}, ExitStatus::NothingWritten},
        {{0, false}, ExitStatus::NothingWritten},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(exitStatusOf(c.outcome), c.status) << c.outcome.written << c.outcome.leftOut;
    }
    RequestOutcome gathered{2, false};
    gathered += {0, true};
    EXPECT_EQ(exitStatusOf(gathered), ExitStatus::PartlyDone);
}

// Help and the version that could not be written are not given: a script that saves
// them must learn so.
TEST(QuietProgram, WhatCannotBeWrittenToStandardOutputEndsWithStatus3) {
    for (const char* request : {"--version", "--help"}) {
        SCOPED_TRACE(request);
        std::ostringstream written, errors;
        EXPECT_EQ(runQuietProgram({"p", request}, kConsoleProgram, written, errors), 0);
        EXPECT_FALSE(written.str().empty());
        FullDevice full;
        std::ostream unwritable(&full);
        EXPECT_EQ(runQuietProgram({"p", request}, kConsoleProgram, unwritable, errors), 3);
    }
}

class QuietRequest : public ::testing::Test, protected testing::WorkFolder {};

// An error whose box ends the program, in the middle of a request: the request was not
// done, and the status must not say it was.
TEST_F(QuietRequest, TheErrorHandlerEndingTheProgramLeavesItNotDone) {
    testing::HookedEngine pdf;
    pdf.onOpen = [] { throw RuntimeError(12345, "Unheard of"); };
    const int status =
        runQuietRequest({"p", "-qm", pdfFile("a.pdf", 1), pdfFile("b.pdf", 1), "-o", work("m.pdf")},
                        {ui, system, settings, pdf});
    EXPECT_EQ(status, exitCode(ExitStatus::PartlyDone));
    EXPECT_EQ(ui.quitCalls, 1);
    EXPECT_FALSE(std::filesystem::exists(work("m.pdf")));
}

// A merge to standard output whose reader is gone: the merge was made, but not
// delivered whole; said, with status 1, and its temporary file gone.
TEST_F(QuietRequest, AMergeToAClosedStandardOutputIsPartlyDone) {
    testing::HookedEngine pdf;
    std::filesystem::create_directories(dir.path() / "temp");
    system.temp = dir.folder() + "temp" + kSep;
    FullDevice full;
    std::ostream closed(&full);
    std::ostringstream log;
    QuietServices services{ui, system, settings, pdf};
    services.standardOutput = &closed;
    services.standardError = &log;
    const int status = runQuietRequest(
        {"p", "-qml", pdfFile("a.pdf", 1), pdfFile("b.pdf", 2), "-o", "-"}, services);
    EXPECT_EQ(status, exitCode(ExitStatus::PartlyDone));
    EXPECT_EQ(ui.boxes.size(), 1u);
    EXPECT_NE(log.str().find("Merged file: " + work("b.pdf")), std::string::npos) << log.str();
    EXPECT_NE(log.str().find("could not be written whole to standard output"), std::string::npos);
    EXPECT_EQ(workListing(), (testing::Texts{"a.pdf", "b.pdf"}));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path() / "temp"));
}

}  // namespace
}  // namespace pagemeld
