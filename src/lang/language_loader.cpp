#include "lang/language_loader.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/registry.h"
#include "base/text_encoding.h"
#include "errors/trap.h"
#include "lang/ini_file.h"

namespace pagemeld {

namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

// The English texts, whatever language the catalogue holds now.
const Catalogue& englishDefaults() {
    static const Catalogue defaults;
    return defaults;
}

}  // namespace

LanguageLoader::LanguageLoader(LanguageWindow& window, Catalogue& catalogue, Settings& settings,
                               Ui& ui, System& system, ErrorReporter& errors)
    : window_(window),
      catalogue_(catalogue),
      settings_(settings),
      ui_(ui),
      system_(system),
      errors_(errors) {}

std::string LanguageLoader::languagesFolder() {
    return system_.programFolder() + kSeparator + "languages" + kSeparator;
}

std::vector<std::string> LanguageLoader::folderEntries(const std::string& folder) {
    namespace fs = std::filesystem;
    const fs::path path = pathFromUtf8(folder);
    // A program without a languages folder, or with one it may not list, simply
    // offers no languages and speaks English: no reason to stop the program.
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(path, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        names.push_back(pathToUtf8(it->path().filename()));
    }
    // The platform's listing order varies between file systems; sorted, the list
    // looks the same everywhere.
    std::sort(names.begin(), names.end());
    return names;
}

std::string LanguageLoader::savedLanguage() {
    std::string language;
    RegReadString(settings_, kHkeyCurrentUser, kSettingsKeyPath, kLanguageValue, language);
    return language.empty() ? std::string(kDefaultLanguage) : language;
}

void LanguageLoader::load_language(const std::string& fileName) {
    Trap trap(errors_, kFormName, "load_language");
    std::string path;
    KeyList keys;
    if (!trap.step([&] { path = languagesFolder() + fileName; })) return;
    if (!trap.step([&] { GetIniAppAllKeys(errors_, path, "MAIN", keys); })) return;

    std::vector<std::string> controls;
    if (!trap.step([&] { controls = window_.controlNames(); })) return;
    for (const std::string& name : controls) {
        const bool ok = trap.step([&] {
            if (FindKey(errors_, name, keys) == 0) return;
            // A key naming a control without a caption (a grid, a text box) is a
            // translator's slip, not a reason to stop: that control is left alone.
            window_.setCaption(name, GetIni(errors_, path, "MAIN", name, ""));
        });
        if (!ok) return;
    }

    const Catalogue& english = englishDefaults();
    for (const CatalogueEntry& entry : catalogueEntries()) {
        const bool ok = trap.step([&] {
            catalogue_.*entry.text =
                GetIni(errors_, path, entry.section, entry.key, english.*entry.text);
        });
        if (!ok) return;
    }

    trap.step([&] { window_.refresh_objects(); });
}

void LanguageLoader::load_languages() {
    Trap trap(errors_, kFormName, "load_languages");
    std::string folder;
    std::vector<std::string> entries;
    if (!trap.step([&] { folder = languagesFolder(); })) return;
    if (!trap.step([&] { entries = folderEntries(folder); })) return;
    if (!trap.step([&] { window_.clearLanguages(); })) return;

    // Every file or folder counts whatever its name, as long as it declares a
    // display name; a read-me or a sub-folder declares none.
    for (const std::string& entry : entries) {
        const bool ok = trap.step([&] {
            KeyList keys;
            GetIniAppAllKeys(errors_, folder + entry, "GENERAL", keys);
            if (FindKey(errors_, "Language", keys) == 0) return;
            window_.addLanguage(GetIni(errors_, folder + entry, "GENERAL", "Language", ""));
        });
        if (!ok) return;
    }

    std::string language;
    if (!trap.step([&] { language = savedLanguage(); })) return;

    bool matched = false;
    if (!trap.step([&] {
            const std::vector<std::string> listed = window_.languages();
            for (std::size_t i = 0; i < listed.size(); ++i) {
                if (listed[i] == language) {
                    window_.selectLanguage(static_cast<int>(i));
                    matched = true;
                }
            }
        }))
        return;

    if (!trap.step([&] {
            if (matched) return;
            // Without an entry for the saved language the third entry is shown; a
            // shorter list shows its first entry rather than failing.
            const std::size_t count = window_.languages().size();
            if (count >= 3) {
                window_.selectLanguage(2);
            } else if (count > 0) {
                window_.selectLanguage(0);
            }
        }))
        return;

    // The saved language is loaded even without a list entry: its file may be
    // missing, which leaves the captions as they are and the texts English.
    trap.step([&] { load_language(language + ".ini"); });
}

void LanguageLoader::cmb_languages_Click() {
    Trap trap(errors_, kFormName, "cmb_languages_Click");
    bool loaded = false;
    if (!trap.step([&] { loaded = window_.formLoaded(); })) return;
    // Selections made while the window loads are not the user's choice.
    if (!loaded) return;

    std::string entry;
    bool selected = false;
    if (!trap.step([&] {
            const std::vector<std::string> listed = window_.languages();
            const int index = window_.selectedLanguage();
            if (index >= 0 && static_cast<std::size_t>(index) < listed.size()) {
                entry = listed[static_cast<std::size_t>(index)];
                selected = true;
            }
        }))
        return;
    // Nothing selected: there is no choice to load or to save.
    if (!selected) return;

    if (entry == kAddYourLanguage) {
        if (!trap.step([&] {
                ui_.openWithAssociatedProgram(kLanguagePageAddress, system_.programFolder());
            }))
            return;
        trap.step([&] { window_.setLanguageText(savedLanguage()); });
        return;
    }

    if (!trap.step([&] { load_language(entry + ".ini"); })) return;
    trap.step([&] {
        RegWriteString(settings_, kHkeyCurrentUser, kSettingsKeyPath, kLanguageValue, entry);
    });
}

}  // namespace pagemeld
