// A run-time error travels as an exception carrying the program's error number,
// so that every procedure's trap can hand it to the one error handler.
#pragma once

#include <cstdint>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace pagemeld {

// The program's one table of error numbers. The small ones are the classic run-time
// numbers, so the error handler's classes and boxes name them as users know them;
// the PDF engine's failures carry these same numbers.
namespace errcode {
inline constexpr std::int32_t kNone = 0;
inline constexpr std::int32_t kInvalidArgument = 5;
inline constexpr std::int32_t kOverflow = 6;
inline constexpr std::int32_t kOutOfMemory = 7;
inline constexpr std::int32_t kIndexOutOfRange = 9;
inline constexpr std::int32_t kDivisionByZero = 11;
inline constexpr std::int32_t kTypeMismatch = 13;
inline constexpr std::int32_t kBadFileName = 52;
inline constexpr std::int32_t kFileNotFound = 53;
inline constexpr std::int32_t kDeviceIoError = 57;
inline constexpr std::int32_t kDiskFull = 61;
inline constexpr std::int32_t kReadPastEnd = 62;
inline constexpr std::int32_t kTooManyFiles = 67;
inline constexpr std::int32_t kPermissionDenied = 70;
inline constexpr std::int32_t kPathFileAccess = 75;
inline constexpr std::int32_t kPathNotFound = 76;
inline constexpr std::int32_t kObjectNotSet = 91;
inline constexpr std::int32_t kInvalidFileFormat = 321;   // not a PDF, or damaged beyond repair
inline constexpr std::int32_t kNoSuchArrayElement = 340;  // a control index that does not exist
inline constexpr std::int32_t kInvalidPropertyValue =
    380;  // a size or choice a control cannot take
inline constexpr std::int32_t kInvalidGridRow = 30009;
inline constexpr std::int32_t kInvalidGridCol = 30010;
// Failures of external components arrive as large negative numbers.
inline constexpr std::int32_t kUnexpected = -2147467259;          // 0x80004005
inline constexpr std::int32_t kInternetOpenFailed = -2147220504;  // 0x800403E8
// The PDF engine's own failures.
inline constexpr std::int32_t kLibraryFailure = -2147220991;
inline constexpr std::int32_t kPasswordRequired = -2147220990;
inline constexpr std::int32_t kNoPages = -2147220988;  // the operation yields no pages
inline constexpr std::int32_t kNotPdf = -2147220987;   // the file has no PDF header
}  // namespace errcode

class RuntimeError : public std::runtime_error {
public:
    RuntimeError(std::int32_t code, const std::string& description, std::int32_t line = 0)
        : std::runtime_error(description), code_(code), line_(line) {}
    std::int32_t code() const { return code_; }
    std::int32_t line() const { return line_; }

private:
    std::int32_t code_;
    std::int32_t line_;
};

// Thrown by ExitProject once the user interface has been asked to quit: it unwinds
// every procedure still running, as ending the process would, and is caught only at
// the top of the event loop or of main().
struct ExitRequested {};

// The run-time error number for an operating-system error number (errno).
std::int32_t errorCodeFromErrno(int err);

// The errno of a failed access to `path`, told apart as a POSIX system does. Windows'
// C runtime reports a missing folder on the way (a path through a file among others)
// as ENOENT, like a missing file, and a folder standing at the name as EACCES, like a
// read-only file: there these become ENOTDIR and EISDIR. Elsewhere `err` as it is.
int pathErrno(int err, const std::filesystem::path& path);

// Turns whatever a procedure threw into a run-time error; ExitRequested is rethrown.
RuntimeError toRuntimeError(std::exception_ptr error);

}  // namespace pagemeld
