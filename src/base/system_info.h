// The System service on the real machine: program and user folders, temporary
// folder, computer and user name, local time.
#pragma once

#include <optional>
#include <string>

#include "base/platform.h"

namespace pagemeld {

#ifdef _WIN32
inline constexpr bool kOnWindows = true;
inline constexpr char kPathSeparator = '\\';
// Every character that ends a folder's name in a path: Windows takes '/' as well.
inline constexpr const char* kPathSeparators = "\\/";
#else
inline constexpr bool kOnWindows = false;
inline constexpr char kPathSeparator = '/';
inline constexpr const char* kPathSeparators = "/";
#endif

// The user's home folder without trailing separator (a root keeps its own), or an
// empty text when it cannot be found.
std::string userHomeFolder();

class SystemInfo : public System {
public:
    // Every path is UTF-8 text; an empty text means the folder cannot be found.
    std::string programFolder() override;
    // $XDG_DATA_HOME (default ~/.local/share) + "/Ombrix"; on Windows
    // %LOCALAPPDATA%\Ombrix. The folder is not created here.
    std::string userDataFolder() override;
    std::string tempFolder() override;
    std::optional<std::string> computerName() override;
    std::optional<std::string> userName() override;
    DateTime now() override;
};

}  // namespace pagemeld
