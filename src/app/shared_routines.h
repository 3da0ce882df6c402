// Small routines every operation shares: message boxes with the program's title,
// file-name checks, the save dialog, path splitting, range-group counting, the folder
// picker and progress bar colours.
#pragma once

#include <algorithm>
#include <cstddef>

#include <cstdint>
#include <string>
#include <vector>

#include "app/controls.h"
#include "base/platform.h"

namespace pagemeld {

class ErrorReporter;

// The title of every operation's message box.
inline constexpr const char* kProgramTitle = "Ombrix Pagemeld";

// How far a run is, 0..100, after `done` of `total` files, pieces or passes.
constexpr int percentDone(std::size_t done, std::size_t total) {
    return total == 0 ? 100 : static_cast<int>(std::min(done, total) * 100 / total);
}

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

// The filter text "description|pattern|description|pattern" as dialog filters; the
// list ends at the first empty part, and a description without pattern is dropped.
// An empty text gives the text-file and all-file filters.
std::vector<FileFilter> parseDialogFilter(const std::string& filter);

// A start folder or path written with a drive letter ("C:\", "c:\output.pdf") for the
// platform: on Windows unchanged; elsewhere the drive part becomes the user's home
// folder with a trailing separator and the remaining "\" become "/".
std::string platformStartFolder(const std::string& text);

// Asks for a file name to save to; an empty start folder starts in the current
// folder. Returns the chosen path, or an empty text when the user cancels, the dialog
// fails or the path is longer than 255 characters. Shows nothing on failure.
std::string ShowSaveDialog(Ui& ui, const std::string& title, const std::string& filter,
                           const std::string& startFolder);

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

// Asks for a folder, starting in `startFolder` ("" for the dialog's own choice); its
// path without trailing separator (a root keeps its own), or an empty text when the
// user cancels.
std::string OpenDirectoryTV(ErrorReporter& errors, Ui& ui, const std::string& title,
                            const std::string& startFolder = {});

void SetProgressBarColour(ErrorReporter& errors, ProgressBar& bar, std::uint32_t colour);

// `text` without the blanks around it: passwords, numbers and names typed by the user.
std::string trimBlanks(const std::string& text);

}  // namespace pagemeld
