// The count of files done on a terminal: only for a long request, only when it
// changed, and gone before anything else is written.
#include "batch/terminal_progress.h"

#include <gtest/gtest.h>

#include <sstream>

namespace pagemeld {
namespace {

TEST(TerminalProgress, ShowsTheCountOnceTheRequestIsLongAndClearsItAtTheEnd) {
    using namespace std::chrono_literals;
    auto now = std::chrono::steady_clock::time_point{};
    std::ostringstream out;
    TerminalProgress progress(out, 2s, [&now] { return now; });
    progress.setWords("files done");

    now += 1999ms;
    progress.update(1, 200);
    EXPECT_EQ(out.str(), "") << "a short request shows nothing";
    now += 1ms;
    progress.update(9, 200);
    progress.update(10, 200);  // too soon after the last line
    now += 100ms;
    progress.update(10, 200);
    now += 100ms;
    progress.update(10, 200);  // unchanged
    progress.update(5, 5);     // the last file is always shown
    EXPECT_EQ(out.str(),
              "\r9/200 files done"
              "\r10/200 files done"
              "\r5/5 files done   ");
    progress.finish();
    EXPECT_EQ(out.str().substr(out.str().size() - 16), "\r" + std::string(14, ' ') + "\r");
    const auto before = out.str().size();
    progress.finish();
    EXPECT_EQ(out.str().size(), before) << "nothing to clear twice";
}

}  // namespace
}  // namespace pagemeld
