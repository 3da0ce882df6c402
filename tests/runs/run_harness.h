// A run over generated PDFs, without any window: the request's files in a work folder,
// a reporter that records what the run told and answers what it asked, and the error
// trap a window or a quiet request would give it.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "errors/trap.h"
#include "runs/run_reporter.h"
#include "support/hooked_engine.h"
#include "support/work_folder.h"

namespace pagemeld::testing {

// Records events as "opened <file>", "writing <file>", "skipped <file>" and the last
// progress; answers the replace question from `answers` (No when it runs out) and
// cancels once `cancelAfter` outputs were announced.
class RecordingReporter : public RunReporter {
public:
    void progress(int percent) override { lastProgress = percent; }
    bool cancelled() override { return cancelAfter >= 0 && writes >= cancelAfter; }
    bool mayReplace(const ReplaceQuestion& question) override {
        questions.push_back(question.destination + " " + std::to_string(question.existing));
        return nextAnswer(answers, false);
    }
    void writing(const std::string& output) override {
        ++writes;
        events.push_back("writing " + output);
    }
    void note(const RunEvent& event) override {
        events.push_back((event.kind == RunEvent::Kind::InputOpened ? "opened " : "skipped ") +
                         event.file);
    }

    std::vector<std::string> events;
    std::vector<std::string> questions;
    std::deque<bool> answers;
    int cancelAfter = -1;
    int writes = 0;
    int lastProgress = -1;
};

class RunHarness : public ::testing::Test, protected WorkFolder {
protected:
    HookedEngine pdf;
    RecordingReporter reporter;
    Trap trap{errors, kFormName, "a_run"};
};

}  // namespace pagemeld::testing
