// The update check's switch in the real window: the box on the Extras tab shows the
// stored switch, and clicking it decides whether the update timer's tick goes to
// the network at all; Cancel on the offer turns the box off at once.
#include <QCheckBox>
#include <QTimer>

#include "app/form1_event_table.h"
#include "base/registry.h"
#include "window_harness.h"

namespace pagemeld::testing {
namespace {

class WindowUpdateCheckTest : public WindowHarness {
protected:
    std::string stored() { return settings.read(kSettingsKeyPath, kUpdateCheckValue).value_or(""); }

    // One tick of the update timer, as the window's timer gives it.
    void tick() {
        bool ticked = false;
        window->onEvent = [&](const EventBinding& binding) {
            if (binding.name() == "updatetimer_Timer") ticked = true;
        };
        find<QTimer>("updatetimer")->start(0);
        EXPECT_TRUE(QTest::qWaitFor([&] { return ticked; }));
        window->onEvent = nullptr;
    }
};

TEST_F(WindowUpdateCheckTest, TheExtrasBoxTurnsTheCheckOnAndOff) {
    // Switched off in an earlier run: the box shows it.
    settings.write(kSettingsKeyPath, kUpdateCheckValue, kUpdateCheckOff);
    http.result = HttpResult::Ok;
    http.body = "Ombrix Pagemeld 9.9\r\n";
    start();
    clickTab(5);
    auto* box = find<QCheckBox>("chk_updatecheck");
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(box->isChecked());

    // On: the tick checks and offers the new version; Cancel switches the check off,
    // and the box says so at once.
    choose("chk_updatecheck");
    EXPECT_TRUE(box->isChecked());
    EXPECT_NE(stored(), kUpdateCheckOff);
    ui.boxAnswers = {msgbox::kAnswerCancel};
    tick();
    EXPECT_EQ(http.requested.size(), 1u);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_NE(ui.boxes[0].text.find("9.9"), std::string::npos) << ui.boxes[0].text;
    EXPECT_EQ(stored(), kUpdateCheckOff);
    EXPECT_FALSE(box->isChecked());

    // On and off again: the tick neither connects nor shows anything.
    choose("chk_updatecheck");
    choose("chk_updatecheck");
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(stored(), kUpdateCheckOff);
    tick();
    EXPECT_EQ(http.requested.size(), 1u);
    EXPECT_EQ(ui.boxes.size(), 1u);
}

}  // namespace
}  // namespace pagemeld::testing
