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
#include "base/text_encoding.h"
#include "errors/trap.h"
#include "lang/failure_reason.h"
#include "lists/file_list_grid.h"
#include "pdf/loaded_documents.h"
#include "pdf/pdf_engine.h"
#include "pdf/temporary_copies.h"
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

// One split run: its phases in the order they run, over what they share.
class SplitRun {
public:
    explicit SplitRun(Form1& form)
        : form_(form),
          pdf_(form.pdf()),
          text_(form.catalogue),
          trap_(form.errors(), kFormName, "cmd_split_run_Click"),
          loaded_(pdf_) {}

    void go() {
        if (!checkInputs()) return;
        if (!open()) return;
        if (!failed_ && method_ == Method::Fixed && !cutFixedPieces()) return;
        if (!failed_ && method_ == Method::Range && !cutRanges()) return;
        finish();
    }

private:
    bool checkInputs();
    void readMethod();
    bool open();
    void openProtected();
    bool cutFixedPieces();
    bool cutRanges();
    void finish();

    void showBar(int value) {
        form_.splitpb.value = value;
        if (form_.repaint) form_.repaint();
    }
    // Cancel stops the run between two pieces; the pieces written stay.
    bool cancelledNow() {
        cancelled_ = cancelled_ || form_.cancel_requested;
        return cancelled_;
    }
    void tell(const std::string& text, std::int32_t style) {
        MsgBoxEx(form_.errors(), form_.ui(), text, style);
    }
    void warn(const std::string& text) { tell(text, msgbox::kExclamation); }
    std::int32_t numberOf(const TextBox& box, const Control& field);
    bool replacesSource(std::size_t outputs);
    void askBeforeReplacing(std::size_t outputs);
    void saveFailed(std::int32_t number);
    std::string outputName(std::int32_t number) const {
        return numberedOutputName(destination_, base_, number);
    }

    Form1& form_;
    PdfEngine& pdf_;
    const Catalogue& text_;
    Trap trap_;
    std::string base_;
    std::string source_;
    std::string destination_;
    std::string name_;
    Method method_ = Method::None;
    std::int32_t step_ = 0;   // N: size of a piece, or the distance of single pages
    std::int32_t start_ = 1;  // S
    std::int32_t count_ = 0;  // C: pages in a piece
    std::int32_t pages_ = 0;  // P
    std::int32_t sourceId_ = 0;
    bool stop_ = false;
    bool failed_ = false;
    bool cancelled_ = false;
    std::size_t written_ = 0;  // files this run wrote
    TemporaryCopies copies_;
    LoadedDocuments loaded_;
};

// A number box of the chosen method; a value that is no whole number of at least 1 is
// refused with the name of its field.
std::int32_t SplitRun::numberOf(const TextBox& box, const Control& field) {
    const std::optional<std::int32_t> value = wholeNumberField(box.text);
    if (!value) {
        warn(text_.MsgErrSplitNumberField + " \"" + trimBlanks(field.caption) + "\"");
        stop_ = true;
    }
    return value.value_or(0);
}

// No piece may take the source's place: the rest of the user's document would be lost.
// Checked for every number the run can write before the first is written.
bool SplitRun::replacesSource(std::size_t outputs) {
    for (std::size_t k = 1; k <= outputs; ++k) {
        const std::string output = outputName(static_cast<std::int32_t>(k));
        std::error_code ec;
        if (std::filesystem::equivalent(pathFromUtf8(source_), pathFromUtf8(output), ec)) {
            warn(text_.MsgErrSplitOverSource + " " + output);
            failed_ = true;
            return true;
        }
    }
    return false;
}

// Files of the pieces' names are replaced only when the user says so; No ends the run
// before a piece is written.
void SplitRun::askBeforeReplacing(std::size_t outputs) {
    if (!mayReplaceOutputs(form_.errors(), form_.ui(), text_, destination_, base_,
                           static_cast<std::int32_t>(outputs)))
        failed_ = true;
}

// A piece that cannot be written ends the run: the user must not be told it is done.
void SplitRun::saveFailed(std::int32_t number) {
    tell(withFailureReason(text_, text_.MsgErrSplitSave + " " + outputName(number),
                           pdf_.LastErrorCode()),
         msgbox::kCritical);
    failed_ = true;
}

bool SplitRun::checkInputs() {
    const bool went = trap_.run(
        {
            [&] {
                base_ = splitBaseName(form_.txt_split_filename.text);
                source_ = filelist::pathOfRow(form_.split_grid, kSourceRow);
                name_ = form_.split_grid.textMatrix(kSourceRow, filelist::kColName);
                // A bar reset still pending from the last run must not empty this one's bar.
                form_.tsplit_pb.enabled = false;
                showBar(0);
                form_.state.pages_ignored = false;
            },
            [&] {
                if (trimBlanks(form_.split_grid.textMatrix(kSourceRow, filelist::kColNumber)) !=
                    "1") {
                    warn(text_.MsgSplitAddFile);
                    stop_ = true;
                }
            },
            [&] {
                if (!verify_filename(form_.errors(), form_.txt_split_filename.text)) {
                    warn(text_.MsgOutputFileInvalidChar);
                    stop_ = true;
                }
            },
            [&] {
                destination_ = form_.txt_split_dest.text;
                if (destination_.empty()) {
                    tell(text_.MsgSelectDestFolder, msgbox::kCritical);
                    stop_ = true;
                }
            },
            [&] { readMethod(); },
        },
        [&] { return stop_; });
    return went && !stop_;
}

// The method's numbers are checked before anything is opened or written: a size or step
// below 1 would never end the cutting.
void SplitRun::readMethod() {
    if (form_.r_split_method1.value) {
        method_ = Method::Fixed;
        step_ = numberOf(form_.txt_split_meth1, form_.r_split_method1);
        count_ = step_;
    } else if (form_.r_split_method3.value) {
        method_ = Method::Fixed;
        step_ = numberOf(form_.txt_split_meth3, form_.r_split_method3);
        if (!stop_) start_ = numberOf(form_.txt_split_meth3_s, form_.Label14);
        count_ = step_;
    } else if (form_.r_split_method4.value) {
        method_ = Method::Fixed;
        step_ = numberOf(form_.txt_split_meth4, form_.r_split_method4);
        if (!stop_) start_ = numberOf(form_.txt_split_meth4_s, form_.Label15);
        count_ = 1;
    } else if (form_.r_split_method2.value) {
        method_ = Method::Range;
        // Text the run cannot read is refused whole: cutting the rest would leave the
        // user believing every piece was written.
        const RangeTextReading reading = readRangeText(form_.txt_split_range.text);
        if (reading.unclearItem) {
            warn(text_.MsgErrSplitRangeItem + " \"" + *reading.unclearItem + "\"");
            stop_ = true;
        } else if (!reading.namesPages) {
            warn(text_.MsgErrSplitRange);
            stop_ = true;
        }
    }
}

// False when the trap left the run; a failure to open goes on to finish().
bool SplitRun::open() {
    return trap_.run(
        {
            [&] {
                SetProgressBarColour(form_.errors(), form_.splitpb, kBarColourWorking);
                const std::int32_t id = pdf_.LoadFromFile(source_);
                loaded_.add(id);
                if (id == 0) {
                    // Gone or damaged since it was listed.
                    tell(text_.MsgErrPageNo + " " + std::to_string(pdf_.LastErrorCode()),
                         msgbox::kCritical);
                    failed_ = true;
                }
            },
            [&] { openProtected(); },
            [&] {
                pages_ = pdf_.pagecount();
                form_.state.split_max_page = pages_;
                sourceId_ = pdf_.SelectedDocument();
                form_.state.output_file_counter = 0;
            },
        },
        [&] { return failed_; });
}

void SplitRun::openProtected() {
    if (pdf_.EncryptionStatus() == 0) return;
    const std::string password = form_.split_grid.textMatrix(kSourceRow, filelist::kColPassword);
    const std::string trimmed = trimBlanks(password);
    if (trimmed.empty()) {
        if (pdf_.Decrypt() == 0) {
            warn(name_ + " " + text_.MsgErrDecryptAddPassw);
            failed_ = true;
        }
        return;
    }
    if (pdf_.SetPassword(trimmed) == 0) {
        warn("Password for " + name_ + " " + text_.MsgErrDecryptWrPassw);
        failed_ = true;
        return;
    }
    // The copy gets a reserved hidden name beside the outputs, so no file of the user's
    // is overwritten or deleted. It is made with the password just accepted: the text as
    // typed, blanks and all, would not open the file.
    const std::string copy = copies_.reserve(destination_ + "tmp.pdf", kCopyPosition);
    if (copy.empty() || pdf_.DecryptFile(source_, copy, trimmed) == 0) {
        warn(name_ + " " + text_.MsgErrDecrypt);
        copies_.remove(kCopyPosition);
        failed_ = true;
        return;
    }
    loaded_.add(pdf_.LoadFromFile(copy));
}

bool SplitRun::cutFixedPieces() {
    std::vector<PageRun> pieces;
    if (!trap_.step([&] {
            pieces = fixedSizePieces(pages_, step_, start_, count_);
            if (!replacesSource(pieces.size())) askBeforeReplacing(pieces.size());
        }))
        return false;
    AppState& state = form_.state;
    for (const PageRun& piece : pieces) {
        if (failed_ || cancelledNow()) break;
        // A repeated step writes the same number again.
        const std::int32_t number = state.output_file_counter + 1;
        const bool went = trap_.step([&] {
            state.output_file_counter = number;
            pdf_.SelectDocument(sourceId_);
            bool saved = false;
            {
                const std::int32_t id = pdf_.ExtractPages(piece.first, piece.count);
                const PieceDocument cut(pdf_, id);
                if (id != 0) {
                    save_pdf_info(pdf_);
                    saved = pdf_.SaveToFile(outputName(state.output_file_counter)) != 0;
                }
            }
            pdf_.SelectDocument(sourceId_);
            if (!saved) {
                saveFailed(state.output_file_counter);
                return;
            }
            ++written_;
            showBar(percentDone(written_, pieces.size()));
        });
        if (!went) return false;
    }
    return true;
}

bool SplitRun::cutRanges() {
    std::vector<std::string> pieces;
    if (!trap_.step([&] {
            form_.txt_split_range.text = withFinalSemicolon(form_.txt_split_range.text);
            pieces = rangePieces(form_.txt_split_range.text);
            if (!replacesSource(pieces.size())) askBeforeReplacing(pieces.size());
        }))
        return false;
    AppState& state = form_.state;
    std::size_t done = 0;
    for (const std::string& piece : pieces) {
        if (failed_ || cancelledNow()) break;
        const std::int32_t before = state.output_file_counter;
        const bool went = trap_.step([&] {
            // A repeated step writes the same number again.
            state.output_file_counter = before;
            const std::string rewritten =
                check_rangesmall_for_max(piece, pages_, state.pages_ignored);
            const std::string output = outputName(before + 1);
            std::error_code ec;
            const auto modified = [&] {
                return std::filesystem::last_write_time(pathFromUtf8(output), ec);
            };
            const auto was = modified();
            if (form_.create_range_pdf(rewritten, base_, sourceId_) == 0) {
                saveFailed(state.output_file_counter);
                return;
            }
            // A piece with no page of the document writes no file.
            if (const auto now = modified(); !ec && now != was) ++written_;
            showBar(percentDone(++done, pieces.size()));
        });
        if (!went) return false;
    }
    return true;
}

void SplitRun::finish() {
    // No page chosen lies in the document (a start or every range beyond its end).
    const bool nothingWritten = !failed_ && !cancelled_ && written_ == 0;
    trap_.run({
        [&] {
            loaded_.releaseAll();
            copies_.removeAll();
        },
        [&] {
            if (failed_ || cancelled_ || nothingWritten) {
                // The failure has been told; the bar does not claim a finished run.
                showBar(0);
                return;
            }
            showBar(100);
            SetProgressBarColour(form_.errors(), form_.splitpb, kBarColourDone);
            form_.tsplit_pb.interval = kBarTimerInterval;
            form_.tsplit_pb.enabled = true;
        },
        [&] {
            if (failed_) return;
            if (cancelled_)
                tell(text_.MsgRunCancelled + " " + std::to_string(written_), msgbox::kInformation);
            else if (nothingWritten)
                warn(text_.MsgErrSplitNothingWritten + " " + std::to_string(pages_));
            else if (!form_.state.pages_ignored)
                tell(text_.MsgSplitDone, msgbox::kInformation);
            else
                tell(text_.MsgErrSplitAboveMax1 + " " + std::to_string(pages_) + " " +
                         text_.MsgErrSplitAboveMax2,
                     msgbox::kInformation);
        },
    });
}

}  // namespace

void Form1::cmd_split_run_Click() {
    SplitRun(*this).go();
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
