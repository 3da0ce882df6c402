// Small stand-ins the fuzz targets share: platform services that never show anything
// (an error box from routines that only read text means an exception escaped where
// none should, so it ends the run as a finding), and a scratch folder per process.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "base/platform.h"

namespace pagemeld::fuzzing {

class AbortingUi : public Ui {
public:
    int messageBox(const std::string& text, const std::string& title, int) override {
        std::fprintf(stderr, "unexpected message box \"%s\": %s\n", title.c_str(), text.c_str());
        std::abort();
    }
    std::optional<std::string> inputBox(const std::string&, const std::string&, const std::string&,
                                        InputEcho) override {
        return std::nullopt;
    }
    std::vector<std::string> openFileDialog(const std::vector<FileFilter>&, bool,
                                            const std::string&) override {
        return {};
    }
    std::string saveFileDialog(const std::string&, const std::vector<FileFilter>&,
                               const std::string&) override {
        return {};
    }
    std::string pickFolder(const std::string&, const std::string&) override { return {}; }
    bool openWithAssociatedProgram(const std::string&, const std::string&) override {
        return false;
    }
    void quit() override {}
};

// A folder of its own under the system's temporary folder, removed at exit.
inline const std::filesystem::path& scratchFolder() {
    static const std::filesystem::path folder = [] {
        auto path = std::filesystem::temp_directory_path() /
                    ("pagemeld-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(scratchFolder(), ec);
        });
        return path;
    }();
    return folder;
}

class QuietSystem : public System {
public:
    std::string programFolder() override { return scratchFolder().string(); }
    std::string userDataFolder() override { return scratchFolder().string(); }
    std::string tempFolder() override { return scratchFolder().string() + "/"; }
    std::optional<std::string> computerName() override { return "FUZZ"; }
    std::optional<std::string> userName() override { return "fuzz"; }
    DateTime now() override { return {2026, 12, 6, 12, 0, 0}; }
};

// Writes `size` bytes to `name` in the scratch folder and returns its path.
inline std::string writeScratchFile(const std::string& name, const std::uint8_t* data,
                                    std::size_t size) {
    const auto path = scratchFolder() / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    if (!out) {
        std::fprintf(stderr, "cannot write the scratch file %s\n", path.c_str());
        std::abort();
    }
    return path.string();
}

}  // namespace pagemeld::fuzzing
