#include "base/file_system.h"

#include <cerrno>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include "base/text_encoding.h"

namespace pagemeld {

namespace fs = std::filesystem;

#ifdef _WIN32
namespace {

// CreateDirectoryW's limit (MAX_PATH less room for an 8.3 name); files go to MAX_PATH.
constexpr std::size_t kLongName = 248;

bool isSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// The errno a failed status gives elsewhere, so callers tell the cases apart alike.
int errnoFor(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
        case ERROR_NOT_READY:
            return ENOENT;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            return EACCES;
        default:
            return EIO;
    }
}

}  // namespace

fs::path systemPath(std::string_view utf8) {
    fs::path path = pathFromUtf8(utf8);
    const std::wstring& name = path.native();
    if (name.size() < kLongName || name.starts_with(LR"(\\?\)")) return path;
    const bool drive = name[1] == L':' && isSeparator(name[2]);
    const bool share = isSeparator(name[0]) && isSeparator(name[1]) && name[2] != L'?' &&
                       name[2] != L'.' && !isSeparator(name[2]);
    // A relative name is the system's to complete, and only it knows the current folder.
    if (!drive && !share) return path;
    // The long form is taken literally: "/" and "." would be parts of the name. (A
    // share's leading pair of separators is kept apart: tidying would merge it.)
    if (share) {
        return fs::path(LR"(\\?\UNC\)" + fs::path(name.substr(2)).lexically_normal().native());
    }
    return fs::path(LR"(\\?\)" + path.lexically_normal().native());
}

fs::file_status fileStatus(std::string_view utf8, std::error_code& ec) {
    ec.clear();
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (utf8.empty() ||
        !GetFileAttributesExW(systemPath(utf8).c_str(), GetFileExInfoStandard, &data)) {
        const int err = utf8.empty() ? ENOENT : errnoFor(GetLastError());
        ec = std::error_code(err, std::generic_category());
        return fs::file_status(err == ENOENT ? fs::file_type::not_found : fs::file_type::none);
    }
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        return fs::file_status(fs::file_type::directory);
    }
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE)
        return fs::file_status(fs::file_type::unknown);
    return fs::file_status(fs::file_type::regular);
}

bool removeFile(std::string_view utf8) {
    return !utf8.empty() && DeleteFileW(systemPath(utf8).c_str()) != 0;
}

std::optional<FileIdentity> fileIdentity(std::string_view utf8) {
    // Opened for no access at all, so a file another program holds open still answers.
    const HANDLE file = CreateFileW(systemPath(utf8).c_str(), 0,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = GetFileInformationByHandle(file, &info) != 0;
    CloseHandle(file);
    if (!known) return std::nullopt;
    return FileIdentity{
        info.dwVolumeSerialNumber,
        (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

#else

fs::path systemPath(std::string_view utf8) {
    return pathFromUtf8(utf8);
}

fs::file_status fileStatus(std::string_view utf8, std::error_code& ec) {
    return fs::status(pathFromUtf8(utf8), ec);
}

bool removeFile(std::string_view utf8) {
    std::error_code ec;
    const fs::path path = pathFromUtf8(utf8);
    return !fs::is_directory(path, ec) && fs::remove(path, ec);
}

std::optional<FileIdentity> fileIdentity(std::string_view utf8) {
    struct stat info {};
    if (::stat(pathFromUtf8(utf8).c_str(), &info) != 0) return std::nullopt;
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                        static_cast<std::uint64_t>(info.st_ino)};
}

#endif

bool sameFile(std::string_view a, std::string_view b) {
    if (a.empty() || b.empty()) return false;
    const std::optional<FileIdentity> first = fileIdentity(a);
    return first && first == fileIdentity(b);
}

}  // namespace pagemeld
