// The command-line reading on arbitrary text: cutting items off a line and
// recognising whole requests must end, never read out of bounds, and keep the
// promises callers rely on (a refused request hands nothing on, limits hold).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "batch/command_line.h"

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken promise: %s\n", what);
        std::abort();
    }
}

// Names complete without touching the disk; whether one "exists" follows its length.
pagemeld::CompletedName fakeComplete(const std::string& name) {
    if (name.empty()) return {};
    const std::string path = name.front() == '/' ? name : "/fuzz/" + name;
    return {path, name.size() % 2 == 0};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 64 * 1024) return -1;
    const std::string text(reinterpret_cast<const char*>(data), size);

    // Cutting items one by one always gets shorter, or refuses and changes nothing.
    std::string line = text;
    for (std::size_t rounds = 0; !line.empty(); ++rounds) {
        check(rounds <= text.size(), "process_line_oneitem made no progress");
        const std::string before = line;
        std::string fis = "previous";
        const pagemeld::ItemCut cut = pagemeld::process_line_oneitem(line, fis);
        if (cut == pagemeld::ItemCut::UnclosedQuote) {
            check(line == before && fis == "previous", "a refused cut changed its arguments");
            break;
        }
        check(line.size() < before.size(), "a cut left the line as long as it was");
    }

    // A small merge limit makes the "names left out" path reachable.
    const std::size_t mergeMax = size % 7 + 1;
    const pagemeld::CommandLineRequest request =
        pagemeld::parseCommandLine(text, fakeComplete, mergeMax);
    if (request.problem != pagemeld::RequestProblem::None) {
        check(request.inputs.empty() && !request.output && request.files.empty(),
              "a refused request still hands names on");
    }
    check(request.inputs.size() <= pagemeld::kBatchFilesMax, "too many quiet inputs");
    check(request.files.size() <= mergeMax, "more names than the merge limit");
    if (request.kind == pagemeld::RequestKind::Split) {
        check(request.files.size() <= 1, "a split request with more than one file");
    }
    (void)pagemeld::requestKind(text);

    // Joining arguments and reading them back must not fail either.
    std::vector<std::string> args{"pagemeld"};
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\n') {
            args.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    (void)pagemeld::parseCommandLine(pagemeld::joinArguments(args), fakeComplete);
    return 0;
}
