#include "app/shared_routines.h"

#include <filesystem>
#include <string_view>
#include <system_error>

#include "base/runtime_error.h"
#include "base/system_info.h"
#include "base/text_encoding.h"
#include "errors/trap.h"

namespace pagemeld {

namespace {

// Save dialog results longer than its 255-character buffer count as a failed dialog.
constexpr std::size_t kSaveBufferChars = 255;

bool startsWithDriveLetter(std::string_view text) {
    return text.size() >= 2 &&
           ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z')) &&
           text[1] == ':';
}

}  // namespace

std::vector<FileFilter> parseDialogFilter(const std::string& filter) {
    if (filter.empty()) return {{"Text Files (*.txt)", "*.txt"}, {"All Files (*.*)", "*.*"}};
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = filter.find('|', start);
        parts.push_back(filter.substr(start, bar - start));
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    // The dialog reads pairs up to the first empty text, which ends its list.
    std::vector<FileFilter> filters;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].empty() || parts[i + 1].empty()) break;
        filters.push_back({parts[i], parts[i + 1]});
    }
    return filters;
}

std::string platformStartFolder(const std::string& text) {
    if (kOnWindows || !startsWithDriveLetter(text)) return text;
    std::string rest = text.substr(2);
    while (!rest.empty() && (rest.front() == '\\' || rest.front() == '/')) rest.erase(0, 1);
    for (char& c : rest) {
        if (c == '\\') c = kPathSeparator;
    }
    std::string home = userHomeFolder();
    if (home.empty()) {
        std::error_code ec;
        home = pathToUtf8(std::filesystem::current_path(ec));
    }
    if (home.empty() || home.back() != kPathSeparator) home += kPathSeparator;
    return home + rest;
}

std::string ShowSaveDialog(Ui& ui, const std::string& title, const std::string& filter,
                           const std::string& startFolder) {
    try {
        std::string folder = startFolder;
        if (folder.empty()) {
            std::error_code ec;
            folder = pathToUtf8(std::filesystem::current_path(ec));
        }
        std::string chosen =
            ui.saveFileDialog(title, parseDialogFilter(filter), platformStartFolder(folder));
        if (utf8Length(chosen) > kSaveBufferChars) return {};
        return chosen;
    } catch (const ExitRequested&) {
        throw;
    } catch (...) {
        return {};
    }
}

std::string OpenDirectoryTV(ErrorReporter& errors, Ui& ui, const std::string& title,
                            const std::string& startFolder) {
    std::string folder;
    Trap trap(errors, kRoutinesModule, "OpenDirectoryTV");
    trap.step([&] { folder = ui.pickFolder(title, startFolder); });
    return folder;
}

void SetProgressBarColour(ErrorReporter& errors, ProgressBar& bar, std::uint32_t colour) {
    Trap trap(errors, kRoutinesModule, "SetProgressBarColour");
    trap.step([&] { bar.colour = colour; });
}

std::string trimBlanks(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace pagemeld
