#include "support/unwritable_place.h"

#include <cerrno>
#include <cstring>
#include <system_error>

#ifdef __linux__
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#endif

namespace pagemeld::testing {

namespace fs = std::filesystem;

std::string toString(PlaceKind kind) {
    switch (kind) {
        case PlaceKind::FullDisk:
            return "FullDisk";
        case PlaceKind::ReadOnly:
            return "ReadOnly";
        case PlaceKind::FileSizeLimit:
            return "FileSizeLimit";
    }
    return "?";
}

#ifdef __linux__

namespace {

bool mountSmallFileSystem(const fs::path& folder, std::uintmax_t room, std::string& whyNot) {
    const std::string options = "size=" + std::to_string(room) + ",mode=0777";
    if (::mount("pagemeld-test", folder.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) ==
        0) {
        return true;
    }
    whyNot = std::string("this machine does not let the test mount a file system (") +
             std::strerror(errno) + ")";
    return false;
}

void limitFileSize(std::uint64_t bytes) {
    // Beyond the limit a write fails with EFBIG instead of killing the process.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = static_cast<rlim_t>(bytes);
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

}  // namespace

std::unique_ptr<UnwritablePlace> UnwritablePlace::make(PlaceKind kind, const fs::path& folder,
                                                       std::uintmax_t room, std::string& whyNot) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        whyNot = "cannot create " + folder.string() + ": " + ec.message();
        return nullptr;
    }
    bool mounted = false;
    switch (kind) {
        case PlaceKind::FullDisk:
            if (!mountSmallFileSystem(folder, room, whyNot)) return nullptr;
            mounted = true;
            break;
        case PlaceKind::ReadOnly:
            // Without mount rights an ordinary user's read-only folder does the same;
            // root passes through folder permissions, so root needs the mount.
            mounted = mountSmallFileSystem(folder, 1 << 20, whyNot);
            if (!mounted && ::geteuid() == 0) return nullptr;
            break;
        case PlaceKind::FileSizeLimit:
            break;
    }
    return std::unique_ptr<UnwritablePlace>(new UnwritablePlace(kind, folder, room, mounted));
}

UnwritablePlace::UnwritablePlace(PlaceKind kind, fs::path folder, std::uintmax_t room, bool mounted)
    : kind_(kind), folder_(std::move(folder)), room_(room), mounted_(mounted) {}

UnwritablePlace::~UnwritablePlace() {
    deactivate();
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
}

void UnwritablePlace::preload(const fs::path& file, const std::string& name) {
    fs::copy_file(file, folder_ / name, fs::copy_options::overwrite_existing);
}

void UnwritablePlace::activate() {
    if (active_) return;
    switch (kind_) {
        case PlaceKind::FullDisk:
            break;
        case PlaceKind::ReadOnly:
            if (mounted_) {
                if (::mount(nullptr, folder_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) !=
                    0) {
                    throw std::system_error(errno, std::generic_category(), "remount read-only");
                }
            } else {
                fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec);
            }
            break;
        case PlaceKind::FileSizeLimit: {
            rlimit limit{};
            ::getrlimit(RLIMIT_FSIZE, &limit);
            savedSoftLimit_ = limit.rlim_cur;
            limitFileSize(room_);
            break;
        }
    }
    active_ = true;
}

void UnwritablePlace::deactivate() {
    if (!active_) return;
    switch (kind_) {
        case PlaceKind::FullDisk:
            break;
        case PlaceKind::ReadOnly:
            if (mounted_) {
                ::mount(nullptr, folder_.c_str(), nullptr, MS_REMOUNT, nullptr);
            } else {
                std::error_code ec;
                fs::permissions(folder_, fs::perms::owner_all, ec);
            }
            break;
        case PlaceKind::FileSizeLimit: {
            rlimit limit{};
            ::getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = static_cast<rlim_t>(savedSoftLimit_);
            ::setrlimit(RLIMIT_FSIZE, &limit);
            break;
        }
    }
    active_ = false;
}

std::function<void()> UnwritablePlace::inChild() const {
    if (kind_ != PlaceKind::FileSizeLimit) return {};
    const std::uint64_t room = room_;
    return [room] { limitFileSize(room); };
}

#else

std::unique_ptr<UnwritablePlace> UnwritablePlace::make(PlaceKind, const fs::path&, std::uintmax_t,
                                                       std::string& whyNot) {
    whyNot = "these places are made with Linux's mounts and resource limits";
    return nullptr;
}
UnwritablePlace::~UnwritablePlace() = default;
void UnwritablePlace::preload(const fs::path&, const std::string&) {}
void UnwritablePlace::activate() {}
void UnwritablePlace::deactivate() {}
std::function<void()> UnwritablePlace::inChild() const {
    return {};
}

#endif

}  // namespace pagemeld::testing
