// Small routines the window's handlers share: the save dialog and its filters, start
// folders, the folder picker, progress bar colours and typed text. The routines the
// quiet requests share with them (MsgBoxEx, ParsePath, ...) are errors/trapped_routines.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/controls.h"
#include "base/platform.h"
#include "errors/trapped_routines.h"

namespace pagemeld {

class ErrorReporter;

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

// Asks for a folder, starting in `startFolder` ("" for the dialog's own choice); its
// path without trailing separator (a root keeps its own), or an empty text when the
// user cancels.
std::string OpenDirectoryTV(ErrorReporter& errors, Ui& ui, const std::string& title,
                            const std::string& startFolder = {});

void SetProgressBarColour(ErrorReporter& errors, ProgressBar& bar, std::uint32_t colour);

// `text` without the blanks around it: passwords, numbers and names typed by the user.
std::string trimBlanks(const std::string& text);

}  // namespace pagemeld
