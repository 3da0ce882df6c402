// The file system asked by UTF-8 name, also for names of 260 characters and more on
// Windows. There the system takes such a name only in its long form ("\\?\C:\...")
// unless an administrator has turned long paths on for the whole machine, and the C
// runtime MinGW links (msvcrt) cannot stat a long name in either form, which is what
// std::filesystem's status, exists and remove do there. Elsewhere these are
// std::filesystem's own answers.
#pragma once

#include <compare>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>

namespace pagemeld {

// The name for the system's wide-character calls (CreateFileW, _wfopen, ...): on
// Windows an absolute name of 248 characters or more (the limit for folders) in the
// long form, tidied first as the system would otherwise do (separators, "." and "..");
// every other name as pathFromUtf8 gives it.
std::filesystem::path systemPath(std::string_view utf8);

// What std::filesystem::status answers: not_found, with `ec` set, for a name that is
// not there; none, with `ec` set, when the system cannot tell.
std::filesystem::file_status fileStatus(std::string_view utf8, std::error_code& ec);

// Deletes a file (not a folder); false when it could not, or was not there.
bool removeFile(std::string_view utf8);

// Which file a path names, whatever way it is spelt: two paths with one identity are
// one file (through a link, "." and "..", or a letter case the file system ignores).
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t file = 0;
    auto operator<=>(const FileIdentity&) const = default;
};

// The identity of the file `utf8` names, following links; none when nothing is there
// or it cannot be looked at.
std::optional<FileIdentity> fileIdentity(std::string_view utf8);

// True when both names lead to one file that is there.
bool sameFile(std::string_view a, std::string_view b);

}  // namespace pagemeld
