#include "runs/mix_run.h"

#include "base/file_system.h"
#include "errors/trap.h"
#include "runs/document_information.h"

namespace pagemeld {

namespace {

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
                for (const MixPass& pass : plan.passes) {
                    const std::string output =
                        numberedOutputName(request.destination, request.baseName, pass.number);
                    if (sameFile(output, docs[0].fileName) || sameFile(output, docs[1].fileName)) {
                        result.clash = output;
                        stop = true;
                        return;
                    }
                }
            },
            [&] {
                stop = result.replaceRefused =
                    !mayWriteOutputs(request.existing, reporter, request.destination,
                                     request.baseName, plan.passes.size());
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
    for (const MixPass& pass : plan.passes) {
        NumberedOutput output{
            numberedOutputName(request.destination, request.baseName, pass.number),
            docs[0].pageRun(pass.first.first, pass.first.count)};
        const std::vector<PageRef> second = docs[1].pageRun(pass.second.first, pass.second.count);
        output.pages.insert(output.pages.end(), second.begin(), second.end());
        outputs.push_back(std::move(output));
    }
    writeOutputs(outputs, withEntries(docs[0].information, request.information), pdf, reporter,
                 trap, result);
    return result;
}

}  // namespace pagemeld
