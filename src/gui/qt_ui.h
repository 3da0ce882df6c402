// The Ui service on Qt Widgets: message boxes, the input box, file and folder
// dialogs, opening files and addresses with the desktop's programs, and quitting.
#pragma once

#include <QPointer>
#include <QWidget>
#include <optional>
#include <string>
#include <vector>

#include "base/platform.h"

namespace pagemeld {

// The address an Internet shortcut (*.url) points at: the URL= line of its
// [InternetShortcut] section. Nothing when the file cannot be read or names no
// address.
std::optional<std::string> readInternetShortcut(const std::string& path);

// The dialog filter text Qt expects ("PDF files (*.pdf);;All files (*)") for the
// program's description and pattern pairs.
std::string qtDialogFilter(const std::vector<FileFilter>& filters);

// Whether an address may be handed to the browser: web and mail addresses only, so
// a shortcut cannot start a local program.
bool isBrowsableAddress(const std::string& address);

class QtUi : public Ui {
public:
    QtUi() = default;

    // Dialogs are owned by this window; without one they stand alone.
    void setParentWindow(QWidget* window) { parent_ = window; }

    int messageBox(const std::string& text, const std::string& title, int style) override;
    std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                        const std::string& defaultText, InputEcho echo) override;
    std::vector<std::string> openFileDialog(const std::vector<FileFilter>& filters, bool multiple,
                                            const std::string& startFolder) override;
    // Asks nothing before overwriting: the callers decide about existing files.
    std::string saveFileDialog(const std::string& title, const std::vector<FileFilter>& filters,
                               const std::string& startFolder) override;
    std::string pickFolder(const std::string& title, const std::string& startFolder) override;
    // An Internet shortcut opens its address in the browser; anything else opens
    // with the program the desktop associates with it.
    bool openWithAssociatedProgram(const std::string& path,
                                   const std::string& workingFolder) override;
    // Closes every window and ends the event loop.
    void quit() override;

private:
    // The active window when there is one, so a box stands over the dialog that
    // asked for it; else the main window.
    QWidget* owner() const;

    QPointer<QWidget> parent_;
    bool quitting_ = false;
};

}  // namespace pagemeld
