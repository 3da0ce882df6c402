// A fresh folder per test, removed with everything in it when the test ends.
#pragma once

#include <filesystem>
#include <string>

namespace pagemeld::testing {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder joined with `name`, as text.
    std::string file(const std::string& name) const;
    // The folder as text with a trailing separator.
    std::string folder() const;

private:
    std::filesystem::path path_;
};

}  // namespace pagemeld::testing
