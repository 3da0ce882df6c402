// The window's own key: Ctrl+O adds files to the list of the tab shown, as the
// list's add button does. The lists' keys are handled by each list.
#include "app/form1.h"
#include "app/key_codes.h"

namespace pagemeld {

void Form1::Form_KeyDown(std::int16_t& KeyCode, std::int16_t Shift) {
    if (KeyCode != keycode::kO || Shift != shiftkey::kCtrl) return;
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

}  // namespace pagemeld
