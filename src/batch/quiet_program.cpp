#include "batch/quiet_program.h"

#include <iostream>

#include "app/form1.h"
#include "app/settings_store.h"
#include "app/system_info.h"
#include "batch/console_ui.h"
#include "batch/process_parametrii.h"
#include "errors/error_handler.h"
#include "errors/runtime_error.h"
#include "lang/language_loader.h"
#include "pdf/qpdf_engine.h"

namespace pagemeld {

int runQuietProgram(const std::string& commandLine) {
    SystemInfo system;
    SettingsStore settings;
    ConsoleUi ui(std::cerr);
    OfflineHttp http;
    ErrorReporter errors(ui, system);
    QpdfEngine pdf;
    Form1 form(ui, settings, http, system, pdf, errors);
    // Messages of the request come in the user's language, as in the window.
    LanguageLoader languages(form, form.catalogue, settings, ui, system, errors);
    form.load_languages = [&languages] { languages.load_languages(); };
    const NameCompleter complete = currentDirectoryCompleter();
    form.process_parametrii = [&form, &complete] { process_parametrii(form, complete); };
    try {
        form.Form_Load(commandLine);
    } catch (const ExitRequested&) {
        return form.state.exit_status;
    }
    // The request ended without its own exit: something stopped it on the way.
    return form.state.exit_status != 0 ? form.state.exit_status : 1;
}

}  // namespace pagemeld
