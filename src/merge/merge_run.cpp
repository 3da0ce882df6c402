// The merge run: every listed file goes in list order into the engine's file list,
// which is merged into the output file. The merge checks each file as it comes to it
// (a protected one is decrypted through a temporary copy), so every file is opened
// once: loading it for the check and again for the merge doubled the run's time.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <functional>
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

namespace pagemeld {

namespace {

bool normalFileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(pathFromUtf8(path), ec);
}

// Thrown out of the merge's check of a file to end the merge without output.
struct Abandon {};

// One merge run: its phases in the order they run, over what they share.
class MergeRun {
public:
    explicit MergeRun(Form1& form)
        : form_(form),
          pdf_(form.pdf()),
          text_(form.catalogue),
          trap_(form.errors(), kFormName, "cmd_merge_Click"),
          loaded_(pdf_) {}

    void go() {
        if (!checkInputs()) return;
        if (!handOver()) return;
        merge();
    }

private:
    bool checkInputs();
    bool handOver();
    std::string checkFile(std::int32_t i);
    void checkProtected(std::int32_t i, const std::string& path, const std::string& name,
                        const std::string& password, bool& skip, bool& useSource);
    void merge();
    void tellWhatFailed();
    void report();

    void showBar(double value) {
        form_.mergepb.value = static_cast<int>(std::lround(std::clamp(value, 0.0, 100.0)));
        if (form_.repaint) form_.repaint();
    }
    void advance() {
        progress_ += step_;
        showBar(progress_);
    }
    void tell(const std::string& text, std::int32_t style) {
        MsgBoxEx(form_.errors(), form_.ui(), text, style);
    }
    void warn(const std::string& text) { tell(text, msgbox::kExclamation); }
    std::string nameOf(int row) const {
        return form_.merge_grid.textMatrix(row, filelist::kColName);
    }
    // Why files were left out, one line each, told together in the run's last box.
    void leaveOut(const std::string& why) { leftOut_.push_back(why); }

    Form1& form_;
    PdfEngine& pdf_;
    const Catalogue& text_;
    Trap trap_;
    const std::string listName_;  // names the engine's one file list
    std::string output_;
    std::int32_t count_ = 0;
    double step_ = 0;
    double progress_ = 0;
    std::int32_t merged_ = 0;
    // The list rows handed to the engine's file list, in order: a skipped file is not
    // among them, so the engine's count maps back to rows through this.
    std::vector<int> handed_;
    TemporaryCopies copies_;
    LoadedDocuments loaded_;
    bool stop_ = false;
    bool cancelled_ = false;
    // Left when the error handler says so: the merge is then stopped without output.
    bool abandoned_ = false;
    std::vector<std::string> leftOut_;
};

bool MergeRun::checkInputs() {
    const bool went =
        trap_.run({
                      [&] {
                          output_ = form_.moutput_file.text;
                          if (normalFileExists(output_) && form_.chk_merge_ovr.value != kChecked) {
                              warn(text_.MsgOutputFileExists);
                              stop_ = true;
                          }
                      },
                      [&] {
                          count_ = form_.state.mgrid_count;
                          if (count_ < 2) {
                              warn(text_.MsgErrAdd2files);
                              stop_ = true;
                          }
                      },
                      [&] {
                          progress_ = 0;
                          SetProgressBarColour(form_.errors(), form_.mergepb, kBarColourWorking);
                          showBar(0);
                          step_ = 90.0 / count_ / 2;
                          pdf_.ClearFileList(listName_);
                      },
                  },
                  [&] { return stop_; });
    return went && !stop_;
}

// The files go into the engine's list, with the check the merge makes of each.
bool MergeRun::handOver() {
    for (int i = 1; i <= count_; ++i) {
        if (!trap_.step(
                [&] { pdf_.AddToFileList(listName_, filelist::pathOfRow(form_.merge_grid, i)); }))
            return false;
    }
    const FileListCheck check = [this](std::int32_t i) { return checkFile(i); };
    return trap_.step([&] { pdf_.SetFileListCheck(listName_, check); });
}

// Called by the merge for file i once the engine has loaded it; returns the file to
// merge in its place, or "" to skip it.
std::string MergeRun::checkFile(std::int32_t i) {
    // Cancel stops the run between two files: the merge then writes no output, and an
    // earlier one stays as it was.
    if (form_.cancel_requested) {
        cancelled_ = true;
        throw Abandon();
    }
    bool skip = false;
    bool useSource = true;
    std::string path;
    std::string name;
    std::string password;
    const bool went = trap_.run({
        [&] {
            path = filelist::pathOfRow(form_.merge_grid, i);
            name = nameOf(i);
            password = form_.merge_grid.textMatrix(i, filelist::kColPassword);
            // The file is still merged: the merge leaves it out and says so.
            if (pdf_.SelectedDocument() == 0) leaveOut("Error loading file " + path);
        },
        [&] { checkProtected(i, path, name, password, skip, useSource); },
        [&] {
            if (skip) return;
            handed_.push_back(i);
            advance();
        },
        [&] { loaded_.releaseAll(); },
    });
    if (!went) {
        abandoned_ = true;
        throw Abandon();
    }
    if (skip) return {};
    return useSource ? path : copies_.pathOf(i);
}

void MergeRun::checkProtected(std::int32_t i, const std::string& path, const std::string& name,
                              const std::string& password, bool& skip, bool& useSource) {
    if (pdf_.EncryptionStatus() == 0) return;
    const std::string trimmed = trimBlanks(password);
    if (trimmed.empty()) {
        if (pdf_.Decrypt() == 0) {
            skip = true;
            leaveOut(name + " " + text_.MsgErrDecryptAddPassw);
        }
    } else {
        if (pdf_.SetPassword(trimmed) == 0) {
            leaveOut("Password for " + name + " " + text_.MsgErrDecryptWrPassw);
            skip = true;
        }
        if (!skip) {
            // The copy is made with the password that was just accepted: the text as
            // typed, blanks and all, would not open the file.
            const std::string copy = copies_.reserve(output_, i);
            if (!copy.empty() && pdf_.DecryptFile(path, copy, trimmed) != 0) {
                loaded_.add(pdf_.LoadFromFile(copy));
                useSource = false;
            } else {
                leaveOut(name + " " + text_.MsgErrDecrypt);
                copies_.remove(i);
                skip = true;
            }
        }
    }
    advance();
}

void MergeRun::merge() {
    const bool went =
        trap_.run({
                      [&] {
                          try {
                              merged_ = pdf_.MergeFileList(listName_, output_);
                          } catch (const Abandon&) {
                              // Thrown by checkFile: cancelled_ or abandoned_ says why.
                              merged_ = 0;
                          }
                      },
                      [&] { tellWhatFailed(); },
                      [&] { copies_.removeAll(); },
                      [&] {
                          SetProgressBarColour(form_.errors(), form_.mergepb, kBarColourDone);
                          showBar(100);
                      },
                      [&] { pdf_.RemoveDocument(pdf_.SelectedDocument()); },
                      [&] { report(); },
                  },
                  [&] { return cancelled_ || abandoned_; });
    if (!went || !cancelled_) return;
    trap_.run({
        [&] { loaded_.releaseAll(); },
        [&] { copies_.removeAll(); },
        [&] { showBar(0); },
        [&] { tell(text_.MsgMergeCancelled, msgbox::kInformation); },
    });
}

void MergeRun::tellWhatFailed() {
    if (abandoned_ || cancelled_ || merged_ >= count_) return;
    // The output itself could not be written (an empty name included): say so rather
    // than blame an input.
    if (merged_ == 0 && pdf_.LastErrorFile() == output_) {
        leaveOut(
            withFailureReason(text_, text_.MsgErrMergeSave + " " + output_, pdf_.LastErrorCode()));
        return;
    }
    // Name the first handed file the merge could not take; files skipped above have had
    // their own message.
    const std::vector<ListedFileOutcome> outcomes = pdf_.FileListOutcomes(listName_);
    std::size_t at = 0;
    while (at < handed_.size() && static_cast<std::size_t>(handed_[at]) <= outcomes.size() &&
           outcomes[static_cast<std::size_t>(handed_[at]) - 1] == ListedFileOutcome::Merged)
        ++at;
    if (at < handed_.size()) {
        if (at == 0 && handed_.size() >= 2)
            leaveOut(nameOf(handed_[0]) + "OR" + nameOf(handed_[1]) + " " + text_.MsgErrMerge);
        else
            leaveOut(nameOf(handed_[at]) + " " + text_.MsgErrMerge);
    }
    // The count is of leading files: any merged file means the output was written.
    if (std::count(outcomes.begin(), outcomes.end(), ListedFileOutcome::Merged) > 0)
        leaveOut(text_.MsgMergeWrittenTo + " " + output_);
}

void MergeRun::report() {
    if (merged_ >= count_) {
        tell(text_.MsgMergeDone, msgbox::kInformation);
        form_.tmerge_pb.interval = kBarTimerInterval;
        form_.tmerge_pb.enabled = true;
    } else {
        // One box for the run; its first line is the one scripts look for.
        std::string text = "Merge process failed!";
        for (const std::string& line : leftOut_) text += "\n" + line;
        warn(text);
    }
}

}  // namespace

void Form1::cmd_merge_Click() {
    MergeRun(*this).go();
}

void Form1::tmerge_pb_Timer() {
    Trap trap(errors_, kFormName, "tmerge_pb_Timer");
    trap.step([&] {
        mergepb.value = 0;
        tmerge_pb.enabled = false;
    });
}

}  // namespace pagemeld
