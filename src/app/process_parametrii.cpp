// The command line as the window carries it out: "-s" and "-m" preload a list before
// the window opens; a line it cannot read is refused with a message, and the window
// opens all the same.
#include "app/form1.h"
#include "app/shared_routines.h"
#include "errors/trap.h"

namespace pagemeld {
namespace {

void showRefusal(Form1& form, const std::string& text) {
    MsgBoxEx(form.errors(), form.ui(), text, msgbox::kOkOnly);
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

void Form1::process_parametrii() {
    Trap trap(errors_, kFormName, "process_parametrii");
    trap.step([&] {
        const CommandLineRequest request =
            parseCommandLine(state.command_line, completeName,
                             static_cast<std::size_t>(std::max(state.mgrid_max, 0)));
        switch (request.kind) {
            case RequestKind::Split:
                preloadSplit(*this, request);
                return;
            case RequestKind::Merge:
                preloadMerge(*this, request);
                return;
            case RequestKind::Invalid:
                showRefusal(*this, catalogue.MsgErrCL);
                return;
            case RequestKind::None:
            case RequestKind::QuietSplit:
            case RequestKind::QuietMerge:
            case RequestKind::QuietMix:
            case RequestKind::Help:
            case RequestKind::Version:
                // Carried out by the program before any window is made.
                return;
        }
    });
}

}  // namespace pagemeld
