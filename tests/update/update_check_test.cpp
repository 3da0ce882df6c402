#include "update/update_check.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/system_info.h"
#include "base/registry.h"
#include "base/runtime_error.h"
#include "errors/error_handler.h"
#include "lang/catalogue.h"
#include "support/fake_services.h"
#include "support/temp_dir.h"

namespace pagemeld {
namespace {

using testing::FakeHttp;
using testing::FakeSettings;
using testing::FakeSystem;
using testing::FakeUi;
using testing::TempDir;

const std::string kSwitchKey = std::string(kSettingsKeyPath) + "\\" + kUpdateCheckValue;

std::string offerText(const std::string& version) {
    return "There is a new version available: v " + version +
           " . Would you like to download it?\r\nPress Cancel to deactivate update check.";
}

std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class UpdateCheckTest : public ::testing::Test {
protected:
    UpdateCheckTest() {
        std::filesystem::create_directory(dir.path() / "program");
        std::filesystem::create_directory(dir.path() / "temp");
        system.program = (dir.path() / "program").string();
        system.temp = (dir.path() / "temp").string() + kPathSeparator;
        http.result = HttpResult::Ok;
    }

    // One timer tick with the server answering `body`.
    void checkAgainst(const std::string& body) {
        http.body = body;
        checker.updatetimer_tick();
    }

    std::string tempFile() const { return system.temp + "ombrixpagemeld.tmp"; }
    std::string errorLog() const {
        return readFile(dir.path() / "program" / ErrorReporter::LogFileName(2026, 12));
    }

    TempDir dir;
    FakeUi ui;
    FakeSettings settings;
    FakeHttp http;
    FakeSystem system;
    ErrorReporter errors{ui, system};
    Catalogue texts;
    UpdateChecker checker{ui, settings, http, system, errors, texts};
};

TEST_F(UpdateCheckTest, AnyOtherVersionIsOfferedAnOlderOneIncluded) {
    ui.boxAnswers = {msgbox::kAnswerNo, msgbox::kAnswerNo};
    checkAgainst("Ombrix Pagemeld 1.9");
    checkAgainst("Ombrix Pagemeld 2.2\nOmbrix Pagemeld 2.1\n");
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[0].text, offerText("1.9"));
    EXPECT_EQ(ui.boxes[0].title, "Ombrix Pagemeld");
    EXPECT_EQ(ui.boxes[0].style, msgbox::kYesNoCancel);
    EXPECT_EQ(ui.boxes[1].text, offerText("2.2"));
}

TEST_F(UpdateCheckTest, CancelSwitchesTheCheckOffForGood) {
    ui.boxAnswers = {msgbox::kAnswerCancel};
    checkAgainst("Ombrix Pagemeld 2.2");
    EXPECT_EQ(settings.values[kSwitchKey], "0");
    EXPECT_TRUE(ui.opened.empty());

    checkAgainst("Ombrix Pagemeld 2.2");
    EXPECT_EQ(http.requested.size(), 1u);
    EXPECT_EQ(ui.boxes.size(), 1u);
}

TEST_F(UpdateCheckTest, YesOpensTheDownloadShortcutBesideTheProgram) {
    ui.boxAnswers = {msgbox::kAnswerYes};
    checkAgainst("Ombrix Pagemeld 2.2");
    EXPECT_EQ(ui.opened,
              (std::vector<std::string>{system.program + kPathSeparator + "download.url"}));
    EXPECT_EQ(settings.values.count(kSwitchKey), 0u);
}

TEST_F(UpdateCheckTest, AnUnreachableServerIsToldOnceAndEndsTheCheck) {
    // An answer from an earlier run must not pass for this one's.
    std::ofstream(tempFile()) << "Ombrix Pagemeld 2.2";
    http.result = HttpResult::CannotConnect;
    checker.updatetimer_tick();

    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Unable to connect to the Internet and search for updates!");
    EXPECT_EQ(ui.boxes[0].title, "Ombrix Pagemeld");
    EXPECT_EQ(ui.boxes[0].style, msgbox::kOkOnly + msgbox::kInformation);
    EXPECT_TRUE(checker.update_failed);
    EXPECT_FALSE(std::filesystem::exists(tempFile()));

    // The next check starts afresh.
    http.result = HttpResult::Ok;
    checkAgainst("Ombrix Pagemeld 2.1");
    EXPECT_FALSE(checker.update_failed);
}

TEST_F(UpdateCheckTest, AClientThatCannotStartIsReportedAndTheProgramGoesOn) {
    http.result = HttpResult::InitFailed;
    EXPECT_NO_THROW(checker.updatetimer_tick());

    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "Unexpected Error!");
    EXPECT_EQ(ui.boxes[0].text,
              "Error [ -2147220504 ]:  An error occurred calling InternetOpen function\r\n\r\n"
              "Location:  Procedure ( CopyURLToFile ) - Module ( Module1 )\r\n");
    EXPECT_EQ(ui.quitCalls, 0);
    EXPECT_TRUE(checker.update_failed);
    EXPECT_NE(errorLog().find("Procedure ( CopyURLToFile ) - Module ( Module1 )" +
                              std::string(20, ' ') + "Outcome: Exit Project"),
              std::string::npos);
}

TEST_F(UpdateCheckTest, AnEmptyAnswerIsReportedAndOnlyTheCheckEnds) {
    ui.boxAnswers = {msgbox::kAnswerRetry};
    checkAgainst("");
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "Disk Error");
    EXPECT_EQ(ui.boxes[0].text.substr(0, 49),
              "This file has a nonstandard end-of-file marker,\r\n");
    EXPECT_EQ(ui.quitCalls, 0);
    EXPECT_NE(errorLog().find("Procedure ( check_for_updates ) - Module ( Module1 )"),
              std::string::npos);
}

// Records the wait the checker allows the fetch.
class PatientHttp : public Http {
public:
    HttpResult fetchToFile(const std::string&, const std::string&,
                           std::chrono::milliseconds timeout) override {
        timeouts.push_back(timeout);
        return HttpResult::CannotConnect;
    }
    std::vector<std::chrono::milliseconds> timeouts;
};

}  // namespace
}  // namespace pagemeld
