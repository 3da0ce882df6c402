#include "batch/quiet_program.h"

#include <cstdint>
#include <iostream>
#include <optional>
#include <sstream>
#include <vector>

#include "base/runtime_error.h"
#include "base/settings_store.h"
#include "base/system_info.h"
#include "batch/command_line.h"
#include "batch/console_ui.h"
#include "batch/exit_status.h"
#include "batch/list_files.h"
#include "batch/quiet_requests.h"
#include "batch/standard_streams.h"
#include "batch/terminal_progress.h"
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
    return exitCode(ExitStatus::Refused);
}

// The most names a request takes: those typed on a command line, or more from a list
// (a merge as many as the window's list holds, a split any number).
std::size_t mostNames(const ExpandedArguments& expanded, RequestKind kind) {
    if (!expanded.fromList) return kBatchFilesMax;
    return kind == RequestKind::QuietMerge ? kMergeRequestMax : SIZE_MAX;
}

int carryOut(const std::vector<std::string>& args, const QuietServices& services,
             ErrorReporter& errors) {
    Ui& ui = services.ui;
    // Messages of the request come in the user's language, as in the window.
    Catalogue texts;
    NoWindow noWindow;
    LanguageLoader(noWindow, texts, services.settings, ui, services.system, errors)
        .load_languages();

    std::istringstream noInput;
    const ExpandedArguments expanded =
        expandListFiles(args, services.standardInput ? *services.standardInput : noInput);
    if (!expanded.unreadableList.empty()) {
        return refuse(errors, ui, texts.MsgErrListFile + " " + expanded.unreadableList);
    }
    const std::string commandLine = joinArguments(expanded.args);
    const std::size_t most = mostNames(expanded, requestKind(commandLine));
    CommandLineRequest request;
    if (!Trap(errors, kFormName, "process_parametrii").step([&] {
            request =
                parseCommandLine(commandLine, currentDirectoryCompleter(), kMergeRequestMax, most);
        }))
        return exitCode(ExitStatus::NothingWritten);
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
                          ? texts.MsgErrCLMaxFiles1 + " " + std::to_string(most) + " " +
                                texts.MsgErrCLMaxFiles2
                          : texts.MsgErrCL);
    }
    QuietRequestContext context{services.pdf, request.log, errors, ui, services.system, texts};
    context.standardOutput = services.standardOutput;
    const bool oneFile = request.kind == RequestKind::QuietMerge ||
                         (request.kind == RequestKind::QuietMix && request.mixOneFile);
    if (oneFile && *request.output == kStandardOutputName && services.standardOutput) {
        // Standard output carries the PDF: the log goes with the messages.
        context.logStream = services.standardError;
    }
    if (services.progress && !expanded.progressOff) {
        services.progress->setWords(texts.MsgProgressFiles);
        context.progress = services.progress;
    }
    RequestOutcome outcome;
    if (request.kind == RequestKind::QuietSplit) {
        outcome = process_quiet_split_line(context, request.inputs, *request.output,
                                           {request.bookmarkLevel, request.maxMegabytes});
    } else if (request.kind == RequestKind::QuietMix) {
        outcome = process_quiet_mix_line(context, request);
    } else {
        outcome = process_merge_line(context, request.inputs, *request.output,
                                     {request.inputPages, request.bookmarkEach, request.blankOdd});
    }
    return exitCode(exitStatusOf(outcome));
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

int runQuietProgram(const std::vector<std::string>& args, const ProgramDescription& program,
                    std::ostream& out, std::ostream& messages, std::istream& in) {
    // Text that did not reach a full disk or a closed pipe was not given.
    const auto told = [&out] { return exitCode(exitStatusOf({out ? 1u : 0u, !out})); };
    switch (requestKind(joinArguments(args))) {
        case RequestKind::Help:
            out << usageText(program) << std::flush;
            return told();
        case RequestKind::Version:
            out << versionText() << std::endl;
            return told();
        case RequestKind::None:
            messages << usageText(program) << std::flush;
            return exitCode(ExitStatus::Refused);
        default:
            break;
    }

    // A script's timeout must not leave a half-written output's temporary file behind,
    // and a pipe closed by its reader is an error to report, not the end of the program.
    removeTemporaryFilesOnSignals();
    ignoreClosedPipes();
    SystemInfo system;
    SettingsStore settings;
    ConsoleUi ui(messages);
    QpdfEngine pdf;
    QuietServices services{ui, system, settings, pdf, &in, &out, &messages};
    std::optional<TerminalProgress> progress;
    if (&messages == &std::cerr && standardErrorIsTerminal()) {
        progress.emplace(messages);
        services.progress = &*progress;
        ui.setBeforeMessage([&progress] { progress->finish(); });
    }
    if (&out == &std::cout) useBinaryStandardOutput();
    const int status = runQuietRequest(args, services);
    // A request left half-way leaves no count behind on the terminal.
    if (progress) progress->finish();
    return status;
}

int runQuietRequest(const std::vector<std::string>& args, const QuietServices& services) {
    ErrorReporter errors(services.ui, services.system);
    try {
        return carryOut(args, services, errors);
    } catch (const ExitRequested&) {
        // The error handler ended the program on the way: the request was not done,
        // and what it wrote before is not known here.
        return exitCode(ExitStatus::PartlyDone);
    }
}

}  // namespace pagemeld
