#include "errors/trap.h"

#include <gtest/gtest.h>

#include <filesystem>
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

    std::string log() const {
        std::ifstream in(dir.path() / "Ombrix Pagemeld2612Error.Log", std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

TEST_F(TrapTest, RetryRepeatsTheFailedStep) {
    ui.boxAnswers = {msgbox::kAnswerRetry};
    int tries = 0;
    bool after = false;
    EXPECT_TRUE(trap.run({[&] {
                              if (++tries == 1) throw RuntimeError(53, "File not found", 7);
                          },
                          [&] { after = true; }}));
    EXPECT_EQ(tries, 2);
    EXPECT_TRUE(after);
    EXPECT_EQ(ui.boxes.at(0).text, "File not found!");
    EXPECT_NE(log().find("Error [ 53 ]:  File not found\r\n"
                         "Location:  Procedure ( cmd_merge_Click ) - Module ( Form1 )\r\n"
                         "Line number:  7                    Outcome: Resume\r\n"),
              std::string::npos);
}

TEST_F(TrapTest, IgnoreSkipsTheFailedStep) {
    ui.boxAnswers = {msgbox::kAnswerIgnore};
    int tries = 0;
    bool after = false;
    EXPECT_TRUE(trap.run({[&] {
                              ++tries;
                              (void)std::filesystem::file_size(dir.path() / "missing.pdf");
                          },
                          [&] { after = true; }}));
    EXPECT_EQ(tries, 1);
    EXPECT_TRUE(after);
    EXPECT_NE(log().find("Error [ 53 ]:  "), std::string::npos);
    EXPECT_NE(log().find("Outcome: Resume Next\r\n"), std::string::npos);
}

TEST_F(TrapTest, AbortEndsTheProgramWithoutARecord) {
    ui.boxAnswers = {msgbox::kAnswerAbort};
    bool after = false;
    EXPECT_THROW(
        trap.run({[] { throw RuntimeError(53, "File not found"); }, [&] { after = true; }}),
        ExitRequested);
    EXPECT_FALSE(after);
    EXPECT_EQ(ui.quitCalls, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "Ombrix Pagemeld2612Error.Log"));
}

TEST_F(TrapTest, ObjectErrorsAreLoggedThenEndTheProgramSilently) {
    for (std::int32_t code : {91, 97, 98}) {
        SCOPED_TRACE(code);
        const int quits = ui.quitCalls;
        EXPECT_THROW(trap.step([&] { throw RuntimeError(code, "Object variable not set"); }),
                     ExitRequested);
        EXPECT_EQ(ui.quitCalls, quits + 1);
        EXPECT_NE(log().find("Error [ " + std::to_string(code) +
                             " ]:  Object variable not set\r\nLocation:  Procedure ( "
                             "cmd_merge_Click ) - Module ( Form1 )                    "
                             "Outcome: Exit Project\r\n"),
                  std::string::npos);
    }
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(TrapTest, ExternalFailureIsLoggedThenEndsTheProgram) {
    EXPECT_THROW(trap.step([] { throw RuntimeError(errcode::kUnexpected, "Automation error"); }),
                 ExitRequested);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "Unexpected Error!");
    EXPECT_EQ(ui.quitCalls, 1);
    EXPECT_NE(log().find("Error [ -2147467259 ]:  Automation error"), std::string::npos);
    EXPECT_NE(log().find("Outcome: Exit Project\r\n"), std::string::npos);
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
