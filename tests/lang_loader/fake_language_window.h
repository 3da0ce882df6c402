// A window for the language loader where no window model is wanted: named controls
// with or without a caption, and the language list.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "lang/catalogue.h"
#include "lang/language_window.h"

namespace pagemeld::testing {

class FakeLanguageWindow : public LanguageWindow {
public:
    explicit FakeLanguageWindow(const Catalogue&) {}

    std::vector<std::string> controlNames() const override {
        std::vector<std::string> names;
        for (const auto& [name, caption] : controls) names.push_back(name);
        return names;
    }
    bool setCaption(const std::string& controlName, const std::string& text) override {
        bool set = false;
        for (auto& [name, caption] : controls) {
            if (name == controlName && caption) {
                caption = text;
                set = true;
            }
        }
        return set;
    }
    void clearLanguages() override { list.clear(); }
    void addLanguage(const std::string& displayName) override { list.push_back(displayName); }
    std::vector<std::string> languages() const override { return list; }
    int selectedLanguage() const override { return selected; }
    void selectLanguage(int index) override {
        selected = index;
        shownText = list.at(static_cast<std::size_t>(index));
    }
    void setLanguageText(const std::string& text) override { shownText = text; }
    bool formLoaded() const override { return false; }
    void refresh_objects() override {}

    // The caption of the first control of that name; nothing for a caption-less one.
    std::optional<std::string> caption(const std::string& controlName) const {
        for (const auto& [name, caption] : controls) {
            if (name == controlName) return caption;
        }
        return std::nullopt;
    }

    std::vector<std::pair<std::string, std::optional<std::string>>> controls;
    std::vector<std::string> list;
    int selected = -1;
    std::string shownText;
};

}  // namespace pagemeld::testing
