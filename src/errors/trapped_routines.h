// The shared routines that report their own errors through the error handler: message
// boxes with the program's title, file-name checks, path splitting, range-group counting.
#pragma once

#include <cstdint>
#include <string>

#include "base/platform.h"

namespace pagemeld {

class ErrorReporter;

// The module these routines report their errors from.
inline constexpr const char* kRoutinesModule = "mMain";

// ParsePath modes.
inline constexpr std::int16_t kPathName = 0;     // the name after the last separator
inline constexpr std::int16_t kPathFolder = 16;  // the folder, followed by a separator

// Shows `prompt` and returns the number of the button pressed (1 OK, 2 Cancel, 6 Yes,
// 7 No, ...). An empty title stands for the program's title. `instance` and `icon`
// chose a custom icon from a module's resources; the program has none to offer, so
// they are accepted and the icon comes from the style's icon flags.
std::int32_t MsgBoxEx(ErrorReporter& errors, Ui& ui, const std::string& prompt,
                      std::int32_t buttons, const std::string& title = {},
                      std::int32_t instance = 0, std::int32_t icon = 0);

// True when `name` holds none of < > : / \ | ? *. Callers pass the name without its
// folder; an empty name is valid.
bool verify_filename(ErrorReporter& errors, const std::string& name);

// Splits `path` at its last separator ('\' on Windows, '/' elsewhere). Mode
// kPathName gives the name; kPathFolder the folder followed by a separator: with
// `strip` the folder without its own final separator plus one (C:\docs\), without
// `strip` the folder keeps it and gets another (C:\docs\\). Other modes give the path
// unchanged; an empty path gives "". A bare name has no folder: mode kPathName gives
// the name, kPathFolder "".
std::string ParsePath(ErrorReporter& errors, const std::string& path, std::int16_t mode,
                      bool strip = false);

// The number of ";"-separated groups of `text`: the number of ";" plus 1.
std::int16_t detectsemicomma(ErrorReporter& errors, const std::string& text);

}  // namespace pagemeld
