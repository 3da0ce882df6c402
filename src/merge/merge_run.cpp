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
#include "app/text_encoding.h"
#include "errors/trap.h"
#include "lang/failure_reason.h"
#include "merge/file_list_grid.h"
#include "merge/temporary_copies.h"
#include "pdf/loaded_documents.h"
#include "pdf/pdf_engine.h"

namespace pagemeld {

namespace {

bool normalFileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(pathFromUtf8(path), ec);
}

}  // namespace

void Form1::cmd_merge_Click() {
    Trap trap(errors_, kFormName, "cmd_merge_Click");
    const std::string listName;  // names the engine's one file list
    std::string output;
    std::int32_t count = 0;
    double step = 0;
    double progress = 0;
    std::int32_t merged = 0;
    // The list rows handed to the engine's file list, in order: a skipped file is
    // not among them, so the engine's count maps back to rows through this.
    std::vector<int> handed;
    TemporaryCopies copies;
    LoadedDocuments loaded(pdf_);
    bool stop = false;
    bool cancelled = false;

    const auto showBar = [&](double value) {
        mergepb.value = static_cast<int>(std::lround(std::clamp(value, 0.0, 100.0)));
        if (repaint) repaint();
    };
    const auto advance = [&] {
        progress += step;
        showBar(progress);
    };
    const auto warn = [&](const std::string& text) {
        MsgBoxEx(errors_, ui_, text, msgbox::kExclamation);
    };
    const auto nameOf = [&](int row) { return merge_grid.textMatrix(row, filelist::kColName); };
    // Why files were left out, one line each, told together in the run's last box.
    std::vector<std::string> leftOut;
    const auto leaveOut = [&](const std::string& why) { leftOut.push_back(why); };

    const std::function<void()> checks[] = {
        [&] {
            output = moutput_file.text;
            if (normalFileExists(output) && chk_merge_ovr.value != kChecked) {
                warn(catalogue.MsgOutputFileExists);
                stop = true;
            }
        },
        [&] {
            count = state.mgrid_count;
            if (count < 2) {
                warn(catalogue.MsgErrAdd2files);
                stop = true;
            }
        },
        [&] {
            progress = 0;
            SetProgressBarColour(errors_, mergepb, kBarColourWorking);
            showBar(0);
            step = 90.0 / count / 2;
            pdf_.ClearFileList(listName);
        },
    };
    for (const auto& body : checks) {
        if (!trap.step(body) || stop) return;
    }

    for (int i = 1; i <= count; ++i) {
        if (!trap.step([&] { pdf_.AddToFileList(listName, filelist::pathOfRow(merge_grid, i)); }))
            return;
    }
    // Left when the error handler says so: the merge is then stopped without output.
    struct Abandon {};
    bool abandoned = false;
    // Called by the merge for file i once the engine has loaded it; returns the file to
    // merge in its place, or "" to skip it.
    const FileListCheck check = [&](std::int32_t i) -> std::string {
        // Cancel stops the run between two files: the merge then writes no output,
        // and an earlier one stays as it was.
        if (cancel_requested) {
            cancelled = true;
            throw Abandon();
        }
        bool skip = false;
        bool useSource = true;
        std::string path;
        std::string name;
        std::string password;
        const std::function<void()> fileSteps[] = {
            [&] {
                path = filelist::pathOfRow(merge_grid, i);
                name = nameOf(i);
                password = merge_grid.textMatrix(i, filelist::kColPassword);
                // The file is still merged: the merge leaves it out and says so.
                if (pdf_.SelectedDocument() == 0) leaveOut("Error loading file " + path);
            },
            [&] {
                if (pdf_.EncryptionStatus() == 0) return;
                const std::string trimmed = trimBlanks(password);
                if (trimmed.empty()) {
                    if (pdf_.Decrypt() == 0) {
                        skip = true;
                        leaveOut(name + " " + catalogue.MsgErrDecryptAddPassw);
                    }
                } else {
                    if (pdf_.SetPassword(trimmed) == 0) {
                        leaveOut("Password for " + name + " " + catalogue.MsgErrDecryptWrPassw);
                        skip = true;
                    }
                    if (!skip) {
                        // The copy is made with the password that was just accepted:
                        // the text as typed, blanks and all, would not open the file.
                        const std::string copy = copies.reserve(output, i);
                        if (!copy.empty() && pdf_.DecryptFile(path, copy, trimmed) != 0) {
                            loaded.add(pdf_.LoadFromFile(copy));
                            useSource = false;
                        } else {
                            leaveOut(name + " " + catalogue.MsgErrDecrypt);
                            copies.remove(i);
                            skip = true;
                        }
                    }
                }
                advance();
            },
            [&] {
                if (skip) return;
                handed.push_back(i);
                advance();
            },
            [&] { loaded.releaseAll(); },
        };
        for (const auto& body : fileSteps) {
            if (!trap.step(body)) {
                abandoned = true;
                throw Abandon();
            }
        }
        if (skip) return {};
        return useSource ? path : copies.pathOf(i);
    };
    if (!trap.step([&] { pdf_.SetFileListCheck(listName, check); })) return;

    const auto cancelledRun = [&] {
        trap.run({
            [&] { loaded.releaseAll(); },
            [&] { copies.removeAll(); },
            [&] { showBar(0); },
            [&] { MsgBoxEx(errors_, ui_, catalogue.MsgMergeCancelled, msgbox::kInformation); },
        });
    };
    const std::function<void()> finish[] = {
        [&] { merged = pdf_.MergeFileList(listName, output); },
        [&] {
            if (abandoned || cancelled || merged >= count) return;
            // The output itself could not be written: say so rather than blame an input.
            if (merged == 0 && !output.empty() && pdf_.LastErrorFile() == output) {
                leaveOut(withFailureReason(catalogue, catalogue.MsgErrMergeSave + " " + output,
                                           pdf_.LastErrorCode()));
                return;
            }
            // Name the first handed file the merge could not take; files skipped
            // above have had their own message.
            const std::vector<ListedFileOutcome> outcomes = pdf_.FileListOutcomes(listName);
            std::size_t at = 0;
            while (at < handed.size() && static_cast<std::size_t>(handed[at]) <= outcomes.size() &&
                   outcomes[static_cast<std::size_t>(handed[at]) - 1] == ListedFileOutcome::Merged)
                ++at;
            if (at < handed.size()) {
                if (at == 0 && handed.size() >= 2)
                    leaveOut(nameOf(handed[0]) + "OR" + nameOf(handed[1]) + " " +
                             catalogue.MsgErrMerge);
                else
                    leaveOut(nameOf(handed[at]) + " " + catalogue.MsgErrMerge);
            }
            // The count is of leading files: any merged file means the output was written.
            if (std::count(outcomes.begin(), outcomes.end(), ListedFileOutcome::Merged) > 0)
                leaveOut(catalogue.MsgMergeWrittenTo + " " + output);
        },
        [&] { copies.removeAll(); },
        [&] {
            SetProgressBarColour(errors_, mergepb, kBarColourDone);
            showBar(100);
        },
        [&] { pdf_.RemoveDocument(pdf_.SelectedDocument()); },
        [&] {
            if (merged >= count) {
                MsgBoxEx(errors_, ui_, catalogue.MsgMergeDone, msgbox::kInformation);
                tmerge_pb.interval = kBarTimerInterval;
                tmerge_pb.enabled = true;
            } else {
                // One box for the run; its first line is the one scripts look for.
                std::string report = "Merge process failed!";
                for (const std::string& line : leftOut) report += "\n" + line;
                warn(report);
            }
        },
    };
    for (const auto& body : finish) {
        if (!trap.step(body)) return;
        if (cancelled) return cancelledRun();
        if (abandoned) return;
    }
}

void Form1::tmerge_pb_Timer() {
    Trap trap(errors_, kFormName, "tmerge_pb_Timer");
    trap.step([&] {
        mergepb.value = 0;
        tmerge_pb.enabled = false;
    });
}

}  // namespace pagemeld
