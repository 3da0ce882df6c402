// What loading a language needs of the main window: its controls by name, the
// language list, and the re-application of the catalogue's captions. The window
// model implements it; tests use a small fake.
#pragma once

#include <string>
#include <vector>

namespace pagemeld {

class LanguageWindow {
public:
    virtual ~LanguageWindow() = default;

    // The names of the window's controls, in the window's control order. Members of
    // a control array appear once per member, with the same name.
    virtual std::vector<std::string> controlNames() const = 0;
    // Sets the caption of every control of that name. Returns false when the control
    // has no caption (a grid, a text box); the loader then leaves it alone.
    virtual bool setCaption(const std::string& controlName, const std::string& caption) = 0;

    // The drop-down language list.
    virtual void clearLanguages() = 0;
    virtual void addLanguage(const std::string& displayName) = 0;
    virtual std::vector<std::string> languages() const = 0;
    virtual int selectedLanguage() const = 0;  // index from 0, -1 for none
    virtual void selectLanguage(int index) = 0;
    // The text the list shows (set back after "Add your language").
    virtual void setLanguageText(const std::string& text) = 0;

    // True once the window has finished loading; the list's click acts only then.
    virtual bool formLoaded() const = 0;
    // Puts the catalogue's tab captions and grid headers on the window.
    virtual void refresh_objects() = 0;
};

}  // namespace pagemeld
