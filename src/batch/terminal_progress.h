// A one-line count of the files done, for a person watching a long quiet request in a
// terminal. Nothing is written for a short request, to a pipe or a file (logs and
// scripts read standard error too), or when it was turned off.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <iosfwd>
#include <string>
#include <utility>

namespace pagemeld {

class TerminalProgress {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // The line appears once `delay` has passed since construction; `clock` is
    // injectable for tests.
    explicit TerminalProgress(std::ostream& out,
                              std::chrono::milliseconds delay = std::chrono::seconds(2),
                              Clock clock = std::chrono::steady_clock::now);

    // What follows the count, in the user's language ("files done").
    void setWords(std::string words) { words_ = std::move(words); }

    // `done` of `total` files are done. Rewrites the line when it changed, at most ten
    // times a second but always for the last file.
    void update(std::size_t done, std::size_t total);
    // Clears the line, so that what follows starts on a clean line.
    void finish();

private:
    std::ostream& out_;
    std::string words_;
    Clock clock_;
    std::chrono::steady_clock::time_point showFrom_;
    std::chrono::steady_clock::time_point nextDraw_;
    std::string shown_;
};

}  // namespace pagemeld
