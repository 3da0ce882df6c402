#include "batch/list_files.h"

#include <fstream>
#include <istream>
#include <string_view>

#include "base/file_system.h"
#include "batch/command_line.h"

namespace pagemeld {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kStandardInputList = "@-";

bool isBlank(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

bool isQuietRequest(const std::vector<std::string>& args) {
    if (args.size() < 2) return false;
    const RequestKind kind = requestKind(args[1]);
    return kind == RequestKind::QuietSplit || kind == RequestKind::QuietMerge;
}

}  // namespace

std::vector<std::string> listedArguments(std::istream& list) {
    std::vector<std::string> args;
    bool first = true;
    for (std::string line; std::getline(list, line);) {
        if (first && line.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0) {
            line.erase(0, kByteOrderMark.size());
        }
        first = false;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (isBlank(line) || line.front() == '#') continue;
        const std::size_t tabAt = line.find('\t');
        const std::string range = tabAt == std::string::npos ? "" : line.substr(tabAt + 1);
        args.push_back(line.substr(0, tabAt));
        if (!isBlank(range)) {
            const std::size_t from = range.find_first_not_of(" \t");
            const std::size_t to = range.find_last_not_of(" \t");
            args.insert(args.end(), {"--pages", range.substr(from, to - from + 1)});
        }
    }
    return args;
}

ExpandedArguments expandListFiles(const std::vector<std::string>& args,
                                  std::istream& standardInput) {
    ExpandedArguments expanded;
    if (!isQuietRequest(args)) {
        expanded.args = args;
        return expanded;
    }
    expanded.args.assign(args.begin(), args.begin() + 2);
    bool namesBegun = false;
    bool outputReached = false;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (word == "-o") outputReached = true;
        if (!namesBegun && !outputReached && word == "-q") {
            expanded.progressOff = true;
            continue;
        }
        if (word != "l") namesBegun = true;
        if (outputReached || word.size() < 2 || word.front() != '@') {
            expanded.args.push_back(word);
            continue;
        }
        std::vector<std::string> listed;
        if (word == kStandardInputList) {
            listed = listedArguments(standardInput);
        } else {
            std::ifstream list(systemPath(std::string_view(word).substr(1)), std::ios::binary);
            if (list) listed = listedArguments(list);
            // A folder opens on some systems and then reads nothing.
            if (!list.eof() || list.bad()) {
                return {{}, false, expanded.progressOff, word.substr(1)};
            }
        }
        expanded.fromList = true;
        expanded.args.insert(expanded.args.end(), listed.begin(), listed.end());
    }
    return expanded;
}

}  // namespace pagemeld
