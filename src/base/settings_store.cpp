#include "base/settings_store.h"

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "base/text_encoding.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <system_error>

#include "base/system_info.h"
#endif

namespace pagemeld {

#ifdef _WIN32

namespace {

std::wstring wide(const std::string& text) {
    const std::u16string units = utf8ToUtf16(text);
    return std::wstring(units.begin(), units.end());
}

}  // namespace

SettingsStore::SettingsStore(std::filesystem::path) {}

std::optional<std::string> SettingsStore::read(const std::string& keyPath,
                                               const std::string& valueName) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, wide(keyPath).c_str(), 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return std::nullopt;
    // Room for any text that can pass the length check below; a longer value fails
    // the query itself.
    std::vector<BYTE> data(2 * kValueBufferBytes + 2);
    DWORD size = static_cast<DWORD>(data.size());
    DWORD type = 0;
    const LONG status =
        RegQueryValueExW(key, wide(valueName).c_str(), nullptr, &type, data.data(), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return std::nullopt;

    std::string text;
    if (type == REG_SZ) {
        std::u16string units(size / 2, u'\0');
        std::memcpy(units.data(), data.data(), units.size() * 2);
        if (!units.empty() && units.back() == u'\0') units.pop_back();
        text = utf16ToUtf8(units);
    } else if (type == REG_DWORD && size == 4) {
        std::int32_t number = 0;
        std::memcpy(&number, data.data(), 4);
        text = std::to_string(number);
    } else {
        return std::nullopt;
    }
    if (text.size() + 1 > kValueBufferBytes) return std::nullopt;
    return text;
}

bool SettingsStore::write(const std::string& keyPath, const std::string& valueName,
                          const std::string& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, wide(keyPath).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const std::wstring data = wide(value);
    const LONG status = RegSetValueExW(key, wide(valueName).c_str(), 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(data.c_str()),
                                       static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

#else

// The settings file is INI text: "[key path]" headers and "name=value" lines. Names
// and values are written with %XX escapes for what would break a line or be lost to
// trimming (control characters, '%', blanks at either end, and in names '=' and
// brackets), so any text round-trips, a lone blank included.

namespace {

std::string fold(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::string_view trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

std::string escape(std::string_view text, bool name) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        const bool edge = i == 0 || i + 1 == text.size();
        bool encode = b < 0x20 || b == 0x7F || b == '%' || (edge && b == ' ');
        if (name) encode = encode || b == '=' || b == '[' || b == ']' || (i == 0 && b == ';');
        if (encode) {
            out += '%';
            out += hex[b >> 4];
            out += hex[b & 0x0F];
        } else {
            out += static_cast<char>(b);
        }
    }
    return out;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
            hexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];  // a stray '%' of a hand-edited file stays as it is
        }
    }
    return out;
}

struct Line {
    enum Kind { kOther, kHeader, kEntry } kind = kOther;
    std::string name;          // decoded section or value name
    std::string_view rawName;  // the name as written, kept when a value changes
    std::string_view rawValue;
};

Line parseLine(std::string_view text) {
    Line line;
    text = trim(text);
    if (text.empty() || text.front() == ';' || text.front() == '#') return line;
    if (text.front() == '[') {
        const std::size_t close = text.rfind(']');
        if (close != std::string_view::npos && close > 0) {
            line.kind = Line::kHeader;
            line.name = unescape(trim(text.substr(1, close - 1)));
            return line;
        }
    }
    const std::size_t eq = text.find('=');
    if (eq == std::string_view::npos) return line;
    line.kind = Line::kEntry;
    line.rawName = trim(text.substr(0, eq));
    line.name = unescape(line.rawName);
    line.rawValue = trim(text.substr(eq + 1));
    return line;
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// The whole file; an empty text when it does not exist. False when it exists but
// cannot be read, so that a write never replaces settings it could not see.
bool readAll(const std::filesystem::path& file, std::string& content) {
    content.clear();
    std::error_code ec;
    const bool present = std::filesystem::exists(file, ec);
    if (ec) return false;
    if (!present) return true;
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) return false;
    if (content.compare(0, 3, "\xEF\xBB\xBF") == 0) content.erase(0, 3);
    return true;
}

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Writes a temporary file beside the target, flushes it to disk and renames it over
// the target: readers and a crash see either the old file or the new one.
bool replaceFile(std::filesystem::path file, const std::string& content) {
    std::error_code ec;
    // A settings file linked from elsewhere (a dotfiles folder) keeps its link.
    if (std::filesystem::is_symlink(file, ec)) {
        const auto target = std::filesystem::canonical(file, ec);
        if (ec) return false;
        file = target;
    }
    static std::atomic<unsigned> counter{0};
    const std::filesystem::path temp =
        file.parent_path() / ("." + file.filename().string() + "." + std::to_string(::getpid()) +
                              "." + std::to_string(counter++) + ".tmp");
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    const bool written = writeAll(fd, content) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temp.c_str(), file.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    // Make the rename itself durable; a failure here loses nothing already written.
    const int dir = ::open(file.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

}  // namespace

SettingsStore::SettingsStore(std::filesystem::path configHome) {
    if (configHome.empty()) {
        const char* xdg = std::getenv("XDG_CONFIG_HOME");
        // The XDG rules ignore a relative setting.
        if (xdg && xdg[0] == '/') {
            configHome = xdg;
        } else {
            const std::string home = userHomeFolder();
            if (!home.empty()) configHome = pathFromUtf8(home) / ".config";
        }
    }
    if (!configHome.empty()) file_ = configHome / "Ombrix" / "OmbrixPagemeld.ini";
}

std::optional<std::string> SettingsStore::read(const std::string& keyPath,
                                               const std::string& valueName) {
    std::lock_guard lock(mutex_);
    std::string content;
    if (file_.empty() || !readAll(file_, content)) return std::nullopt;
    const std::string section = fold(keyPath);
    const std::string name = fold(valueName);
    bool inSection = false;
    for (std::string_view text : splitLines(content)) {
        const Line line = parseLine(text);
        if (line.kind == Line::kHeader) {
            inSection = fold(line.name) == section;
        } else if (inSection && line.kind == Line::kEntry && fold(line.name) == name) {
            std::string value = unescape(line.rawValue);
            if (value.size() + 1 > kValueBufferBytes) return std::nullopt;
            return value;
        }
    }
    return std::nullopt;
}

bool SettingsStore::write(const std::string& keyPath, const std::string& valueName,
                          const std::string& value) {
    std::lock_guard lock(mutex_);
    if (file_.empty()) return false;
    std::error_code ec;
    std::filesystem::create_directories(file_.parent_path(), ec);
    if (ec) return false;
    std::string content;
    if (!readAll(file_, content)) return false;

    std::vector<std::string> lines;
    for (std::string_view text : splitLines(content)) lines.emplace_back(text);
    const std::string section = fold(keyPath);
    const std::string name = fold(valueName);
    bool inSection = false;
    bool inFirstSection = false;
    bool sectionFound = false;
    bool replaced = false;
    std::size_t insertAt = 0;
    for (std::size_t i = 0; i < lines.size() && !replaced; ++i) {
        const Line line = parseLine(lines[i]);
        if (line.kind == Line::kHeader) {
            inSection = fold(line.name) == section;
            inFirstSection = inSection && !sectionFound;
            if (inFirstSection) {
                sectionFound = true;
                insertAt = i + 1;
            }
        } else if (inSection && line.kind == Line::kEntry && fold(line.name) == name) {
            lines[i] = std::string(line.rawName) + "=" + escape(value, false);
            replaced = true;
        } else if (inFirstSection && !trim(lines[i]).empty()) {
            insertAt = i + 1;  // new values go after the section's last line, not its gap
        }
    }
    if (!replaced) {
        std::string entry = escape(valueName, true) + "=" + escape(value, false);
        if (sectionFound) {
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(entry));
        } else {
            if (!lines.empty() && !trim(lines.back()).empty()) lines.emplace_back();
            lines.push_back("[" + escape(keyPath, true) + "]");
            lines.push_back(std::move(entry));
        }
    }
    std::string updated;
    for (const auto& line : lines) updated += line + "\n";
    return replaceFile(file_, updated);
}

#endif

}  // namespace pagemeld
