#include "batch/quiet_program.h"

#include <iostream>

#include "app/form1.h"
#include "app/settings_store.h"
#include "app/shared_routines.h"
#include "app/system_info.h"
#include "base/runtime_error.h"
#include "batch/command_line.h"
#include "batch/console_ui.h"
#include "batch/process_parametrii.h"
#include "errors/error_handler.h"
#include "lang/language_loader.h"
#include "pdf/atomic_file.h"
#include "pdf/qpdf_engine.h"

namespace pagemeld {

bool answeredWithoutWindow(const std::string& commandLine, bool displayAvailable) {
    switch (requestKind(commandLine)) {
        case RequestKind::QuietSplit:
        case RequestKind::QuietMerge:
        case RequestKind::Help:
        case RequestKind::Version:
            return true;
        default:
            // Without a display Qt would end the program with an abort: a request for
            // the window, or none at all, is refused as the console program refuses it.
            return !displayAvailable;
    }
}

int runQuietProgram(const std::string& commandLine, const ProgramDescription& program,
                    std::ostream& out, std::ostream& messages) {
    const RequestKind kind = requestKind(commandLine);
    switch (kind) {
        // Text that did not reach a full disk or a closed pipe was not given.
        case RequestKind::Help:
            out << usageText(program) << std::flush;
            return out ? kExitDone : kExitIncomplete;
        case RequestKind::Version:
            out << versionText() << std::endl;
            return out ? kExitDone : kExitIncomplete;
        case RequestKind::None:
            messages << usageText(program) << std::flush;
            return kExitRefused;
        default:
            break;
    }

    // A script's timeout must not leave a half-written output's temporary file behind.
    removeTemporaryFilesOnSignals();
    SystemInfo system;
    SettingsStore settings;
    ConsoleUi ui(messages);
    OfflineHttp http;
    ErrorReporter errors(ui, system);
    QpdfEngine pdf;
    Form1 form(ui, settings, http, system, pdf, errors);
    // Messages of the request come in the user's language, as in the window.
    LanguageLoader languages(form, form.catalogue, settings, ui, system, errors);
    form.load_languages = [&languages] { languages.load_languages(); };
    const NameCompleter complete = currentDirectoryCompleter();
    form.process_parametrii = [&form, &complete, kind] {
        if (kind == RequestKind::Split || kind == RequestKind::Merge) {
            // Preloading a list means nothing without the window that shows it.
            MsgBoxEx(form.errors(), form.ui(), form.catalogue.MsgErrCL, msgbox::kOkOnly);
            form.state.exit_status = kExitRefused;
            form.errors().ExitProject();
        }
        process_parametrii(form, complete);
    };
    try {
        form.Form_Load(commandLine);
    } catch (const ExitRequested&) {
        return form.state.exit_status;
    }
    // The request ended without its own exit: refused, or stopped on the way.
    return form.state.exit_status != 0 ? form.state.exit_status : kExitIncomplete;
}

}  // namespace pagemeld
