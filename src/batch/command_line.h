// Reading the program's command line: recognising the request ("-qs", "-qm", "-s",
// "-m", help, the version) and cutting it into file names. Plain functions on a text, with no side
// effects: the routines that carry a request out work from the CommandLineRequest.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pagemeld {

// The most names a quiet request may hand on.
inline constexpr std::size_t kBatchFilesMax = 1000;
// The most names an interactive merge request may hand on (mgrid_max).
inline constexpr std::size_t kMergeRequestMax = 5000;

// What process_line_oneitem did with the line.
enum class ItemCut {
    Cut,            // an item was cut off into `fis`
    UnclosedQuote,  // the item opens a double quote that is never closed; nothing changed
};

// Cuts the first item off `line` into `fis`. The item is quoted when the line holds a
// double quote before its first space (or no space at all): the text between that
// quote and the next one, the line keeping what follows the closing quote, trimmed.
// Otherwise, when the first space lies at most five characters after the start of the
// ".pdf" that ends the first name (or, without any ".pdf" before it, at most at the
// fifth character), the item is the text before the first space and the line keeps the
// rest, trimmed; else the whole line is the item and the line becomes empty.
// Positions count characters, not bytes; ".pdf" is found whatever its case.
// An opening quote without a closing one leaves `line` and `fis` as they were and
// returns ItemCut::UnclosedQuote, so callers can refuse the request instead of
// cutting the same item forever.
ItemCut process_line_oneitem(std::string& line, std::string& fis);

// Joins the arguments after the program name (args[0]) into one command line, as the
// program would receive it on Windows: separated by single spaces, each argument that
// holds a space put in double quotes. Quotes inside an argument are left as they are.
std::string joinArguments(const std::vector<std::string>& args);

// A file name from the command line made into the path the program uses.
struct CompletedName {
    std::string path;       // the full path
    bool exists = false;    // a file (not a folder) of that path exists
    bool isFolder = false;  // a folder of that path exists
};

// Completes a name from the command line; tests pass their own.
using NameCompleter = std::function<CompletedName(const std::string& name)>;

// Absolute names stay as they are; relative names are taken from the current working
// directory. Existence is tested on the completed path, the same one that is used.
// An empty name stays empty and does not exist.
NameCompleter currentDirectoryCompleter();

enum class RequestKind {
    None,        // an empty command line
    QuietSplit,  // "-qs": split every page of the inputs into the output folder
    QuietMerge,  // "-qm": merge the inputs into the output file
    Split,       // "-s": preload the split list with one file
    Merge,       // "-m": preload the merge list
    Invalid,     // anything else: the MsgErrCL message, then the window opens
    Help,        // "--help", "-h" or "/?": the usage text
    Version,     // "--version": the program's version
    QuietMix,    // "-qx": mix two documents into the output folder or file
};

// Why a recognised request must be refused. Whenever this is not None, `inputs`,
// `output` and `files` are empty: nothing of a refused request is to be carried out.
enum class RequestProblem {
    None,
    UnclosedQuote,  // a name opens a double quote that is never closed
    TooManyNames,   // a quiet request names more files than it takes
    // A double quote inside a name rather than around it (o"u"t.pdf, "a"b.pdf, or a
    // quoted name followed by more than a space or "|"): cut at its quotes it would
    // name another file, which a request would then read or write.
    QuoteInName,
    NoInput,   // a quiet request names no input before its "-o"
    NoOutput,  // a quiet request has no "-o", or no name after it (a merge: no file name)
    // More follows the output name ("-o out/ b.pdf"): a name there would be left out
    // without a word.
    TextAfterOutput,
    // A switch ("--pages", "--groups", ...) the request does not take, one without its
    // value or with a value it cannot use, or "--pages" before any name.
    UnclearSwitch,
    NotTwoInputs,  // a quiet mix names other than two documents
    // "--bookmarks" or "--max-size" without a whole number of at least 1 after it, both
    // of them, or either after "-qm".
    BadSplitSwitch,
};

struct CommandLineRequest {
    RequestKind kind = RequestKind::None;
    RequestProblem problem = RequestProblem::None;

    // Quiet requests ("-qs", "-qm").
    bool log = false;                 // "l" after the switch: write the batch log
    std::vector<std::string> inputs;  // the input names, completed, in order
    // The name after "-o": for "-qs" the output folder as written (with a final
    // separator added when it names a folder without one), for "-qm" the output file
    // completed. Absent when the request is refused.
    std::optional<std::string> output;
    // "--bookmarks" N among a quiet split's names: cut each file at its bookmarks of
    // levels 1..N; "--max-size" MB: into pieces of at most MB megabytes. Neither: every page.
    std::optional<std::int32_t> bookmarkLevel;
    std::optional<std::int32_t> maxMegabytes;

    // A quiet merge: each input's page choice ("--pages RANGES" after its name; "" for
    // every page), in the order of `inputs`, and its two options.
    std::vector<std::string> inputPages;
    bool bookmarkEach = false;  // "--bookmark-each"
    bool blankOdd = false;      // "--blank-odd"
    // A quiet mix: pages per pass and start page of each document ("--groups N,M",
    // "--start N,M"), the second read backwards ("--reverse-second"), and whether the
    // output is one file (a name ending in ".pdf") rather than a folder.
    std::array<std::int32_t, 2> mixGroups = {1, 1};
    std::array<std::int32_t, 2> mixStart = {1, 1};
    bool reverseSecond = false;
    bool mixOneFile = false;

    // Interactive requests: "-s" exactly one name, "-m" the names in order.
    std::vector<CompletedName> files;
    // "-m" named more files than the merge list takes; the names past the limit are
    // left out of `files`.
    bool namesLeftOut = false;
};

// The request the command line's first word asks for, without reading the rest.
// A quiet request's switch is a word of its own: "-qs", "-qm", or either with the log
// letter attached ("-qsl", "-qml"); any other word beginning with "-q" is not one.
RequestKind requestKind(const std::string& commandLine);

// Recognises the request on `commandLine` and cuts it into names. `complete` makes
// full paths of the names; `mergeMax` is the most names "-m" hands on, `quietMax` the
// most a quiet request takes. A quiet merge's output "-" stays "-": standard output.
CommandLineRequest parseCommandLine(const std::string& commandLine, const NameCompleter& complete,
                                    std::size_t mergeMax = kMergeRequestMax,
                                    std::size_t quietMax = kBatchFilesMax);

}  // namespace pagemeld
