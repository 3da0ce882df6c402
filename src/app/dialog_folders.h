// The folder each file dialog of the window last took a file or folder from, kept
// with the other settings so the next run opens there again.
#pragma once

#include <string>

#include "base/platform.h"

namespace pagemeld {

// The settings values, one per dialog.
inline constexpr const char* kSplitAddFolderValue = "SplitAddFolder";
inline constexpr const char* kMergeAddFolderValue = "MergeAddFolder";
inline constexpr const char* kMixAddFolderValue = "MixAddFolder";
inline constexpr const char* kMergeOutputFolderValue = "MergeOutputFolder";
inline constexpr const char* kSplitDestFolderValue = "SplitDestFolder";
inline constexpr const char* kMixDestFolderValue = "MixDestFolder";

// `preferred` when it is an existing folder, else the folder last remembered under
// `valueName` when it still exists, else "" (the dialog's own choice).
std::string dialogStartFolder(Settings& settings, const char* valueName,
                              const std::string& preferred = {});

// Remembers the folder of `path` (a chosen file, or a chosen folder itself when
// `isFolder`). Nothing is remembered for an empty path.
void rememberDialogFolder(Settings& settings, const char* valueName, const std::string& path,
                          bool isFolder = false);

}  // namespace pagemeld
