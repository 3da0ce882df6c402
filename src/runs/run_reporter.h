// What a run tells and asks while it works. The window moves its bar, reads its Cancel
// button and asks its question in a box; a quiet request writes its log. A run never
// shows a text of its own: it reports facts, and whoever started it words them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace pagemeld {

// Numbered outputs that are files already.
struct ReplaceQuestion {
    std::string destination;
    std::int32_t existing = 0;
};

// Something a run met, told as it happens, so that a log keeps the order of events.
struct RunEvent {
    enum class Kind {
        InputOpened,    // input `input` opened and is about to be used
        OutputSkipped,  // `file` was not written: it would replace a file the request keeps
    };
    Kind kind;
    std::size_t input = 0;
    std::string file;
};

class RunReporter {
public:
    virtual ~RunReporter() = default;
    // The request's checks passed: the run begins its work.
    virtual void started() {}
    // How far the run is, 0..100.
    virtual void progress(int /*percent*/) {}
    // `done` of the `total` inputs have been taken (a merge tells each one).
    virtual void inputDone(std::size_t /*done*/, std::size_t /*total*/) {}
    // Asked between files, pieces and passes: true stops the run there.
    virtual bool cancelled() { return false; }
    // Outputs would replace files that are there: true lets the run go on.
    virtual bool mayReplace(const ReplaceQuestion& /*question*/) { return false; }
    // `output` is about to be written.
    virtual void writing(const std::string& /*output*/) {}
    virtual void note(const RunEvent& /*event*/) {}
};

}  // namespace pagemeld
