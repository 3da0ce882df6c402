#include "errors/trapped_routines.h"

#include "base/product.h"
#include "base/runtime_error.h"
#include "base/system_info.h"
#include "errors/trap.h"

namespace pagemeld {

namespace {}  // namespace

std::int32_t MsgBoxEx(ErrorReporter& errors, Ui& ui, const std::string& prompt,
                      std::int32_t buttons, const std::string& title, std::int32_t /*instance*/,
                      std::int32_t /*icon*/) {
    std::int32_t answer = 0;
    Trap trap(errors, kRoutinesModule, "MsgBoxEx");
    trap.step(
        [&] { answer = ui.messageBox(prompt, title.empty() ? kProductName : title, buttons); });
    return answer;
}

bool verify_filename(ErrorReporter& errors, const std::string& name) {
    bool valid = true;
    Trap trap(errors, kRoutinesModule, "verify_filename");
    trap.step([&] { valid = name.find_first_of("<>:/\\|?*") == std::string::npos; });
    return valid;
}

std::string ParsePath(ErrorReporter& errors, const std::string& path, std::int16_t mode,
                      bool strip) {
    std::string result;
    Trap trap(errors, kRoutinesModule, "ParsePath");
    trap.step([&] {
        if (path.empty()) return;
        const std::size_t at = path.find_last_of(kPathSeparators);
        if (mode == kPathFolder) {
            // A bare name has no folder part.
            if (at != std::string::npos)
                result = path.substr(0, strip ? at : at + 1) + kPathSeparator;
        } else if (mode == kPathName) {
            result = at == std::string::npos ? path : path.substr(at + 1);
        } else {
            result = path;
        }
    });
    return result;
}

std::int16_t detectsemicomma(ErrorReporter& errors, const std::string& text) {
    std::int16_t groups = 0;
    Trap trap(errors, kRoutinesModule, "detectsemicomma");
    trap.step([&] {
        std::int32_t count = 1;
        for (char c : text) {
            if (c == ';') ++count;
        }
        // The count is a 16-bit number, as its callers compute with it.
        if (count > INT16_MAX) throw RuntimeError(errcode::kOverflow, "Overflow");
        groups = static_cast<std::int16_t>(count);
    });
    return groups;
}

}  // namespace pagemeld
