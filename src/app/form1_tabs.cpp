// Switching between the five tabs, the About tab's title line, the link labels and
// the update check's timer and switch.
#include <filesystem>
#include <string>
#include <system_error>

#include "app/form1.h"
#include "base/registry.h"
#include "base/system_info.h"
#include "base/text_encoding.h"
#include "errors/trap.h"

namespace pagemeld {

Frame* Form1::tabFrame(int tabIndex) {
    switch (tabIndex) {
        case 1:
            return &fraSplit;
        case 2:
            return &fraMerge;
        case 3:
            return &fraMix;
        case 4:
            return &fraAbout;
        case 5:
            return &fraExtras;
        default:
            return nullptr;
    }
}

void Form1::tabOptions_Click() {
    Trap trap(errors_, kFormName, "tabOptions_Click");
    int index = 0;
    if (!trap.step([&] { index = tabOptions.selectedItem; })) return;
    // The strip offers only its five tabs; any other number would leave the
    // window without a page, so it changes nothing.
    if (tabFrame(index) == nullptr) return;
    trap.run({
        [&] { hide_frames(); },
        [&] { tabFrame(index)->visible = true; },
        [&] {
            if (index == 4) {
                lblabout.caption = state.app_title + " v" + std::to_string(kVersionMajor) + "." +
                                   std::to_string(kVersionMinor) + "." +
                                   std::to_string(kVersionRevision);
            }
        },
    });
}

void Form1::hide_frames() {
    Trap trap(errors_, kFormName, "hide_frames");
    trap.run({
        [&] { fraSplit.visible = false; },
        [&] { fraMerge.visible = false; },
        [&] { fraAbout.visible = false; },
        [&] { fraMix.visible = false; },
        [&] { fraExtras.visible = false; },
    });
}

// Opens an Internet shortcut beside the program. A missing shortcut opens
// nothing and is not reported.
void Form1::openShortcut(const char* procedure, const char* fileName) {
    Trap trap(errors_, kFormName, procedure);
    trap.step([&] {
        const std::string folder = system_.programFolder();
        const std::string path = folder + kPathSeparator + fileName;
        std::error_code error;
        if (!std::filesystem::is_regular_file(pathFromUtf8(path), error)) return;
        ui_.openWithAssociatedProgram(path, folder);
    });
}

void Form1::ab_lb4b_Click() {
    openShortcut("ab_lb4b_Click", "website.url");
}

void Form1::ab_lb6b_Click() {
    openShortcut("ab_lb6b_Click", "support.url");
}

void Form1::Label1_Click() {
    openShortcut("Label1_Click", "website2.url");
}

void Form1::cmd_cancel_Click() {
    cancel_requested = true;
}

void Form1::cmb_languages_Click() {
    if (choose_language) choose_language();
}

void Form1::updatetimer_Timer() {
    // The check runs once per run.
    updatetimer.enabled = false;
    if (check_for_update) check_for_update();
    // Cancel on the offer switches the check off: the box says so at once.
    show_update_switch();
}

void Form1::show_update_switch() {
    Trap trap(errors_, kFormName, "show_update_switch");
    trap.step([&] {
        std::string value;
        RegReadString(settings_, kHkeyCurrentUser, kSettingsKeyPath, kUpdateCheckValue, value);
        chk_updatecheck.value = value == kUpdateCheckOff ? kUnchecked : kChecked;
    });
}

void Form1::chk_updatecheck_Click() {
    Trap trap(errors_, kFormName, "chk_updatecheck_Click");
    trap.step([&] {
        RegWriteString(settings_, kHkeyCurrentUser, kSettingsKeyPath, kUpdateCheckValue,
                       chk_updatecheck.value == kUnchecked ? kUpdateCheckOff : kUpdateCheckOn);
    });
    // A switch that could not be stored springs back to what is stored.
    show_update_switch();
}

}  // namespace pagemeld
