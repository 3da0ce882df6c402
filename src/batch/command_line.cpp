#include "batch/command_line.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <utility>

#include "base/file_names.h"
#include "base/file_system.h"
#include "base/system_info.h"
#include "base/text_encoding.h"
#include "runs/split_plan.h"

namespace pagemeld {
namespace {

constexpr std::size_t kNone = std::string::npos;

// The output marker of the quiet requests.
constexpr std::string_view kOutputMarker = "-o";

// Command lines are trimmed of spaces only, as a Windows command line is.
std::string_view trimView(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == kNone) return {};
    const std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::string trimSpaces(std::string_view text) {
    return std::string(trimView(text));
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// The 1-based character position of the byte at `index`, 0 for kNone. The limits the
// parsing compares against count characters, so accented names cut like plain ones.
long characterPosition(std::string_view text, std::size_t index) {
    if (index == kNone) return 0;
    return static_cast<long>(utf8Length(text.substr(0, index))) + 1;
}

bool isPdfEndingAt(std::string_view text, std::size_t at) {
    constexpr std::string_view kEnding = ".pdf";
    if (at + kEnding.size() > text.size()) return false;
    for (std::size_t i = 0; i < kEnding.size(); ++i) {
        char ch = text[at + i];
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
        if (ch != kEnding[i]) return false;
    }
    return true;
}

// Where the ".pdf" that decides about the first space starts: the last one that starts
// before the space (so "a.pdf|b.pdf c.pdf" is cut after b.pdf), otherwise the first one
// in the line. Scanners write ".PDF", so the case does not matter. Only the first name
// is read, so cutting a long request name by name stays linear.
std::size_t decidingPdf(std::string_view line, std::size_t spaceAt) {
    for (std::size_t at = std::min(spaceAt, line.size()); at-- > 0;) {
        if (isPdfEndingAt(line, at)) return at;
    }
    for (std::size_t at = spaceAt; at < line.size(); ++at) {
        if (isPdfEndingAt(line, at)) return at;
    }
    return kNone;
}

// A refused request hands nothing on, so no caller can half carry it out.
CommandLineRequest refuse(CommandLineRequest request, RequestProblem problem) {
    request.problem = problem;
    request.inputs.clear();
    request.output.reset();
    request.files.clear();
    request.inputPages.clear();
    request.namesLeftOut = false;
    request.bookmarkLevel.reset();
    request.maxMegabytes.reset();
    return request;
}

// What may follow a closing quote: the end, the space before the next item, or the
// "|" that joins names of an interactive merge.
bool endsQuotedName(std::string_view text, std::size_t closeAt) {
    return closeAt + 1 >= text.size() || text[closeAt + 1] == ' ' || text[closeAt + 1] == '|';
}

// True when the item process_line_oneitem would cut next is quoted, but its quotes do
// not go around the whole name: the cut would give a name the user never wrote. An
// unclosed quote is not this case; the cut itself refuses it.
bool quoteInsideName(std::string_view line) {
    const std::size_t quoteAt = line.substr(0, line.find(' ')).find('"');
    if (quoteAt == kNone) return false;
    const std::size_t closeAt = line.find('"', quoteAt + 1);
    if (closeAt == kNone) return false;
    return quoteAt != 0 || !endsQuotedName(line, closeAt);
}

// process_line_oneitem over a view that moves on, so that a request of a thousand
// names is not copied again after every name.
ItemCut cutItem(std::string_view& line, std::string& fis) {
    const std::size_t spaceAt = line.find(' ');
    const std::size_t quoteAt = line.substr(0, spaceAt).find('"');

    if (quoteAt != kNone) {
        const std::size_t closeAt = line.find('"', quoteAt + 1);
        if (closeAt == kNone) return ItemCut::UnclosedQuote;
        fis = line.substr(quoteAt + 1, closeAt - quoteAt - 1);
        line = trimView(line.substr(closeAt + 1));
        return ItemCut::Cut;
    }

    if (spaceAt != kNone) {
        const long sp = characterPosition(line, spaceAt);
        const long pdf = characterPosition(line, decidingPdf(line, spaceAt));
        if (pdf >= sp - 5) {
            fis = line.substr(0, spaceAt);
            line = trimView(line.substr(spaceAt + 1));
            return ItemCut::Cut;
        }
    }

    fis = line;
    line = {};
    return ItemCut::Cut;
}

// Cuts the next name (or "|"-joined names) off `text`; what stops it, if anything.
RequestProblem cutName(std::string_view& text, std::string& name) {
    if (quoteInsideName(text)) return RequestProblem::QuoteInName;
    if (cutItem(text, name) == ItemCut::UnclosedQuote) return RequestProblem::UnclosedQuote;
    return RequestProblem::None;
}

// Where the output marker stands as a word of its own, outside any quoted name: a
// name such as "my-old.pdf" holds "-o" without being the marker.
std::size_t outputMarkerAt(std::string_view text) {
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"') quoted = !quoted;
        if (quoted || text.substr(i, kOutputMarker.size()) != kOutputMarker) continue;
        const std::size_t after = i + kOutputMarker.size();
        if ((i == 0 || text[i - 1] == ' ') && (after == text.size() || text[after] == ' ')) {
            return i;
        }
    }
    return kNone;
}

// A merge output that names a folder, by its ending or because one is there, names
// no file to write.
bool namesFolder(const std::string& name, const CompletedName& completed) {
    return completed.isFolder || name.back() == '/' || name.back() == '\\';
}

// The word up to the next space, or a quoted text, cut off `text`.
std::string cutWord(std::string_view& text) {
    std::string word;
    if (!text.empty() && text.front() == '"') {
        const std::size_t closeAt = text.find('"', 1);
        word = text.substr(1, closeAt - 1);
        text = trimView(text.substr(closeAt + 1));
        return word;
    }
    const std::size_t spaceAt = text.find(' ');
    word = text.substr(0, spaceAt);
    text = spaceAt == kNone ? std::string_view() : trimView(text.substr(spaceAt + 1));
    return word;
}

// "N,M": two whole numbers of at least 1.
bool readPair(const std::string& text, std::array<std::int32_t, 2>& pair) {
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos) return false;
    const auto first = wholeNumberField(text.substr(0, comma));
    const auto second = wholeNumberField(text.substr(comma + 1));
    if (!first || !second) return false;
    pair = {*first, *second};
    return true;
}

// A switch word ("--...") among the names of a quiet merge or mix, cut off `names`
// with its value; false when the request does not take it or its value is unclear.
bool takeSwitch(std::string_view& names, CommandLineRequest& request) {
    const std::string word = cutWord(names);
    const bool merge = request.kind == RequestKind::QuietMerge;
    const bool mix = request.kind == RequestKind::QuietMix;
    if (merge && word == "--bookmark-each") return request.bookmarkEach = true;
    if (merge && word == "--blank-odd") return request.blankOdd = true;
    if (mix && word == "--reverse-second") return request.reverseSecond = true;
    if (names.empty()) return false;
    const std::string value = cutWord(names);
    if (merge && word == "--pages") {
        // After a name, and once for it.
        if (request.inputs.empty() || !request.inputPages.back().empty() ||
            trimSpaces(value).empty())
            return false;
        request.inputPages.back() = value;
        return true;
    }
    if (mix && word == "--groups") return readPair(value, request.mixGroups);
    if (mix && word == "--start") return readPair(value, request.mixStart);
    return false;
}

// "--bookmarks N" or "--max-size MB" as the next word of `text`, taken off it. They
// may stand anywhere among a quiet split's names, as the merge's page choice does.
RequestProblem takeSplitSwitch(std::string_view& text, CommandLineRequest& request) {
    for (std::string_view word : {"--bookmarks", "--max-size"}) {
        if (!startsWith(text, word) || (text.size() > word.size() && text[word.size()] != ' '))
            continue;
        if (request.kind != RequestKind::QuietSplit || request.bookmarkLevel ||
            request.maxMegabytes)
            return RequestProblem::BadSplitSwitch;
        std::string_view rest = trimView(text.substr(word.size()));
        const std::string_view number = rest.substr(0, rest.find(' '));
        const std::optional<std::int32_t> value = wholeNumberField(std::string(number));
        if (!value) return RequestProblem::BadSplitSwitch;
        (word == "--bookmarks" ? request.bookmarkLevel : request.maxMegabytes) = value;
        text = trimView(rest.substr(number.size()));
        return RequestProblem::None;
    }
    return RequestProblem::None;
}

// "-qs"/"-qm"/"-qx" [l] names -o output, the switch word already read. The log letter is
// "l" as a word of its own (or attached to the switch): a first name such as
// "labels.pdf" keeps its "l".
CommandLineRequest parseQuiet(std::string text, CommandLineRequest request, bool completeOutput,
                              const NameCompleter& complete, std::size_t quietMax) {
    if (!request.log && (text == "l" || startsWith(text, "l "))) {
        text = trimSpaces(std::string_view(text).substr(1));
        request.log = true;
    }
    const std::size_t markerAt = outputMarkerAt(text);
    if (markerAt == kNone) return refuse(std::move(request), RequestProblem::NoOutput);

    std::string_view names = trimView(std::string_view(text).substr(0, markerAt));
    while (!names.empty()) {
        const std::size_t before = names.size();
        if (const RequestProblem problem = takeSplitSwitch(names, request);
            problem != RequestProblem::None)
            return refuse(std::move(request), problem);
        // Another switch may follow.
        if (names.size() != before) continue;
        if (request.kind != RequestKind::QuietSplit && startsWith(names, "--")) {
            if (!takeSwitch(names, request))
                return refuse(std::move(request), RequestProblem::UnclearSwitch);
            continue;
        }
        std::string name;
        if (const RequestProblem problem = cutName(names, name); problem != RequestProblem::None) {
            return refuse(std::move(request), problem);
        }
        if (request.inputs.size() == quietMax) {
            return refuse(std::move(request), RequestProblem::TooManyNames);
        }
        request.inputs.push_back(complete(name).path);
        if (request.kind == RequestKind::QuietMerge) request.inputPages.emplace_back();
    }
    if (request.inputs.empty()) return refuse(std::move(request), RequestProblem::NoInput);
    if (request.kind == RequestKind::QuietMix && request.inputs.size() != 2)
        return refuse(std::move(request), RequestProblem::NotTwoInputs);

    std::string_view outputText =
        trimView(std::string_view(text).substr(markerAt + kOutputMarker.size()));
    std::string output;
    if (const RequestProblem problem = cutName(outputText, output);
        problem != RequestProblem::None) {
        return refuse(std::move(request), problem);
    }
    if (output.empty()) return refuse(std::move(request), RequestProblem::NoOutput);
    if (!outputText.empty()) return refuse(std::move(request), RequestProblem::TextAfterOutput);
    // A mix into a name ending in ".pdf" (or to standard output) writes one file; else a
    // folder takes a file per pass.
    if (request.kind == RequestKind::QuietMix) {
        request.mixOneFile = output == "-" || (endsInPdf(output) && output.size() > 4 &&
                                               output[output.size() - 4] == '.');
        completeOutput = request.mixOneFile;
    }
    if (completeOutput && output == "-") {
        request.output = output;
    } else if (completeOutput) {
        const CompletedName completed = complete(output);
        if (namesFolder(output, completed)) {
            return refuse(std::move(request), RequestProblem::NoOutput);
        }
        request.output = completed.path;
    } else {
        // A folder named without a final separator ("-o out", "-o .") takes the pieces
        // and the log: its name would otherwise start every piece's name, beside it.
        // A name that is no folder still does, as scripts may expect. ("c:" on Windows
        // is already the current folder of drive C; "c:\" would be another.)
        const std::string_view endsFolder = kOnWindows ? "\\/:" : kPathSeparators;
        if (complete(output).isFolder && endsFolder.find(output.back()) == kNone) {
            output += kPathSeparator;
        }
        request.output = output;
    }
    return request;
}

// "-s" name, or "-s" "name": the text between the first two quotes of the line, or
// else everything after the switch; a "|" ends the name.
CommandLineRequest parseSplit(const std::string& commandLine, const NameCompleter& complete) {
    CommandLineRequest request;
    request.kind = RequestKind::Split;

    std::string name;
    const std::size_t openAt = commandLine.find('"');
    if (openAt != kNone) {
        const std::size_t closeAt = commandLine.find('"', openAt + 1);
        if (closeAt == kNone) return refuse(std::move(request), RequestProblem::UnclosedQuote);
        // The quotes must hold the whole name: one inside it would load another file.
        if (!trimSpaces(std::string_view(commandLine).substr(2, openAt - 2)).empty() ||
            !endsQuotedName(commandLine, closeAt)) {
            return refuse(std::move(request), RequestProblem::QuoteInName);
        }
        name = commandLine.substr(openAt + 1, closeAt - openAt - 1);
    } else {
        name = trimSpaces(std::string_view(commandLine).substr(2));
    }
    const std::size_t barAt = name.find('|');
    if (barAt != kNone) name = trimSpaces(std::string_view(name).substr(0, barAt));

    request.files.push_back(complete(name));
    return request;
}

// "-m" names: items cut as the quiet requests cut them, each item one or more names
// separated by "|".
CommandLineRequest parseMerge(const std::string& commandLine, const NameCompleter& complete,
                              std::size_t mergeMax) {
    CommandLineRequest request;
    request.kind = RequestKind::Merge;

    std::string_view text = trimView(std::string_view(commandLine).substr(2));
    while (!text.empty()) {
        std::string item;
        if (const RequestProblem problem = cutName(text, item); problem != RequestProblem::None) {
            return refuse(std::move(request), problem);
        }
        std::string_view rest = item;
        while (!rest.empty()) {
            const std::size_t barAt = rest.find('|');
            const std::string name = trimSpaces(rest.substr(0, barAt));
            rest = barAt == kNone ? std::string_view() : rest.substr(barAt + 1);
            // "a.pdf||b.pdf" names no file between the bars.
            if (name.empty()) continue;
            if (request.files.size() == mergeMax) {
                request.namesLeftOut = true;
                return request;
            }
            request.files.push_back(complete(name));
        }
    }
    return request;
}

}  // namespace

ItemCut process_line_oneitem(std::string& line, std::string& fis) {
    std::string_view rest = line;
    const ItemCut cut = cutItem(rest, fis);
    if (cut == ItemCut::Cut) line = std::string(rest);
    return cut;
}

std::string joinArguments(const std::vector<std::string>& args) {
    std::string line;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (i > 1) line += ' ';
        if (args[i].find(' ') != std::string::npos) {
            line += '"' + args[i] + '"';
        } else {
            line += args[i];
        }
    }
    return line;
}

NameCompleter currentDirectoryCompleter() {
    return [](const std::string& name) -> CompletedName {
        if (name.empty()) return {};
        std::filesystem::path path = pathFromUtf8(name);
        std::error_code error;
        if (!path.is_absolute()) {
            const std::filesystem::path folder = std::filesystem::current_path(error);
            // Without a current folder nothing relative can be found.
            if (error) return {name, false};
            path = folder / path;
        }
        CompletedName completed;
        completed.path = pathToUtf8(path);
        const auto status = fileStatus(completed.path, error);
        completed.exists = std::filesystem::is_regular_file(status);
        completed.isFolder = std::filesystem::is_directory(status);
        return completed;
    };
}

RequestKind requestKind(const std::string& commandLine) {
    const std::string line = trimSpaces(commandLine);
    if (line.empty()) return RequestKind::None;
    const std::string_view word = std::string_view(line).substr(0, line.find(' '));
    // Switches are matched exactly, with case: "-QS" and "/qs" are not requests.
    if (word == "-qs" || word == "-qsl") return RequestKind::QuietSplit;
    if (word == "-qm" || word == "-qml") return RequestKind::QuietMerge;
    if (word == "-qx" || word == "-qxl") return RequestKind::QuietMix;
    if (word == "--help" || word == "-h" || word == "/?") return RequestKind::Help;
    if (word == "--version") return RequestKind::Version;
    // "-s" and "-m" take their name straight after the switch, as they always did.
    if (startsWith(line, "-s")) return RequestKind::Split;
    if (startsWith(line, "-m")) return RequestKind::Merge;
    return RequestKind::Invalid;
}

CommandLineRequest parseCommandLine(const std::string& commandLine, const NameCompleter& complete,
                                    std::size_t mergeMax, std::size_t quietMax) {
    const std::string line = trimSpaces(commandLine);
    CommandLineRequest request;
    request.kind = requestKind(line);
    switch (request.kind) {
        case RequestKind::QuietSplit:
        case RequestKind::QuietMerge:
        case RequestKind::QuietMix: {
            // An odd quote would hide the marker; the name it opens never ends.
            if (std::count(line.begin(), line.end(), '"') % 2 != 0) {
                return refuse(std::move(request), RequestProblem::UnclosedQuote);
            }
            const std::size_t switchEnd = std::min(line.find(' '), line.size());
            request.log = switchEnd == 4;  // "-qsl", "-qml", "-qxl"
            const bool completeOutput = request.kind == RequestKind::QuietMerge;
            return parseQuiet(trimSpaces(std::string_view(line).substr(switchEnd)),
                              std::move(request), completeOutput, complete, quietMax);
        }
        case RequestKind::Split:
            return parseSplit(line, complete);
        case RequestKind::Merge:
            return parseMerge(line, complete, mergeMax);
        default:
            return request;
    }
}

}  // namespace pagemeld
