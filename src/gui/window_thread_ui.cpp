#include "gui/window_thread_ui.h"

namespace pagemeld {

int WindowThreadUi::messageBox(const std::string& text, const std::string& title, int style) {
    return onWindowThread([&] { return inner_.messageBox(text, title, style); });
}

std::optional<std::string> WindowThreadUi::inputBox(const std::string& prompt,
                                                    const std::string& title,
                                                    const std::string& defaultText,
                                                    InputEcho echo) {
    return onWindowThread([&] { return inner_.inputBox(prompt, title, defaultText, echo); });
}

std::vector<std::string> WindowThreadUi::openFileDialog(const std::vector<FileFilter>& filters,
                                                        bool multiple,
                                                        const std::string& startFolder) {
    return onWindowThread([&] { return inner_.openFileDialog(filters, multiple, startFolder); });
}

std::string WindowThreadUi::saveFileDialog(const std::string& title,
                                           const std::vector<FileFilter>& filters,
                                           const std::string& startFolder) {
    return onWindowThread([&] { return inner_.saveFileDialog(title, filters, startFolder); });
}

std::string WindowThreadUi::pickFolder(const std::string& title, const std::string& startFolder) {
    return onWindowThread([&] { return inner_.pickFolder(title, startFolder); });
}

bool WindowThreadUi::openWithAssociatedProgram(const std::string& path,
                                               const std::string& workingFolder) {
    return onWindowThread([&] { return inner_.openWithAssociatedProgram(path, workingFolder); });
}

void WindowThreadUi::quit() {
    onWindowThread([&] { inner_.quit(); });
}

}  // namespace pagemeld
