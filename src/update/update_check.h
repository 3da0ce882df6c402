// The once-per-run look for a newer version: fetch the maker's version file, find
// this program's entry in it and, when the version there differs from ours, offer
// the download page.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "base/platform.h"
#include "base/product.h"

namespace pagemeld {

class ErrorReporter;
class RuntimeError;
struct Catalogue;

// The program's own version as the version file writes it: major + "." + minor.
std::string OwnVersion();

// The first field of a version file's text: its first line up to the first comma,
// leading blanks skipped and surrounding double quotes removed.
std::string VersionFileFirstField(const std::string& content);

// The version that follows `productName` in `field` after one separator character:
// at most three characters, fewer when the field ends earlier; nothing when the
// product is not named in the field.
std::optional<std::string> VersionAfterProduct(const std::string& field,
                                               const std::string& productName);

class UpdateChecker {
public:
    static constexpr const char* kModule = "Module1";
    static constexpr const char* kVersionFileAddress =
        "https://www.ombrix.com/pagemeld/versionupdates.txt";
    static constexpr const char* kDownloadShortcut = "download.url";
    static constexpr const char* kTempFileName = "ombrixpagemeld.tmp";
    static constexpr const char* kInternetOpenFailed =
        "An error occurred calling InternetOpen function";
    // A server that never answers must not freeze the window for long.
    static constexpr std::chrono::seconds kFetchTimeout{10};

    UpdateChecker(Ui& ui, Settings& settings, Http& http, System& system, ErrorReporter& errors,
                  const Catalogue& texts);

    // The timer's tick: one check under the program's name, settings key and
    // temporary file. The owner disables its timer around the call.
    void updatetimer_tick();

    // Fetches the version file into the temporary folder and offers the download
    // when the version named for `productName` differs from ours. Yes opens the
    // download shortcut beside the program, Cancel switches the check off for good,
    // No does nothing. Off ("updatecheck" = "0") it touches nothing.
    void check_for_updates(const std::string& productName, const std::string& registryKey,
                           const std::string& tempFileName);

    // The temporary folder with its trailing separator, or an empty text.
    std::string GetTmpPath();

    // Copies what `address` delivers into `file`. When nothing could be fetched,
    // update_failed is set; problems are told to the user, and the procedure always
    // returns to its caller.
    void CopyURLToFile(const std::string& address, const std::string& file);

    // True when the last check could not fetch the version file.
    bool update_failed = false;

    // Points the check at another server; for tests only.
    void setVersionFileAddressForTesting(std::string address) {
        versionFileAddress_ = std::move(address);
    }

private:
    // Hands a failure to the error handler and returns its outcome. An outcome that
    // would end the program only ends the check: a look for updates in the
    // background must not close the user's work. (A class box that the user answers
    // with Abort still ends the program, as everywhere.)
    std::int16_t report(const RuntimeError& error, const std::string& procedure);

    // The first field of the fetched version file; throws when it cannot be read.
    std::string readFirstField(const std::string& path);

    Ui& ui_;
    Settings& settings_;
    Http& http_;
    System& system_;
    ErrorReporter& errors_;
    const Catalogue& texts_;
    std::string versionFileAddress_ = kVersionFileAddress;
};

}  // namespace pagemeld
