#include "support/fake_services.h"

#include <fstream>

namespace pagemeld::testing {

int FakeUi::messageBox(const std::string& text, const std::string& title, int style) {
    boxes.push_back({text, title, style});
    if (boxAnswers.empty()) return msgbox::kAnswerOk;
    int answer = boxAnswers.front();
    boxAnswers.pop_front();
    return answer;
}

std::string FakeUi::inputBox(const std::string& prompt, const std::string& title,
                             const std::string& defaultText) {
    inputs.push_back({prompt, title, defaultText});
    if (inputAnswers.empty()) return {};
    std::string answer = inputAnswers.front();
    inputAnswers.pop_front();
    return answer;
}

std::vector<std::string> FakeUi::openFileDialog(const std::vector<FileFilter>& filters, bool,
                                                const std::string& startFolder) {
    opens.push_back(filters);
    openStarts.push_back(startFolder);
    if (openAnswers.empty()) return {};
    auto answer = openAnswers.front();
    openAnswers.pop_front();
    return answer;
}

std::string FakeUi::saveFileDialog(const std::string& title, const std::vector<FileFilter>& filters,
                                   const std::string& startFolder) {
    saves.push_back({title, filters, startFolder});
    if (saveAnswers.empty()) return {};
    std::string answer = saveAnswers.front();
    saveAnswers.pop_front();
    return answer;
}

std::string FakeUi::pickFolder(const std::string& title, const std::string& startFolder) {
    folderTitles.push_back(title);
    folderStarts.push_back(startFolder);
    if (folderAnswers.empty()) return {};
    std::string answer = folderAnswers.front();
    folderAnswers.pop_front();
    return answer;
}

bool FakeUi::openWithAssociatedProgram(const std::string& path, const std::string&) {
    opened.push_back(path);
    return true;
}

std::vector<std::string> FakeUi::boxTexts() const {
    std::vector<std::string> texts;
    for (const auto& box : boxes) texts.push_back(box.text);
    return texts;
}

std::optional<std::string> FakeSettings::read(const std::string& keyPath,
                                              const std::string& valueName) {
    auto it = values.find(keyPath + "\\" + valueName);
    if (it == values.end()) return std::nullopt;
    return it->second;
}

bool FakeSettings::write(const std::string& keyPath, const std::string& valueName,
                         const std::string& value) {
    if (failWrites) return false;
    values[keyPath + "\\" + valueName] = value;
    return true;
}

HttpResult FakeHttp::fetchToFile(const std::string& url, const std::string& file,
                                 std::chrono::milliseconds) {
    requested.push_back(url);
    if (result == HttpResult::Ok) {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << body;
    }
    return result;
}

FakeSystem::FakeSystem(std::string programFolder) : program(std::move(programFolder)) {}

}  // namespace pagemeld::testing
