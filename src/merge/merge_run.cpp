// The merge as the window starts it: the list's files with their passwords and the
// output name become a request; the run's result is told in the list's words.
#include <algorithm>
#include <string>
#include <vector>

#include "app/form1.h"
#include "app/shared_routines.h"
#include "errors/trap.h"
#include "lang/failure_reason.h"
#include "lists/file_list_grid.h"
#include "lists/run_window.h"
#include "runs/merge_run.h"

namespace pagemeld {

namespace {

// The bar starts empty in the working colour once the request's checks have passed.
class MergeReporter : public filelist::WindowRunReporter {
public:
    explicit MergeReporter(Form1& form) : WindowRunReporter(form, form.mergepb) {}
    void started() override {
        WindowRunReporter::started();
        progress(0);
    }
};

// Why files were left out, one line each, told together in the run's last box.
std::vector<std::string> whatFailed(const Form1& form, const MergeRequest& request,
                                    const MergeResult& result) {
    const Catalogue& text = form.catalogue;
    const auto nameOf = [&](std::size_t i) {
        return form.merge_grid.textMatrix(static_cast<int>(i) + 1, filelist::kColName);
    };
    std::vector<std::string> lines;
    // The files the merge took in hand: those not left out for their password.
    std::vector<std::size_t> handed;
    for (std::size_t i = 0; i < result.inputs.size(); ++i) {
        switch (result.inputs[i].fate) {
            case InputFate::NeedsPassword:
                lines.push_back(nameOf(i) + " " + text.MsgErrDecryptAddPassw);
                break;
            case InputFate::WrongPassword:
                lines.push_back("Password for " + nameOf(i) + " " + text.MsgErrDecryptWrPassw);
                break;
            case InputFate::NotLoaded:
                // Still handed on: the merge leaves it out and says so.
                lines.push_back("Error loading file " + request.inputs[i].path);
                handed.push_back(i);
                break;
            default:
                handed.push_back(i);
        }
    }
    // The output itself could not be written (an empty name included): say so rather
    // than blame an input.
    if (result.outputFailure) {
        lines.push_back(withFailureReason(text, text.MsgErrMergeSave + " " + request.output,
                                          result.outputFailure.code));
        return lines;
    }
    // Name the first handed file the merge could not take.
    const auto at = std::find_if(handed.begin(), handed.end(), [&](std::size_t i) {
        return result.inputs[i].fate != InputFate::Used;
    });
    if (at == handed.begin() && handed.size() >= 2)
        lines.push_back(nameOf(handed[0]) + "OR" + nameOf(handed[1]) + " " + text.MsgErrMerge);
    else if (at != handed.end())
        lines.push_back(nameOf(*at) + " " + text.MsgErrMerge);
    if (!result.written.empty()) lines.push_back(text.MsgMergeWrittenTo + " " + request.output);
    return lines;
}

void report(Form1& form, Trap& trap, filelist::WindowRunReporter& bar, const MergeRequest& request,
            const MergeResult& result) {
    const Catalogue& text = form.catalogue;
    const auto tell = [&](const std::string& message, std::int32_t style) {
        MsgBoxEx(form.errors(), form.ui(), message, style);
    };
    if (result.refusal != MergeRefusal::None) {
        trap.step([&] {
            if (result.refusal == MergeRefusal::UnclearPages) {
                // Refused when typed; a list preloaded otherwise is still checked here.
                tell(text.MsgErrPageChoice + " " + result.unclearItem + " - " +
                         request.inputs[result.unclearInput].path,
                     msgbox::kExclamation);
                return;
            }
            tell(result.refusal == MergeRefusal::OutputExists ? text.MsgOutputFileExists
                                                              : text.MsgErrAdd2files,
                 msgbox::kExclamation);
        });
        return;
    }
    if (result.cancelled) {
        trap.run({
            [&] { bar.progress(0); },
            [&] { tell(text.MsgMergeCancelled, msgbox::kInformation); },
        });
        return;
    }
    trap.run({
        [&] { bar.finished(nullptr); },
        [&] {
            if (result.complete()) {
                tell(text.MsgMergeDone, msgbox::kInformation);
                // The bar empties half a second after the box was closed.
                form.tmerge_pb.interval = kBarTimerInterval;
                form.tmerge_pb.enabled = true;
                return;
            }
            // One box for the run; its first line is the one scripts look for.
            std::string message = "Merge process failed!";
            for (const std::string& line : whatFailed(form, request, result))
                message += "\n" + line;
            tell(message, msgbox::kExclamation);
        },
    });
}

}  // namespace

void Form1::cmd_merge_Click() {
    Trap trap(errors_, kFormName, "cmd_merge_Click");
    MergeRequest request;
    if (!trap.step([&] {
            request.output = moutput_file.text;
            request.existing =
                chk_merge_ovr.value == kChecked ? ExistingFiles::Replace : ExistingFiles::Refuse;
            for (int i = 1; i <= state.mgrid_count; ++i) {
                InputFile input = filelist::inputOfRow(merge_grid, i);
                input.pages = merge_grid.textMatrix(i, filelist::kColChosenPages);
                request.inputs.push_back(input);
            }
            request.bookmarkEach = chk_merge_bookmarks.value == kChecked;
            request.blankAfterOdd = chk_merge_blank.value == kChecked;
        }))
        return;
    MergeReporter reporter(*this);
    const MergeResult result = runMerge(request, pdf_, reporter, trap);
    if (!result.left) report(*this, trap, reporter, request, result);
}

void Form1::tmerge_pb_Timer() {
    Trap trap(errors_, kFormName, "tmerge_pb_Timer");
    trap.step([&] { filelist::emptyBar(*this, mergepb, tmerge_pb); });
}

}  // namespace pagemeld
