#include "errors/trap.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "base/runtime_error.h"
#include "support/fake_services.h"
#include "support/temp_dir.h"

namespace pagemeld {
namespace {

using testing::FakeSystem;
using testing::FakeUi;
using testing::TempDir;

class TrapTest : public ::testing::Test {
protected:
    TempDir dir;
    FakeUi ui;
    FakeSystem system{dir.path().string()};
    ErrorReporter errors{ui, system};
    Trap trap{errors, "Form1", "cmd_merge_Click"};
};

// What a step's first failure leads to: the user's answer (or the error's class)
// decides whether the step runs again, the next step runs, or the program ends; the
// log names the outcome.
TEST_F(TrapTest, TheAnswerToAFailureDecidesWhatRunsNext) {
    struct Case {
        const char* name;
        std::int32_t code;
        int answer;
        int expectedTries;
        bool nextStepRuns;
        bool programEnds;
        const char* loggedOutcome;  // "" when nothing may be logged
    };
    const Case cases[] = {
        {"retry repeats the step", 53, msgbox::kAnswerRetry, 2, true, false, "Resume"},
        {"ignore skips it", 53, msgbox::kAnswerIgnore, 1, true, false, "Resume Next"},
        {"abort ends at once", 53, msgbox::kAnswerAbort, 1, false, true, ""},
        {"an object error ends silently", errcode::kObjectNotSet, 0, 1, false, true,
         "Exit Project"},
        {"an external failure ends", errcode::kUnexpected, 0, 1, false, true, "Exit Project"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir caseDir;
        FakeUi caseUi;
        caseUi.boxAnswers = {c.answer};
        FakeSystem caseSystem{caseDir.path().string()};
        ErrorReporter caseErrors{caseUi, caseSystem};
        Trap caseTrap{caseErrors, "Form1", "cmd_merge_Click"};
        int tries = 0;
        bool after = false;
        bool ended = false;
        try {
            caseTrap.run({[&] {
                              if (++tries == 1) throw RuntimeError(c.code, "Failed here", 7);
                          },
                          [&] { after = true; }});
        } catch (const ExitRequested&) {
            ended = true;
        }
        EXPECT_EQ(tries, c.expectedTries);
        EXPECT_EQ(after, c.nextStepRuns);
        EXPECT_EQ(ended, c.programEnds);
        EXPECT_EQ(caseUi.quitCalls, c.programEnds ? 1 : 0);
        const auto logFile = caseDir.path() / "Ombrix Pagemeld2612Error.Log";
        if (*c.loggedOutcome == '\0') {
            EXPECT_FALSE(std::filesystem::exists(logFile));
            continue;
        }
        std::ifstream in(logFile, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        EXPECT_NE(text.str().find("Error [ " + std::to_string(c.code) +
                                  " ]:  Failed here\r\n"
                                  "Location:  Procedure ( cmd_merge_Click ) - Module ( Form1 )\r\n"
                                  "Line number:  7                    Outcome: " +
                                  c.loggedOutcome + "\r\n"),
                  std::string::npos)
            << text.str();
    }
}

TEST_F(TrapTest, PersistentCauseIsRepeatedOnlyABoundedNumberOfTimes) {
    int tries = 0;
    bool after = false;
    // "File already exists" offers only OK, which means "try again".
    EXPECT_FALSE(trap.run({[&] {
                               ++tries;
                               throw RuntimeError(58, "File already exists");
                           },
                           [&] { after = true; }}));
    EXPECT_EQ(tries, 1 + Trap::kMaxRepeats);
    EXPECT_EQ(ui.boxes.size(), static_cast<std::size_t>(1 + Trap::kMaxRepeats));
    EXPECT_FALSE(after);
    EXPECT_EQ(ui.quitCalls, 0);

    // The count belongs to one step in a row: a later step starts afresh.
    tries = 0;
    EXPECT_TRUE(trap.step([&] {
        if (++tries <= Trap::kMaxRepeats) throw RuntimeError(58, "File already exists");
    }));
}

}  // namespace
}  // namespace pagemeld
