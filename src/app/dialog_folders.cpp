#include "app/dialog_folders.h"

#include <filesystem>
#include <system_error>

#include "base/registry.h"
#include "base/text_encoding.h"

namespace pagemeld {
namespace {

bool isFolder(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_directory(pathFromUtf8(path), ec);
}

}  // namespace

std::string dialogStartFolder(Settings& settings, const char* valueName,
                              const std::string& preferred) {
    if (isFolder(preferred)) return preferred;
    std::string remembered;
    // A value that cannot be read, or a folder that has gone, leaves the choice to
    // the dialog.
    if (RegReadString(settings, kHkeyCurrentUser, kSettingsKeyPath, valueName, remembered) &&
        isFolder(remembered))
        return remembered;
    return {};
}

void rememberDialogFolder(Settings& settings, const char* valueName, const std::string& path,
                          bool isFolder) {
    if (path.empty()) return;
    std::string folder = path;
    if (!isFolder) folder = pathToUtf8(pathFromUtf8(path).parent_path());
    if (folder.empty()) return;
    RegWriteString(settings, kHkeyCurrentUser, kSettingsKeyPath, valueName, folder);
}

}  // namespace pagemeld
