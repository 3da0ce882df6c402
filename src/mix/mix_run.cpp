// The mix run: the first document is walked pass by pass; every pass joins a run of
// its pages with a run of the second document's pages (read over and over from its
// start page) and saves them as the next numbered output file.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "app/form1.h"
#include "app/shared_routines.h"
#include "base/text_encoding.h"
#include "errors/trap.h"
#include "lang/failure_reason.h"
#include "lists/file_list_grid.h"
#include "mix/mix_plan.h"
#include "pdf/loaded_documents.h"
#include "pdf/pdf_engine.h"
#include "split/document_information.h"
#include "split/replace_question.h"
#include "split/split_plan.h"

namespace pagemeld {

namespace {

constexpr const char* kPiecesNotMerged =
    "There was an error during the mix process. The pieces cannot be merged!";

// True when `output` is the very file `input` (an output name can match an input's
// name when the base name follows the first document).
bool sameFile(const std::string& output, const std::string& input) {
    std::error_code ec;
    return std::filesystem::equivalent(pathFromUtf8(output), pathFromUtf8(input), ec) && !ec;
}

struct MixDocument {
    std::string path;
    std::string name;
    std::string password;
    std::int32_t id = 0;
    std::int32_t pages = 0;
    MixDocumentPlan plan{};
};

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
};

// One mix run: its phases in the order they run, over what they share. Each phase
// returns false when the run ends there.
class MixRun {
public:
    explicit MixRun(Form1& form)
        : form_(form),
          pdf_(form.pdf()),
          text_(form.catalogue),
          trap_(form.errors(), kFormName, "cmd_mix_run_Click"),
          loaded_(pdf_) {}

    void go() {
        if (!checkInputs()) return;
        for (MixDocument& doc : docs_) {
            if (!open(doc)) return;
        }
        if (!plan()) return;
        for (const MixPass& pass : plan_.passes) {
            if (!mixPass(pass)) return;
        }
        report();
    }

private:
    bool checkInputs();
    std::optional<MixDocumentPlan> readPlan(const MixOptionRows& rows);
    bool open(MixDocument& doc);
    bool plan();
    bool mixPass(const MixPass& pass);
    void report();

    // Runs steps until one stops the run; false when the run ends.
    bool runSteps(std::initializer_list<std::function<void()>> steps) {
        return trap_.run(steps, [&] { return stop_; }) && !stop_;
    }
    void showBar(int value) {
        form_.mixpb.value = value;
        if (form_.repaint) form_.repaint();
    }
    void tell(const std::string& text, std::int32_t style) {
        MsgBoxEx(form_.errors(), form_.ui(), text, style);
    }
    void warn(const std::string& text) { tell(text, msgbox::kExclamation); }
    // A run that failed after it began: the user has been told why; the bar empties
    // and no "done" message follows.
    void fail(const std::string& text) {
        warn(text);
        endEarly();
    }
    void endEarly() {
        loaded_.releaseAll();
        showBar(0);
        stop_ = true;
    }

    Form1& form_;
    PdfEngine& pdf_;
    const Catalogue& text_;
    Trap trap_;
    std::string base_;
    std::string destination_;
    MixDocument docs_[2];
    MixPlanResult plan_;
    LoadedDocuments loaded_;
    bool stop_ = false;
    std::size_t written_ = 0;  // outputs this run wrote
};

bool MixRun::checkInputs() {
    return runSteps({
        [&] {
            base_ = splitBaseName(form_.txt_mix_filename.text);
            destination_ = form_.txt_mix_dest.text;
            for (int d = 0; d < 2; ++d) {
                docs_[d].path = filelist::pathOfRow(form_.mix_grid, d + 1);
                docs_[d].name = form_.mix_grid.textMatrix(d + 1, filelist::kColName);
                docs_[d].password = form_.mix_grid.textMatrix(d + 1, filelist::kColPassword);
            }
            showBar(0);
            form_.state.pages_ignored = false;
            form_.state.mix_max_page = kMixPageLimit;
        },
        [&] {
            if (trimBlanks(form_.mix_grid.textMatrix(2, filelist::kColNumber)) != "2") {
                warn(text_.MsgErrMixAdd2files);
                stop_ = true;
            }
        },
        [&] {
            if (!verify_filename(form_.errors(), form_.txt_mix_filename.text)) {
                warn(text_.MsgOutputFileInvalidChar);
                stop_ = true;
            }
        },
        [&] {
            if (destination_.empty()) {
                tell(text_.MsgSelectDestFolder, msgbox::kCritical);
                stop_ = true;
            }
        },
        [&] {
            Form1& f = form_;
            const MixOptionRows rows[2] = {
                {f.r_mix1_method1, f.r_mix1_method1_e1, f.r_mix1_method1_e2, f.r_mix1_method1_lbl2,
                 f.r_mix1_method2, f.r_mix1_method2_e1, f.r_mix1_method2_e2, f.r_mix1_method2_lbl2,
                 f.frm_mix_meth_doc1},
                {f.r_mix2_method1, f.r_mix2_method1_e1, f.r_mix2_method1_e2, f.r_mix2_method1_lbl2,
                 f.r_mix2_method2, f.r_mix2_method2_e1, f.r_mix2_method2_e2, f.r_mix2_method2_lbl2,
                 f.frm_mix_meth_doc2},
            };
            for (int d = 0; d < 2; ++d) {
                const std::optional<MixDocumentPlan> plan = readPlan(rows[d]);
                if (!plan) {
                    stop_ = true;
                    return;
                }
                docs_[d].plan = *plan;
            }
        },
        [&] { SetProgressBarColour(form_.errors(), form_.mixpb, kBarColourWorking); },
    });
}

// The numbers of one document's option rows. A box that is used must hold a whole
// number of at least 1: a step below 1 would never end the passes. The user is told
// which box to correct. The start page comes from the chosen row: its start box is the
// one the user sees beside the chosen option.
std::optional<MixDocumentPlan> MixRun::readPlan(const MixOptionRows& rows) {
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
    return mixDocumentPlan(byGroup, *size, *size, *start);
}

// A document is opened in the engine; a protected one with its password. No decrypted
// copy is written: once the password is accepted the engine reads the pages itself,
// and a plain copy on disk would only undo the protection.
bool MixRun::open(MixDocument& doc) {
    return runSteps({
        [&] {
            loaded_.add(pdf_.LoadFromFile(doc.path));
            doc.id = pdf_.SelectedDocument();
            if (doc.id == 0) {
                form_.ui().messageBox("Error loading file " + doc.path, kProgramTitle,
                                      msgbox::kOkOnly);
                endEarly();
            }
        },
        [&] {
            if (pdf_.EncryptionStatus() == 0) return;
            const std::string password = trimBlanks(doc.password);
            if (password.empty()) {
                if (pdf_.Decrypt() == 0) fail(doc.name + " " + text_.MsgErrDecryptAddPassw);
            } else if (pdf_.SetPassword(password) == 0) {
                fail("Password for " + doc.name + " " + text_.MsgErrDecryptWrPassw);
            }
        },
        [&] { doc.pages = pdf_.pagecount(); },
    });
}

bool MixRun::plan() {
    return runSteps({
        [&] {
            plan_ = planMix(docs_[0].pages, docs_[1].pages, docs_[0].plan, docs_[1].plan,
                            kMixPageLimit);
            // A start page the document does not have would give no file, or files
            // without the second document's pages.
            if (docs_[0].plan.start > docs_[0].pages)
                fail(text_.MsgErrMixStartBeyond + " " + docs_[0].name);
            else if (plan_.secondStartBeyondEnd)
                fail(text_.MsgErrMixStartBeyond + " " + docs_[1].name);
        },
        [&] {
            // The outputs must never replace the documents they are made from.
            for (const MixPass& pass : plan_.passes) {
                const std::string output = numberedOutputName(destination_, base_, pass.number);
                if (sameFile(output, docs_[0].path) || sameFile(output, docs_[1].path)) {
                    fail(text_.MsgErrMixSave + " " + output);
                    return;
                }
            }
        },
        [&] {
            // Files of the outputs' names are replaced only when the user says so.
            if (!mayReplaceOutputs(form_.errors(), form_.ui(), text_, destination_, base_,
                                   static_cast<std::int32_t>(plan_.passes.size())))
                endEarly();
        },
        [&] {
            form_.state.pages_ignored = plan_.pagesIgnored;
            form_.state.output_file_counter = 0;
        },
    });
}

bool MixRun::mixPass(const MixPass& pass) {
    // Cancel stops the run between two passes; the outputs written stay.
    if (form_.cancel_requested) {
        trap_.run({
            [&] { loaded_.releaseAll(); },
            [&] { showBar(0); },
            [&] {
                tell(text_.MsgRunCancelled + " " + std::to_string(written_), msgbox::kInformation);
            },
        });
        return false;
    }
    std::int32_t piece1 = 0;
    std::int32_t piece2 = 0;
    std::string output;
    return runSteps({
        [&] {
            form_.state.output_file_counter = pass.number;
            output = numberedOutputName(destination_, base_, pass.number);
            pdf_.SelectDocument(docs_[0].id);
            piece1 = loaded_.add(pdf_.ExtractPages(pass.first.first, pass.first.count));
            pdf_.SelectDocument(docs_[1].id);
            piece2 = loaded_.add(pdf_.ExtractPages(pass.second.first, pass.second.count));
            if (piece1 == 0 || piece2 == 0) fail(kPiecesNotMerged);
        },
        [&] {
            pdf_.SelectDocument(piece1);
            if (pdf_.MergeDocument(piece2) == 0) fail(kPiecesNotMerged);
        },
        [&] {
            // The second piece's pages are now part of the first.
            loaded_.release(piece2);
            pdf_.SelectDocument(piece1);
            save_pdf_info(pdf_);
            if (pdf_.SaveToFile(output) == 0) {
                fail(withFailureReason(text_, text_.MsgErrMixSave + " " + output,
                                       pdf_.LastErrorCode()));
            }
        },
        [&] {
            showBar(percentDone(++written_, plan_.passes.size()));
            loaded_.release(piece1);
        },
    });
}

void MixRun::report() {
    trap_.run({
        [&] {
            // The final message names the first document's last page used.
            form_.state.mix_max_page = plan_.maxPage;
            loaded_.releaseAll();
        },
        [&] {
            SetProgressBarColour(form_.errors(), form_.mixpb, kBarColourDone);
            showBar(100);
            form_.tmix_pb.interval = kBarTimerInterval;
            form_.tmix_pb.enabled = true;
        },
        [&] {
            if (!form_.state.pages_ignored)
                tell(text_.MsgMixDone, msgbox::kInformation);
            else
                tell(text_.MsgErrMixAboveMax1 + " " + std::to_string(form_.state.mix_max_page) +
                         " " + text_.MsgErrMixAboveMax2,
                     msgbox::kInformation);
        },
    });
}

}  // namespace

void Form1::cmd_mix_run_Click() {
    MixRun(*this).go();
}

void Form1::tmix_pb_Timer() {
    Trap trap(errors_, kFormName, "tmix_pb_Timer");
    trap.step([&] {
        mixpb.value = 0;
        tmix_pb.enabled = false;
    });
}

}  // namespace pagemeld
