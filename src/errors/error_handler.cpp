#include "errors/error_handler.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <share.h>
#endif

#include "base/product.h"
#include "base/runtime_error.h"
#include "base/text_encoding.h"

namespace pagemeld {

namespace fs = std::filesystem;

namespace {

constexpr char kCrLf[] = "\r\n";
constexpr char kLogSuffix[] = "Error.Log";

// The classes, as lists of codes between vertical bars, tested in this order.
constexpr char kListAttentionResume[] = "|18|58|";
constexpr char kListAttentionResumeNext[] = "|3|5|6|9|10|11|13|14|17|35|49|59|63|335|";
constexpr char kListAttentionReturn[] = "|20|";
constexpr char kListWarning[] = "|7|16|28|47|48|51|67|70|92|93|94|";
constexpr char kListFile[] =
    "|52|53|54|55|57|61|62|64|68|71|74|75|76|298|320|321|322|325|735|31036|31037|";
constexpr char kListDatabase[] = "|3004|3021|3022|3024|3044|3058|3315|";
constexpr char kListPrinter[] = "|396|482|483|484|486|";
constexpr char kListObject[] = "|91|97|98|";

struct ClassBox {
    std::int32_t code;
    const char* text;
    int buttons;
};

constexpr int kAri = msgbox::kAbortRetryIgnore;
constexpr int kOc = msgbox::kOkCancel;
constexpr int kOk = msgbox::kOkOnly;

constexpr ClassBox kFileBoxes[] = {
    {52, "That filename is illegal.", kAri},
    {64, "That filename is illegal.", kAri},
    {53, "File not found!", kAri},
    {54, "Can't open your file for that type of access.", kOc},
    {55, "This file is already open.", kOk},
    {57, "Internal disk error.", kOk},
    {61, "Disk is full. Continue?", kAri},
    {62,
     "This file has a nonstandard end-of-file marker,\r\nor an attempt was made to read beyond "
     "the end-of-file marker.",
     kAri},
    {68, "That device appears unavailable.", kOc},
    {71, "Insert a disk in the drive and close the door.", kOc},
    {74, "Cannot rename with a different drive", kOc},
    {75, "Cannot access either Path or File.", kOc},
    {76, "That path doesn't exist", kOc},
    {298, "System DLL could not be loaded", kOc},
    {320, "Can't use character device names in specified file names", kOc},
    {321, "Invalid file format", kOc},
    {322, "Can't create necessary temporary file", kAri},
    {325, "Invalid format in resource file", kAri},
    {735, "Can't save file to TEMP directory", kAri},
    {31036, "Error saving to file", kOc},
    {31037, "Error loading from file", kOc},
};

constexpr ClassBox kPrinterBoxes[] = {
    {396, "Property cannot be set within a page", kOc},
    {482, "Printer Error", kAri},
    {483, "Printer driver does not support the property", kOc},
    {484, "Printer driver unavailable", kOc},
    {486, "Can't print form image to this type of printer", kOc},
};

template <std::size_t N>
const ClassBox* findBox(const ClassBox (&boxes)[N], std::int32_t code) {
    for (const auto& box : boxes) {
        if (box.code == code) return &box;
    }
    return nullptr;
}

// The lists hold digits only, so a plain substring test is the case-blind test.
bool listHolds(const char* list, const std::string& key) {
    return std::string_view(list).find(key) != std::string_view::npos;
}

std::int16_t outcomeForAnswer(int answer) {
    switch (answer) {
        case msgbox::kAnswerOk:
        case msgbox::kAnswerRetry:
            return outcome::kResume;
        case msgbox::kAnswerIgnore:
            return outcome::kResumeNext;
        default:
            // Abort, Cancel, or a box closed some other way: the user wants out.
            return outcome::kExitProject;
    }
}

std::string outcomeWord(std::int16_t outcomeCode) {
    switch (outcomeCode) {
        case outcome::kResume:
            return "Resume";
        case outcome::kResumeNext:
            return "Resume Next";
        case outcome::kReturn:
            return "On Error GoTo 0";
        case outcome::kExitProject:
            return "Exit Project";
        default:
            return std::to_string(outcomeCode);
    }
}

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
    std::string result;
    result.reserve(text.size());
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(from, start)) != std::string::npos;
         start = at + from.size()) {
        result.append(text, start, at - start);
        result += to;
    }
    result.append(text, start, std::string::npos);
    text.swap(result);
}

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    }
    return true;
}

// Title + exactly four characters (not bytes) + "Error.Log", case-blind.
bool isMonthlyLogName(std::string_view name) {
    const std::string_view title(kProductName);
    const std::string_view suffix(kLogSuffix);
    if (name.size() < title.size() + suffix.size()) return false;
    if (!equalsNoCase(name.substr(0, title.size()), title)) return false;
    if (!equalsNoCase(name.substr(name.size() - suffix.size()), suffix)) return false;
    return utf8Length(name.substr(title.size(), name.size() - title.size() - suffix.size())) == 4;
}

std::FILE* openForSharedAppend(const fs::path& file) {
#ifdef _WIN32
    // Shared: another copy of the program may be writing its own record right now.
    return _wfsopen(file.c_str(), L"ab", _SH_DENYNO);
#else
    // POSIX opens never lock other writers out.
    return std::fopen(file.c_str(), "ab");
#endif
}

std::error_code lastError() {
    return std::error_code(errno != 0 ? errno : EIO, std::generic_category());
}

// Deletes the monthly logs other than the three kept. Old logs are housekeeping:
// one that cannot be deleted now is tried again at the next record.
void pruneLogs(const fs::path& folder, const std::array<std::string, 3>& keep) {
    std::vector<fs::path> doomed;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        const std::string name = pathToUtf8(it->path().filename());
        if (!isMonthlyLogName(name)) continue;
        bool kept = false;
        for (const auto& keepName : keep) kept = kept || equalsNoCase(name, keepName);
        if (!kept) doomed.push_back(it->path());
    }
    for (const auto& file : doomed) {
        std::error_code removeError;
        fs::remove(file, removeError);
    }
}

// Appends the record to the month's log in `folder` and tidies that folder's old
// logs; returns the system error when the record could not be written.
std::error_code appendRecord(const std::string& folder, const std::array<std::string, 3>& keep,
                             const std::string& record) {
    if (folder.empty()) return std::make_error_code(std::errc::no_such_file_or_directory);
    const fs::path dir = pathFromUtf8(folder);
    errno = 0;
    std::FILE* file = openForSharedAppend(dir / pathFromUtf8(keep[0]));
    if (file == nullptr) return lastError();
    pruneLogs(dir, keep);
    errno = 0;
    std::error_code result;
    if (std::fwrite(record.data(), 1, record.size(), file) != record.size()) result = lastError();
    errno = 0;
    if (std::fclose(file) != 0 && !result) result = lastError();
    return result;
}

std::string twoDigits(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

std::string dateTimeText(const DateTime& t) {
    return twoDigits(t.month) + "/" + twoDigits(t.day) + "/" + twoDigits(t.year % 100) + " " +
           twoDigits(t.hour) + ":" + twoDigits(t.minute) + ":" + twoDigits(t.second);
}

// Keeps the depth count right however the writer is left.
class DepthGuard {
public:
    explicit DepthGuard(int& depth) : depth_(depth) { ++depth_; }
    ~DepthGuard() { --depth_; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

private:
    int& depth_;
};

}  // namespace

ErrorReporter::ErrorReporter(Ui& ui, System& system) : ui_(ui), system_(system) {}

std::string ErrorReporter::ComposeMessage(std::int32_t code, const std::string& description,
                                          std::int32_t line, const std::string& moduleName,
                                          const std::string& procedureName) {
    std::string message = "Error [ " + std::to_string(code) + " ]:  " + description + kCrLf +
                          kCrLf + "Location:  Procedure ( " + procedureName + " )" +
                          " - Module ( " + moduleName + " )";
    if (line != 0) message += std::string(kCrLf) + kCrLf + "Line number:  " + std::to_string(line);
    message += kCrLf;
    return message;
}

std::string ErrorReporter::LogFileName(int year, int month) {
    return std::string(kProductName) + twoDigits(((year % 100) + 100) % 100) + twoDigits(month) +
           kLogSuffix;
}

std::int16_t ErrorReporter::ErrorHandler(std::int32_t code, const std::string& description,
                                         std::int32_t line, const std::string& moduleName,
                                         const std::string& procedureName) {
    const std::string key = "|" + std::to_string(code) + "|";
    std::string message = ComposeMessage(code, description, line, moduleName, procedureName);

    // From here on a failure of the handler itself (a box that cannot be shown, the
    // log) is passed over; only the end of the program gets through.
    auto guarded = [](auto&& action) {
        try {
            action();
        } catch (const ExitRequested&) {
            throw;
        } catch (...) {
        }
    };
    auto plainBox = [&](const char* title, int style) {
        guarded([&] { ui_.messageBox(message, title, style); });
    };

    std::int16_t result = outcome::kUndecided;
    if (listHolds(kListAttentionResume, key)) {
        plainBox("Attention!", msgbox::kOkOnly + msgbox::kInformation);
        result = outcome::kResume;
    } else if (listHolds(kListAttentionResumeNext, key)) {
        plainBox("Attention!", msgbox::kOkOnly + msgbox::kExclamation);
        result = outcome::kResumeNext;
    } else if (listHolds(kListAttentionReturn, key)) {
        plainBox("Attention!", msgbox::kOkOnly + msgbox::kExclamation);
        result = outcome::kReturn;
    } else if (listHolds(kListWarning, key)) {
        plainBox("Warning!", msgbox::kOkOnly + msgbox::kCritical);
        result = outcome::kExitProject;
    } else if (listHolds(kListFile, key)) {
        guarded([&] { result = FileErrors(code); });
    } else if (listHolds(kListDatabase, key)) {
        guarded([&] { result = DatabaseErrors(code); });
    } else if (listHolds(kListPrinter, key)) {
        guarded([&] { result = PrinterErrors(code); });
    } else if (listHolds(kListObject, key)) {
        guarded([&] { result = ObjectErrors(code); });
    }

    if (result == outcome::kUndecided) {
        plainBox("Unexpected Error!", msgbox::kOkOnly + msgbox::kCritical);
        result = outcome::kExitProject;
    }
    ErrorOutcome = result;

    // A report about the log writer itself shows its box but is not logged: the
    // writer has just failed, and trying again would only report again.
    if (logDepth_ == 0) guarded([&] { WriteErrorToLog(message, result); });

    ErrorOutcome = result;
    return result;
}

std::int16_t ErrorReporter::FileErrors(std::int32_t code) {
    const ClassBox* box = findBox(kFileBoxes, code);
    if (box == nullptr) return outcome::kUndecided;  // not a file error: no box of ours
    const std::int16_t result = outcomeForAnswer(
        ui_.messageBox(box->text, "Disk Error", box->buttons + msgbox::kExclamation));
    if (result == outcome::kExitProject) ExitProject();
    return result;
}

std::int16_t ErrorReporter::PrinterErrors(std::int32_t code) {
    const ClassBox* box = findBox(kPrinterBoxes, code);
    if (box == nullptr) return outcome::kUndecided;
    const std::int16_t result = outcomeForAnswer(
        ui_.messageBox(box->text, "Printer Error", box->buttons + msgbox::kExclamation));
    if (result == outcome::kExitProject) ExitProject();
    return result;
}

std::int16_t ErrorReporter::DatabaseErrors(std::int32_t code) {
    switch (code) {
        case 3004:
        case 3024:
        case 3044:
            return outcome::kResume;
        case 3021:
            return outcome::kResumeNext;
        case 3022:
        case 3058:
        case 3315:
            return outcome::kReturn;
        default:
            return outcome::kUndecided;
    }
}

std::int16_t ErrorReporter::ObjectErrors(std::int32_t code) {
    switch (code) {
        case 91:
        case 97:
        case 98:
            return outcome::kExitProject;
        default:
            return outcome::kUndecided;
    }
}

void ErrorReporter::WriteErrorToLog(std::string& message, std::int16_t outcomeCode) {
    DepthGuard depth(logDepth_);
    const std::int16_t outerOutcome = ErrorOutcome;

    std::optional<RuntimeError> failure;
    try {
        replaceAll(message, "\r\n\r\n", kCrLf);
        replaceAll(message, "\r\n\r\n", kCrLf);
        if (message.size() >= 2 && message.compare(message.size() - 2, 2, kCrLf) == 0) {
            message.erase(message.size() - 2);
        }

        const DateTime now = system_.now();
        std::array<std::string, 3> keep;
        for (int k = 0; k < 3; ++k) {
            int month = now.month - k;
            int year = now.year;
            if (month < 1) {
                month += 12;
                year -= 1;
            }
            keep[k] = LogFileName(year, month);
        }

        const std::string record = message + std::string(20, ' ') +
                                   "Outcome: " + outcomeWord(outcomeCode) + kCrLf +
                                   "Date-Time: " + dateTimeText(now) + std::string(5, ' ') +
                                   "Workstation: " + GetWorkstation() + std::string(5, ' ') +
                                   "User: " + GetNetUser() + kCrLf + std::string(76, '-') + kCrLf;

        // The program folder is the log's home; an installation the user cannot
        // write to keeps its log in the user's data folder instead of losing it.
        const std::string programFolder = system_.programFolder();
        const std::error_code programError = appendRecord(programFolder, keep, record);
        if (programError) {
            const std::string userFolder = system_.userDataFolder();
            std::error_code userError = std::make_error_code(std::errc::no_such_file_or_directory);
            if (!userFolder.empty()) {
                std::error_code ignored;
                fs::create_directories(pathFromUtf8(userFolder), ignored);
                userError = appendRecord(userFolder, keep, record);
            }
            if (userError) {
                const int err = pathErrno(programError.value(),
                                          pathFromUtf8(programFolder) / pathFromUtf8(keep[0]));
                failure.emplace(errorCodeFromErrno(err),
                                "Cannot write the error log " + keep[0] + " in " + programFolder +
                                    " (" + programError.message() + ") nor in " + userFolder +
                                    " (" + userError.message() + ")");
            }
        }
    } catch (const ExitRequested&) {
        throw;
    } catch (...) {
        failure = toRuntimeError(std::current_exception());
    }

    if (failure) {
        try {
            ErrorHandler(failure->code(), failure->what(), failure->line(), "modErrorHandler",
                         "WriteErrorToLog");
        } catch (const ExitRequested&) {
            throw;
        } catch (...) {
        }
        // The failing procedure acts on its own error's outcome: a log that cannot be
        // written must not turn "skip the step" into the end of the program, nor the
        // reverse. Only an explicit Abort in the log failure's box ends the program.
        ErrorOutcome = outerOutcome;
    }
}

std::string ErrorReporter::GetWorkstation() {
    try {
        if (auto name = system_.computerName()) return name->substr(0, name->find('\0'));
    } catch (...) {
    }
    return "(Unknown)";
}

std::string ErrorReporter::GetNetUser() {
    try {
        if (auto name = system_.userName()) return name->substr(0, name->find('\0'));
    } catch (...) {
    }
    return {};
}

void ErrorReporter::ExitProject() {
    // The program ends even when closing the windows goes wrong.
    try {
        ui_.quit();
    } catch (...) {
    }
    throw ExitRequested{};
}

}  // namespace pagemeld
