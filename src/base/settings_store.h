// The Settings service on the real machine: the registry under HKEY_CURRENT_USER on
// Windows; elsewhere a per-user settings file, $XDG_CONFIG_HOME (default ~/.config)
// + "/Ombrix/OmbrixPagemeld.ini", with one section per key path.
#pragma once

#include <cstddef>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>

#include "base/platform.h"

namespace pagemeld {

class SettingsStore : public Settings {
public:
    // A value is read into a buffer of this many bytes with its closing NUL, so a
    // value whose UTF-8 text is longer than 1023 bytes cannot be read.
    static constexpr std::size_t kValueBufferBytes = 1024;

    // `configHome` stands in for $XDG_CONFIG_HOME (tests); it has no meaning on
    // Windows, where the values live in the registry.
    explicit SettingsStore(std::filesystem::path configHome = {});

    // A text value as written; a 32-bit number value as signed decimal text. Key
    // paths and value names ignore case, as in the registry.
    std::optional<std::string> read(const std::string& keyPath,
                                    const std::string& valueName) override;
    // Creates the key path when needed. The settings file is replaced as a whole
    // (written to a temporary file, then renamed), never left half-written.
    bool write(const std::string& keyPath, const std::string& valueName,
               const std::string& value) override;

    // The settings file; empty on Windows or when no home folder is known.
    const std::filesystem::path& file() const { return file_; }

private:
    std::filesystem::path file_;
    std::mutex mutex_;  // one read-modify-write at a time
};

}  // namespace pagemeld
