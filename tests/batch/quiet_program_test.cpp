// What the programs print without a window, and the status they end with.
#include "batch/quiet_program.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <streambuf>

#include "base/runtime_error.h"
#include "support/hooked_engine.h"
#include "support/work_folder.h"

namespace pagemeld {
namespace {

// A place nothing can be written to: a full disk, a closed pipe.
class FullDevice : public std::streambuf {
protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
};

// Help and the version that could not be written are not done: a script that saves
// them must learn so.
TEST(QuietProgram, WhatCannotBeWrittenToStandardOutputEndsWithStatus1) {
    for (const char* request : {"--version", "--help"}) {
        SCOPED_TRACE(request);
        std::ostringstream written, errors;
        EXPECT_EQ(runQuietProgram(request, kConsoleProgram, written, errors), 0);
        EXPECT_FALSE(written.str().empty());
        FullDevice full;
        std::ostream unwritable(&full);
        EXPECT_EQ(runQuietProgram(request, kConsoleProgram, unwritable, errors), 1);
    }
}

class QuietRequest : public ::testing::Test, protected testing::WorkFolder {};

// An error whose box ends the program, in the middle of a request: the request was not
// done, and the status must not say it was.
TEST_F(QuietRequest, TheErrorHandlerEndingTheProgramLeavesItNotDone) {
    testing::HookedEngine pdf;
    pdf.onOpen = [] { throw RuntimeError(12345, "Unheard of"); };
    const int status = runQuietRequest(
        "-qm " + pdfFile("a.pdf", 1) + " " + pdfFile("b.pdf", 1) + " -o " + work("m.pdf"),
        {ui, system, settings, pdf});
    EXPECT_EQ(status, kExitIncomplete);
    EXPECT_EQ(ui.quitCalls, 1);
    EXPECT_FALSE(std::filesystem::exists(work("m.pdf")));
}

}  // namespace
}  // namespace pagemeld
