#include "base/system_info.h"

#include <ctime>
#include <filesystem>
#include <system_error>

#include "base/text_encoding.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>
#endif

namespace pagemeld {

namespace {

// Adds a separator unless the text already ends with one.
std::string withTrailingSeparator(std::string folder) {
    if (!folder.empty() && folder.back() != kPathSeparator) folder += kPathSeparator;
    return folder;
}

// Drops trailing separators, keeping a root's own.
std::string withoutTrailingSeparator(std::string folder) {
    while (folder.size() > 1 && folder.back() == kPathSeparator &&
           !(kOnWindows && folder.size() == 3 && folder[1] == ':'))
        folder.pop_back();
    return folder;
}

#ifdef _WIN32

std::string narrow(const wchar_t* text, std::size_t length) {
    return utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text), length));
}

std::string environment(const wchar_t* name) {
    DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) return {};
    std::wstring value(size, L'\0');
    size = GetEnvironmentVariableW(name, value.data(), size);
    if (size == 0 || size >= value.size()) return {};
    return narrow(value.data(), size);
}

#else

// An environment value; empty when unset.
std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

// An XDG base folder: the variable when it holds an absolute path, else the
// fallback below the home folder.
std::string xdgFolder(const char* variable, const char* fallbackBelowHome) {
    std::string folder = environment(variable);
    if (!folder.empty() && folder.front() == '/') return withoutTrailingSeparator(folder);
    const std::string home = userHomeFolder();
    if (home.empty()) return {};
    return withTrailingSeparator(home) + fallbackBelowHome;
}

#endif

}  // namespace

#ifdef _WIN32

std::string userHomeFolder() {
    return withoutTrailingSeparator(environment(L"USERPROFILE"));
}

std::string SystemInfo::programFolder() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) {
            buffer.resize(length);
            break;
        }
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
    return pathToUtf8(std::filesystem::path(buffer).parent_path());
}

std::string SystemInfo::userDataFolder() {
    const std::string local = environment(L"LOCALAPPDATA");
    if (local.empty()) return {};
    return withTrailingSeparator(withoutTrailingSeparator(local)) + "Ombrix";
}

std::string SystemInfo::tempFolder() {
    wchar_t buffer[MAX_PATH + 2] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH + 1) return {};
    return withTrailingSeparator(narrow(buffer, length));
}

std::optional<std::string> SystemInfo::computerName() {
    wchar_t buffer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (!GetComputerNameW(buffer, &size) || size == 0) return std::nullopt;
    return narrow(buffer, size);
}

std::optional<std::string> SystemInfo::userName() {
    wchar_t buffer[257] = {};  // the longest user name and its NUL
    DWORD size = 257;
    if (!GetUserNameW(buffer, &size) || size <= 1) return std::nullopt;
    return narrow(buffer, size - 1);  // the size counts the NUL
}

DateTime SystemInfo::now() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return DateTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

#else

std::string userHomeFolder() {
    std::string home = environment("HOME");
    if (home.empty()) {
        std::vector<char> buffer(16384);
        passwd entry{};
        passwd* found = nullptr;
        if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
            found->pw_dir)
            home = found->pw_dir;
    }
    return withoutTrailingSeparator(home);
}

std::string SystemInfo::programFolder() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec && !exe.empty()) return pathToUtf8(exe.parent_path());
    // Without /proc the program's folder is unknown; the folder it was started from
    // is the best guess for a portable install.
    const auto current = std::filesystem::current_path(ec);
    return ec ? std::string() : pathToUtf8(current);
}

std::string SystemInfo::userDataFolder() {
    const std::string base = xdgFolder("XDG_DATA_HOME", ".local/share");
    return base.empty() ? std::string() : withTrailingSeparator(base) + "Ombrix";
}

std::string SystemInfo::tempFolder() {
    std::string folder = environment("TMPDIR");
    if (folder.empty()) folder = "/tmp";
    return withTrailingSeparator(folder);
}

std::optional<std::string> SystemInfo::computerName() {
    char buffer[256] = {};
    if (gethostname(buffer, sizeof buffer - 1) != 0 || buffer[0] == '\0') return std::nullopt;
    return std::string(buffer);
}

std::optional<std::string> SystemInfo::userName() {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_name && found->pw_name[0] != '\0')
        return std::string(found->pw_name);
    for (const char* name : {"USER", "LOGNAME"}) {
        std::string value = environment(name);
        if (!value.empty()) return value;
    }
    return std::nullopt;
}

DateTime SystemInfo::now() {
    const std::time_t seconds = std::time(nullptr);
    std::tm t{};
    localtime_r(&seconds, &t);
    return DateTime{t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
}

#endif

}  // namespace pagemeld
