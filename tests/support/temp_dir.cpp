#include "support/temp_dir.h"

#include <random>
#include <system_error>

#include "base/text_encoding.h"

namespace pagemeld::testing {

TempDir::TempDir() {
    std::random_device rd;
    auto base = std::filesystem::temp_directory_path();
    for (;;) {
        auto candidate = base / ("pagemeld-test-" + std::to_string(rd()));
        std::error_code ec;
        if (std::filesystem::create_directory(candidate, ec)) {
            path_ = candidate;
            return;
        }
    }
}

TempDir::~TempDir() {
    std::error_code ec;
    // Tests make folders read-only; give write access back so everything can go.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
    }
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

std::string TempDir::file(const std::string& name) const {
    // Names are UTF-8, as everywhere in the program; Windows' narrow paths are not.
    return pathToUtf8(path_ / pathFromUtf8(name));
}

std::string TempDir::folder() const {
    return pathToUtf8(path_) + std::string(1, std::filesystem::path::preferred_separator);
}

}  // namespace pagemeld::testing
