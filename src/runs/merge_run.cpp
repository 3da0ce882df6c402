#include "runs/merge_run.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>

#include "base/file_names.h"
#include "base/file_system.h"
#include "base/text_encoding.h"
#include "errors/trap.h"
#include "runs/document_information.h"
#include "runs/page_choice.h"

namespace pagemeld {

namespace {

bool normalFileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(fileStatus(path, ec));
}

// One merge: its phases in order, over what they share.
class Merge {
public:
    Merge(const MergeRequest& request, PdfEngine& pdf, RunReporter& reporter, Trap& trap)
        : request_(request), pdf_(pdf), reporter_(reporter), trap_(trap) {
        result_.inputs.resize(request.inputs.size());
    }

    MergeResult go() {
        if (!check() || !start()) return result_;
        for (std::size_t i = 0; i < request_.inputs.size(); ++i) {
            if (reporter_.cancelled()) {
                // The output is dropped unwritten: an earlier file of its name stays.
                result_.cancelled = true;
                return result_;
            }
            if (!trap_.step([&] { take(i); })) return leave();
            reporter_.inputDone(i + 1, request_.inputs.size());
        }
        if (!trap_.step([&] { finish(); })) return leave();
        return result_;
    }

private:
    bool check() {
        MergeRefusal& refusal = result_.refusal;
        const bool went = trap_.run({
                                        [&] {
                                            if (request_.existing == ExistingFiles::Refuse &&
                                                normalFileExists(request_.output))
                                                refusal = MergeRefusal::OutputExists;
                                        },
                                        [&] {
                                            if (request_.inputs.size() < 2)
                                                refusal = MergeRefusal::TooFewInputs;
                                        },
                                        [&] {
                                            const auto& inputs = request_.inputs;
                                            for (std::size_t i = 0; i < inputs.size(); ++i) {
                                                const auto item =
                                                    unclearPageChoiceItem(inputs[i].pages);
                                                if (!item) continue;
                                                refusal = MergeRefusal::UnclearPages;
                                                result_.unclearInput = i;
                                                result_.unclearItem = *item;
                                                return;
                                            }
                                        },
                                        [&] {
                                            if (request_.outputMayBeAnInput) return;
                                            std::vector<std::string> inputs;
                                            for (const InputFile& input : request_.inputs)
                                                inputs.push_back(input.path);
                                            if (KeptFiles(inputs).wouldReplace(request_.output))
                                                refusal = MergeRefusal::OutputIsAnInput;
                                        },
                                    },
                                    [&] { return refusal != MergeRefusal::None; });
        if (!went) leave();
        return went && refusal == MergeRefusal::None;
    }

    bool start() {
        reporter_.started();
        step_ = 90.0 / static_cast<double>(request_.inputs.size()) / 2;
        // An output that cannot be created still lets every input be looked at, so
        // that what would have become of each is known.
        const bool went = trap_.step(
            [&] { output_ = pdf_.startDocument(request_.output, result_.outputFailure); });
        if (!went) leave();
        return went;
    }

    void take(std::size_t i) {
        InputOutcome& outcome = result_.inputs[i];
        outcome = {};
        const OpenedDocument document = openInput(pdf_, request_.inputs[i], outcome);
        if (document.encrypted) advance();
        if (outcome.fate == InputFate::NeedsPassword || outcome.fate == InputFate::WrongPassword ||
            outcome.fate == InputFate::NotPdfName)
            return;
        advance();
        if (!document.opened()) return;
        if (!output_) {
            outcome.fate = InputFate::Unused;
            return;
        }
        const std::vector<PageRef> pages =
            document.pagesNumbered(chosenPages(request_.inputs[i].pages, document.pageCount()));
        if (pages.empty()) {
            outcome.fate = InputFate::NoChosenPages;
            return;
        }
        if (blankLike_ && !outputStillOpen(output_->appendBlankLike(*blankLike_))) {
            outcome.fate = InputFate::Unused;
            return;
        }
        blankLike_.reset();
        const PdfFailure failure = request_.bookmarkEach
                                       ? output_->appendUnder(sectionTitle(i), pages)
                                       : output_->append(pages);
        if (failure) {
            if (failure.file == request_.output) {
                result_.outputFailure = failure;
                output_.reset();
                outcome.fate = InputFate::Unused;
            } else {
                outcome = {InputFate::NotWritten, failure};
            }
            return;
        }
        outcome.fate = InputFate::Used;
        if (request_.blankAfterOdd && pages.size() % 2 == 1) blankLike_ = pages.back();
        if (!informationTaken_) {
            information_ = withEntries(document.information, request_.information);
            informationTaken_ = true;
        }
    }

    // False when the output itself failed: it takes nothing more. A blank page that
    // could not be made from its model is simply left out.
    bool outputStillOpen(const PdfFailure& failure) {
        if (!failure || failure.file != request_.output) return true;
        result_.outputFailure = failure;
        output_.reset();
        return false;
    }

    // The input's file name without its folder and its ".pdf".
    std::string sectionTitle(std::size_t i) const {
        std::string name = pathToUtf8(pathFromUtf8(request_.inputs[i].path).filename());
        const std::size_t dot = name.size() >= 4 ? name.size() - 4 : std::string::npos;
        if (dot != std::string::npos && name[dot] == '.' && endsInPdf(name)) name.resize(dot);
        return name;
    }

    void finish() {
        // With no page merged there is nothing to write: an earlier file of the output's
        // name stays as it was.
        if (!output_ || output_->pageCount() == 0) return;
        result_.outputFailure = output_->commit(information_);
        if (!result_.outputFailure) result_.written.push_back(request_.output);
        output_.reset();
    }

    void advance() {
        progress_ += step_;
        reporter_.progress(static_cast<int>(std::lround(std::clamp(progress_, 0.0, 100.0))));
    }

    MergeResult leave() {
        output_.reset();
        result_.left = true;
        return result_;
    }

    const MergeRequest& request_;
    PdfEngine& pdf_;
    RunReporter& reporter_;
    Trap& trap_;
    MergeResult result_;
    std::unique_ptr<DocumentWriter> output_;
    // The last page of the file before, when a blank page is to follow it.
    std::optional<PageRef> blankLike_;
    DocumentInformation information_;
    bool informationTaken_ = false;
    double step_ = 0;
    double progress_ = 0;
};

}  // namespace

bool MergeResult::complete() const {
    return !written.empty() && std::all_of(inputs.begin(), inputs.end(), [](const InputOutcome& o) {
        return o.fate == InputFate::Used;
    });
}

MergeResult runMerge(const MergeRequest& request, PdfEngine& pdf, RunReporter& reporter,
                     Trap& trap) {
    return Merge(request, pdf, reporter, trap).go();
}

}  // namespace pagemeld
