// Which file a path names, whatever way it is spelt: two paths with one identity are
// one file (through a link, "." and "..", or a letter case the file system ignores).
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>

namespace pagemeld {

struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t file = 0;
    auto operator<=>(const FileIdentity&) const = default;
};

// The identity of the file `path` (UTF-8) names, following links; none when nothing
// is there or it cannot be looked at.
std::optional<FileIdentity> fileIdentity(const std::string& path);

}  // namespace pagemeld
