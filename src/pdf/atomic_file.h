// An output file that appears complete or not at all: everything is written to a
// fresh temporary file beside the target, which replaces the target only once it
// has been written and closed without error.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace pagemeld {

// From now on a signal that ends the program (SIGINT, SIGTERM, SIGHUP: a script's
// timeout, a closed terminal) first removes the temporary files being written, so no
// hidden half-written file is left in the user's folder. A signal the program was
// started to ignore (nohup) stays ignored. Does nothing on Windows.
void removeTemporaryFilesOnSignals();

class AtomicFile {
public:
    // Creates the temporary file; on failure returns nullptr and sets `errorCode`
    // (a run-time error number such as 76 for a missing folder, 70 when denied). A
    // symbolic link named as the target stays: the file it leads to is replaced.
    static std::unique_ptr<AtomicFile> create(const std::string& name, std::int32_t& errorCode);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    std::FILE* stream() { return stream_; }
    const std::string& temporaryName() const { return temporary_; }

    // Flushes, closes and renames over the target. On failure the temporary file is
    // removed, the target is untouched, and `errorCode` says why. `durable` first
    // forces the data to disk: for a target that is the only copy of an input, which a
    // power cut right after the rename must not leave empty. Ordinary outputs skip it,
    // as a thousand-piece split would otherwise wait on the disk a thousand times.
    bool commit(std::int32_t& errorCode, bool durable);
    // Drops the temporary file; the target is untouched.
    void discard();

private:
    AtomicFile(std::string target, std::string temporary, std::FILE* stream, int liveSlot);

    std::string target_;
    std::string temporary_;
    std::FILE* stream_;
    int liveSlot_ = -1;  // where a signal handler finds the temporary file, -1 for nowhere
};

}  // namespace pagemeld
