#include "update/update_check.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "app/shared_routines.h"
#include "base/product.h"
#include "base/registry.h"
#include "base/runtime_error.h"
#include "base/system_info.h"
#include "base/text_encoding.h"
#include "errors/error_handler.h"
#include "errors/trap.h"
#include "lang/catalogue.h"

namespace pagemeld {

namespace {

constexpr char kCrLf[] = "\r\n";

// A version entry is a few dozen characters; a first field longer than this is no
// version file, and reading on would only fill memory with it.
constexpr std::size_t kMaxFieldBytes = 64 * 1024;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Bytes taken by the UTF-8 character that starts at `at`.
std::size_t utf8CharLength(std::string_view text, std::size_t at) {
    std::size_t end = at + 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
    return end - at;
}

// Runs `body`; a failure comes back as the run-time error it stands for. The end of
// the program is never held up.
template <typename Body>
std::optional<RuntimeError> attempt(Body&& body) {
    try {
        body();
        return std::nullopt;
    } catch (const ExitRequested&) {
        throw;
    } catch (...) {
        return toRuntimeError(std::current_exception());
    }
}

}  // namespace

std::string OwnVersion() {
    return std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor);
}

std::string VersionFileFirstField(const std::string& content) {
    const std::size_t end = content.find_first_of(",\r\n");
    std::string_view field(content.data(), end == std::string::npos ? content.size() : end);
    while (!field.empty() && isBlank(field.front())) field.remove_prefix(1);
    if (!field.empty() && field.front() == '"') {
        // A quoted field ends at its closing quote; blanks after it do not count.
        field.remove_prefix(1);
        field = field.substr(0, field.find('"'));
    } else if (!field.empty() && field.back() == '"') {
        field.remove_suffix(1);
    }
    return std::string(field);
}

std::optional<std::string> VersionAfterProduct(const std::string& field,
                                               const std::string& productName) {
    const std::size_t at = field.find(productName);
    if (at == std::string::npos) return std::nullopt;
    std::size_t start = at + productName.size();
    // One separator (normally a blank) stands between the name and the version.
    if (start < field.size()) start += utf8CharLength(field, start);
    return utf8Left(std::string_view(field).substr(start), 3);
}

UpdateChecker::UpdateChecker(Ui& ui, Settings& settings, Http& http, System& system,
                             ErrorReporter& errors, const Catalogue& texts)
    : ui_(ui), settings_(settings), http_(http), system_(system), errors_(errors), texts_(texts) {}

void UpdateChecker::updatetimer_tick() {
    check_for_updates(kProductName, kSettingsKeyPath, kTempFileName);
}

std::int16_t UpdateChecker::report(const RuntimeError& error, const std::string& procedure) {
    return errors_.ErrorHandler(error.code(), error.what(), error.line(), kModule, procedure);
}

std::string UpdateChecker::GetTmpPath() {
    std::string folder;
    if (auto failure = attempt([&] { folder = system_.tempFolder(); })) {
        report(*failure, "GetTmpPath");
        return {};
    }
    return folder;
}

void UpdateChecker::CopyURLToFile(const std::string& address, const std::string& file) {
    if (address.empty() || file.empty()) {
        // Nothing can be fetched or stored: going on would only fail again further on.
        update_failed = true;
        report(RuntimeError(errcode::kInvalidArgument, "Invalid procedure call or argument"),
               "CopyURLToFile");
        return;
    }

    for (int repeats = 0;; ++repeats) {
        bool failed = false;
        auto failure = attempt([&] {
            // A file left from an earlier check must never pass for this one's answer.
            std::error_code ignored;
            std::filesystem::remove(pathFromUtf8(file), ignored);

            switch (http_.fetchToFile(address, file, kFetchTimeout)) {
                case HttpResult::Ok:
                    return;
                case HttpResult::CannotConnect:
                    failed = true;
                    ui_.messageBox(texts_.MsgUpdateNoConnection, kProductName,
                                   msgbox::kOkOnly + msgbox::kInformation);
                    return;
                case HttpResult::InitFailed:
                    failed = true;
                    throw RuntimeError(errcode::kInternetOpenFailed, kInternetOpenFailed);
            }
        });
        if (failed || failure) update_failed = true;
        if (!failure) return;

        // Only a repeat goes on; skipping the fetch, leaving, and even the outcome
        // that ends the program elsewhere, all just return here.
        if (report(*failure, "CopyURLToFile") != outcome::kResume) return;
        if (repeats >= Trap::kMaxRepeats) return;
        update_failed = false;
    }
}

std::string UpdateChecker::readFirstField(const std::string& path) {
    std::ifstream in(pathFromUtf8(path), std::ios::binary);
    if (!in) throw RuntimeError(errcode::kFileNotFound, "File not found");

    std::string line;
    char c;
    bool any = false;
    while (line.size() < kMaxFieldBytes && in.get(c)) {
        any = true;
        if (c == ',' || c == '\r' || c == '\n') break;
        line += c;
    }
    if (in.bad()) throw RuntimeError(errcode::kDeviceIoError, "Device I/O error");
    if (!any) throw RuntimeError(errcode::kReadPastEnd, "Input past end of file");
    return VersionFileFirstField(line);
}

void UpdateChecker::check_for_updates(const std::string& productName,
                                      const std::string& registryKey,
                                      const std::string& tempFileName) {
    const std::string tempPath = GetTmpPath() + tempFileName;
    update_failed = false;

    std::string switchValue;
    RegReadString(settings_, kHkeyCurrentUser, registryKey, kUpdateCheckValue, switchValue);
    if (switchValue == kUpdateCheckOff) return;

    CopyURLToFile(versionFileAddress_, tempPath);
    if (update_failed) return;

    auto failure = attempt([&] {
        const auto version = VersionAfterProduct(readFirstField(tempPath), productName);
        if (!version || *version == OwnVersion()) return;

        const std::string offer = texts_.MsgNewVersion1 + " " + *version + " " +
                                  texts_.MsgNewVersion2 + kCrLf + texts_.MsgNewVersion3;
        switch (MsgBoxEx(errors_, ui_, offer, msgbox::kYesNoCancel)) {
            case msgbox::kAnswerYes: {
                const std::string folder = system_.programFolder();
                ui_.openWithAssociatedProgram(folder + kPathSeparator + kDownloadShortcut, folder);
                break;
            }
            case msgbox::kAnswerCancel:
                RegWriteString(settings_, kHkeyCurrentUser, registryKey, kUpdateCheckValue,
                               kUpdateCheckOff);
                break;
            default:
                break;
        }
    });
    // Whatever the answer to the report, there is nothing left to check with.
    if (failure) report(*failure, "check_for_updates");
}

}  // namespace pagemeld
