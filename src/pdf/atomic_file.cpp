#include "pdf/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "base/file_system.h"
#include "base/runtime_error.h"
#include "base/text_encoding.h"
#include "pdf/file_opening.h"

namespace pagemeld {
namespace {

std::string randomSuffix() {
    static std::mt19937_64 generator{std::random_device{}()};
    static const char digits[] = "0123456789abcdef";
    std::string text;
    auto value = generator();
    for (int i = 0; i < 12; ++i, value >>= 4) text += digits[value & 15];
    return text;
}

bool replaceFile(const std::string& from, const std::string& to, int& err) {
#ifdef _WIN32
    auto wideFrom = systemPath(from).wstring();
    auto wideTo = systemPath(to).wstring();
    if (MoveFileExW(wideFrom.c_str(), wideTo.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    err = GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EIO;
    return false;
#else
    if (std::rename(from.c_str(), to.c_str()) == 0) return true;
    err = errno;
    return false;
#endif
}

// The temporary files being written, where a signal handler can reach them: fixed
// arrays and lock-free flags are all a handler may touch. A slot is claimed, filled,
// then marked ready; a file that finds no free slot is only not cleaned up on a signal.
constexpr int kLiveSlots = 16;
constexpr std::size_t kLivePathMax = 4096;
std::atomic<bool> liveClaimed[kLiveSlots];
std::atomic<bool> liveReady[kLiveSlots];
char livePaths[kLiveSlots][kLivePathMax];

int noteLive(const std::string& path) {
    if (path.size() >= kLivePathMax) return -1;
    for (int slot = 0; slot < kLiveSlots; ++slot) {
        bool free = false;
        if (!liveClaimed[slot].compare_exchange_strong(free, true)) continue;
        std::memcpy(livePaths[slot], path.c_str(), path.size() + 1);
        liveReady[slot].store(true);
        return slot;
    }
    return -1;
}

// Called once the file is renamed or removed: a signal in between only removes a
// name that is gone.
void forgetLive(int slot) {
    if (slot < 0) return;
    liveReady[slot].store(false);
    liveClaimed[slot].store(false);
}

#ifndef _WIN32
extern "C" void removeLiveAndEnd(int signal) {
    for (int slot = 0; slot < kLiveSlots; ++slot) {
        if (liveReady[slot].load()) ::unlink(livePaths[slot]);
    }
    // The handler was reset on entry: the signal now ends the program as it would have.
    ::raise(signal);
}
#endif

void flushToDisk(std::FILE* stream) {
#ifdef _WIN32
    _commit(_fileno(stream));
#else
    ::fsync(::fileno(stream));
#endif
}

}  // namespace

void removeTemporaryFilesOnSignals() {
#ifndef _WIN32
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) continue;
        struct sigaction action {};
        action.sa_handler = removeLiveAndEnd;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;
        ::sigaction(signal, &action, nullptr);
    }
#endif
}

AtomicFile::AtomicFile(std::string target, std::string temporary, std::FILE* stream)
    : target_(std::move(target)),
      temporary_(std::move(temporary)),
      stream_(stream),
      liveSlot_(noteLive(temporary_)) {}

std::unique_ptr<AtomicFile> AtomicFile::create(const std::string& target, std::int32_t& errorCode) {
    const auto targetPath = pathFromUtf8(target);
    // Only a file is replaced: a folder names no output, and renaming over a device or
    // a pipe ("-o /dev/null" run as root) would put a regular file in its place.
    std::error_code ec;
    const auto status = fileStatus(target, ec);
    if (target.empty() ||
        (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))) {
        errorCode = errcode::kPathFileAccess;
        return nullptr;
    }
    // Renaming over a file ignores the file's own permissions on POSIX systems (and
    // under Wine): a file the user has made read-only would be replaced without a word.
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesW(systemPath(target).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        errorCode = errorCodeFromErrno(EACCES);
        return nullptr;
    }
#else
    if (::access(target.c_str(), F_OK) == 0 && ::access(target.c_str(), W_OK) != 0) {
        errorCode = errorCodeFromErrno(errno);
        return nullptr;
    }
#endif
    auto folder = targetPath.parent_path();
    if (folder.empty()) folder = ".";
    // Hidden, and unique among the folder's files: a user's own file is never met.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temporary = pathToUtf8(folder / (".pagemeld-" + randomSuffix() + ".tmp"));
        errno = 0;
        if (std::FILE* stream = createExclusively(temporary)) {
            std::setvbuf(stream, nullptr, _IOFBF, 1 << 16);
            return std::unique_ptr<AtomicFile>(new AtomicFile(target, temporary, stream));
        }
        if (errno != EEXIST) {
            errorCode = errorCodeFromErrno(errno);
            if (errno == ENOENT) errorCode = errcode::kPathNotFound;
            return nullptr;
        }
    }
    errorCode = errcode::kPathFileAccess;
    return nullptr;
}

AtomicFile::~AtomicFile() {
    discard();
}

void AtomicFile::discard() {
    if (stream_) {
        std::fclose(stream_);
        stream_ = nullptr;
    }
    if (!temporary_.empty()) {
        removeFile(temporary_);
        temporary_.clear();
    }
    forgetLive(liveSlot_);
    liveSlot_ = -1;
}

bool AtomicFile::commit(std::int32_t& errorCode, bool durable) {
    if (!stream_) {
        errorCode = errcode::kPathFileAccess;
        return false;
    }
    errno = 0;
    bool ok = std::fflush(stream_) == 0 && !std::ferror(stream_);
    int err = errno;
    if (ok && durable) flushToDisk(stream_);
    if (std::fclose(stream_) != 0 && ok) {
        ok = false;
        err = errno;
    }
    stream_ = nullptr;
    if (ok && !replaceFile(temporary_, target_, err)) ok = false;
    if (!ok) {
        errorCode = errorCodeFromErrno(err == 0 ? EIO : err);
        discard();
        return false;
    }
    temporary_.clear();
    forgetLive(liveSlot_);
    liveSlot_ = -1;
    return true;
}

}  // namespace pagemeld
