// File names travel through the program as UTF-8 text; the file system wants paths.
#pragma once

#include <filesystem>
#include <string>

namespace pagemeld {

inline std::filesystem::path utf8Path(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string pathText(const std::filesystem::path& path) {
    auto text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace pagemeld
