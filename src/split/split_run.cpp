// The split as the window starts it: the split list's source with its password, the
// chosen method's numbers and the destination become a request; the run's result is
// told in the tab's words.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/form1.h"
#include "app/shared_routines.h"
#include "errors/trap.h"
#include "lang/failure_reason.h"
#include "lists/file_list_grid.h"
#include "lists/run_window.h"
#include "runs/document_information.h"
#include "runs/split_plan.h"
#include "runs/split_run.h"
#include "runs/split_size.h"

namespace pagemeld {

namespace {

constexpr int kSourceRow = 1;

// The request the split tab's controls make, once what was typed has been checked; the
// user is told what cannot be taken.
class SplitTab {
public:
    SplitTab(Form1& form, Trap& trap) : form_(form), text_(form.catalogue), trap_(trap) {}

    std::optional<SplitRequest> request();
    void report(const SplitRequest& request, const SplitResult& result,
                filelist::WindowRunReporter& bar);

private:
    void tell(const std::string& text, std::int32_t style) {
        MsgBoxEx(form_.errors(), form_.ui(), text, style);
    }
    void warn(const std::string& text) { tell(text, msgbox::kExclamation); }
    std::int32_t numberOf(const TextBox& box, const Control& field);
    void readMethod(SplitRequest& request);
    // The failure of a run that began, told; false when there was none.
    bool toldFailure(const SplitResult& result);

    Form1& form_;
    const Catalogue& text_;
    Trap& trap_;
    bool stop_ = false;
};

// A number box of the chosen method; a value that is no whole number of at least 1 is
// refused with the name of its field.
std::int32_t SplitTab::numberOf(const TextBox& box, const Control& field) {
    const std::optional<std::int32_t> value = wholeNumberField(box.text);
    if (!value && !stop_) {
        warn(text_.MsgErrSplitNumberField + " \"" + trimBlanks(field.caption) + "\"");
        stop_ = true;
    }
    return value.value_or(1);
}

// The method's numbers are checked before anything is opened or written: a size or step
// below 1 would never end the cutting.
void SplitTab::readMethod(SplitRequest& request) {
    Form1& f = form_;
    if (f.r_split_method1.value) {
        const std::int32_t size = numberOf(f.txt_split_meth1, f.r_split_method1);
        request.method = FixedPieces{size, 1, size};
    } else if (f.r_split_method3.value) {
        const std::int32_t size = numberOf(f.txt_split_meth3, f.r_split_method3);
        request.method = FixedPieces{size, numberOf(f.txt_split_meth3_s, f.Label14), size};
    } else if (f.r_split_method4.value) {
        const std::int32_t step = numberOf(f.txt_split_meth4, f.r_split_method4);
        request.method = FixedPieces{step, numberOf(f.txt_split_meth4_s, f.Label15), 1};
    } else if (f.r_split_method5.value) {
        request.method = BookmarkPieces{numberOf(f.txt_split_meth5, f.r_split_method5)};
    } else if (f.r_split_method6.value) {
        request.method =
            SizePieces{static_cast<std::uint64_t>(numberOf(f.txt_split_meth6, f.r_split_method6)) *
                       kBytesPerMegabyte};
    } else if (f.r_split_method2.value) {
        // Text the run cannot read is refused whole: cutting the rest would leave the
        // user believing every piece was written.
        const RangeTextReading reading = readRangeText(f.txt_split_range.text);
        if (reading.unclearItem) {
            warn(text_.MsgErrSplitRangeItem + " \"" + *reading.unclearItem + "\"");
            stop_ = true;
        } else if (!reading.namesPages) {
            warn(text_.MsgErrSplitRange);
            stop_ = true;
        }
        request.method = RangePieces{rangePieces(withFinalSemicolon(f.txt_split_range.text))};
    } else {
        // No method chosen: nothing to cut.
        request.method = RangePieces{};
    }
}

std::optional<SplitRequest> SplitTab::request() {
    SplitRequest request;
    Form1& f = form_;
    const bool went = trap_.run(
        {
            [&] {
                request.baseName = splitBaseName(f.txt_split_filename.text);
                request.source = filelist::inputOfRow(f.split_grid, kSourceRow);
                request.information = outputInformation();
                // A bar reset still pending from the last run must not empty this one's bar.
                f.tsplit_pb.enabled = false;
                f.splitpb.value = 0;
                if (f.repaint) f.repaint();
            },
            [&] {
                if (trimBlanks(f.split_grid.textMatrix(kSourceRow, filelist::kColNumber)) != "1") {
                    warn(text_.MsgSplitAddFile);
                    stop_ = true;
                }
            },
            [&] {
                request.destination = f.txt_split_dest.text;
                stop_ =
                    filelist::refusesOutputPlace(f, f.txt_split_filename.text, request.destination);
            },
            [&] { readMethod(request); },
        },
        [&] { return stop_; });
    if (!went || stop_) return std::nullopt;
    return request;
}

bool SplitTab::toldFailure(const SplitResult& result) {
    const std::string name = form_.split_grid.textMatrix(kSourceRow, filelist::kColName);
    const InputOutcome& source = result.inputs.front();
    switch (source.fate) {
        case InputFate::NotLoaded:
        case InputFate::NotPdfName:
            // Gone or damaged since it was listed.
            tell(text_.MsgErrPageNo + " " + std::to_string(source.failure.code), msgbox::kCritical);
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
    if (!result.clash.empty()) {
        warn(text_.MsgErrSplitOverSource + " " + result.clash);
        return true;
    }
    if (result.noBookmarksAtLevel) {
        warn(text_.MsgErrSplitNoBookmarks + " " + trimBlanks(form_.txt_split_meth5.text));
        return true;
    }
    if (result.outputFailure) {
        // A piece that cannot be written ends the run: the user must not be told it is done.
        tell(withFailureReason(text_, text_.MsgErrSplitSave + " " + result.outputFailure.file,
                               result.outputFailure.code),
             msgbox::kCritical);
        return true;
    }
    return result.replaceRefused;
}

void SplitTab::report(const SplitRequest& request, const SplitResult& result,
                      filelist::WindowRunReporter& bar) {
    Form1& f = form_;
    bool failed = false;
    trap_.run({
        [&] {
            // The range text is shown as it was cut, with its final ";".
            if (std::holds_alternative<RangePieces>(request.method) &&
                result.inputs.front().fate == InputFate::Used)
                f.txt_split_range.text = withFinalSemicolon(f.txt_split_range.text);
        },
        [&] { failed = toldFailure(result); },
    });
    // No page chosen lies in the document (a start or every range beyond its end).
    const bool nothingWritten = !failed && !result.cancelled && result.written.empty();
    trap_.run({
        [&] {
            if (failed || result.cancelled || nothingWritten) {
                // The failure has been told; the bar does not claim a finished run.
                bar.progress(0);
                return;
            }
            bar.finished(&f.tsplit_pb);
        },
        [&] {
            if (failed) return;
            if (result.cancelled)
                tell(text_.MsgRunCancelled + " " + std::to_string(result.written.size()),
                     msgbox::kInformation);
            else if (nothingWritten)
                warn(text_.MsgErrSplitNothingWritten + " " + std::to_string(result.pages));
            else if (!result.oversizePages.empty())
                tell(text_.MsgSplitOversizePages + " " + pageListText(result.oversizePages),
                     msgbox::kInformation);
            else if (result.bookmarksWithoutPage > 0)
                tell(text_.MsgSplitBookmarksSkipped + " " +
                         std::to_string(result.bookmarksWithoutPage),
                     msgbox::kInformation);
            else if (!result.pagesLeftOut)
                tell(text_.MsgSplitDone, msgbox::kInformation);
            else
                tell(text_.MsgErrSplitAboveMax1 + " " + std::to_string(result.limit) + " " +
                         text_.MsgErrSplitAboveMax2,
                     msgbox::kInformation);
        },
    });
}

}  // namespace

void Form1::cmd_split_run_Click() {
    Trap trap(errors_, kFormName, "cmd_split_run_Click");
    SplitTab tab(*this, trap);
    filelist::runFromTab(*this, splitpb, tab, trap, runSplit);
}

void Form1::tsplit_pb_Timer() {
    Trap trap(errors_, kFormName, "tsplit_pb_Timer");
    trap.step([&] { filelist::emptyBar(*this, splitpb, tsplit_pb); });
}

}  // namespace pagemeld
