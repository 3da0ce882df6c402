// The update check's outcomes, with the server's answer scripted at the Http seam.
#include "update/update_check.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/system_info.h"
#include "errors/error_handler.h"
#include "lang/catalogue.h"
#include "support/fake_services.h"
#include "support/temp_dir.h"

namespace pagemeld::testing {
namespace {

enum class Shown { Nothing, Offer, NoConnection, ErrorReport };

struct Outcome {
    const char* name;
    HttpResult result;
    std::string answer;  // the version file's text
    int userSays;        // to the offer
    Shown shown;
    std::string offered = {};  // the version named in the offer
    friend void PrintTo(const Outcome& c, std::ostream* os) { *os << c.name; }
};

const Outcome kOutcomes[] = {
    {"NewerYes", HttpResult::Ok, "Ombrix Pagemeld 2.2\nOmbrix Pagemeld 2.1\n", msgbox::kAnswerYes,
     Shown::Offer, "2.2"},
    {"NewerCancel", HttpResult::Ok, "Ombrix Pagemeld 2.2", msgbox::kAnswerCancel, Shown::Offer,
     "2.2"},
    {"OlderNo", HttpResult::Ok, "\"Ombrix Pagemeld 1.9\",x", msgbox::kAnswerNo, Shown::Offer,
     "1.9"},
    {"Same", HttpResult::Ok, "Ombrix Pagemeld " + OwnVersion(), 0, Shown::Nothing},
    {"OtherProductsOnly", HttpResult::Ok, "Another Tool 9.9", 0, Shown::Nothing},
    {"EmptyAnswer", HttpResult::Ok, "", msgbox::kAnswerRetry, Shown::ErrorReport},
    {"NoConnection", HttpResult::CannotConnect, "", 0, Shown::NoConnection},
    {"ClientCannotStart", HttpResult::InitFailed, "", 0, Shown::ErrorReport},
};

class UpdateCheck : public ::testing::TestWithParam<Outcome> {
protected:
    UpdateCheck() : system(dir.path().string()) { system.temp = system.program + kPathSeparator; }

    TempDir dir;
    FakeUi ui;
    FakeSettings settings;
    FakeHttp http;
    FakeSystem system;
    ErrorReporter errors{ui, system};
    Catalogue texts;
    UpdateChecker checker{ui, settings, http, system, errors, texts};
};

TEST_P(UpdateCheck, TellsWhatItFoundAndTheProgramGoesOn) {
    const Outcome& o = GetParam();
    // An answer from an earlier run must not pass for this one's.
    const std::string stale = system.temp + UpdateChecker::kTempFileName;
    std::ofstream(stale) << "Ombrix Pagemeld 2.2";
    http.result = o.result;
    http.body = o.answer;
    if (o.userSays != 0) ui.boxAnswers = {o.userSays};
    checker.updatetimer_tick();

    EXPECT_EQ(ui.boxes.size(), o.shown == Shown::Nothing ? 0u : 1u);
    const std::string text = ui.boxes.empty() ? "" : ui.boxes[0].text;
    const std::string offer =
        texts.MsgNewVersion1 + (o.offered.empty() ? "" : " " + o.offered + " ");
    EXPECT_EQ(text.rfind(offer, 0) == 0, o.shown == Shown::Offer) << text;
    EXPECT_EQ(text == texts.MsgUpdateNoConnection, o.shown == Shown::NoConnection) << text;
    EXPECT_EQ(checker.update_failed, o.result != HttpResult::Ok);
    EXPECT_EQ(std::filesystem::exists(stale), o.result == HttpResult::Ok);
    EXPECT_EQ(ui.quitCalls, 0);

    // Yes opens the download shortcut beside the program; Cancel switches the check off
    // for good.
    EXPECT_EQ(ui.opened, o.userSays == msgbox::kAnswerYes
                             ? std::vector<std::string>{system.program + kPathSeparator +
                                                        UpdateChecker::kDownloadShortcut}
                             : std::vector<std::string>{});
    checker.updatetimer_tick();
    EXPECT_EQ(http.requested.size(), o.userSays == msgbox::kAnswerCancel ? 1u : 2u);
}

INSTANTIATE_TEST_SUITE_P(Outcomes, UpdateCheck, ::testing::ValuesIn(kOutcomes),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pagemeld::testing
