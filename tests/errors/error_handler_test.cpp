#include "errors/error_handler.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "base/runtime_error.h"
#include "support/fake_services.h"
#include "support/temp_dir.h"

namespace pagemeld {
namespace {

namespace fs = std::filesystem;
using testing::FakeSystem;
using testing::FakeUi;
using testing::TempDir;

const std::string kHyphens(76, '-');
const std::string kDecemberLog = "Ombrix Pagemeld2612Error.Log";

std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

fs::path utf8Path(const std::string& text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

class ErrorHandlerTest : public ::testing::Test {
protected:
    TempDir dir;
    FakeUi ui;
    FakeSystem system{dir.path().string()};
    ErrorReporter errors{ui, system};

    std::string log() const { return readFile(dir.path() / kDecemberLog); }
    bool logExists() const { return fs::exists(dir.path() / kDecemberLog); }
};

TEST_F(ErrorHandlerTest, RecordIsWrittenByteForByte) {
    EXPECT_EQ(errors.ErrorHandler(9, "Subscript out of range", 0, "Form1", "cmd_merge_Click"), 2);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text,
              "Error [ 9 ]:  Subscript out of range\r\n\r\n"
              "Location:  Procedure ( cmd_merge_Click ) - Module ( Form1 )\r\n");

    system.computer = std::nullopt;
    system.user = std::nullopt;
    system.clock = {2026, 12, 31, 7, 5, 9};
    EXPECT_EQ(errors.ErrorHandler(5, "Invalid procedure call", 120, "modLanguage", "GetIni"), 2);
    EXPECT_EQ(ui.boxes[1].text,
              "Error [ 5 ]:  Invalid procedure call\r\n\r\n"
              "Location:  Procedure ( GetIni ) - Module ( modLanguage )\r\n\r\n"
              "Line number:  120\r\n");

    EXPECT_EQ(log(),
              "Error [ 9 ]:  Subscript out of range\r\n"
              "Location:  Procedure ( cmd_merge_Click ) - Module ( Form1 )"
              "                    Outcome: Resume Next\r\n"
              "Date-Time: 12/05/26 15:12:17     Workstation: TESTBOX     User: tester\r\n" +
                  kHyphens + "\r\n" +
                  "Error [ 5 ]:  Invalid procedure call\r\n"
                  "Location:  Procedure ( GetIni ) - Module ( modLanguage )\r\n"
                  "Line number:  120                    Outcome: Resume Next\r\n"
                  "Date-Time: 12/31/26 07:05:09     Workstation: (Unknown)     User: \r\n" +
                  kHyphens + "\r\n");
}

TEST_F(ErrorHandlerTest, AbortOrCancelEndsTheProgramBeforeAnythingIsLogged) {
    const std::pair<std::int32_t, int> cases[] = {
        {53, msgbox::kAnswerAbort}, {54, msgbox::kAnswerCancel}, {482, msgbox::kAnswerAbort}};
    int quits = 0;
    for (auto [code, answer] : cases) {
        ui.boxAnswers = {answer};
        EXPECT_THROW(errors.ErrorHandler(code, "gone", 0, "Form1", "cmd_split_run_Click"),
                     ExitRequested);
        EXPECT_EQ(ui.quitCalls, ++quits);
    }
    EXPECT_FALSE(logExists());
}

TEST_F(ErrorHandlerTest, FailingBoxesDoNotStopTheHandler) {
    struct BrokenUi : FakeUi {
        int messageBox(const std::string&, const std::string&, int) override {
            throw std::runtime_error("no display");
        }
    } broken;
    ErrorReporter reporter(broken, system);
    EXPECT_EQ(reporter.ErrorHandler(58, "exists", 0, "Form1", "p"), 1);
    // A file box that cannot be shown leaves the error undecided: unexpected.
    EXPECT_EQ(reporter.ErrorHandler(53, "missing", 0, "Form1", "p"), 5);
    EXPECT_NE(log().find("Outcome: Resume\r\n"), std::string::npos);
    EXPECT_NE(log().find("Error [ 53 ]:  missing\r\nLocation:  Procedure ( p ) - Module ( Form1 )"
                         "                    Outcome: Exit Project"),
              std::string::npos);
}

TEST_F(ErrorHandlerTest, OnlyTheLastThreeMonthsStay) {
    const std::string kept[] = {"Ombrix Pagemeld2701Error.Log", "ombrix pagemeld2612error.log",
                                "Ombrix Pagemeld2611Error.Log"};
    const std::string deleted[] = {"Ombrix Pagemeld2610Error.Log", "Ombrix PagemeldabcdError.Log",
                                   "OMBRIX PAGEMELD2609ERROR.LOG", "Ombrix Pagemeld26ü1Error.Log"};
    const std::string untouched[] = {"Ombrix Pagemeld261Error.Log", "Ombrix Pagemeld26101Error.Log",
                                     "notes.txt"};
    for (const auto& name : kept) writeFile(utf8Path(dir.file(name)), "old\r\n");
    for (const auto& name : deleted) writeFile(utf8Path(dir.file(name)), "old\r\n");
    for (const auto& name : untouched) writeFile(utf8Path(dir.file(name)), "old\r\n");
    fs::create_directory(dir.path() / "Ombrix Pagemeld2608Error.Log");

    system.clock = {2027, 1, 3, 9, 0, 0};
    errors.ErrorHandler(3021, "no current record", 0, "Form1", "p");

    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        const auto name = entry.path().filename().u8string();
        names.insert(std::string(name.begin(), name.end()));
    }
    const std::set<std::string> expected = {kept[0],
                                            kept[1],
                                            kept[2],
                                            untouched[0],
                                            untouched[1],
                                            untouched[2],
                                            "Ombrix Pagemeld2608Error.Log"};
    EXPECT_EQ(names, expected);
    const std::string current = readFile(dir.path() / kept[0]);
    EXPECT_EQ(current.substr(0, 5), "old\r\n");  // appended, never rewritten
    EXPECT_NE(current.find("Date-Time: 01/03/27 09:00:00"), std::string::npos);
}

TEST_F(ErrorHandlerTest, LogThatCannotBeWrittenAnywhereIsReportedOnce) {
    writeFile(dir.path() / "program", "not a folder");
    system.program = dir.file("program");
    system.userData = dir.file("program/data");

    EXPECT_EQ(errors.ErrorHandler(9, "Subscript out of range", 0, "Form1", "p"), 2);
    // The failing procedure still acts on its own error, not on the log's.
    EXPECT_EQ(errors.ErrorOutcome, 2);
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[0].title, "Attention!");
    EXPECT_EQ(ui.boxes[1].title, "Disk Error");
    EXPECT_EQ(ui.boxes[1].text, "That path doesn't exist");
    EXPECT_EQ(ui.quitCalls, 0);

    // Cancel in the log failure's box is still the user's way out.
    ui.boxAnswers = {msgbox::kAnswerOk, msgbox::kAnswerCancel};
    EXPECT_THROW(errors.ErrorHandler(9, "again", 0, "Form1", "p"), ExitRequested);
    EXPECT_EQ(ui.quitCalls, 1);
    // The writer's depth count survived the unwinding: the next log failure is
    // reported again.
    ui.boxes.clear();
    errors.ErrorHandler(9, "third", 0, "Form1", "p");
    EXPECT_EQ(ui.boxes.size(), 2u);
}

}  // namespace
}  // namespace pagemeld
