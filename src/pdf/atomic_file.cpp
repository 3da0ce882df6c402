#include "pdf/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <optional>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <pthread.h>
#include <unistd.h>

#include <ctime>
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
// arrays and lock-free atomics are all a handler may touch. A slot is claimed before its
// file is created and marked ready once the file exists, so a signal that comes while
// the file is being created still finds it; a file that finds no free slot is only not
// cleaned up on a signal.
constexpr int kLiveSlots = 16;
constexpr std::size_t kLivePathMax = 4096;
enum LiveState : int { kFree, kCreating, kReady };
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);
std::atomic<int> liveStates[kLiveSlots];
char livePaths[kLiveSlots][kLivePathMax];
#ifndef _WIN32
// The signals that end a program from outside: Ctrl-C, kill, a closed terminal.
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};
#endif
// Set by the handler before it looks at the slots: no new file is created after that.
std::atomic<bool> ending{false};

// A slot in the creating state, or -1 when none is free.
int claimLive() {
    for (int slot = 0; slot < kLiveSlots; ++slot) {
        int free = kFree;
        if (liveStates[slot].compare_exchange_strong(free, kCreating)) return slot;
    }
    return -1;
}

// Called once the file is renamed or removed: a signal in between only removes a
// name that is gone.
void forgetLive(int slot) {
    if (slot >= 0) liveStates[slot].store(kFree);
}

// Holds back the signals that end the program in this thread while a temporary file is
// created and noted, so a handler never runs in the middle of it here; a handler run by
// another thread waits until it is done.
class EndingSignalsHeld {
public:
    EndingSignalsHeld() {
#ifndef _WIN32
        sigset_t held;
        sigemptyset(&held);
        for (const int signal : kEndingSignals) sigaddset(&held, signal);
        ::pthread_sigmask(SIG_BLOCK, &held, &previous_);
#endif
    }
    ~EndingSignalsHeld() {
#ifndef _WIN32
        ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
#endif
    }
    EndingSignalsHeld(const EndingSignalsHeld&) = delete;
    EndingSignalsHeld& operator=(const EndingSignalsHeld&) = delete;

private:
#ifndef _WIN32
    sigset_t previous_;
#endif
};

#ifndef _WIN32
extern "C" void removeLiveAndEnd(int signal) {
    ending.store(true);
    for (int slot = 0; slot < kLiveSlots; ++slot) {
        // Another thread is creating this one: it takes a moment, not longer.
        for (int waited = 0; liveStates[slot].load() == kCreating && waited < 1000; ++waited) {
            const timespec millisecond{0, 1000000};
            ::nanosleep(&millisecond, nullptr);
        }
        if (liveStates[slot].load() == kReady) ::unlink(livePaths[slot]);
    }
    // The signal now ends the program as it would have. Only now: a handler reset on
    // entry would let a second signal (timeout(1) sends one to the program and one to
    // its process group) end the program before the files are removed.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    ::sigaction(signal, &fallback, nullptr);
    ::raise(signal);
}
#endif

// The name a chain of symbolic links ends in (which need not exist yet); `path` itself
// when it is no link. Nothing for links that go round in a circle or cannot be read.
std::optional<std::filesystem::path> followLinks(std::filesystem::path path) {
    for (int link = 0; link < 40; ++link) {
        std::error_code ec;
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, ec))) return path;
        const std::filesystem::path to = std::filesystem::read_symlink(path, ec);
        if (ec) return std::nullopt;
        path = to.is_absolute() ? to : path.parent_path() / to;
    }
    return std::nullopt;
}

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
    struct sigaction action {};
    action.sa_handler = removeLiveAndEnd;
    // One handler at a time in a thread; the raised signal waits until it returns.
    sigemptyset(&action.sa_mask);
    for (const int signal : kEndingSignals) sigaddset(&action.sa_mask, signal);
    for (const int signal : kEndingSignals) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) continue;
        ::sigaction(signal, &action, nullptr);
    }
#endif
}

AtomicFile::AtomicFile(std::string target, std::string temporary, std::FILE* stream, int liveSlot)
    : target_(std::move(target)),
      temporary_(std::move(temporary)),
      stream_(stream),
      liveSlot_(liveSlot) {}

std::unique_ptr<AtomicFile> AtomicFile::create(const std::string& name, std::int32_t& errorCode) {
    // A link named as the output stays a link: renaming over it would put a file in its
    // place ("-o /dev/stdout" run as root replaced the system's link). The file it leads
    // to is replaced instead, in that file's own folder.
    const std::optional<std::filesystem::path> followed =
        name.empty() ? std::nullopt : followLinks(pathFromUtf8(name));
    if (!followed) {
        errorCode = errcode::kPathFileAccess;
        return nullptr;
    }
    const std::filesystem::path& targetPath = *followed;
    const std::string target = pathToUtf8(targetPath);
    // Only a file is replaced: a folder names no output, and renaming over a device or
    // a pipe ("-o /dev/null" run as root) would put a regular file in its place.
    std::error_code ec;
    const auto status = fileStatus(target, ec);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
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
    const EndingSignalsHeld held;
    const int slot = claimLive();
    // The program is being ended by a signal: nothing more is created to be left behind.
    if (ending.load()) {
        forgetLive(slot);
        errorCode = errcode::kPathFileAccess;
        return nullptr;
    }
    // Hidden, and unique among the folder's files: a user's own file is never met.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temporary = pathToUtf8(folder / (".pagemeld-" + randomSuffix() + ".tmp"));
        const bool noted = slot >= 0 && temporary.size() < kLivePathMax;
        if (noted) std::memcpy(livePaths[slot], temporary.c_str(), temporary.size() + 1);
        errno = 0;
        if (std::FILE* stream = createExclusively(temporary)) {
            std::setvbuf(stream, nullptr, _IOFBF, 1 << 16);
            if (noted) {
                liveStates[slot].store(kReady);
            } else {
                forgetLive(slot);
            }
            return std::unique_ptr<AtomicFile>(
                new AtomicFile(target, temporary, stream, noted ? slot : -1));
        }
        if (errno != EEXIST) {
            errorCode = errorCodeFromErrno(errno);
            if (errno == ENOENT) errorCode = errcode::kPathNotFound;
            forgetLive(slot);
            return nullptr;
        }
    }
    forgetLive(slot);
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
