// What the window's three runs share: the input a list row names, and the reporter
// through which a run moves its tab's bar, reads the Cancel button and asks before it
// replaces files.
#pragma once

#include "app/form1.h"
#include "runs/run_files.h"
#include "runs/run_reporter.h"

namespace pagemeld::filelist {

// File row `row` as a run's input: its full path, and its password without the blanks
// around it (the text as typed, blanks and all, would not open the file).
InputFile inputOfRow(const Grid& grid, int row);

// The base name and the destination typed for numbered outputs: a base name holding a
// character no file name may hold, or no destination, is refused with its message.
// True when refused.
bool refusesOutputPlace(Form1& form, const std::string& typedBase, const std::string& destination);

class WindowRunReporter : public RunReporter {
public:
    WindowRunReporter(Form1& form, ProgressBar& bar) : form_(form), bar_(bar) {}

    // The bar takes the working colour.
    void started() override;
    void progress(int percent) override;
    bool cancelled() override { return form_.cancel_requested; }
    // Asks how many files would be replaced (No is the default).
    bool mayReplace(const ReplaceQuestion& question) override;
    // The run is done: the bar full in the done colour, emptied by `reset` (if any) half
    // a second later.
    void finished(Timer* reset);

private:
    Form1& form_;
    ProgressBar& bar_;
};

// A run's bar timer: the bar empties, and the timer stops.
void emptyBar(Form1& form, ProgressBar& bar, Timer& timer);

// A tab's run button: the request the tab's controls make (none, the user told why,
// when what was typed cannot be taken), the run with the tab's bar, and its result in
// the tab's words. A run the error handler left has nothing more to say.
template <class Tab, class Run>
void runFromTab(Form1& form, ProgressBar& bar, Tab& tab, Trap& trap, Run run) {
    const auto request = tab.request();
    if (!request) return;
    WindowRunReporter reporter(form, bar);
    // The bar shows the working colour while the documents are opened.
    reporter.started();
    const auto result = run(*request, form.pdf(), reporter, trap);
    if (!result.left) tab.report(*request, result, reporter);
}

}  // namespace pagemeld::filelist
