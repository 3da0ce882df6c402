#include "batch/quiet_requests.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <fstream>

#include "app/app_state.h"
#include "app/shared_routines.h"
#include "base/file_system.h"
#include "base/platform.h"
#include "base/runtime_error.h"
#include "base/text_encoding.h"
#include "batch/request_files.h"
#include "errors/trap.h"
#include "lang/catalogue.h"
#include "lang/failure_reason.h"
#include "pdf/pdf_engine.h"
#include "split/document_information.h"
#include "split/split_plan.h"

namespace pagemeld {
namespace {

constexpr char kModule[] = "Form1";

bool endsInPdf(const std::string& name) {
    if (name.size() < 3) return false;
    std::string ending = name.substr(name.size() - 3);
    std::transform(ending.begin(), ending.end(), ending.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ending == "pdf";
}

// The file name without its folder and without its last four characters (whole
// characters, so a name such as "日本語pdf" does not lose half of one).
std::string baseNameOf(ErrorReporter& errors, const std::string& file) {
    const std::string name = ParsePath(errors, file, kPathName);
    const std::size_t length = utf8Length(name);
    return length > 4 ? utf8Left(name, length - 4) : std::string();
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
    if (context.state.batch_log == 0 || context.logLost) return;
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
    if (context.state.batch_log == 0 || context.logLost) {
        MsgBoxEx(context.errors, context.ui, reason.empty() ? line : line + "\r\n" + reason,
                 msgbox::kExclamation);
    }
}

void report_always(QuietRequestContext& context, const std::string& fis, const std::string& line) {
    add_line_to_log(context, fis, line);
    MsgBoxEx(context.errors, context.ui, line, msgbox::kExclamation);
}

}  // namespace

bool process_quiet_split_line(QuietRequestContext& context,
                              const std::vector<std::string>& pdffiles,
                              const std::string& outputfolder) {
    PdfEngine& pdf = context.pdf;
    const std::string logFile = outputfolder + "output.log";
    bool complete = true;
    RequestFiles files(pdffiles);
    Trap trap(context.errors, kModule, "process_quiet_split_line");
    if (!trap.step([&] {
            add_line_to_log(context, logFile,
                            "Processing request from:" + logTimestamp(context.system));
        })) {
        return false;
    }
    for (const std::string& name : pdffiles) {
        const bool carriedOn = trap.step([&] {
            if (!endsInPdf(name)) {
                report_problem(
                    context, logFile,
                    "Please use only PDF files. File:" + name + "- doesn't look to be a PDF");
                complete = false;
                return;
            }
            const std::int32_t source = pdf.LoadFromFile(name);
            if (source == 0) {
                report_problem(context, logFile, "Error loading file " + name);
                complete = false;
                return;
            }
            // Each input is let go once split: a long request must not hold them all.
            struct Release {
                PdfEngine& pdf;
                std::int32_t id;
                ~Release() { pdf.RemoveDocument(id); }
            } release{pdf, source};
            if (pdf.EncryptionStatus() != 0 && pdf.Decrypt() == 0) {
                report_problem(
                    context, logFile,
                    "File " + name + "cannot be decrypted using the quiet split method!");
                complete = false;
                return;
            }
            add_line_to_log(context, logFile, "Processing file " + name);
            context.state.output_file_counter = 0;
            const std::string base = baseNameOf(context.errors, name);
            const std::int32_t pages = pdf.pagecount();
            const std::int32_t last = std::min(pages, context.state.split_max_page);
            for (std::int32_t page = 1; page <= last; ++page) {
                ++context.state.output_file_counter;
                const std::string output =
                    numberedOutputName(outputfolder, base, context.state.output_file_counter);
                if (files.wouldReplace(output)) {
                    report_always(context, logFile, replacedFileLine(output));
                    complete = false;
                    continue;
                }
                const std::int32_t piece = pdf.ExtractPages(page, 1);
                pdf.SelectDocument(piece);
                save_pdf_info(pdf);
                add_line_to_log(context, logFile, "Saving output file: " + output);
                const bool saved = piece != 0 && pdf.SaveToFile(output) != 0;
                const std::int32_t saveError = pdf.LastErrorCode();
                pdf.RemoveDocument(piece);
                pdf.SelectDocument(source);
                if (!saved) {
                    // The same folder will refuse the next piece too: leave this file.
                    report_problem(context, logFile, output + " cannot be created!",
                                   failureReason(context.catalogue, saveError));
                    complete = false;
                    return;
                }
                files.note(output);
            }
            if (pages > last) {
                const Catalogue& texts = context.catalogue;
                report_always(context, logFile,
                              texts.MsgErrQuietSplitMax1 + " " + std::to_string(last) + " " +
                                  texts.MsgErrQuietSplitMax2 + " " + name);
                complete = false;
            }
        });
        if (!carriedOn) return false;
    }
    // A log asked for but not written is part of the request left undone.
    return complete && !context.logLost;
}

bool process_merge_line(QuietRequestContext& context, const std::vector<std::string>& pdffiles,
                        const std::string& fis) {
    PdfEngine& pdf = context.pdf;
    const std::string logFile = fis + ".log";
    Trap trap(context.errors, kModule, "process_merge_line");
    bool complete = true;
    if (!trap.step([&] {
            add_line_to_log(context, logFile,
                            "Processing request from:" + logTimestamp(context.system));
        })) {
        return false;
    }
    if (pdffiles.size() < 2) {
        trap.step(
            [&] { report_problem(context, logFile, "Please add at least 2 PDF files to merge!"); });
        return false;
    }
    if (RequestFiles(pdffiles).wouldReplace(fis)) {
        trap.step([&] { report_always(context, logFile, replacedFileLine(fis)); });
        return false;
    }
    // The files that look like PDFs go to the engine's file list as they are: the merge
    // opens each once, leaves out a file that fails, and tells what became of each.
    std::vector<std::string> listed;
    for (const std::string& name : pdffiles) {
        if (endsInPdf(name)) listed.push_back(name);
    }
    std::int32_t merged = 0;
    std::vector<ListedFileOutcome> outcomes;
    if (!trap.step([&] {
            if (listed.empty()) return;
            pdf.ClearFileList("");
            for (const std::string& name : listed) pdf.AddToFileList("", name);
            merged = pdf.MergeFileList("", fis);
            outcomes = pdf.FileListOutcomes("");
        })) {
        return false;
    }
    const std::int32_t saveError = pdf.LastErrorCode();
    const std::string saveErrorFile = pdf.LastErrorFile();
    outcomes.resize(listed.size(), ListedFileOutcome::NotReached);
    // The count is of leading files, so a first file left out makes it 0: the output
    // exists when any file went in and the output itself did not fail.
    const bool written =
        std::count(outcomes.begin(), outcomes.end(), ListedFileOutcome::Merged) != 0 &&
        !(merged == 0 && saveErrorFile == fis);
    // Only a merge stopped by its output leaves files unread: those are checked alone,
    // so that the log still tells which of them could have been merged.
    const auto checkAlone = [&](const std::string& name) {
        const std::int32_t id = pdf.LoadFromFile(name);
        if (id == 0) return ListedFileOutcome::NotLoaded;
        const bool readable = pdf.EncryptionStatus() == 0 || pdf.Decrypt() != 0;
        pdf.RemoveDocument(id);
        return readable ? ListedFileOutcome::Merged : ListedFileOutcome::NeedsPassword;
    };
    bool baseLogged = false;
    std::size_t next = 0;
    for (const std::string& name : pdffiles) {
        const bool carriedOn = trap.step([&] {
            if (!endsInPdf(name)) {
                report_problem(
                    context, logFile,
                    "Please add only PDF files. File:" + name + "- doesn't look to be a PDF");
                complete = false;
                return;
            }
            ListedFileOutcome outcome = outcomes[next++];
            if (outcome == ListedFileOutcome::NotReached) outcome = checkAlone(name);
            switch (outcome) {
                case ListedFileOutcome::Merged:
                    add_line_to_log(context, logFile,
                                    (baseLogged ? "Merged file: " : "Merged file(base): ") + name);
                    baseLogged = true;
                    return;
                case ListedFileOutcome::NotLoaded:
                    report_problem(context, logFile, "Error loading file " + name);
                    break;
                default:
                    // A file that needs a password cannot be read, so it cannot be the
                    // base either: it is skipped like any file that cannot be merged.
                    report_problem(context, logFile, name + " cannot be merged. It was skipped!");
                    break;
            }
            complete = false;
        });
        if (!carriedOn) return false;
    }
    trap.step([&] {
        if (written) return;
        complete = false;
        // Shown even with a log: the one problem a quiet merge always puts on screen.
        const std::string reason = !listed.empty() && saveErrorFile == fis
                                       ? failureReason(context.catalogue, saveError)
                                       : std::string();
        const std::string line = fis + " cannot be created!";
        MsgBoxEx(context.errors, context.ui, reason.empty() ? line : line + "\r\n" + reason,
                 msgbox::kExclamation);
        add_line_to_log(context, logFile, line);
        if (!reason.empty()) add_line_to_log(context, logFile, reason);
    });
    // A log asked for but not written is part of the request left undone.
    return complete && !context.logLost;
}

}  // namespace pagemeld
