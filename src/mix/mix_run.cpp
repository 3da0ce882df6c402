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
#include "app/text_encoding.h"
#include "errors/trap.h"
#include "lang/failure_reason.h"
#include "merge/file_list_grid.h"
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

}  // namespace

void Form1::cmd_mix_run_Click() {
    Trap trap(errors_, kFormName, "cmd_mix_run_Click");
    std::string base;
    std::string destination;
    MixDocument docs[2];
    MixPlanResult plan;
    LoadedDocuments loaded(pdf_);
    bool stop = false;
    std::size_t written = 0;  // outputs this run wrote

    const auto showBar = [&](int value) {
        mixpb.value = value;
        if (repaint) repaint();
    };
    const auto warn = [&](const std::string& text) {
        MsgBoxEx(errors_, ui_, text, msgbox::kExclamation);
    };
    // A run that failed after it began: the user has been told why; the bar empties
    // and no "done" message follows.
    const auto fail = [&](const std::string& text) {
        warn(text);
        loaded.releaseAll();
        showBar(0);
        stop = true;
    };

    // The numbers of one document's option rows. A box that is used must hold a
    // whole number of at least 1: a step below 1 would never end the passes. The
    // user is told which box to correct.
    // The start page comes from the chosen row: its start box is the one the user sees
    // beside the chosen option.
    const auto readPlan = [&](OptionButton& everyGroup, TextBox& groupBox, TextBox& groupStart,
                              Label& groupLabel, OptionButton& each, TextBox& eachBox,
                              TextBox& eachStart, Label& eachLabel,
                              Frame& frame) -> std::optional<MixDocumentPlan> {
        const auto refuse = [&](const std::string& field) {
            warn(catalogue.MsgErrMixNumberField + " \"" + frame.caption + "\" - \"" + field + "\"");
            return std::nullopt;
        };
        const bool byGroup = everyGroup.value;
        const std::optional<std::int32_t> size =
            wholeNumberField(byGroup ? groupBox.text : eachBox.text);
        if (!size) return refuse(byGroup ? everyGroup.caption : each.caption);
        const std::optional<std::int32_t> start =
            wholeNumberField(byGroup ? groupStart.text : eachStart.text);
        if (!start)
            return refuse(byGroup ? everyGroup.caption + " ... " + groupLabel.caption
                                  : each.caption + " ... " + eachLabel.caption);
        return mixDocumentPlan(byGroup, *size, *size, *start);
    };

    const std::function<void()> checks[] = {
        [&] {
            base = splitBaseName(txt_mix_filename.text);
            destination = txt_mix_dest.text;
            for (int d = 0; d < 2; ++d) {
                docs[d].path = filelist::pathOfRow(mix_grid, d + 1);
                docs[d].name = mix_grid.textMatrix(d + 1, filelist::kColName);
                docs[d].password = mix_grid.textMatrix(d + 1, filelist::kColPassword);
            }
            showBar(0);
            state.pages_ignored = false;
            state.mix_max_page = kMixPageLimit;
        },
        [&] {
            if (trimBlanks(mix_grid.textMatrix(2, filelist::kColNumber)) != "2") {
                warn(catalogue.MsgErrMixAdd2files);
                stop = true;
            }
        },
        [&] {
            if (!verify_filename(errors_, txt_mix_filename.text)) {
                warn(catalogue.MsgOutputFileInvalidChar);
                stop = true;
            }
        },
        [&] {
            if (destination.empty()) {
                MsgBoxEx(errors_, ui_, catalogue.MsgSelectDestFolder, msgbox::kCritical);
                stop = true;
            }
        },
        [&] {
            const auto first = readPlan(r_mix1_method1, r_mix1_method1_e1, r_mix1_method1_e2,
                                        r_mix1_method1_lbl2, r_mix1_method2, r_mix1_method2_e1,
                                        r_mix1_method2_e2, r_mix1_method2_lbl2, frm_mix_meth_doc1);
            if (!first) {
                stop = true;
                return;
            }
            const auto second = readPlan(r_mix2_method1, r_mix2_method1_e1, r_mix2_method1_e2,
                                         r_mix2_method1_lbl2, r_mix2_method2, r_mix2_method2_e1,
                                         r_mix2_method2_e2, r_mix2_method2_lbl2, frm_mix_meth_doc2);
            if (!second) {
                stop = true;
                return;
            }
            docs[0].plan = *first;
            docs[1].plan = *second;
        },
        [&] { SetProgressBarColour(errors_, mixpb, kBarColourWorking); },
    };
    for (const auto& body : checks) {
        if (!trap.step(body) || stop) return;
    }

    // Both documents are opened in the engine; a protected one with its password. No
    // decrypted copy is written: once the password is accepted the engine reads the
    // pages itself, and a plain copy on disk would only undo the protection.
    for (MixDocument& doc : docs) {
        const std::function<void()> prepare[] = {
            [&] {
                loaded.add(pdf_.LoadFromFile(doc.path));
                doc.id = pdf_.SelectedDocument();
                if (doc.id == 0) {
                    ui_.messageBox("Error loading file " + doc.path, kProgramTitle,
                                   msgbox::kOkOnly);
                    loaded.releaseAll();
                    showBar(0);
                    stop = true;
                }
            },
            [&] {
                if (pdf_.EncryptionStatus() == 0) return;
                const std::string password = trimBlanks(doc.password);
                if (password.empty()) {
                    if (pdf_.Decrypt() == 0) fail(doc.name + " " + catalogue.MsgErrDecryptAddPassw);
                } else if (pdf_.SetPassword(password) == 0) {
                    fail("Password for " + doc.name + " " + catalogue.MsgErrDecryptWrPassw);
                }
            },
            [&] { doc.pages = pdf_.pagecount(); },
        };
        for (const auto& body : prepare) {
            if (!trap.step(body) || stop) return;
        }
    }

    const std::function<void()> planning[] = {
        [&] {
            plan = planMix(docs[0].pages, docs[1].pages, docs[0].plan, docs[1].plan, kMixPageLimit);
            // A start page the document does not have would give no file, or files
            // without the second document's pages.
            if (docs[0].plan.start > docs[0].pages)
                fail(catalogue.MsgErrMixStartBeyond + " " + docs[0].name);
            else if (plan.secondStartBeyondEnd)
                fail(catalogue.MsgErrMixStartBeyond + " " + docs[1].name);
        },
        [&] {
            // The outputs must never replace the documents they are made from.
            for (const MixPass& pass : plan.passes) {
                const std::string output = numberedOutputName(destination, base, pass.number);
                if (sameFile(output, docs[0].path) || sameFile(output, docs[1].path)) {
                    fail(catalogue.MsgErrMixSave + " " + output);
                    return;
                }
            }
        },
        [&] {
            // Files of the outputs' names are replaced only when the user says so.
            if (!mayReplaceOutputs(errors_, ui_, catalogue, destination, base,
                                   static_cast<std::int32_t>(plan.passes.size()))) {
                loaded.releaseAll();
                showBar(0);
                stop = true;
            }
        },
        [&] {
            state.pages_ignored = plan.pagesIgnored;
            state.output_file_counter = 0;
        },
    };
    for (const auto& body : planning) {
        if (!trap.step(body) || stop) return;
    }

    for (const MixPass& pass : plan.passes) {
        // Cancel stops the run between two passes; the outputs written stay.
        if (cancel_requested) {
            trap.run({
                [&] { loaded.releaseAll(); },
                [&] { showBar(0); },
                [&] {
                    MsgBoxEx(errors_, ui_,
                             catalogue.MsgRunCancelled + " " + std::to_string(written),
                             msgbox::kInformation);
                },
            });
            return;
        }
        std::int32_t piece1 = 0;
        std::int32_t piece2 = 0;
        std::string output;
        const std::function<void()> passSteps[] = {
            [&] {
                state.output_file_counter = pass.number;
                output = numberedOutputName(destination, base, pass.number);
                pdf_.SelectDocument(docs[0].id);
                piece1 = loaded.add(pdf_.ExtractPages(pass.first.first, pass.first.count));
                pdf_.SelectDocument(docs[1].id);
                piece2 = loaded.add(pdf_.ExtractPages(pass.second.first, pass.second.count));
                if (piece1 == 0 || piece2 == 0) fail(kPiecesNotMerged);
            },
            [&] {
                pdf_.SelectDocument(piece1);
                if (pdf_.MergeDocument(piece2) == 0) fail(kPiecesNotMerged);
            },
            [&] {
                // The second piece's pages are now part of the first.
                loaded.release(piece2);
                pdf_.SelectDocument(piece1);
                save_pdf_info(pdf_);
                if (pdf_.SaveToFile(output) == 0) {
                    fail(withFailureReason(catalogue, catalogue.MsgErrMixSave + " " + output,
                                           pdf_.LastErrorCode()));
                }
            },
            [&] {
                showBar(percentDone(++written, plan.passes.size()));
                loaded.release(piece1);
            },
        };
        for (const auto& body : passSteps) {
            if (!trap.step(body) || stop) return;
        }
    }

    const std::function<void()> finish[] = {
        [&] {
            // The final message names the first document's last page used.
            state.mix_max_page = plan.maxPage;
            loaded.releaseAll();
        },
        [&] {
            SetProgressBarColour(errors_, mixpb, kBarColourDone);
            showBar(100);
            tmix_pb.interval = kBarTimerInterval;
            tmix_pb.enabled = true;
        },
        [&] {
            if (!state.pages_ignored)
                MsgBoxEx(errors_, ui_, catalogue.MsgMixDone, msgbox::kInformation);
            else
                MsgBoxEx(errors_, ui_,
                         catalogue.MsgErrMixAboveMax1 + " " + std::to_string(state.mix_max_page) +
                             " " + catalogue.MsgErrMixAboveMax2,
                         msgbox::kInformation);
        },
    };
    for (const auto& body : finish) {
        if (!trap.step(body)) return;
    }
}

void Form1::tmix_pb_Timer() {
    Trap trap(errors_, kFormName, "tmix_pb_Timer");
    trap.step([&] {
        mixpb.value = 0;
        tmix_pb.enabled = false;
    });
}

}  // namespace pagemeld
