// The window's keys: Delete removes a list's selected file, Ctrl+O adds files to the
// list of the tab shown. Each hands over to the button that does the same.
#include "app/form1.h"
#include "errors/trap.h"

namespace pagemeld {
namespace {

// Key codes and shift flags as the key events number them.
constexpr std::int16_t kKeyDelete = 46;
constexpr std::int16_t kKeyO = 79;
constexpr std::int16_t kShiftNone = 0;
constexpr std::int16_t kShiftCtrl = 2;

bool isDelete(std::int16_t key, std::int16_t shift) {
    return key == kKeyDelete && shift == kShiftNone;
}

}  // namespace

void Form1::Form_KeyDown(std::int16_t& KeyCode, std::int16_t Shift) {
    if (KeyCode != kKeyO || Shift != kShiftCtrl) return;
    KeyCode = 0;
    switch (tabOptions.selectedItem) {
        case 1:
            // The split list holds one source; its add button is off while it does.
            if (split_add_but.enabled) split_add_but_Click();
            break;
        case 2:
            mbut_add_Click();
            break;
        case 3:
            x_but_add_Click();
            break;
        default:
            break;
    }
}

void Form1::split_grid_KeyDown(std::int16_t& KeyCode, std::int16_t Shift) {
    if (!isDelete(KeyCode, Shift)) return;
    KeyCode = 0;
    split_rem_but_Click();
}

void Form1::merge_grid_KeyDown(std::int16_t& KeyCode, std::int16_t Shift) {
    if (!isDelete(KeyCode, Shift)) return;
    KeyCode = 0;
    mbut_rem_Click();
}

void Form1::mix_grid_KeyDown(std::int16_t& KeyCode, std::int16_t Shift) {
    if (!isDelete(KeyCode, Shift)) return;
    KeyCode = 0;
    x_but_rem_Click();
}

}  // namespace pagemeld
