#include "batch/usage_text.h"

#include <algorithm>
#include <string_view>

#include "base/product.h"
#include "batch/command_line.h"
#include "batch/exit_status.h"

namespace pagemeld {
namespace {

struct UsageLine {
    std::string_view form;
    std::string_view meaning;
    bool needsWindow;
};

constexpr UsageLine kUsageLines[] = {
    {"-qs [l] <input.pdf>... -o <output folder>", "quiet split: every page into its own file",
     false},
    {"-qm [l] <input.pdf>... -o <output file>", "quiet merge: the inputs, in order, into one file",
     false},
    {"-qx [l] <a.pdf> <b.pdf> -o <file or folder>", "quiet mix: pages of a and b, pass by pass",
     false},
    {"-s <input.pdf>", "open the window with the file in the split list", true},
    {"-m <input.pdf>...", "open the window with the files in the merge list", true},
    {"--help | --version", "this text | the version", false},
};

// The meanings start in one column, after the longest form.
constexpr std::size_t kMeaningColumn = 44;

}  // namespace

std::string usageText(const ProgramDescription& program) {
    std::string text = "Usage:\n";
    for (const UsageLine& line : kUsageLines) {
        if (line.needsWindow && !program.hasWindow) continue;
        std::string form(line.form);
        form.resize(std::max(form.size() + 1, kMeaningColumn), ' ');
        text += "  " + program.name + " " + form + std::string(line.meaning) + "\n";
    }
    text +=
        "\n"
        "  l        write a log: output.log in the split's folder, <output file>.log for a merge\n"
        "  -o       a split's folder (a name that is no folder starts the pieces' names), or a\n"
        "           merge's file; a symbolic link stays, the file it leads to is written\n"
        "  --bookmarks N  a split cuts each input where its bookmarks of levels 1 to N start,\n"
        "           each piece named after its bookmark (written among the names)\n"
        "  --max-size MB  a split cuts each input into pieces of at most MB megabytes\n"
        "           (1 MB = 1000000 bytes), numbered; a page larger alone is a piece alone\n"
        "  names    with spaces in double quotes; relative names from the current folder;\n"
        "           at most " +
        std::to_string(kBatchFilesMax) +
        " in a request\n"
        "  @list    names from a file, one a line (UTF-8; # starts a comment; a merge's pages\n"
        "           after a TAB), @- from standard input: a merge takes " +
        std::to_string(kMergeRequestMax) +
        ",\n"
        "           a split any number\n"
        "  -o -     a merge (or a mix into one file) to standard output\n"
        "  -q       after the switch: no progress line on a terminal\n";
    // The statuses as scripts read them, one a line.
    const char* label = "  status   ";
    for (const ExitStatusMeaning& status : kExitStatusMeanings) {
        text += label + std::to_string(exitCode(status.status)) + " " +
                std::string(status.meaning) + "\n";
        label = "           ";
    }
    text +=
        "\n"
        "  --pages R         after a merge's input: only those pages, as 1-4,6 or 3-1\n"
        "                    (backwards) or 8- (to the last page)\n"
        "  --bookmark-each   merge: a bookmark for each file, named after it, over its own\n"
        "  --blank-odd       merge: a blank page after each file of an odd page count\n"
        "                    but the last, so every file starts on a front side\n"
        "  --groups N,M      mix: pages per pass from a and from b (1,1)\n"
        "  --start N,M       mix: the first page of a and of b (1,1)\n"
        "  --reverse-second  mix: b read from its last page down, as scanned duplex backs\n"
        "  -o of a mix       a name ending in .pdf takes every pass; a folder a file per\n"
        "                    pass, named after a (the log: output.log there, or <file>.log)\n";
    return text;
}

std::string versionText() {
    return std::string(kProductName) + " " + std::to_string(kVersionMajor) + "." +
           std::to_string(kVersionMinor) + "." + std::to_string(kVersionRevision);
}

}  // namespace pagemeld
