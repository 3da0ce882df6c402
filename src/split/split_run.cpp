// The split run: the source of the split list, opened with its password when it is
// protected, cut into numbered output files by the chosen method.
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
#include "merge/temporary_copies.h"
#include "pdf/loaded_documents.h"
#include "pdf/pdf_engine.h"
#include "split/document_information.h"
#include "split/replace_question.h"
#include "split/split_plan.h"

namespace pagemeld {

namespace {

constexpr int kSourceRow = 1;
constexpr int kCopyPosition = 0;  // the run's one decrypted copy

// One piece cut from the source: dropped once written, also when saving it failed
// with an error.
class PieceDocument {
public:
    PieceDocument(PdfEngine& pdf, std::int32_t id) : pdf_(pdf), id_(id) {}
    ~PieceDocument() {
        try {
            if (id_ != 0) pdf_.RemoveDocument(id_);
        } catch (...) {
        }
    }
    PieceDocument(const PieceDocument&) = delete;
    PieceDocument& operator=(const PieceDocument&) = delete;

private:
    PdfEngine& pdf_;
    std::int32_t id_;
};

// The method a run uses: the first chosen of 1, 3, 4 and 2.
enum class Method { None, Fixed, Range };

}  // namespace

void Form1::cmd_split_run_Click() {
    Trap trap(errors_, kFormName, "cmd_split_run_Click");
    std::string base;
    std::string source;
    std::string destination;
    std::string name;
    Method method = Method::None;
    std::int32_t step = 0;   // N: size of a piece, or the distance of single pages
    std::int32_t start = 1;  // S
    std::int32_t count = 0;  // C: pages in a piece
    std::int32_t pages = 0;  // P
    std::int32_t sourceId = 0;
    bool stop = false;
    bool failed = false;
    bool cancelled = false;
    std::size_t written = 0;  // files this run wrote
    TemporaryCopies copies;
    LoadedDocuments loaded(pdf_);

    const auto showBar = [&](int value) {
        splitpb.value = value;
        if (repaint) repaint();
    };
    // Cancel stops the run between two pieces; the pieces written stay.
    const auto cancelledNow = [&] {
        cancelled = cancelled || cancel_requested;
        return cancelled;
    };
    const auto warn = [&](const std::string& text) {
        MsgBoxEx(errors_, ui_, text, msgbox::kExclamation);
    };
    // A number box of the chosen method; a value that is no whole number of at least
    // 1 is refused with the name of its field.
    const auto numberOf = [&](const TextBox& box, const Control& field) {
        const std::optional<std::int32_t> value = wholeNumberField(box.text);
        if (!value) {
            warn(catalogue.MsgErrSplitNumberField + " \"" + trimBlanks(field.caption) + "\"");
            stop = true;
        }
        return value.value_or(0);
    };
    // No piece may take the source's place: the rest of the user's document would be
    // lost. Checked for every number the run can write before the first is written.
    const auto replacesSource = [&](std::size_t outputs) {
        for (std::size_t k = 1; k <= outputs; ++k) {
            const std::string output =
                numberedOutputName(destination, base, static_cast<std::int32_t>(k));
            std::error_code ec;
            if (std::filesystem::equivalent(pathFromUtf8(source), pathFromUtf8(output), ec)) {
                warn(catalogue.MsgErrSplitOverSource + " " + output);
                failed = true;
                return true;
            }
        }
        return false;
    };
    // Files of the pieces' names are replaced only when the user says so; No ends the
    // run before a piece is written.
    const auto askBeforeReplacing = [&](std::size_t outputs) {
        if (!mayReplaceOutputs(errors_, ui_, catalogue, destination, base,
                               static_cast<std::int32_t>(outputs)))
            failed = true;
    };
    // A piece that cannot be written ends the run: the user must not be told it is done.
    const auto saveFailed = [&](std::int32_t number) {
        MsgBoxEx(errors_, ui_,
                 withFailureReason(catalogue,
                                   catalogue.MsgErrSplitSave + " " +
                                       numberedOutputName(destination, base, number),
                                   pdf_.LastErrorCode()),
                 msgbox::kCritical);
        failed = true;
    };

    const std::function<void()> checks[] = {
        [&] {
            base = splitBaseName(txt_split_filename.text);
            source = filelist::pathOfRow(split_grid, kSourceRow);
            name = split_grid.textMatrix(kSourceRow, filelist::kColName);
            // A bar reset still pending from the last run must not empty this one's bar.
            tsplit_pb.enabled = false;
            showBar(0);
            state.pages_ignored = false;
        },
        [&] {
            if (trimBlanks(split_grid.textMatrix(kSourceRow, filelist::kColNumber)) != "1") {
                warn(catalogue.MsgSplitAddFile);
                stop = true;
            }
        },
        [&] {
            if (!verify_filename(errors_, txt_split_filename.text)) {
                warn(catalogue.MsgOutputFileInvalidChar);
                stop = true;
            }
        },
        [&] {
            destination = txt_split_dest.text;
            if (destination.empty()) {
                MsgBoxEx(errors_, ui_, catalogue.MsgSelectDestFolder, msgbox::kCritical);
                stop = true;
            }
        },
        [&] {
            // The method's numbers are checked before anything is opened or written: a
            // size or step below 1 would never end the cutting.
            if (r_split_method1.value) {
                method = Method::Fixed;
                step = numberOf(txt_split_meth1, r_split_method1);
                count = step;
            } else if (r_split_method3.value) {
                method = Method::Fixed;
                step = numberOf(txt_split_meth3, r_split_method3);
                if (!stop) start = numberOf(txt_split_meth3_s, Label14);
                count = step;
            } else if (r_split_method4.value) {
                method = Method::Fixed;
                step = numberOf(txt_split_meth4, r_split_method4);
                if (!stop) start = numberOf(txt_split_meth4_s, Label15);
                count = 1;
            } else if (r_split_method2.value) {
                method = Method::Range;
                bool anyPiece = false;
                for (const std::string& piece :
                     rangePieces(withFinalSemicolon(txt_split_range.text)))
                    anyPiece = anyPiece || !trimBlanks(piece).empty();
                if (!anyPiece) {
                    warn(catalogue.MsgErrSplitRange);
                    stop = true;
                }
            }
        },
    };
    for (const auto& body : checks) {
        if (!trap.step(body) || stop) return;
    }

    const std::function<void()> open[] = {
        [&] {
            SetProgressBarColour(errors_, splitpb, kBarColourWorking);
            const std::int32_t id = pdf_.LoadFromFile(source);
            loaded.add(id);
            if (id == 0) {
                // Gone or damaged since it was listed.
                MsgBoxEx(errors_, ui_,
                         catalogue.MsgErrPageNo + " " + std::to_string(pdf_.LastErrorCode()),
                         msgbox::kCritical);
                failed = true;
            }
        },
        [&] {
            if (pdf_.EncryptionStatus() == 0) return;
            const std::string password = split_grid.textMatrix(kSourceRow, filelist::kColPassword);
            const std::string trimmed = trimBlanks(password);
            if (trimmed.empty()) {
                if (pdf_.Decrypt() == 0) {
                    warn(name + " " + catalogue.MsgErrDecryptAddPassw);
                    failed = true;
                }
                return;
            }
            if (pdf_.SetPassword(trimmed) == 0) {
                warn("Password for " + name + " " + catalogue.MsgErrDecryptWrPassw);
                failed = true;
                return;
            }
            // The copy gets a reserved hidden name beside the outputs, so no file of the
            // user's is overwritten or deleted.
            const std::string copy = copies.reserve(destination + "tmp.pdf", kCopyPosition);
            if (copy.empty() || pdf_.DecryptFile(source, copy, password) == 0) {
                warn(name + " " + catalogue.MsgErrDecrypt);
                copies.remove(kCopyPosition);
                failed = true;
                return;
            }
            loaded.add(pdf_.LoadFromFile(copy));
        },
        [&] {
            pages = pdf_.pagecount();
            state.split_max_page = pages;
            sourceId = pdf_.SelectedDocument();
            state.output_file_counter = 0;
        },
    };
    for (const auto& body : open) {
        if (!trap.step(body)) return;
        if (failed) break;
    }

    if (!failed && method == Method::Fixed) {
        std::vector<PageRun> pieces;
        if (!trap.step([&] {
                pieces = fixedSizePieces(pages, step, start, count);
                if (!replacesSource(pieces.size())) askBeforeReplacing(pieces.size());
            }))
            return;
        for (const PageRun& piece : pieces) {
            if (failed || cancelledNow()) break;
            // A repeated step writes the same number again.
            const std::int32_t number = state.output_file_counter + 1;
            const bool went = trap.step([&] {
                state.output_file_counter = number;
                pdf_.SelectDocument(sourceId);
                bool saved = false;
                {
                    const std::int32_t id = pdf_.ExtractPages(piece.first, piece.count);
                    const PieceDocument cut(pdf_, id);
                    if (id != 0) {
                        save_pdf_info(pdf_);
                        saved = pdf_.SaveToFile(numberedOutputName(destination, base,
                                                                   state.output_file_counter)) != 0;
                    }
                }
                pdf_.SelectDocument(sourceId);
                if (!saved) {
                    saveFailed(state.output_file_counter);
                    return;
                }
                ++written;
                showBar(percentDone(written, pieces.size()));
            });
            if (!went) return;
        }
    } else if (!failed && method == Method::Range) {
        std::vector<std::string> pieces;
        if (!trap.step([&] {
                txt_split_range.text = withFinalSemicolon(txt_split_range.text);
                pieces = rangePieces(txt_split_range.text);
                if (!replacesSource(pieces.size())) askBeforeReplacing(pieces.size());
            }))
            return;
        std::size_t done = 0;
        for (const std::string& piece : pieces) {
            if (failed || cancelledNow()) break;
            const std::int32_t before = state.output_file_counter;
            const bool went = trap.step([&] {
                // A repeated step writes the same number again.
                state.output_file_counter = before;
                const std::string rewritten =
                    check_rangesmall_for_max(piece, pages, state.pages_ignored);
                const std::string output = numberedOutputName(destination, base, before + 1);
                std::error_code ec;
                const auto modified = [&] {
                    return std::filesystem::last_write_time(pathFromUtf8(output), ec);
                };
                const auto was = modified();
                if (create_range_pdf(rewritten, base, sourceId) == 0) {
                    saveFailed(state.output_file_counter);
                    return;
                }
                // A piece with no page of the document writes no file.
                if (const auto now = modified(); !ec && now != was) ++written;
                showBar(percentDone(++done, pieces.size()));
            });
            if (!went) return;
        }
    }

    const std::function<void()> finish[] = {
        [&] {
            loaded.releaseAll();
            copies.removeAll();
        },
        [&] {
            if (failed || cancelled) {
                // The failure has been told; the bar does not claim a finished run.
                showBar(0);
                return;
            }
            showBar(100);
            SetProgressBarColour(errors_, splitpb, kBarColourDone);
            tsplit_pb.interval = kBarTimerInterval;
            tsplit_pb.enabled = true;
        },
        [&] {
            if (failed) return;
            if (cancelled)
                MsgBoxEx(errors_, ui_, catalogue.MsgRunCancelled + " " + std::to_string(written),
                         msgbox::kInformation);
            else if (!state.pages_ignored)
                MsgBoxEx(errors_, ui_, catalogue.MsgSplitDone, msgbox::kInformation);
            else
                MsgBoxEx(errors_, ui_,
                         catalogue.MsgErrSplitAboveMax1 + " " + std::to_string(pages) + " " +
                             catalogue.MsgErrSplitAboveMax2,
                         msgbox::kInformation);
        },
    };
    for (const auto& body : finish) {
        if (!trap.step(body)) return;
    }
}

std::int32_t Form1::create_range_pdf(const std::string& rangesmall,
                                     const std::string& splitfilename, std::int32_t originaldocid) {
    // Every piece is cut from the source, also after a piece that yielded nothing
    // and so left no document selected.
    pdf_.SelectDocument(originaldocid);
    const std::int32_t id = pdf_.ExtractPageRanges(rangesmall);
    // The number is used up in any case, so file numbers follow the pieces' positions.
    ++state.output_file_counter;
    std::int32_t result = 1;
    {
        // Only the piece's own document goes; the source stays for the next piece.
        const PieceDocument cut(pdf_, id != originaldocid ? id : 0);
        if (id != 0 && pdf_.pagecount() > 0) {
            save_pdf_info(pdf_);
            if (pdf_.SaveToFile(numberedOutputName(txt_split_dest.text, splitfilename,
                                                   state.output_file_counter)) == 0)
                result = 0;
        }
    }
    pdf_.SelectDocument(originaldocid);
    return result;
}

void Form1::tsplit_pb_Timer() {
    Trap trap(errors_, kFormName, "tsplit_pb_Timer");
    trap.step([&] {
        splitpb.value = 0;
        tsplit_pb.enabled = false;
        if (repaint) repaint();
    });
}

}  // namespace pagemeld
