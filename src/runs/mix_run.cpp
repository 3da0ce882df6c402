#include "runs/mix_run.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/file_system.h"
#include "errors/trap.h"
#include "runs/document_information.h"

namespace pagemeld {

namespace {

// The outputs the passes make: numbered files, or one file of every pass.
std::vector<std::string> outputNames(const MixRequest& request, const MixPlanResult& plan) {
    std::vector<std::string> names;
    if (!request.oneFile.empty()) {
        if (!plan.passes.empty()) names.push_back(request.oneFile);
        return names;
    }
    for (const MixPass& pass : plan.passes)
        names.push_back(numberedOutputName(request.destination, request.baseName, pass.number));
    return names;
}

bool mayWriteOneFile(const MixRequest& request, RunReporter& reporter) {
    std::error_code ec;
    if (request.existing == ExistingFiles::Replace ||
        !std::filesystem::exists(fileStatus(request.oneFile, ec)))
        return true;
    return request.existing == ExistingFiles::Ask && reporter.mayReplace({request.oneFile, 1});
}

// The pages of a pass's run of document `doc`; a document read backwards goes down.
std::vector<PageRef> runPages(const OpenedDocument& doc, const MixDocumentPlan& plan,
                              const PageRun& run) {
    if (!plan.backwards) return doc.pageRun(run.first, run.count);
    std::vector<PageRef> pages = doc.pageRun(run.first - run.count + 1, run.count);
    std::reverse(pages.begin(), pages.end());
    return pages;
}

// The checks and plan of a mix, before anything is written; false when the run ends.
bool prepare(const MixRequest& request, PdfEngine& pdf, RunReporter& reporter, Trap& trap,
             std::array<OpenedDocument, 2>& docs, MixPlanResult& plan, MixResult& result) {
    bool stop = false;
    const auto open = [&](std::size_t d) {
        docs[d] = openInput(pdf, request.inputs[d], result.inputs[d]);
        stop = !docs[d].opened();
        if (!stop) reporter.note({RunEvent::Kind::InputOpened, d, request.inputs[d].path});
    };
    const bool went = trap.run(
        {
            [&] { open(0); },
            [&] { open(1); },
            [&] {
                plan = planMix(docs[0].pageCount(), docs[1].pageCount(), request.plans[0],
                               request.plans[1], request.pageLimit);
                // A start page the document does not have would give no file, or files
                // without the second document's pages.
                if (request.plans[0].start > docs[0].pageCount())
                    result.startBeyond = 0;
                else if (plan.secondStartBeyondEnd)
                    result.startBeyond = 1;
                stop = result.startBeyond.has_value();
            },
            [&] {
                // The outputs must never replace the documents they are made from.
                for (const std::string& output : outputNames(request, plan)) {
                    if (sameFile(output, docs[0].fileName) || sameFile(output, docs[1].fileName)) {
                        result.clash = output;
                        stop = true;
                        return;
                    }
                }
            },
            [&] {
                stop = result.replaceRefused =
                    request.oneFile.empty()
                        ? !mayWriteOutputs(request.existing, reporter, request.destination,
                                           request.baseName, plan.passes.size())
                        : !mayWriteOneFile(request, reporter);
            },
        },
        [&] { return stop; });
    result.left = !went;
    return went && !stop;
}

}  // namespace

MixResult runMix(const MixRequest& request, PdfEngine& pdf, RunReporter& reporter, Trap& trap) {
    MixResult result;
    result.inputs.resize(2);
    std::array<OpenedDocument, 2> docs;
    MixPlanResult plan;
    if (!prepare(request, pdf, reporter, trap, docs, plan, result)) return result;

    for (InputOutcome& input : result.inputs) input.fate = InputFate::Used;
    result.pagesIgnored = plan.pagesIgnored;
    result.maxPage = plan.maxPage;
    std::vector<NumberedOutput> outputs;
    for (const std::string& name : outputNames(request, plan)) outputs.push_back({name, {}});
    for (std::size_t p = 0; p < plan.passes.size(); ++p) {
        const MixPass& pass = plan.passes[p];
        std::vector<PageRef>& pages = outputs[request.oneFile.empty() ? p : 0].pages;
        for (const std::vector<PageRef>& run : {runPages(docs[0], request.plans[0], pass.first),
                                                runPages(docs[1], request.plans[1], pass.second)})
            pages.insert(pages.end(), run.begin(), run.end());
    }
    writeOutputs(outputs, withEntries(docs[0].information, request.information), pdf, reporter,
                 trap, result);
    return result;
}

}  // namespace pagemeld
