// Scripted stand-ins for the platform services: answers come from queues the test
// fills, and everything shown is recorded for the test to inspect.
#pragma once

#include <deque>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/platform.h"

namespace pagemeld::testing {

// The next scripted answer, or `none` when the script has run out.
template <class T>
T nextAnswer(std::deque<T>& script, T none = {}) {
    if (script.empty()) return none;
    T answer = std::move(script.front());
    script.pop_front();
    return answer;
}

struct ShownBox {
    std::string text;
    std::string title;
    int style = 0;
};

class FakeUi : public Ui {
public:
    int messageBox(const std::string& text, const std::string& title, int style) override {
        boxes.push_back({text, title, style});
        return nextAnswer(boxAnswers, int{msgbox::kAnswerOk});
    }
    std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                        const std::string& defaultText, InputEcho echo) override {
        inputs.push_back({prompt, title, defaultText, echo});
        return nextAnswer(inputAnswers);
    }
    std::vector<std::string> openFileDialog(const std::vector<FileFilter>&, bool,
                                            const std::string& startFolder) override {
        openStarts.push_back(startFolder);
        return nextAnswer(openAnswers);
    }
    std::string saveFileDialog(const std::string& title, const std::vector<FileFilter>& filters,
                               const std::string& startFolder) override {
        saves.push_back({title, filters, startFolder});
        return nextAnswer(saveAnswers);
    }
    std::string pickFolder(const std::string&, const std::string& startFolder) override {
        folderStarts.push_back(startFolder);
        return nextAnswer(folderAnswers);
    }
    bool openWithAssociatedProgram(const std::string& path, const std::string&) override {
        opened.push_back(path);
        return true;
    }
    void quit() override { ++quitCalls; }

    // Scripted answers, taken from the front; an empty queue answers OK / cancel.
    std::deque<int> boxAnswers;
    std::deque<std::optional<std::string>> inputAnswers;
    std::deque<std::vector<std::string>> openAnswers;
    std::deque<std::string> saveAnswers;
    std::deque<std::string> folderAnswers;

    // What was shown or asked.
    std::vector<ShownBox> boxes;
    struct InputAsked {
        std::string prompt;
        std::string title;
        std::string defaultText;
        InputEcho echo = InputEcho::Plain;
    };
    std::vector<InputAsked> inputs;
    struct SaveAsked {
        std::string title;
        std::vector<FileFilter> filters;
        std::string startFolder;
    };
    std::vector<SaveAsked> saves;
    std::vector<std::string> openStarts;  // the start folder of every open dialog
    std::vector<std::string> folderStarts;
    std::vector<std::string> opened;  // paths handed to openWithAssociatedProgram
    int quitCalls = 0;

    // Texts of every box shown, in order.
    std::vector<std::string> boxTexts() const {
        std::vector<std::string> texts;
        for (const auto& box : boxes) texts.push_back(box.text);
        return texts;
    }
};

class FakeSettings : public Settings {
public:
    std::optional<std::string> read(const std::string& keyPath,
                                    const std::string& valueName) override {
        const auto it = values.find(keyPath + "\\" + valueName);
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
    bool write(const std::string& keyPath, const std::string& valueName,
               const std::string& value) override {
        values[keyPath + "\\" + valueName] = value;
        return true;
    }
    std::map<std::string, std::string> values;  // keyPath + "\\" + valueName -> value
};

class FakeHttp : public Http {
public:
    HttpResult fetchToFile(const std::string& url, const std::string& file,
                           std::chrono::milliseconds) override {
        requested.push_back(url);
        if (result == HttpResult::Ok) std::ofstream(file, std::ios::binary) << body;
        return result;
    }
    HttpResult result = HttpResult::CannotConnect;
    std::string body;  // written to the file when result is Ok
    std::vector<std::string> requested;
};

class FakeSystem : public System {
public:
    explicit FakeSystem(std::string programFolder = {}) : program(std::move(programFolder)) {}
    std::string programFolder() override { return program; }
    std::string userDataFolder() override { return userData; }
    std::string tempFolder() override { return temp; }
    std::optional<std::string> computerName() override { return computer; }
    std::optional<std::string> userName() override { return user; }
    DateTime now() override { return clock; }

    std::string program;
    std::string userData;
    std::string temp;
    std::optional<std::string> computer = std::string("TESTBOX");
    std::optional<std::string> user = std::string("tester");
    DateTime clock{2026, 12, 5, 15, 12, 17};
};

}  // namespace pagemeld::testing
