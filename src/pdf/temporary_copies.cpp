#include "pdf/temporary_copies.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>

#include "base/file_system.h"
#include "base/text_encoding.h"
#include "pdf/file_opening.h"

namespace pagemeld {

namespace {

constexpr int kAttempts = 64;

// Creates `path` only when no file of that name exists yet.
bool createEmptyFile(const std::string& path) {
    std::FILE* file = createExclusively(path);
    if (!file) return false;
    std::fclose(file);
    return true;
}

std::string randomTag() {
    static std::mt19937_64 generator{std::random_device{}()};
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(generator()));
    return text;
}

}  // namespace

TemporaryCopies::~TemporaryCopies() {
    removeAll();
}

std::string TemporaryCopies::reserve(const std::string& output, int position) {
    remove(position);
    const std::filesystem::path target = pathFromUtf8(output);
    const std::filesystem::path folder = target.parent_path();
    // Short and fixed in length: any output name that fits the folder leaves room for it.
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const std::filesystem::path candidate =
            folder /
            pathFromUtf8(".pagemeld-copy-" + std::to_string(position) + "-" + randomTag() + ".tmp");
        const std::string path = pathToUtf8(candidate);
        errno = 0;
        if (createEmptyFile(path)) {
            paths_[position] = path;
            return path;
        }
        // Only a name already taken is worth another try; a missing or closed
        // folder will not change.
        if (errno != EEXIST) break;
    }
    return {};
}

std::string TemporaryCopies::pathOf(int position) const {
    const auto it = paths_.find(position);
    return it == paths_.end() ? std::string() : it->second;
}

void TemporaryCopies::remove(int position) {
    const auto it = paths_.find(position);
    if (it == paths_.end()) return;
    removeFile(it->second);
    paths_.erase(it);
}

void TemporaryCopies::removeAll() {
    for (const auto& [position, path] : paths_) removeFile(path);
    paths_.clear();
}

}  // namespace pagemeld
