#include "base/runtime_error.h"

#include <cerrno>
#include <filesystem>
#include <new>
#include <optional>
#include <system_error>

namespace pagemeld {

std::int32_t errorCodeFromErrno(int err) {
    switch (err) {
        case ENOENT:
            return errcode::kFileNotFound;
        case ENOTDIR:
            return errcode::kPathNotFound;
        case EACCES:
        case EPERM:
        case EROFS:
            return errcode::kPermissionDenied;
        case ENOSPC:
        // A file grown past what the file system or the process may hold (FAT's 4 GiB,
        // a size limit): to the user there is no room for it there.
        case EFBIG:
#ifdef EDQUOT
        case EDQUOT:
#endif
            return errcode::kDiskFull;
        case ENOMEM:
            return errcode::kOutOfMemory;
        case EMFILE:
        case ENFILE:
            return errcode::kTooManyFiles;
        case EISDIR:
            return errcode::kPathFileAccess;
        case EIO:
            return errcode::kDeviceIoError;
        // A name the file system cannot take (longer than it allows, or bytes it does
        // not accept as a name) is a bad file name, not a file that cannot be reached.
        case ENAMETOOLONG:
        case EILSEQ:
            return errcode::kBadFileName;
        default:
            return errcode::kPathFileAccess;
    }
}

int pathErrno(int err, const std::filesystem::path& path) {
#ifdef _WIN32
    std::error_code ec;
    if (err == ENOENT && path.has_parent_path() &&
        !std::filesystem::is_directory(path.parent_path(), ec))
        return ENOTDIR;
    if (err == EACCES && std::filesystem::is_directory(path, ec)) return EISDIR;
#else
    (void)path;
#endif
    return err;
}

namespace {

// The portable (errno) meaning of an operating-system error, when it has one. On
// Windows the native codes are Win32 numbers; their default condition maps them.
std::optional<int> portableErrno(const std::error_code& code) {
    std::error_condition condition = code.default_error_condition();
    if (condition.category() == std::generic_category()) return condition.value();
    return std::nullopt;
}

}  // namespace

RuntimeError toRuntimeError(std::exception_ptr error) {
    if (!error) return RuntimeError(errcode::kUnexpected, "Unknown error");
    try {
        std::rethrow_exception(error);
    } catch (const RuntimeError& e) {
        return e;
    } catch (const ExitRequested&) {
        throw;
    } catch (const std::bad_alloc&) {
        return RuntimeError(errcode::kOutOfMemory, "Out of memory");
    } catch (const std::filesystem::filesystem_error& e) {
        auto err = portableErrno(e.code());
        return RuntimeError(
            err ? errorCodeFromErrno(pathErrno(*err, e.path1())) : errcode::kPathFileAccess,
            e.what());
    } catch (const std::system_error& e) {
        // Other system errors with an errno meaning are file-system failures too.
        if (auto err = portableErrno(e.code())) {
            return RuntimeError(errorCodeFromErrno(*err), e.what());
        }
        return RuntimeError(errcode::kUnexpected, e.what());
    } catch (const std::out_of_range& e) {
        return RuntimeError(errcode::kIndexOutOfRange, e.what());
    } catch (const std::overflow_error& e) {
        return RuntimeError(errcode::kOverflow, e.what());
    } catch (const std::underflow_error& e) {
        return RuntimeError(errcode::kOverflow, e.what());
    } catch (const std::invalid_argument& e) {
        return RuntimeError(errcode::kInvalidArgument, e.what());
    } catch (const std::exception& e) {
        return RuntimeError(errcode::kUnexpected, e.what());
    } catch (...) {
        return RuntimeError(errcode::kUnexpected, "Unknown error");
    }
}

}  // namespace pagemeld
