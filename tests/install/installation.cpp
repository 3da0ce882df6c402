#include "install/installation.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>

#include "support/program_run.h"

namespace pagemeld::testing {

namespace fs = std::filesystem;

namespace {

std::optional<std::string> readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// `cmake --install` records what it installed in the build folder's
// install_manifest.txt. A test install goes away with the test's folder, so the record
// is put back as it was, and someone's list of a real install stays intact. The
// suites run in parallel: installs take turns, by a lock on the build's cache file.
class ManifestKeeper {
public:
    explicit ManifestKeeper(const fs::path& buildFolder)
        : manifest_(buildFolder / "install_manifest.txt"),
          lock_(::open((buildFolder / "CMakeCache.txt").c_str(), O_RDONLY | O_CLOEXEC)) {
        if (lock_ >= 0) ::flock(lock_, LOCK_EX);
        before_ = readFile(manifest_);
    }
    ~ManifestKeeper() {
        std::error_code ec;
        if (before_) {
            std::ofstream(manifest_, std::ios::binary | std::ios::trunc) << *before_;
        } else {
            fs::remove(manifest_, ec);
        }
        if (lock_ >= 0) ::close(lock_);  // also lets go of the lock
    }
    ManifestKeeper(const ManifestKeeper&) = delete;
    ManifestKeeper& operator=(const ManifestKeeper&) = delete;

private:
    fs::path manifest_;
    int lock_;
    std::optional<std::string> before_;
};

}  // namespace

Installation installInto(const fs::path& prefix, const fs::path& workFolder) {
    Installation result;
    result.folder = (prefix / PAGEMELD_INSTALL_DIR).lexically_normal();
    // "prefix/." normalises to "prefix/": keep the folder's own name last.
    if (result.folder.filename().empty()) result.folder = result.folder.parent_path();
    result.executable = result.folder / PAGEMELD_EXECUTABLE_NAME;

    const ManifestKeeper keeper(PAGEMELD_BUILD_DIR);
    const ProgramRun run =
        runProgram(PAGEMELD_CMAKE_COMMAND,
                   {workFolder, {"--install", PAGEMELD_BUILD_DIR, "--prefix", prefix.string()}});
    result.status = run.status;
    result.errors = run.errors;
    return result;
}

}  // namespace pagemeld::testing
