#include "batch/quiet_requests.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <ostream>
#include <random>

#include "base/file_names.h"
#include "base/file_system.h"
#include "base/platform.h"
#include "base/runtime_error.h"
#include "base/text_encoding.h"
#include "batch/command_line.h"
#include "errors/trap.h"
#include "errors/trapped_routines.h"
#include "lang/catalogue.h"
#include "lang/failure_reason.h"
#include "runs/document_information.h"
#include "runs/merge_run.h"
#include "runs/mix_run.h"
#include "runs/split_plan.h"
#include "runs/split_run.h"
#include "runs/split_size.h"

namespace pagemeld {
namespace {

// The file name without its folder and without its last four characters.
std::string baseNameOf(ErrorReporter& errors, const std::string& file) {
    return nameLessExtension(ParsePath(errors, file, kPathName));
}

// The line that tells why an output was not written.
std::string replacedFileLine(const std::string& output) {
    return output + " was skipped: it would replace a file this request reads or wrote!";
}

// A problem with one input or output: logged, and shown when no log holds it, so a
// request without the log switch does not fail without a word. `reason` (why an
// output could not be written) follows on a line of its own.
void report_problem(QuietRequestContext& context, const std::string& fis, const std::string& line,
                    const std::string& reason = {});

// A problem logged and always shown, even with a log: an input nearly lost, or one
// not written whole.
void report_always(QuietRequestContext& context, const std::string& fis, const std::string& line);

}  // namespace

std::string logTimestamp(System& system) {
    const DateTime now = system.now();
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", now.year, now.month, now.day,
                  now.hour, now.minute, now.second);
    return text;
}

void add_line_to_log(QuietRequestContext& context, const std::string& fis,
                     const std::string& line) {
    if (!context.batch_log || context.logLost) return;
    if (context.logStream != nullptr) {
        *context.logStream << line << '\n' << std::flush;
        return;
    }
    errno = 0;
    std::ofstream log(systemPath(fis), std::ios::binary | std::ios::app);
    if (log) log << line << "\r\n";
    log.close();
    if (log) return;
    const int err = pathErrno(errno != 0 ? errno : EIO, pathFromUtf8(fis));
    // Opening for appending creates the file: a name that is not found is a missing folder.
    const std::int32_t code = err == ENOENT ? errcode::kPathNotFound : errorCodeFromErrno(err);
    // Told once: every later line would fail the same way.
    context.logLost = true;
    MsgBoxEx(
        context.errors, context.ui,
        withFailureReason(context.catalogue, "The log file " + fis + " cannot be written!", code),
        msgbox::kExclamation);
}

namespace {

void report_problem(QuietRequestContext& context, const std::string& fis, const std::string& line,
                    const std::string& reason) {
    add_line_to_log(context, fis, line);
    if (!reason.empty()) add_line_to_log(context, fis, reason);
    if (!context.batch_log || context.logLost) {
        MsgBoxEx(context.errors, context.ui, reason.empty() ? line : line + "\r\n" + reason,
                 msgbox::kExclamation);
    }
}

void report_always(QuietRequestContext& context, const std::string& fis, const std::string& line) {
    add_line_to_log(context, fis, line);
    MsgBoxEx(context.errors, context.ui, line, msgbox::kExclamation);
}

}  // namespace

namespace {

// A quiet split's log, kept as the run goes.
class QuietSplitLog : public RunReporter {
public:
    QuietSplitLog(QuietRequestContext& context, std::string logFile)
        : context_(context), logFile_(std::move(logFile)) {}

    void note(const RunEvent& event) override {
        if (event.kind == RunEvent::Kind::InputOpened) {
            add_line_to_log(context_, logFile_, "Processing file " + event.file);
        } else {
            report_always(context_, logFile_, replacedFileLine(event.file));
        }
    }
    void writing(const std::string& output) override {
        add_line_to_log(context_, logFile_, "Saving output file: " + output);
    }

private:
    QuietRequestContext& context_;
    std::string logFile_;
};

// What became of one input of a quiet split, logged; true when all of it was written
// (within the size asked for).
bool logSplit(QuietRequestContext& context, const std::string& logFile, const std::string& name,
              const SplitResult& result, std::int32_t level) {
    switch (result.inputs.front().fate) {
        case InputFate::NotPdfName:
            report_problem(
                context, logFile,
                "Please use only PDF files. File:" + name + "- doesn't look to be a PDF");
            return false;
        case InputFate::NotLoaded:
            report_problem(context, logFile, "Error loading file " + name);
            return false;
        case InputFate::NeedsPassword:
        case InputFate::WrongPassword:
            report_problem(context, logFile,
                           "File " + name + "cannot be decrypted using the quiet split method!");
            return false;
        default:
            break;
    }
    if (result.outputFailure) {
        // The same folder would refuse the next piece too: the run left this file.
        report_problem(context, logFile, result.outputFailure.file + " cannot be created!",
                       failureReason(context.catalogue, result.outputFailure.code));
        return false;
    }
    const Catalogue& texts = context.catalogue;
    if (result.noBookmarksAtLevel) {
        report_problem(context, logFile,
                       texts.MsgErrSplitNoBookmarks + " " + std::to_string(level) + ": " + name);
        return false;
    }
    if (result.bookmarksWithoutPage > 0) {
        add_line_to_log(context, logFile,
                        texts.MsgSplitBookmarksSkipped + " " +
                            std::to_string(result.bookmarksWithoutPage) + ": " + name);
    }
    if (!result.oversizePages.empty()) {
        report_problem(
            context, logFile,
            texts.MsgSplitOversizePages + " " + pageListText(result.oversizePages) + ": " + name);
        return false;
    }
    if (result.pagesLeftOut) {
        report_always(context, logFile,
                      texts.MsgErrQuietSplitMax1 + " " + std::to_string(result.limit) + " " +
                          texts.MsgErrQuietSplitMax2 + " " + name);
        return false;
    }
    return result.skipped.empty();
}

}  // namespace

namespace {

SplitMethod quietMethod(const QuietSplitMethod& method) {
    if (method.bookmarkLevel) return BookmarkPieces{*method.bookmarkLevel};
    if (method.maxMegabytes)
        return SizePieces{static_cast<std::uint64_t>(*method.maxMegabytes) * kBytesPerMegabyte};
    return FixedPieces{1, 1, 1};
}

}  // namespace

RequestOutcome process_quiet_split_line(QuietRequestContext& context,
                                        const std::vector<std::string>& pdffiles,
                                        const std::string& outputfolder,
                                        const QuietSplitMethod& method) {
    // Each page alone stops at the most pages it numbers; the other methods cut whole files.
    const bool everyPage = !method.bookmarkLevel && !method.maxMegabytes;
    const std::string logFile = outputfolder + "output.log";
    RequestOutcome outcome;
    Trap trap(context.errors, kFormName, "process_quiet_split_line");
    // The error handler had the request left: what was written stays written.
    const auto left = [&] {
        outcome.leftOut = true;
        return outcome;
    };
    if (!trap.step([&] {
            add_line_to_log(context, logFile,
                            "Processing request from:" + logTimestamp(context.system));
        })) {
        return left();
    }
    // No piece replaces an input of the request or a piece it wrote.
    std::vector<std::string> kept = pdffiles;
    QuietSplitLog log(context, logFile);
    for (std::size_t i = 0; i < pdffiles.size(); ++i) {
        const std::string& name = pdffiles[i];
        SplitRequest request;
        if (!trap.step([&] {
                request = {{name, ""},
                           quietMethod(method),
                           outputfolder,
                           baseNameOf(context.errors, name),
                           everyPage ? std::optional<std::int32_t>(kPageLimit) : std::nullopt,
                           ExistingFiles::Replace,
                           OnClash::SkipPiece,
                           kept,
                           outputInformation()};
            }))
            return left();
        const SplitResult result = runSplit(request, context.pdf, log, trap);
        outcome.written += result.written.size();
        if (result.left) return left();
        kept.insert(kept.end(), result.written.begin(), result.written.end());
        bool done = true;
        if (!trap.step([&] {
                done = logSplit(context, logFile, name, result, method.bookmarkLevel.value_or(0));
            }))
            return left();
        outcome.leftOut = outcome.leftOut || !done;
        if (context.progress) context.progress->update(i + 1, pdffiles.size());
    }
    if (context.progress) context.progress->finish();
    // A log asked for but not written is part of the request left undone.
    outcome.leftOut = outcome.leftOut || context.logLost;
    return outcome;
}

namespace {

// What became of each input of a quiet merge, in order.
void logMerge(QuietRequestContext& context, const std::string& logFile,
              const std::vector<std::string>& pdffiles, const MergeResult& result) {
    bool baseLogged = false;
    for (std::size_t i = 0; i < pdffiles.size(); ++i) {
        const std::string& name = pdffiles[i];
        switch (result.inputs[i].fate) {
            case InputFate::NotPdfName:
                report_problem(
                    context, logFile,
                    "Please add only PDF files. File:" + name + "- doesn't look to be a PDF");
                break;
            case InputFate::Used:
            case InputFate::Unused:
                // A file the failed output did not take could have been merged.
                add_line_to_log(context, logFile,
                                (baseLogged ? "Merged file: " : "Merged file(base): ") + name);
                baseLogged = true;
                break;
            case InputFate::NotLoaded:
                report_problem(context, logFile, "Error loading file " + name);
                break;
            default:
                // A file that needs a password cannot be read, so it cannot be the base
                // either: it is skipped like any file that cannot be merged.
                report_problem(context, logFile, name + " cannot be merged. It was skipped!");
                break;
        }
    }
}

}  // namespace

namespace {

// The quiet merge's progress: the run tells each input taken.
class QuietMergeProgress : public RunReporter {
public:
    explicit QuietMergeProgress(TerminalProgress* progress) : progress_(progress) {}
    void inputDone(std::size_t done, std::size_t total) override {
        if (progress_) progress_->update(done, total);
    }

private:
    TerminalProgress* progress_;
};

// A name for the merge on its way to standard output that no other file has.
std::string standardOutputFile(System& system) {
    std::random_device random;
    return system.tempFolder() + ".pagemeld-standard-output-" + std::to_string(random()) + "-" +
           std::to_string(random()) + ".pdf";
}

// Copies `file` to `out` in blocks; false when the stream took less than all of it (a
// closed pipe, a full disk).
bool deliver(const std::string& file, std::ostream& out) {
    std::ifstream in(systemPath(file), std::ios::binary);
    std::vector<char> block(256 * 1024);
    while (in && out) {
        in.read(block.data(), static_cast<std::streamsize>(block.size()));
        out.write(block.data(), in.gcount());
    }
    out.flush();
    return in.eof() && out;
}

}  // namespace

RequestOutcome process_merge_line(QuietRequestContext& context,
                                  const std::vector<std::string>& pdffiles, const std::string& fis,
                                  const QuietMergeChoices& choices) {
    const std::string logFile = fis + ".log";
    Trap trap(context.errors, kFormName, "process_merge_line");
    if (!trap.step([&] {
            add_line_to_log(context, logFile,
                            "Processing request from:" + logTimestamp(context.system));
        })) {
        return {0, true};
    }
    const bool toStandardOutput = fis == kStandardOutputName && context.standardOutput != nullptr;
    MergeRequest request;
    request.output = toStandardOutput ? standardOutputFile(context.system) : fis;
    request.outputMayBeAnInput = false;
    for (std::size_t i = 0; i < pdffiles.size(); ++i)
        request.inputs.push_back(
            {pdffiles[i], "", i < choices.pages.size() ? choices.pages[i] : std::string()});
    request.bookmarkEach = choices.bookmarkEach;
    request.blankAfterOdd = choices.blankOdd;
    QuietMergeProgress progress(context.progress);
    const MergeResult result = runMerge(request, context.pdf, progress, trap);
    if (context.progress) context.progress->finish();
    RequestOutcome outcome{result.written.size(), result.left || !result.complete()};
    bool delivered = true;
    if (toStandardOutput && !result.written.empty()) {
        delivered = deliver(request.output, *context.standardOutput);
        removeFile(request.output);
    }
    if (result.left) return outcome;
    const bool told = trap.step([&] {
        if (result.refusal == MergeRefusal::TooFewInputs) {
            report_problem(context, logFile, "Please add at least 2 PDF files to merge!");
            return;
        }
        if (result.refusal == MergeRefusal::OutputIsAnInput) {
            report_always(context, logFile, replacedFileLine(fis));
            return;
        }
        if (result.refusal == MergeRefusal::UnclearPages) {
            report_problem(context, logFile,
                           context.catalogue.MsgErrPageChoice + " " + result.unclearItem + " - " +
                               pdffiles[result.unclearInput]);
            return;
        }
        logMerge(context, logFile, pdffiles, result);
        if (!result.written.empty()) return;
        // Shown even with a log: the one problem a quiet merge always puts on screen.
        const std::string reason = result.outputFailure
                                       ? failureReason(context.catalogue, result.outputFailure.code)
                                       : std::string();
        const std::string line = fis + " cannot be created!";
        MsgBoxEx(context.errors, context.ui, reason.empty() ? line : line + "\r\n" + reason,
                 msgbox::kExclamation);
        add_line_to_log(context, logFile, line);
        if (!reason.empty()) add_line_to_log(context, logFile, reason);
    });
    // Said after what became of the inputs, as the last word of the request.
    if (!delivered) {
        trap.step([&] { report_always(context, logFile, context.catalogue.MsgErrStandardOutput); });
    }
    outcome.leftOut = outcome.leftOut || !told || !delivered || context.logLost;
    return outcome;
}

namespace {

// The window's mix messages for what ended a quiet mix, or none when it went through.
std::string mixProblem(const Catalogue& texts, const CommandLineRequest& request,
                       const MixResult& result) {
    for (std::size_t d = 0; d < 2; ++d) {
        const std::string& name = request.inputs[d];
        switch (result.inputs[d].fate) {
            case InputFate::NotLoaded:
            case InputFate::NotPdfName:
                return "Error loading file " + name;
            case InputFate::NeedsPassword:
            case InputFate::WrongPassword:
                return name + " " + texts.MsgErrDecryptAddPassw;
            default:
                break;
        }
    }
    if (result.startBeyond)
        return texts.MsgErrMixStartBeyond + " " + request.inputs[*result.startBeyond];
    if (!result.clash.empty()) return texts.MsgErrMixSave + " " + result.clash;
    if (result.outputFailure)
        return withFailureReason(texts, texts.MsgErrMixSave + " " + result.outputFailure.file,
                                 result.outputFailure.code);
    return {};
}

}  // namespace

RequestOutcome process_quiet_mix_line(QuietRequestContext& context,
                                      const CommandLineRequest& request) {
    const std::string& output = *request.output;
    const std::string logFile = output + (request.mixOneFile ? ".log" : "output.log");
    Trap trap(context.errors, kFormName, "process_quiet_mix_line");
    const bool toStandardOutput =
        request.mixOneFile && output == kStandardOutputName && context.standardOutput != nullptr;
    MixRequest mix;
    if (!trap.step([&] {
            add_line_to_log(context, logFile,
                            "Processing request from:" + logTimestamp(context.system));
            for (std::size_t d = 0; d < 2; ++d) {
                mix.inputs[d] = {request.inputs[d], ""};
                mix.plans[d] = mixDocumentPlan(true, request.mixGroups[d], request.mixGroups[d],
                                               request.mixStart[d]);
            }
            mix.plans[1].backwards = request.reverseSecond;
            mix.destination = request.mixOneFile ? std::string() : output;
            mix.baseName = baseNameOf(context.errors, request.inputs[0]);
            mix.oneFile = !request.mixOneFile ? std::string()
                          : toStandardOutput  ? standardOutputFile(context.system)
                                              : output;
            mix.existing = ExistingFiles::Replace;
            mix.information = outputInformation();
        }))
        return {0, true};
    QuietSplitLog log(context, logFile);
    const MixResult result = runMix(mix, context.pdf, log, trap);
    RequestOutcome outcome{result.written.size(), true};
    bool delivered = true;
    if (toStandardOutput && !result.written.empty()) {
        delivered = deliver(mix.oneFile, *context.standardOutput);
        removeFile(mix.oneFile);
    }
    if (result.left) return outcome;
    bool done = false;
    const bool told = trap.step([&] {
        const Catalogue& texts = context.catalogue;
        if (const std::string problem = mixProblem(texts, request, result); !problem.empty()) {
            report_problem(context, logFile, problem);
            return;
        }
        if (result.pagesIgnored) {
            report_always(context, logFile,
                          texts.MsgErrMixAboveMax1 + " " + std::to_string(result.maxPage) + " " +
                              texts.MsgErrMixAboveMax2);
            return;
        }
        add_line_to_log(context, logFile, texts.MsgMixDone);
        done = true;
    });
    if (!delivered) {
        trap.step([&] { report_always(context, logFile, context.catalogue.MsgErrStandardOutput); });
    }
    outcome.leftOut = !told || !done || !delivered || context.logLost;
    return outcome;
}

}  // namespace pagemeld
