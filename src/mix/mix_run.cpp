// The mix as the window starts it: the two documents with their passwords, the option
// rows of each and the destination become a request; the run's result is told in the
// tab's words.
#include <cstdint>
#include <optional>
#include <string>

#include "app/form1.h"
#include "app/shared_routines.h"
#include "errors/trap.h"
#include "lang/failure_reason.h"
#include "lists/file_list_grid.h"
#include "lists/run_window.h"
#include "runs/document_information.h"
#include "runs/mix_run.h"

namespace pagemeld {

namespace {

// The option rows of one document: by groups of pages, or page by page.
struct MixOptionRows {
    OptionButton& everyGroup;
    TextBox& groupBox;
    TextBox& groupStart;
    Label& groupLabel;
    OptionButton& each;
    TextBox& eachBox;
    TextBox& eachStart;
    Label& eachLabel;
    Frame& frame;
    CheckBox& backwards;
};

// The request the mix tab's controls make, once what was typed has been checked; the
// user is told what cannot be taken.
class MixTab {
public:
    MixTab(Form1& form, Trap& trap) : form_(form), text_(form.catalogue), trap_(trap) {}

    std::optional<MixRequest> request();
    void report(const MixRequest& request, const MixResult& result,
                filelist::WindowRunReporter& bar);

private:
    void tell(const std::string& text, std::int32_t style) {
        MsgBoxEx(form_.errors(), form_.ui(), text, style);
    }
    void warn(const std::string& text) { tell(text, msgbox::kExclamation); }
    std::optional<MixDocumentPlan> readPlan(const MixOptionRows& rows);
    // The failure of a run that began, told; false when there was none.
    bool toldFailure(const MixResult& result);

    Form1& form_;
    const Catalogue& text_;
    Trap& trap_;
    bool stop_ = false;
};

// The numbers of one document's option rows. A box that is used must hold a whole
// number of at least 1: a step below 1 would never end the passes. The user is told
// which box to correct. The start page comes from the chosen row: its start box is the
// one the user sees beside the chosen option.
std::optional<MixDocumentPlan> MixTab::readPlan(const MixOptionRows& rows) {
    const auto refuse = [&](const std::string& field) {
        warn(text_.MsgErrMixNumberField + " \"" + rows.frame.caption + "\" - \"" + field + "\"");
        return std::nullopt;
    };
    const bool byGroup = rows.everyGroup.value;
    const std::optional<std::int32_t> size =
        wholeNumberField(byGroup ? rows.groupBox.text : rows.eachBox.text);
    if (!size) return refuse(byGroup ? rows.everyGroup.caption : rows.each.caption);
    const std::optional<std::int32_t> start =
        wholeNumberField(byGroup ? rows.groupStart.text : rows.eachStart.text);
    if (!start)
        return refuse(byGroup ? rows.everyGroup.caption + " ... " + rows.groupLabel.caption
                              : rows.each.caption + " ... " + rows.eachLabel.caption);
    MixDocumentPlan plan = mixDocumentPlan(byGroup, *size, *size, *start);
    plan.backwards = rows.backwards.value == kChecked;
    return plan;
}

std::optional<MixRequest> MixTab::request() {
    MixRequest request;
    Form1& f = form_;
    const bool went =
        trap_.run({
                      [&] {
                          request.baseName = splitBaseName(f.txt_mix_filename.text);
                          request.destination = f.txt_mix_dest.text;
                          request.information = outputInformation();
                          // Every pass in one file, named as a merge names its output.
                          if (f.chk_mix_onefile.value == kChecked)
                              request.oneFile = request.destination + "output.pdf";
                          for (int d = 0; d < 2; ++d)
                              request.inputs[static_cast<std::size_t>(d)] =
                                  filelist::inputOfRow(f.mix_grid, d + 1);
                          f.mixpb.value = 0;
                          if (f.repaint) f.repaint();
                      },
                      [&] {
                          if (trimBlanks(f.mix_grid.textMatrix(2, filelist::kColNumber)) != "2") {
                              warn(text_.MsgErrMixAdd2files);
                              stop_ = true;
                          }
                      },
                      [&] {
                          stop_ = filelist::refusesOutputPlace(f, f.txt_mix_filename.text,
                                                               request.destination);
                      },
                      [&] {
                          const MixOptionRows rows[2] = {
                              {f.r_mix1_method1, f.r_mix1_method1_e1, f.r_mix1_method1_e2,
                               f.r_mix1_method1_lbl2, f.r_mix1_method2, f.r_mix1_method2_e1,
                               f.r_mix1_method2_e2, f.r_mix1_method2_lbl2, f.frm_mix_meth_doc1,
                               f.chk_mix1_backwards},
                              {f.r_mix2_method1, f.r_mix2_method1_e1, f.r_mix2_method1_e2,
                               f.r_mix2_method1_lbl2, f.r_mix2_method2, f.r_mix2_method2_e1,
                               f.r_mix2_method2_e2, f.r_mix2_method2_lbl2, f.frm_mix_meth_doc2,
                               f.chk_mix2_backwards},
                          };
                          for (std::size_t d = 0; d < 2 && !stop_; ++d) {
                              const std::optional<MixDocumentPlan> plan = readPlan(rows[d]);
                              stop_ = !plan;
                              if (plan) request.plans[d] = *plan;
                          }
                      },
                  },
                  [&] { return stop_; });
    if (!went || stop_) return std::nullopt;
    return request;
}

bool MixTab::toldFailure(const MixResult& result) {
    for (std::size_t d = 0; d < 2; ++d) {
        const InputOutcome& input = result.inputs[d];
        const int row = static_cast<int>(d) + 1;
        const std::string name = form_.mix_grid.textMatrix(row, filelist::kColName);
        switch (input.fate) {
            case InputFate::NotLoaded:
            case InputFate::NotPdfName:
                form_.ui().messageBox(
                    "Error loading file " + filelist::pathOfRow(form_.mix_grid, row), kProductName,
                    msgbox::kOkOnly);
                return true;
            case InputFate::NeedsPassword:
                warn(name + " " + text_.MsgErrDecryptAddPassw);
                return true;
            case InputFate::WrongPassword:
                warn("Password for " + name + " " + text_.MsgErrDecryptWrPassw);
                return true;
            default:
                break;
        }
    }
    if (result.startBeyond) {
        warn(text_.MsgErrMixStartBeyond + " " +
             form_.mix_grid.textMatrix(static_cast<int>(*result.startBeyond) + 1,
                                       filelist::kColName));
        return true;
    }
    if (!result.clash.empty()) {
        warn(text_.MsgErrMixSave + " " + result.clash);
        return true;
    }
    if (result.outputFailure) {
        warn(withFailureReason(text_, text_.MsgErrMixSave + " " + result.outputFailure.file,
                               result.outputFailure.code));
        return true;
    }
    return result.replaceRefused;
}

void MixTab::report(const MixRequest& /*request*/, const MixResult& result,
                    filelist::WindowRunReporter& bar) {
    Form1& f = form_;
    if (trap_.step([&] { stop_ = toldFailure(result); }) && stop_) {
        // The user has been told why; the bar empties and no "done" message follows.
        trap_.step([&] { bar.progress(0); });
        return;
    }
    if (result.cancelled) {
        trap_.run({
            [&] { bar.progress(0); },
            [&] {
                tell(text_.MsgRunCancelled + " " + std::to_string(result.written.size()),
                     msgbox::kInformation);
            },
        });
        return;
    }
    trap_.run({
        [&] { bar.finished(&f.tmix_pb); },
        [&] {
            // The final message names the first document's last page used.
            if (!result.pagesIgnored)
                tell(text_.MsgMixDone, msgbox::kInformation);
            else
                tell(text_.MsgErrMixAboveMax1 + " " + std::to_string(result.maxPage) + " " +
                         text_.MsgErrMixAboveMax2,
                     msgbox::kInformation);
        },
    });
}

}  // namespace

void Form1::cmd_mix_run_Click() {
    Trap trap(errors_, kFormName, "cmd_mix_run_Click");
    MixTab tab(*this, trap);
    filelist::runFromTab(*this, mixpb, tab, trap, runMix);
}

void Form1::tmix_pb_Timer() {
    Trap trap(errors_, kFormName, "tmix_pb_Timer");
    trap.step([&] { filelist::emptyBar(*this, mixpb, tmix_pb); });
}

}  // namespace pagemeld
