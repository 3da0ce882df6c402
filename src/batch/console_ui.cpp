#include "batch/console_ui.h"

#include <ostream>
#include <string>

#include "base/product.h"

namespace pagemeld {

ConsoleUi::ConsoleUi(std::ostream& out) : out_(out) {}

namespace {

// Messages are built for a message box, with CR LF between their lines; the console
// stream ends a line as its platform does ('\n' becomes CR LF on Windows).
std::string consoleLines(std::string text) {
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
        text.erase(at, 1);
    }
    return text;
}

}  // namespace

int ConsoleUi::messageBox(const std::string& text, const std::string& title, int style) {
    if (beforeMessage_) beforeMessage_();
    out_ << (title.empty() ? std::string(kProductName) : title) << ": " << consoleLines(text)
         << '\n';
    out_.flush();
    switch (style & msgbox::kButtonsMask) {
        case msgbox::kAbortRetryIgnore:
            return msgbox::kAnswerIgnore;
        case msgbox::kYesNo:
        case msgbox::kYesNoCancel:
            return msgbox::kAnswerNo;
        case msgbox::kRetryCancel:
            return msgbox::kAnswerCancel;
        default:
            return msgbox::kAnswerOk;
    }
}

std::optional<std::string> ConsoleUi::inputBox(const std::string&, const std::string&,
                                               const std::string&, InputEcho) {
    return std::nullopt;
}

std::vector<std::string> ConsoleUi::openFileDialog(const std::vector<FileFilter>&, bool,
                                                   const std::string&) {
    return {};
}

std::string ConsoleUi::saveFileDialog(const std::string&, const std::vector<FileFilter>&,
                                      const std::string&) {
    return {};
}

std::string ConsoleUi::pickFolder(const std::string&, const std::string&) {
    return {};
}

bool ConsoleUi::openWithAssociatedProgram(const std::string&, const std::string&) {
    return false;
}

}  // namespace pagemeld
