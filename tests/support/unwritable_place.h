// Folders where writing fails the way it does for users: a disk that fills up, a
// read-only medium, and a per-file size limit the kernel enforces. The first two are
// real small file systems where the machine lets the test mount one (CI runs as
// root); the size limit needs no rights and stands in as the fault injector elsewhere.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace pagemeld::testing {

enum class PlaceKind {
    FullDisk,       // a file system with `room` bytes: ENOSPC once they are used
    ReadOnly,       // a file system mounted read-only: EROFS even for root
    FileSizeLimit,  // RLIMIT_FSIZE of `room` bytes for every file: EFBIG beyond it
};

std::string toString(PlaceKind kind);

class UnwritablePlace {
public:
    // Makes `folder` (created when missing) such a place. Returns nullptr and says why
    // in `whyNot` when this machine does not allow it.
    static std::unique_ptr<UnwritablePlace> make(PlaceKind kind,
                                                 const std::filesystem::path& folder,
                                                 std::uintmax_t room, std::string& whyNot);
    ~UnwritablePlace();
    UnwritablePlace(const UnwritablePlace&) = delete;
    UnwritablePlace& operator=(const UnwritablePlace&) = delete;

    // Puts `file` into the place before it becomes unwritable (a read-only medium that
    // already holds a file, an output that exists from an earlier run).
    void preload(const std::filesystem::path& file, const std::string& name);
    // Starts refusing writes in this process. A size limit applies to every file the
    // process writes from now on, so inputs are written before this.
    void activate();
    // Undoes `activate` for this process (the destructor does it too).
    void deactivate();
    // Runs in a child process before it starts the program, so the program meets the
    // same refusal.
    std::function<void()> inChild() const;

    PlaceKind kind() const { return kind_; }
    const std::filesystem::path& folder() const { return folder_; }

private:
    UnwritablePlace(PlaceKind kind, std::filesystem::path folder, std::uintmax_t room,
                    bool mounted);

    PlaceKind kind_;
    std::filesystem::path folder_;
    std::uintmax_t room_;
    bool mounted_;
    bool active_ = false;
    std::uint64_t savedSoftLimit_ = 0;
};

}  // namespace pagemeld::testing
