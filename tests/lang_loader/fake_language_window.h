// A window for the language loader: named controls with or without a caption, the
// language list, and a record of every selection and refresh.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "lang/catalogue.h"
#include "lang/language_window.h"

namespace pagemeld::testing {

class FakeLanguageWindow : public LanguageWindow {
public:
    struct Control {
        std::string name;
        std::optional<std::string> caption;  // nothing: a control without caption
    };

    explicit FakeLanguageWindow(const Catalogue& catalogue) : catalogue_(catalogue) {}

    std::vector<std::string> controlNames() const override {
        std::vector<std::string> names;
        for (const auto& control : controls) names.push_back(control.name);
        return names;
    }

    bool setCaption(const std::string& controlName, const std::string& caption) override {
        captionCalls.push_back(controlName);
        bool set = false;
        for (auto& control : controls) {
            if (control.name == controlName && control.caption) {
                control.caption = caption;
                set = true;
            }
        }
        return set;
    }

    void clearLanguages() override {
        list.clear();
        selected = -1;
    }
    void addLanguage(const std::string& displayName) override { list.push_back(displayName); }
    std::vector<std::string> languages() const override { return list; }
    int selectedLanguage() const override { return selected; }
    void selectLanguage(int index) override {
        selections.push_back(index);
        selected = index;
        shownText = list.at(static_cast<std::size_t>(index));
    }
    void setLanguageText(const std::string& text) override { shownText = text; }

    bool formLoaded() const override { return loaded; }
    void refresh_objects() override {
        if (failRefresh) {
            failRefresh();
            failRefresh = nullptr;
        }
        // What the tabs show is what the catalogue holds at this moment.
        refreshedTabs.push_back(catalogue_.tabsplit);
    }

    // The caption of the first control of that name; nothing for a caption-less one.
    std::optional<std::string> caption(const std::string& name) const {
        for (const auto& control : controls) {
            if (control.name == name) return control.caption;
        }
        return std::nullopt;
    }

    std::vector<Control> controls;
    std::vector<std::string> list;
    int selected = -1;
    std::string shownText;
    bool loaded = false;

    std::vector<std::string> captionCalls;
    std::vector<int> selections;
    std::vector<std::string> refreshedTabs;
    std::function<void()> failRefresh;  // run once by the next refresh

private:
    const Catalogue& catalogue_;
};

}  // namespace pagemeld::testing
