// The merge: the inputs in order into one output file, each input opened once and let
// go once its pages are written, so memory stays flat however many files are merged.
// The window's merge and the quiet merge are this one run with different requests.
#pragma once

#include <string>
#include <vector>

#include "runs/run_files.h"
#include "runs/run_reporter.h"

namespace pagemeld {

class Trap;

struct MergeRequest {
    std::vector<InputFile> inputs;
    std::string output;
    // Replace or Refuse (an existing output ends the run before anything is done).
    ExistingFiles existing = ExistingFiles::Replace;
    // False: an output that is one of the inputs is refused. True: it is written over
    // that input once every input has been read.
    bool outputMayBeAnInput = true;
    // Written over the first merged file's information entries.
    DocumentInformation information;
    // Each file's pages under a bookmark of its own, titled with its name less ".pdf",
    // that holds the file's own bookmarks.
    bool bookmarkEach = false;
    // A blank page, sized like the file's last page, after each file that brings an odd
    // number of pages, when another file's pages follow it.
    bool blankAfterOdd = false;
};

enum class MergeRefusal {
    None,
    OutputExists,     // ExistingFiles::Refuse, and a file of the output's name is there
    TooFewInputs,     // fewer than two inputs
    OutputIsAnInput,  // and outputMayBeAnInput is false
    UnclearPages,     // an input's page choice holds an item that is not understood
};

struct MergeResult : RunResult {
    MergeRefusal refusal = MergeRefusal::None;
    // UnclearPages: the input and the item.
    std::size_t unclearInput = 0;
    std::string unclearItem;

    // Every input merged and the output written.
    bool complete() const;
};

// Runs `request`; each step goes through `trap`, the error trap of whoever started it.
// Progress: each protected input moves the bar by 45 / inputs once its password is
// dealt with, and each input that is not left out for its password once more; every
// file that goes through thus leaves a list of plain files at 45 and one of protected
// files at 90 before the end.
MergeResult runMerge(const MergeRequest& request, PdfEngine& pdf, RunReporter& reporter,
                     Trap& trap);

}  // namespace pagemeld
