// Fills the window's language list from the language files beside the program,
// loads the chosen language into the window's captions and the text catalogue, and
// handles the user's choice of another language.
#pragma once

#include <string>
#include <vector>

#include "base/platform.h"
#include "lang/catalogue.h"
#include "lang/language_window.h"

namespace pagemeld {

class ErrorReporter;

class LanguageLoader {
public:
    // The list entry that opens the language-files page instead of loading a language.
    static constexpr const char* kAddYourLanguage = "Add your language";
    // The maker's page about language files.
    static constexpr const char* kLanguagePageAddress =
        "https://www.ombrix.com/pagemeld/languages/";
    // The language used when none has been chosen yet.
    static constexpr const char* kDefaultLanguage = "English";

    LanguageLoader(LanguageWindow& window, Catalogue& catalogue, Settings& settings, Ui& ui,
                   System& system, ErrorReporter& errors);

    // Fills the list with every language of the languages folder, selects the saved
    // language and loads it. With no list entry for the saved language the third
    // entry is selected, or the first when there are fewer than three; the saved
    // language's file is loaded all the same.
    void load_languages();

    // Loads `fileName` of the languages folder: the captions of the controls its
    // "MAIN" section names, then every catalogue text (English where the file has
    // none), then the window's tab captions and grid headers.
    void load_language(const std::string& fileName);

    // The language list's click: loads the selected language and saves the choice,
    // or, for "Add your language", opens the language-files page and shows the saved
    // language again. Does nothing until the window has finished loading.
    void cmb_languages_Click();

    // The program folder + "languages" with separators after both.
    std::string languagesFolder();

private:
    // The entry names of the languages folder, sorted; empty when it does not exist
    // or cannot be listed.
    std::vector<std::string> folderEntries(const std::string& folder);
    // The saved language, "English" when none is saved.
    std::string savedLanguage();

    LanguageWindow& window_;
    Catalogue& catalogue_;
    Settings& settings_;
    Ui& ui_;
    System& system_;
    ErrorReporter& errors_;
};

}  // namespace pagemeld
