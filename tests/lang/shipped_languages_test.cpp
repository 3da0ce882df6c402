// The language files as they ship: each is named after the language it declares, and
// each gives every text the program asks for (the catalogue's texts and the captions
// of the window's controls), with English giving exactly the built-in ones.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <utility>

#include "base/text_encoding.h"
#include "lang/catalogue.h"
#include "lang/ini_file.h"
#include "pdf/qpdf_engine.h"
#include "support/form_harness.h"

namespace pagemeld {
namespace {

namespace fs = std::filesystem;
using Key = std::pair<std::string, std::string>;  // section, key

class ShippedLanguagesTest : public ::testing::Test, public testing::FormHarness<QpdfEngine> {
protected:
    ShippedLanguagesTest() { ini::clearCache(); }
    void TearDown() override { EXPECT_TRUE(ui.boxes.empty()); }

    // Every text the program reads from a language file, with its built-in English:
    // the catalogue's texts and the captions of the window's controls. Captions that
    // no language changes (addresses, the program's name) are left out of English.ini
    // and so asked of no language.
    std::map<Key, std::string> textsAskedFor() {
        std::map<Key, std::string> texts;
        const Catalogue defaults;
        for (const auto& entry : catalogueEntries()) {
            texts[{entry.section, entry.key}] = defaults.*entry.text;
        }
        KeyList english;
        GetIniAppAllKeys(errors, PAGEMELD_LANGUAGES_DIR "/English.ini", "MAIN", english);
        for (const Control* control : std::as_const(form).controls()) {
            if (control->hasCaption() && FindKey(errors, control->name, english) != 0) {
                texts[{"MAIN", control->name}] = control->caption;
            }
        }
        return texts;
    }
};

TEST_F(ShippedLanguagesTest, EveryLanguageGivesEveryTextTheProgramAsksFor) {
    const std::map<Key, std::string> asked = textsAskedFor();
    int languages = 0;
    for (const auto& entry : fs::directory_iterator(PAGEMELD_LANGUAGES_DIR)) {
        const std::string name = pathToUtf8(entry.path().filename());
        const std::string file = pathToUtf8(entry.path());
        SCOPED_TRACE(name);
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>()};
        EXPECT_TRUE(isValidUtf8(bytes));
        // The loader opens a language by the name it declares.
        const std::string language = GetIni(errors, file, "GENERAL", "Language", "");
        ASSERT_EQ(language + ".ini", name);
        if (language == "Add your language") continue;  // the translators' empty form
        ++languages;

        // A key that names no control nor text is a slip that leaves a caption as it was.
        KeyList keys;
        GetIniAppAllKeys(errors, file, "MAIN", keys);
        for (const std::string& key : keys) EXPECT_EQ(asked.count({"MAIN", key}), 1u) << key;
        for (const auto& [key, english] : asked) {
            const std::string text = GetIni(errors, file, key.first, key.second, "");
            SCOPED_TRACE(key.first + " " + key.second);
            ASSERT_FALSE(text.empty());
            if (language == "English") {
                EXPECT_EQ(text, english);
            }
            // Values are cut at 254 characters; a text that long was cut.
            EXPECT_LT(utf8Length(text), ini::kValueBuffer - 1);
            // Messages are joined with names and numbers: the blanks must match.
            EXPECT_EQ(text.front() == ' ', english.front() == ' ');
            EXPECT_EQ(text.back() == ' ', english.back() == ' ');
        }
    }
    EXPECT_GE(languages, 3);
}

}  // namespace
}  // namespace pagemeld
