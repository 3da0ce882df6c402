#include "batch/terminal_progress.h"

#include <algorithm>
#include <ostream>
#include <utility>

namespace pagemeld {

TerminalProgress::TerminalProgress(std::ostream& out, std::chrono::milliseconds delay, Clock clock)
    : out_(out), clock_(std::move(clock)), showFrom_(clock_() + delay) {}

void TerminalProgress::update(std::size_t done, std::size_t total) {
    const auto now = clock_();
    // Ten lines a second are enough to read, and cost a slow terminal nothing.
    if (now < showFrom_ || (now < nextDraw_ && done != total)) return;
    nextDraw_ = now + std::chrono::milliseconds(100);
    std::string line = std::to_string(done) + "/" + std::to_string(total) + " " + words_;
    if (line == shown_) return;
    // A shorter line must cover all of the longer one before it.
    const std::size_t width = std::max(line.size(), shown_.size());
    shown_ = line;
    line.resize(width, ' ');
    out_ << '\r' << line << std::flush;
}

void TerminalProgress::finish() {
    if (shown_.empty()) return;
    out_ << '\r' << std::string(shown_.size(), ' ') << '\r' << std::flush;
    shown_.clear();
}

}  // namespace pagemeld
