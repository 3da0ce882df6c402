// What the three runs share: their inputs and what became of each, the files a run must
// not replace, and the outputs that are there already.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "pdf/pdf_engine.h"
#include "runs/run_reporter.h"

namespace pagemeld {

class Trap;

struct InputFile {
    std::string path;
    std::string password;  // the password to open it with; "" for none
    // A merge's choice of its pages (page_choice.h); "" for every page.
    std::string pages = {};
};

enum class InputFate {
    NotReached,     // the run ended before it came to this input
    Used,           // its pages went into the output
    NotPdfName,     // its name does not end in "pdf": not opened
    NotLoaded,      // it could not be opened (failure says why)
    NeedsPassword,  // it is protected and no password was given
    WrongPassword,  // the password given does not open it
    NotWritten,     // it opened, but its pages could not be read into the output
    Unused,         // it opened, but the output failed before its pages went in
    NoChosenPages,  // it opened, but none of the pages chosen of it are in it
};

struct InputOutcome {
    InputFate fate = InputFate::NotReached;
    PdfFailure failure;
};

// What every run's result holds.
struct RunResult {
    std::vector<InputOutcome> inputs;  // one per input of the request, in order
    std::vector<std::string> written;  // the output files written, in order
    // Outputs left out, in order: they would have replaced a file the request keeps.
    std::vector<std::string> skipped;
    // An output that would have replaced an input, which ended the run before it wrote.
    std::string clash;
    // Outputs would have replaced files there, and the answer was No (or the request
    // refused it): nothing written.
    bool replaceRefused = false;
    PdfFailure outputFailure;  // an output could not be written; the run ended there
    bool cancelled = false;
    bool left = false;  // the error handler had the run left at once: nothing more to say
};

// What to do with outputs that are files already.
enum class ExistingFiles {
    Ask,      // ask once, for all of them (RunReporter::mayReplace)
    Replace,  // replace them
    Refuse,   // end the run before anything is written
};

// One numbered output of a split or a mix.
struct NumberedOutput {
    std::string name;
    std::vector<PageRef> pages;  // none: its number is used up, nothing is written
    bool skipped = false;        // it would replace a kept file: left out, and said so
};

// Opens `input` with its password. Sets `outcome` for an input that cannot be used
// (NotPdfName, NotLoaded, NeedsPassword, WrongPassword) and leaves it alone otherwise.
OpenedDocument openInput(PdfEngine& pdf, const InputFile& input, InputOutcome& outcome);

// Files no output may replace, known by identity whatever way their names are spelt.
class KeptFiles {
public:
    KeptFiles() = default;
    explicit KeptFiles(const std::vector<std::string>& files);
    // True when writing `output` would replace one of them.
    bool wouldReplace(const std::string& output) const;
    // Keeps one more (when it is there).
    void keep(const std::string& file);

private:
    std::set<FileIdentity> files_;
};

// How many of the numbered outputs 1..outputs (numberedOutputName) exist as files.
std::int32_t existingOutputs(const std::string& destination, const std::string& baseName,
                             std::int32_t outputs);

// Writes the outputs in order with `information`, each in a step of `trap`, telling
// `reporter` as it goes; stops at a Cancel, at an output that cannot be written, or when
// the error handler leaves the run. What happened is added to `result`.
void writeOutputs(const std::vector<NumberedOutput>& outputs,
                  const DocumentInformation& information, PdfEngine& pdf, RunReporter& reporter,
                  Trap& trap, RunResult& result);

// Whether a run may write its numbered outputs 1..outputs over the files of their names
// that are there already, as `existing` says (asking through `reporter`).
bool mayWriteOutputs(ExistingFiles existing, RunReporter& reporter, const std::string& destination,
                     const std::string& baseName, std::size_t outputs);

// The same for outputs named otherwise (a split at bookmarks): those of `outputs` that
// are files already.
bool mayWriteNamedOutputs(ExistingFiles existing, RunReporter& reporter,
                          const std::string& destination,
                          const std::vector<NumberedOutput>& outputs);

}  // namespace pagemeld
