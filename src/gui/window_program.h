// The window program's parts put together once, for main() and for the tests that
// drive the real window: the window model, its language loader (with Qt's own
// texts following the language) and the update check, with the model's hooks set
// to them.
#pragma once

#include <functional>

#include "app/form1.h"
#include "gui/qt_translations.h"
#include "lang/language_loader.h"

namespace pagemeld {

class WindowProgram {
public:
    WindowProgram(Ui& ui, Settings& settings, Http& http, System& system, PdfEngine& pdf,
                  ErrorReporter& errors);
    WindowProgram(const WindowProgram&) = delete;
    WindowProgram& operator=(const WindowProgram&) = delete;

    Form1 form;
    LanguageLoader languages;

private:
    QtTranslations qtTexts_;
    std::function<void()> updateTick_;
};

}  // namespace pagemeld
