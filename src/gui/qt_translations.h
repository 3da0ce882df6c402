// Qt's own texts - the standard buttons (Yes, No, Cancel, OK) and its dialogs - in
// the language the program shows, from Qt's translation files.
#pragma once

#include <QTranslator>
#include <memory>
#include <optional>
#include <string>

#include "base/platform.h"

namespace pagemeld {

class QtTranslations {
public:
    // The folder beside the program that holds Qt's translation files.
    static constexpr const char* kFolder = "translations";

    explicit QtTranslations(System& system);
    ~QtTranslations();
    QtTranslations(const QtTranslations&) = delete;
    QtTranslations& operator=(const QtTranslations&) = delete;

    // Shows Qt's texts in the language of `locale` ("de", "fr_CA"): its translation is
    // looked for in the "translations" folder beside the program, then where Qt keeps
    // its own. Without one Qt's texts stay English.
    void apply(const std::string& locale);

private:
    System& system_;
    std::optional<std::string> locale_;  // the one applied last
    std::unique_ptr<QTranslator> translator_;
};

}  // namespace pagemeld
