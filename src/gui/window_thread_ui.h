// The Ui service for a program whose long runs work off the window's thread: a box
// or dialog asked for by a run is shown by the window's thread while the run
// waits for the answer. Called on the window's thread it simply passes the call on.
#pragma once

#include <functional>
#include <type_traits>

#include "base/platform.h"

namespace pagemeld {

class WindowThreadUi : public Ui {
public:
    // Runs a call on the window's thread and returns when it is done.
    using Marshal = std::function<void(const std::function<void()>&)>;

    explicit WindowThreadUi(Ui& inner) : inner_(inner) {}

    // Until set (by the window), calls go straight through.
    void setMarshal(Marshal marshal) { marshal_ = std::move(marshal); }

    int messageBox(const std::string& text, const std::string& title, int style) override;
    std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                        const std::string& defaultText, InputEcho echo) override;
    std::vector<std::string> openFileDialog(const std::vector<FileFilter>& filters, bool multiple,
                                            const std::string& startFolder) override;
    std::string saveFileDialog(const std::string& title, const std::vector<FileFilter>& filters,
                               const std::string& startFolder) override;
    std::string pickFolder(const std::string& title, const std::string& startFolder) override;
    bool openWithAssociatedProgram(const std::string& path,
                                   const std::string& workingFolder) override;
    void quit() override;

private:
    template <typename Call>
    auto onWindowThread(Call call) -> decltype(call()) {
        if (!marshal_) return call();
        if constexpr (std::is_void_v<decltype(call())>) {
            marshal_(call);
        } else {
            decltype(call()) result{};
            marshal_([&] { result = call(); });
            return result;
        }
    }

    Ui& inner_;
    Marshal marshal_;
};

}  // namespace pagemeld
