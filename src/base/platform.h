// Services the core asks of its surroundings. The Qt build implements them with
// real dialogs and the network; quiet batch requests use a console implementation;
// tests use fakes that answer from a script and record what was shown.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pagemeld {

// Message box styles and answers, numbered as the classic Windows message box
// numbers them, because callers combine and compare these numbers directly.
namespace msgbox {
inline constexpr int kOkOnly = 0;
inline constexpr int kOkCancel = 1;
inline constexpr int kAbortRetryIgnore = 2;
inline constexpr int kYesNoCancel = 3;
inline constexpr int kYesNo = 4;
inline constexpr int kRetryCancel = 5;
inline constexpr int kCritical = 16;
inline constexpr int kQuestion = 32;
inline constexpr int kExclamation = 48;
inline constexpr int kInformation = 64;
// The second button is the one Enter presses (No of Yes/No).
inline constexpr int kDefaultButton2 = 256;
inline constexpr int kButtonsMask = 0x0F;
inline constexpr int kIconMask = 0xF0;
inline constexpr int kDefaultButtonMask = 0xF00;

inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerCancel = 2;
inline constexpr int kAnswerAbort = 3;
inline constexpr int kAnswerRetry = 4;
inline constexpr int kAnswerIgnore = 5;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;
}  // namespace msgbox

// How an input box shows what is typed: a password as dots.
enum class InputEcho { Plain, Masked };

struct FileFilter {
    std::string description;  // "PDF files (*.pdf)"
    std::string pattern;      // "*.pdf"
};

class Ui {
public:
    virtual ~Ui() = default;
    // A modal box; `style` is buttons + icon; returns the answer number.
    virtual int messageBox(const std::string& text, const std::string& title, int style) = 0;
    // The typed text (OK with an empty box gives an empty text), or nothing when the
    // box was cancelled.
    virtual std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                                const std::string& defaultText, InputEcho echo) = 0;
    // Full paths in the order the dialog returns them; empty when cancelled. An empty
    // start folder leaves the choice to the dialog.
    virtual std::vector<std::string> openFileDialog(const std::vector<FileFilter>& filters,
                                                    bool multiple,
                                                    const std::string& startFolder) = 0;
    // The chosen path, or an empty text when cancelled. `start` is a folder, or the
    // full path of the name proposed in it.
    virtual std::string saveFileDialog(const std::string& title,
                                       const std::vector<FileFilter>& filters,
                                       const std::string& start) = 0;
    // A folder path without trailing separator (a root keeps its own), or empty.
    virtual std::string pickFolder(const std::string& title, const std::string& startFolder) = 0;
    // Opens a file or address with its associated program; false when nothing opened.
    virtual bool openWithAssociatedProgram(const std::string& path,
                                           const std::string& workingFolder) = 0;
    // Closes every window and ends the event loop.
    virtual void quit() = 0;
};

// Per-user settings; the Windows registry on Windows, a settings file elsewhere.
class Settings {
public:
    virtual ~Settings() = default;
    // The value as text, or nothing when the key or value is missing.
    virtual std::optional<std::string> read(const std::string& keyPath,
                                            const std::string& valueName) = 0;
    virtual bool write(const std::string& keyPath, const std::string& valueName,
                       const std::string& value) = 0;
};

enum class HttpResult {
    Ok,             // the body was written to the file
    CannotConnect,  // no answer, an error status or the time-out ran out
    InitFailed,     // the HTTP client itself could not be set up
};

class Http {
public:
    virtual ~Http() = default;
    // Fetches `url` and writes its body to `file`, giving up after `timeout`.
    virtual HttpResult fetchToFile(const std::string& url, const std::string& file,
                                   std::chrono::milliseconds timeout) = 0;
};

struct DateTime {
    int year = 0;    // 2026
    int month = 0;   // 1..12
    int day = 0;     // 1..31
    int hour = 0;    // 0..23
    int minute = 0;  // 0..59
    int second = 0;  // 0..59
};

class System {
public:
    virtual ~System() = default;
    // The folder of the running program, without trailing separator.
    virtual std::string programFolder() = 0;
    // The per-user data folder for files that cannot live beside the program.
    virtual std::string userDataFolder() = 0;
    // The temporary folder with a trailing separator, or empty.
    virtual std::string tempFolder() = 0;
    virtual std::optional<std::string> computerName() = 0;
    virtual std::optional<std::string> userName() = 0;
    // Local date and time.
    virtual DateTime now() = 0;
};

}  // namespace pagemeld
