// The two quiet requests: every page of the named files into a file of its own, or
// the named files merged into one. What happens is written to a log when one was
// asked for; a problem is shown (on the console) when no log holds it, and a merge
// output that cannot be created is always shown.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "batch/exit_status.h"
#include "batch/terminal_progress.h"

namespace pagemeld {

struct Catalogue;
struct CommandLineRequest;
class ErrorReporter;
class PdfEngine;
class System;
class Ui;

struct QuietRequestContext {
    PdfEngine& pdf;
    // The request asked for a log (batch_log); its lines are then written to it.
    bool batch_log;
    ErrorReporter& errors;
    Ui& ui;
    System& system;              // the clock of the log's start line
    const Catalogue& catalogue;  // why an output could not be written
    bool logLost = false;        // the log asked for could not be written
    // Where a merge named kStandardOutputName goes; without it "-" is a file's name.
    std::ostream* standardOutput = nullptr;
    // The log's lines go here instead of to a file (a merge to standard output).
    std::ostream* logStream = nullptr;
    TerminalProgress* progress = nullptr;  // the count of files done, on a terminal
};

// The output name that stands for standard output.
inline constexpr const char* kStandardOutputName = "-";

// Appends `line` and a line end to the log file `fis` when a log was asked for.
// A log that cannot be written is shown once, naming it and why; the request goes
// on without it, its problems shown instead.
void add_line_to_log(QuietRequestContext& context, const std::string& fis, const std::string& line);

// How a quiet split cuts each file: every page alone (neither set), at its bookmarks
// of levels 1..bookmarkLevel, or into pieces of at most maxMegabytes.
struct QuietSplitMethod {
    std::optional<std::int32_t> bookmarkLevel;
    std::optional<std::int32_t> maxMegabytes;
};

// Splits every page (up to page kPageLimit) of each file into output folder + base +
// number + ".pdf", numbering from 01 for every file; or, as `method` says, at each
// file's bookmarks (pieces named after them) or into numbered pieces of at most a size.
// Returns the pieces written, and whether a file was not split whole, a piece (or one
// within the size) or the log (if asked for) not written.
RequestOutcome process_quiet_split_line(QuietRequestContext& context,
                                        const std::vector<std::string>& pdffiles,
                                        const std::string& outputfolder,
                                        const QuietSplitMethod& method = {});

// What a quiet merge may choose besides its files: each file's pages ("" or none for
// every page), a bookmark for each file, a blank page after odd page counts.
struct QuietMergeChoices {
    std::vector<std::string> pages;
    bool bookmarkEach = false;
    bool blankOdd = false;
};

// Merges the files, in order, into `fis` (to standard output for kStandardOutputName).
// Returns whether the output was written, and whether a file was left out, the log
// (if asked for) not written, or the output not delivered whole.
RequestOutcome process_merge_line(QuietRequestContext& context,
                                  const std::vector<std::string>& pdffiles, const std::string& fis,
                                  const QuietMergeChoices& choices = {});

// Mixes the request's two documents into its output: one file when it names one (standard
// output for kStandardOutputName), else a file per pass in that folder, named after the
// first document. Returns the files written, and whether a pass was not written with all
// its pages or the log (if asked for) not written.
RequestOutcome process_quiet_mix_line(QuietRequestContext& context,
                                      const CommandLineRequest& request);

// The start line's date and time, as the log shows it.
std::string logTimestamp(System& system);

}  // namespace pagemeld
