// The user interface of a quiet request: no window and nobody to answer. A message
// goes to standard error, and a question gets the answer that lets the request go
// on without harm.
#pragma once

#include <functional>
#include <iosfwd>
#include <utility>

#include "base/platform.h"

namespace pagemeld {

class ConsoleUi : public Ui {
public:
    explicit ConsoleUi(std::ostream& out);

    // Prints "title: text"; answers OK, Ignore (skip the failed step), No or Cancel,
    // whichever the buttons offer first in that order.
    int messageBox(const std::string& text, const std::string& title, int style) override;
    // Nobody can type an answer: the box counts as cancelled.
    std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                        const std::string& defaultText, InputEcho echo) override;
    std::vector<std::string> openFileDialog(const std::vector<FileFilter>& filters, bool multiple,
                                            const std::string& startFolder) override;
    std::string saveFileDialog(const std::string& title, const std::vector<FileFilter>& filters,
                               const std::string& startFolder) override;
    std::string pickFolder(const std::string& title, const std::string& startFolder) override;
    bool openWithAssociatedProgram(const std::string& path,
                                   const std::string& workingFolder) override;
    void quit() override { quitRequested_ = true; }
    // Called before each message is printed: a progress line makes room for it.
    void setBeforeMessage(std::function<void()> call) { beforeMessage_ = std::move(call); }

    bool quitRequested() const { return quitRequested_; }

private:
    std::ostream& out_;
    bool quitRequested_ = false;
    std::function<void()> beforeMessage_;
};

}  // namespace pagemeld
