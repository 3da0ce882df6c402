#include "runs/run_files.h"

#include <filesystem>
#include <system_error>

#include "base/file_names.h"
#include "base/runtime_error.h"
#include "errors/trap.h"
#include "runs/split_plan.h"

namespace pagemeld {

OpenedDocument openInput(PdfEngine& pdf, const InputFile& input, InputOutcome& outcome) {
    if (!endsInPdf(input.path)) {
        outcome.fate = InputFate::NotPdfName;
        OpenedDocument none;
        none.fileName = input.path;
        none.failure = {errcode::kNotPdf, input.path};
        return none;
    }
    OpenedDocument document = pdf.open(input.path, input.password);
    if (document.failure) {
        outcome = {InputFate::NotLoaded, document.failure};
    } else if (document.locked) {
        outcome.fate = input.password.empty() ? InputFate::NeedsPassword : InputFate::WrongPassword;
    }
    return document;
}

KeptFiles::KeptFiles(const std::vector<std::string>& files) {
    for (const std::string& file : files) keep(file);
}

bool KeptFiles::wouldReplace(const std::string& output) const {
    const std::optional<FileIdentity> identity = fileIdentity(output);
    return identity && files_.count(*identity) > 0;
}

void KeptFiles::keep(const std::string& file) {
    if (const std::optional<FileIdentity> identity = fileIdentity(file)) files_.insert(*identity);
}

std::int32_t existingOutputs(const std::string& destination, const std::string& baseName,
                             std::int32_t outputs) {
    std::int32_t found = 0;
    for (std::int32_t number = 1; number <= outputs; ++number) {
        std::error_code ec;
        if (std::filesystem::exists(
                fileStatus(numberedOutputName(destination, baseName, number), ec)))
            ++found;
    }
    return found;
}

bool mayWriteOutputs(ExistingFiles existing, RunReporter& reporter, const std::string& destination,
                     const std::string& baseName, std::size_t outputs) {
    if (existing == ExistingFiles::Replace) return true;
    const std::int32_t found =
        existingOutputs(destination, baseName, static_cast<std::int32_t>(outputs));
    if (found == 0) return true;
    return existing == ExistingFiles::Ask && reporter.mayReplace({destination, found});
}

bool mayWriteNamedOutputs(ExistingFiles existing, RunReporter& reporter,
                          const std::string& destination,
                          const std::vector<NumberedOutput>& outputs) {
    if (existing == ExistingFiles::Replace) return true;
    std::int32_t found = 0;
    for (const NumberedOutput& output : outputs) {
        std::error_code ec;
        if (std::filesystem::exists(fileStatus(output.name, ec))) ++found;
    }
    if (found == 0) return true;
    return existing == ExistingFiles::Ask && reporter.mayReplace({destination, found});
}

void writeOutputs(const std::vector<NumberedOutput>& outputs,
                  const DocumentInformation& information, PdfEngine& pdf, RunReporter& reporter,
                  Trap& trap, RunResult& result) {
    reporter.started();
    std::size_t done = 0;
    for (const NumberedOutput& output : outputs) {
        if (reporter.cancelled()) {
            result.cancelled = true;
            return;
        }
        const bool carriedOn = trap.step([&] {
            if (output.skipped) {
                result.skipped.push_back(output.name);
                reporter.note({RunEvent::Kind::OutputSkipped, 0, output.name});
                return;
            }
            if (!output.pages.empty()) {
                reporter.writing(output.name);
                if (const PdfFailure failure = pdf.write(output.name, output.pages, information)) {
                    result.outputFailure = {failure.code, output.name};
                    return;
                }
                result.written.push_back(output.name);
            }
            reporter.progress(percentDone(++done, outputs.size()));
        });
        result.left = !carriedOn;
        if (result.left || result.outputFailure) return;
    }
}

}  // namespace pagemeld
