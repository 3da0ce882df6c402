// What the programs print without a window, and the status they end with.
#include "batch/quiet_program.h"

#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>

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

}  // namespace
}  // namespace pagemeld
