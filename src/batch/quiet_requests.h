// The two quiet requests: every page of the named files into a file of its own, or
// the named files merged into one. Nothing is shown (but for a merge output that
// cannot be created); what happens is written to a log when one was asked for.
#pragma once

#include <string>
#include <vector>

namespace pagemeld {

struct AppState;
class ErrorReporter;
class PdfEngine;
class System;
class Ui;

struct QuietRequestContext {
    PdfEngine& pdf;
    AppState& state;  // batch_log, split_max_page, output_file_counter
    ErrorReporter& errors;
    Ui& ui;
    System& system;  // the clock of the log's start line
};

// Appends `line` and a line end to the log file `fis` when a log was asked for.
// Throws a RuntimeError when the log cannot be written.
void add_line_to_log(QuietRequestContext& context, const std::string& fis, const std::string& line);

// Splits every page (up to split_max_page) of each file into output folder + base +
// number + ".pdf", numbering from 01 for every file. Returns true when every file was
// split and every piece written.
bool process_quiet_split_line(QuietRequestContext& context,
                              const std::vector<std::string>& pdffiles,
                              const std::string& outputfolder);

// Merges the files, in order, into `fis`. Returns true when every file was merged and
// the output written.
bool process_merge_line(QuietRequestContext& context, const std::vector<std::string>& pdffiles,
                        const std::string& fis);

// The start line's date and time, as the log shows it.
std::string logTimestamp(System& system);

}  // namespace pagemeld
