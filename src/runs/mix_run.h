// The mix: the first document walked pass by pass; every pass joins a run of its pages
// with a run of the second document's pages (read over and over from its start page)
// and writes them as the next numbered output file.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "runs/mix_plan.h"
#include "runs/run_files.h"
#include "runs/run_reporter.h"

namespace pagemeld {

class Trap;

struct MixRequest {
    std::array<InputFile, 2> inputs;
    std::array<MixDocumentPlan, 2> plans;
    // Output n is numberedOutputName(destination, baseName, n).
    std::string destination;
    std::string baseName;
    // The highest page number taken from either document.
    std::int32_t pageLimit = kPageLimit;
    ExistingFiles existing = ExistingFiles::Ask;
    // Written over the first document's information entries in every output.
    DocumentInformation information;
    // Not empty: every pass goes, in order, into this one file instead.
    std::string oneFile = {};
};

struct MixResult : RunResult {
    // The document (0 or 1) whose start page lies beyond its last page: nothing written.
    std::optional<std::size_t> startBeyond;
    // A document has pages beyond the limit; the final message names `maxPage`.
    bool pagesIgnored = false;
    std::int32_t maxPage = 0;
};

// Runs `request`; each step goes through `trap`, the error trap of whoever started it.
MixResult runMix(const MixRequest& request, PdfEngine& pdf, RunReporter& reporter, Trap& trap);

}  // namespace pagemeld
