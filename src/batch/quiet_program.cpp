#include "batch/quiet_program.h"

#include <iostream>
#include <vector>

#include "base/runtime_error.h"
#include "base/settings_store.h"
#include "base/system_info.h"
#include "batch/command_line.h"
#include "batch/console_ui.h"
#include "batch/quiet_requests.h"
#include "errors/error_handler.h"
#include "errors/trap.h"
#include "errors/trapped_routines.h"
#include "lang/language_loader.h"
#include "pdf/atomic_file.h"
#include "pdf/qpdf_engine.h"

namespace pagemeld {

namespace {

// The languages without a window: only the catalogue of texts is loaded.
class NoWindow : public LanguageWindow {
public:
    std::vector<std::string> controlNames() const override { return {}; }
    bool setCaption(const std::string&, const std::string&) override { return false; }
    void clearLanguages() override { languages_.clear(); }
    void addLanguage(const std::string& displayName) override { languages_.push_back(displayName); }
    std::vector<std::string> languages() const override { return languages_; }
    int selectedLanguage() const override { return -1; }
    void selectLanguage(int) override {}
    void setLanguageText(const std::string&) override {}
    bool formLoaded() const override { return false; }
    void refresh_objects() override {}

private:
    std::vector<std::string> languages_;
};

// The refusal of a command line the program cannot carry out without its window.
int refuse(ErrorReporter& errors, Ui& ui, const std::string& text) {
    MsgBoxEx(errors, ui, text, msgbox::kOkOnly);
    return kExitRefused;
}

int carryOut(const std::string& commandLine, const QuietServices& services, ErrorReporter& errors) {
    Ui& ui = services.ui;
    // Messages of the request come in the user's language, as in the window.
    Catalogue texts;
    NoWindow noWindow;
    LanguageLoader(noWindow, texts, services.settings, ui, services.system, errors)
        .load_languages();

    CommandLineRequest request;
    if (!Trap(errors, kFormName, "process_parametrii").step([&] {
            request = parseCommandLine(commandLine, currentDirectoryCompleter());
        }))
        return kExitIncomplete;
    if (request.kind != RequestKind::QuietSplit && request.kind != RequestKind::QuietMerge &&
        request.kind != RequestKind::QuietMix) {
        // Preloading a list means nothing without the window that shows it.
        return refuse(errors, ui, texts.MsgErrCL);
    }
    if (request.problem != RequestProblem::None || !request.output) {
        // Refused: no input, no output, an unclosed quote, too many names.
        if (request.problem == RequestProblem::BadSplitSwitch)
            return refuse(errors, ui, texts.MsgErrCLSplitSwitch);
        return refuse(errors, ui,
                      request.problem == RequestProblem::TooManyNames
                          ? texts.MsgErrCLMaxFiles1 + " " + std::to_string(kBatchFilesMax) + " " +
                                texts.MsgErrCLMaxFiles2
                          : texts.MsgErrCL);
    }
    QuietRequestContext context{services.pdf, request.log, errors, ui, services.system, texts};
    bool done = false;
    if (request.kind == RequestKind::QuietSplit) {
        done = process_quiet_split_line(context, request.inputs, *request.output,
                                        {request.bookmarkLevel, request.maxMegabytes});
    } else if (request.kind == RequestKind::QuietMix) {
        done = process_quiet_mix_line(context, request);
    } else {
        done = process_merge_line(context, request.inputs, *request.output,
                                  {request.inputPages, request.bookmarkEach, request.blankOdd});
    }
    return done ? kExitDone : kExitIncomplete;
}

}  // namespace

bool answeredWithoutWindow(const std::string& commandLine, bool displayAvailable) {
    switch (requestKind(commandLine)) {
        case RequestKind::QuietSplit:
        case RequestKind::QuietMerge:
        case RequestKind::QuietMix:
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
    switch (requestKind(commandLine)) {
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
    QpdfEngine pdf;
    return runQuietRequest(commandLine, {ui, system, settings, pdf});
}

int runQuietRequest(const std::string& commandLine, const QuietServices& services) {
    ErrorReporter errors(services.ui, services.system);
    try {
        return carryOut(commandLine, services, errors);
    } catch (const ExitRequested&) {
        // The error handler ended the program on the way: the request was not done.
        return kExitIncomplete;
    }
}

}  // namespace pagemeld
