#include "batch/process_parametrii.h"

#include "app/form1.h"
#include "app/shared_routines.h"
#include "batch/quiet_requests.h"
#include "errors/error_handler.h"
#include "errors/trap.h"

namespace pagemeld {
namespace {

void showRefusal(Form1& form, const std::string& text) {
    MsgBoxEx(form.errors(), form.ui(), text, msgbox::kOkOnly);
}

// A quiet request: carried out without any window, then the program ends.
[[noreturn]] void runQuiet(Form1& form, const CommandLineRequest& request) {
    if (request.problem != RequestProblem::None || !request.output) {
        // Refused: no input, no output, an unclosed quote, too many names. A quiet
        // request never opens the window, so it says so and ends.
        const Catalogue& texts = form.catalogue;
        showRefusal(form, request.problem == RequestProblem::TooManyNames
                              ? texts.MsgErrCLMaxFiles1 + " " + std::to_string(kBatchFilesMax) +
                                    " " + texts.MsgErrCLMaxFiles2
                              : texts.MsgErrCL);
        form.state.exit_status = kExitRefused;
        form.errors().ExitProject();
    }
    form.state.batch_log = request.log ? 1 : 0;
    QuietRequestContext context{form.pdf(), form.state,    form.errors(),
                                form.ui(),  form.system(), form.catalogue};
    const bool done = request.kind == RequestKind::QuietSplit
                          ? process_quiet_split_line(context, request.inputs, *request.output)
                          : process_merge_line(context, request.inputs, *request.output);
    form.state.exit_status = done ? kExitDone : kExitIncomplete;
    form.errors().ExitProject();
}

void preloadSplit(Form1& form, const CommandLineRequest& request) {
    if (request.problem != RequestProblem::None || request.files.empty()) {
        showRefusal(form, form.catalogue.MsgErrCL);
        return;
    }
    const CompletedName& file = request.files.front();
    if (!file.exists) {
        showRefusal(form, form.catalogue.MsgErrCL2);
        return;
    }
    form.add_fisier_split(file.path);
}

void preloadMerge(Form1& form, const CommandLineRequest& request) {
    if (request.problem != RequestProblem::None) {
        showRefusal(form, form.catalogue.MsgErrCL);
        return;
    }
    for (const CompletedName& file : request.files) {
        if (!file.exists) {
            showRefusal(form, form.catalogue.MsgErrCL3 + " " + file.path + " does not exist!");
        } else {
            form.mbut_fisier_add(file.path);
        }
    }
    form.hide_frames();
    form.fraMerge.visible = true;
    form.tabOptions.selectedItem = 2;
}

}  // namespace

void process_parametrii(Form1& form, const NameCompleter& complete) {
    Trap trap(form.errors(), "Form1", "process_parametrii");
    trap.step([&] {
        const CommandLineRequest request =
            parseCommandLine(form.state.command_line, complete,
                             static_cast<std::size_t>(std::max(form.state.mgrid_max, 0)));
        switch (request.kind) {
            case RequestKind::None:
                return;
            case RequestKind::QuietSplit:
            case RequestKind::QuietMerge:
                runQuiet(form, request);
            case RequestKind::Split:
                preloadSplit(form, request);
                return;
            case RequestKind::Merge:
                preloadMerge(form, request);
                return;
            case RequestKind::Invalid:
                showRefusal(form, form.catalogue.MsgErrCL);
                form.state.exit_status = kExitRefused;
                return;
            case RequestKind::Help:
            case RequestKind::Version:
                // Answered by the program before any window model is made.
                return;
        }
    });
}

}  // namespace pagemeld
