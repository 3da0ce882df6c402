// Both programs - the window program and pagemeld-cli - started as processes without
// any display, the way scripts use them: one table of command lines, run against each.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "batch/exit_status.h"
#include "file_names/name_samples.h"
#include "support/program_run.h"
#include "support/temp_dir.h"
#include "support/test_pdfs.h"

namespace pagemeld {
namespace {

namespace fs = std::filesystem;
using testing::ProgramRun;
using testing::TempDir;
using Texts = std::vector<std::string>;

#ifdef _WIN32
constexpr const char* kLineEnd = "\r\n";
#else
constexpr const char* kLineEnd = "\n";
#endif

constexpr const char* kRefused =
    "Invalid command line arguments. Check online support page to learn how to use command "
    "line!";

// Every file below `folder` (but the program's home), by its relative name; a
// symbolic link as where it points.
std::map<std::string, std::string> filesBelow(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        // Named as found: fs::relative would name a link by the file it leads to.
        const std::string name = entry.path().lexically_relative(folder).generic_string();
        if (name.rfind(".home", 0) == 0) continue;
        if (entry.is_symlink()) {
            files[name] = "-> " + fs::read_symlink(entry.path()).string();
        } else if (entry.is_regular_file()) {
            files[name] = testing::fileText(entry.path());
        }
    }
    return files;
}

// A file the command line makes: a PDF with its pages, or a log holding a line.
struct Made {
    std::string name;
    Texts pages = {};
    std::string holds = {};
    Texts bookmarks = {};
};

struct CommandLine {
    std::string what;
    std::vector<std::string> args;
    int status;
    std::vector<Made> made = {};  // exactly the files made; nothing else changes
    std::string errorsHold = {};  // "{dir}/" stands for the working folder
    bool needsNoDisplay = false;  // the window program opens its window where there is one
    // What the folder holds for this command line alone, besides the common inputs.
    std::function<void(const fs::path& folder)> prepare = {};
    std::string standardOutput = {};  // where standard output goes, when not captured
    std::string standardInput = {};   // what the program reads there
    Texts outputPages = {};           // standard output is a PDF of these pages
    bool outputClosed = false;        // standard output is a pipe its reader closed
};

const std::vector<CommandLine>& commandLines() {
    static const std::vector<CommandLine> all = [] {
        std::vector<CommandLine> lines = {
            {"split, logged, names with spaces",
             {"-qsl", "a.pdf", "two words.pdf", "-o", "out/"},
             0,
             {{"out/a01.pdf", {"A 1"}},
              {"out/a02.pdf", {"A 2"}},
              {"out/two words01.pdf", {"W 1"}},
              {"out/two words02.pdf", {"W 2"}},
              {"out/output.log", {}, "Processing file {dir}/two words.pdf\r\n"}}},
            {"split into a folder named without a final separator",
             {"-qsl", "a.pdf", "-o", "out"},
             0,
             {{"out/a01.pdf", {"A 1"}}, {"out/a02.pdf", {"A 2"}}, {"out/output.log"}}},
            {"merge, logged, in order",
             {"-qml", "b.pdf", "a.pdf", "-o", "merged.pdf"},
             0,
             {{"merged.pdf", {"B 1", "A 1", "A 2"}},
              {"merged.pdf.log", {}, "Merged file: {dir}/a.pdf\r\n"}}},
            {"one file: nothing to merge",
             {"-qml", "a.pdf", "-o", "single.pdf"},
             3,
             {{"single.pdf.log", {}, "Please add at least 2 PDF files to merge!\r\n"}}},
            // No request replaces a file it reads.
            {"split piece over another input",
             {"-qs", "report.pdf", "report01.pdf", "-o", "./"},
             1,
             {{"report02.pdf", {"R 2"}}, {"report0101.pdf", {"Q 1"}}},
             "./report01.pdf was skipped: it would replace a file this request reads or wrote!"},
            {"split piece over a piece it wrote",
             {"-qs", "a.pdf", "a.pdf", "-o", "out/"},
             1,
             {{"out/a01.pdf", {"A 1"}}, {"out/a02.pdf", {"A 2"}}},
             "out/a01.pdf was skipped: it would replace"},
            // A link named as the output stays a link; the file it leads to is written.
            {"merge through a link",
             {"-qm", "a.pdf", "b.pdf", "-o", "link.pdf"},
             0,
             {{"out/linked.pdf", {"A 1", "A 2", "B 1"}}},
             {},
             false,
             [](const fs::path& folder) {
                 fs::create_symlink("out/linked.pdf", folder / "link.pdf");
             }},
            {"merge over an input",
             {"-qml", "a.pdf", "b.pdf", "-o", "b.pdf"},
             3,
             {{"b.pdf.log", {}, "{dir}/b.pdf was skipped"}},
             "{dir}/b.pdf was skipped"},
            // Bytes that are no UTF-8 reach the very files they name, never a re-encoded copy.
            {"split, a name that is no UTF-8",
             {"-qs", "raw\xFF.pdf", "-o", "out/"},
             0,
             {{"out/raw\37701.pdf", {"F 1"}}, {"out/raw\37702.pdf", {"F 2"}}}},

            // A message of two lines, each ended as lines end on the platform.
            {"merge into a missing folder",
             {"-qm", "a.pdf", "b.pdf", "-o", "gone/m.pdf"},
             3,
             {},
             "{dir}/gone/m.pdf cannot be created!" + std::string(kLineEnd) +
                 "The folder does not exist." + kLineEnd},
            // Chosen pages, a bookmark for each file, a blank page after an odd count.
            {"merge, chosen pages, bookmarks, blanks",
             {"-qm", "a.pdf", "--pages", "2", "two words.pdf", "--pages", "2-1", "report.pdf",
              "--bookmark-each", "--blank-odd", "-o", "m.pdf"},
             0,
             {{"m.pdf",
               {"A 2", "", "W 2", "W 1", "R 1", "R 2"},
               {},
               {"a -> 1", "two words -> 3", "report -> 5"}}}},
            {"merge, pages that cannot be read",
             {"-qm", "a.pdf", "--pages", "1-x", "b.pdf", "-o", "m.pdf"},
             3,
             {},
             "These pages cannot be read: 1-x - {dir}/a.pdf"},
            // A duplex scan: the backs read backwards, every pass into one file.
            {"mix, duplex into one file",
             {"-qxl", "a.pdf", "report.pdf", "--reverse-second", "-o", "duplex.pdf"},
             0,
             {{"duplex.pdf", {"A 1", "R 2", "A 2", "R 1"}},
              {"duplex.pdf.log", {}, "Mix process done!\r\n"}}},
            {"mix into a folder, by groups",
             {"-qx", "report.pdf", "b.pdf", "--groups", "2,1", "--start", "1,1", "-o", "out"},
             0,
             {{"out/report01.pdf", {"R 1", "R 2", "B 1"}}}},
            {"mix, a start beyond the end",
             {"-qx", "a.pdf", "b.pdf", "--start", "3,1", "-o", "out/"},
             3,
             {},
             "The start page lies beyond the last page of this document: {dir}/a.pdf"},
            {"mix of one file", {"-qx", "a.pdf", "-o", "out/"}, 2, {}, kRefused},
            // Help or the version that cannot be written is not done.
            {"version into a full disk", {"--version"}, 3, {}, {}, false, {}, "/dev/full"},
            {"help into a full disk", {"--help"}, 3, {}, {}, false, {}, "/dev/full"},
            {"split of nothing that can be read",
             {"-qs", "missing.pdf", "-o", "out/"},
             3,
             {},
             "Error loading file {dir}/missing.pdf"},
            {"merge, a skipped input",
             {"-qm", "a.pdf", "missing.pdf", "-o", "m.pdf"},
             1,
             {{"m.pdf", {"A 1", "A 2"}}},
             "Error loading file {dir}/missing.pdf"},

            // Names from lists, the output to standard output.
            {"merge from a list, and typed names",
             {"-qm", "b.pdf", "@list.txt", "-o", "m.pdf"},
             0,
             {{"m.pdf", {"B 1", "A 1", "A 2", "W 1", "W 2"}}},
             {},
             false,
             [](const fs::path& folder) {
                 std::ofstream(folder / "list.txt", std::ios::binary)
                     << "\xEF\xBB\xBF# two files\r\na.pdf\r\n\r\ntwo words.pdf\r\n";
             }},
            {"merge from a list, pages after a TAB",
             {"-qm", "@list.txt", "-o", "m.pdf"},
             0,
             {{"m.pdf", {"A 2", "R 2", "R 1", "B 1"}}},
             {},
             false,
             [](const fs::path& folder) {
                 std::ofstream(folder / "list.txt", std::ios::binary)
                     << "a.pdf\t2\nreport.pdf\t2-1\nb.pdf\n";
             }},
            {"split from standard input",
             {"-qs", "@-", "-o", "out/"},
             0,
             {{"out/a01.pdf", {"A 1"}}, {"out/b01.pdf", {"B 1"}}, {"out/a02.pdf", {"A 2"}}},
             {},
             false,
             {},
             {},
             "a.pdf\nb.pdf\n"},
            {"a list that is not there",
             {"-qm", "a.pdf", "@gone.txt", "-o", "m.pdf"},
             2,
             {},
             "this list of file names cannot be read: gone.txt"},
            {"merge to standard output, the log with the messages",
             {"-qml", "a.pdf", "b.pdf", "-o", "-"},
             0,
             {},
             "Merged file: {dir}/b.pdf",
             false,
             {},
             {},
             {},
             {"A 1", "A 2", "B 1"}},
            {"duplex mix to standard output",
             {"-qx", "a.pdf", "report.pdf", "--reverse-second", "-o", "-"},
             0,
             {},
             {},
             false,
             {},
             {},
             {},
             {"A 1", "R 2", "A 2", "R 1"}},
            {"merge to a closed pipe",
             {"-qm", "a.pdf", "b.pdf", "-o", "-"},
             1,
             {},
             "could not be written whole to standard output",
             false,
             {},
             {},
             {},
             {},
             true},

            // Refusals: status 2, the message, nothing made; without a display neither
            // program has a window to hand a window's request to.
            {"unknown switch", {"-QS", "a.pdf", "-o", "out/"}, 2, {}, kRefused},
            {"a request for the window", {"-s", "a.pdf"}, 2, {}, kRefused, true},
            {"no request at all", {}, 2, {}, "-qs [l] <input.pdf>... -o <output folder>", true},
        };
        // A split stops at page 999 of a file, and says so.
        CommandLine longer{"split of more pages than a file gives",
                           {"-qsl", "long.pdf", "-o", "out/"},
                           1,
                           {},
                           "Pages after page 999 were left out",
                           false,
                           [](const fs::path& folder) {
                               testing::writeTestPdf((folder / "long.pdf").string(), 1000, "L");
                           }};
        for (int page = 1; page <= 999; ++page) {
            const std::string number = (page < 10 ? "0" : "") + std::to_string(page);
            longer.made.push_back({"out/long" + number + ".pdf"});
        }
        longer.made.front().pages = {"L 1"};
        longer.made.back().pages = {"L 999"};
        longer.made.push_back(
            {"out/output.log", {}, "Pages after page 999 were left out: a quiet split writes"});
        lines.push_back(longer);
        // At bookmarks: chapters, and sections with the chapters around them; a level the
        // file lacks writes nothing.
        const auto chaptered = [](const fs::path& folder) {
            testing::writeChapteredPdf((folder / "book.pdf").string());
        };
        const auto pages = [](int first, int last) {
            Texts texts;
            for (int page = first; page <= last; ++page)
                texts.push_back("P " + std::to_string(page));
            return texts;
        };
        lines.push_back({"split at bookmarks of level 1, logged",
                         {"-qsl", "--bookmarks", "1", "book.pdf", "-o", "out/"},
                         0,
                         {{"out/book00.pdf", pages(1, 2)},
                          {"out/1 Basics.pdf", pages(3, 11)},
                          {"out/2 Methods.pdf", pages(12, 19)},
                          {"out/3 Results.pdf", pages(20, 30)},
                          {"out/output.log", {}, "Saving output file: out/3 Results.pdf\r\n"}},
                         {},
                         false,
                         chaptered});
        lines.push_back({"split at bookmarks of level 2",
                         {"-qs", "book.pdf", "--bookmarks", "2", "-o", "out/"},
                         0,
                         {{"out/book00.pdf", pages(1, 2)},
                          {"out/1 Basics.pdf", pages(3, 3)},
                          {"out/1.1 Terms.pdf", pages(4, 7)},
                          {"out/1.2 Rules.pdf", pages(8, 11)},
                          {"out/2 Methods.pdf", pages(12, 19)},
                          {"out/3 Results.pdf", pages(20, 30)}},
                         {},
                         false,
                         chaptered});
        lines.push_back({"split at bookmarks of a level the file lacks",
                         {"-qs", "--bookmarks", "3", "book.pdf", "-o", "out/"},
                         3,
                         {},
                         "no bookmarks that lead to its pages at level 3: {dir}/book.pdf",
                         false,
                         chaptered});
        // Pages of about 1 MB each in pieces of at most 3 MB.
        CommandLine sized{"split into pieces of at most 3 MB",
                          {"-qs", "--max-size", "3", "big.pdf", "-o", "out/"},
                          0,
                          {},
                          {},
                          false,
                          [](const fs::path& folder) {
                              testing::TestPdfOptions options{20, "P"};
                              options.sharedImage = false;
                              options.ownImages = true;
                              options.imageSide = 590;
                              testing::writeTestPdf((folder / "big.pdf").string(), options);
                          }};
        for (int piece = 1; piece <= 10; ++piece) {
            sized.made.push_back(
                {"out/big" + std::string(piece < 10 ? "0" : "") + std::to_string(piece) + ".pdf",
                 pages(2 * piece - 1, 2 * piece)});
        }
        lines.push_back(sized);
        lines.push_back({"a size that is no whole number",
                         {"-qs", "--max-size", "2.5", "a.pdf", "-o", "out/"},
                         2,
                         {},
                         "--max-size a number of megabytes"});
        std::vector<std::string> tooMany = {"-qm"};
        for (int i = 0; i <= 1000; ++i) tooMany.push_back("f" + std::to_string(i) + ".pdf");
        tooMany.insert(tooMany.end(), {"-o", "m.pdf"});
        lines.push_back({"more names than a request takes",
                         tooMany,
                         2,
                         {},
                         "one request takes at most 1000 file names."});
        // Every name a user may have, merged under its own name; a double quote cannot
        // be part of a name on a command line.
        for (const auto& sample : testing::nameSamples()) {
            if (sample.name.find('"') != std::string::npos) continue;
            lines.push_back({"merge, name: " + sample.what,
                             {"-qm", sample.name, "b.pdf", "-o", "out/" + sample.name},
                             0,
                             {{"out/" + sample.name, {"N 1", "B 1"}}}});
        }
        return lines;
    }();
    return all;
}

// Each program by its executable.
class BothPrograms : public ::testing::TestWithParam<const char*> {
protected:
    ProgramRun run(const fs::path& folder, const CommandLine& line) const {
        testing::ProgramOptions options{folder, line.args};
        options.standardOutput = line.standardOutput;
        options.standardOutputClosed = line.outputClosed;
        if (!line.standardInput.empty()) {
            options.standardInput = folder / ".home" / "input.txt";
            fs::create_directories(folder / ".home");
            std::ofstream(options.standardInput, std::ios::binary) << line.standardInput;
        }
        return testing::runProgram(GetParam(), options);
    }
    ProgramRun run(const fs::path& folder, const std::vector<std::string>& args) const {
        return run(folder, CommandLine{"", args, 0});
    }
    bool isConsoleProgram() const { return GetParam() == std::string(PAGEMELD_CLI_EXECUTABLE); }
};

// The inputs every command line finds in its folder.
void writeInputs(const TempDir& dir) {
    const std::tuple<std::string, int, const char*> inputs[] = {
        {"a.pdf", 2, "A"},      {"b.pdf", 1, "B"},        {"two words.pdf", 2, "W"},
        {"report.pdf", 2, "R"}, {"report01.pdf", 1, "Q"}, {"raw\xFF.pdf", 2, "F"}};
    for (const auto& [name, pages, label] : inputs) {
        testing::writeTestPdf(dir.path().string() + "/" + name, pages, label);
    }
    for (const auto& sample : testing::nameSamples()) {
        testing::writeTestPdf(dir.path().string() + "/" + sample.name, 1, "N");
    }
    fs::create_directory(dir.path() / "out");
}

// `text` with its "{dir}" standing for the working folder.
std::string inFolder(std::string text, const TempDir& dir) {
    if (const auto at = text.find("{dir}"); at != std::string::npos) {
        text.replace(at, 5, dir.path().string());
    }
    return text;
}

TEST_P(BothPrograms, CarryOutEachCommandLineAndLeaveEveryInputAsItWas) {
    std::set<int> statuses;
    for (const CommandLine& line : commandLines()) {
        statuses.insert(line.status);
#ifdef _WIN32
        // Windows always has a display: the window would open and wait for its user.
        if (line.needsNoDisplay && !isConsoleProgram()) continue;
#endif
        SCOPED_TRACE(line.what);
        TempDir dir;
        writeInputs(dir);
        if (line.prepare) line.prepare(dir.path());
        const auto before = filesBelow(dir.path());

        const ProgramRun done = run(dir.path(), line);
        EXPECT_EQ(done.signal, 0);
        EXPECT_EQ(done.status, line.status) << done.errors;
        EXPECT_NE(done.errors.find(inFolder(line.errorsHold, dir)), std::string::npos)
            << done.errors;

        auto after = filesBelow(dir.path());
        for (const Made& made : line.made) {
            ASSERT_EQ(after.count(made.name), 1u) << made.name;
            if (!made.pages.empty()) {
                EXPECT_EQ(testing::pageTexts(dir.path().string() + "/" + made.name), made.pages)
                    << made.name;
            }
            EXPECT_NE(after[made.name].find(inFolder(made.holds, dir)), std::string::npos)
                << made.name;
            if (!made.bookmarks.empty()) {
                EXPECT_EQ(testing::bookmarks(dir.path().string() + "/" + made.name),
                          made.bookmarks);
            }
            after.erase(made.name);
        }
        // Nothing else made, every input byte for byte as it was.
        EXPECT_EQ(after, before);
        if (!line.outputPages.empty()) {
            const fs::path piped = dir.path() / ".home" / "piped.pdf";
            std::ofstream(piped, std::ios::binary) << done.output;
            EXPECT_EQ(testing::pageTexts(piped.string()), line.outputPages);
        }
    }
    // The table holds every status a script may see.
    for (const ExitStatusMeaning& status : kExitStatusMeanings) {
        EXPECT_EQ(statuses.count(exitCode(status.status)), 1u) << status.meaning;
    }
}

// The README's usage lines are what the programs print (the console program only the
// quiet ones), without a display.
TEST_P(BothPrograms, TellTheirUsageAndVersionWithoutADisplay) {
    TempDir dir;
    const ProgramRun help = run(dir.path(), Texts{"--help"});
    EXPECT_EQ(help.status, 0) << help.errors;
    std::istringstream readme(testing::fileText(PAGEMELD_README));
    int lines = 0;
    for (std::string line; std::getline(readme, line);) {
        if (line.rfind("pagemeld -", 0) != 0) continue;
        ++lines;
        const bool needsWindow = line.find(" -s ") == 8 || line.find(" -m ") == 8;
        if (isConsoleProgram()) line.replace(0, 8, "pagemeld-cli");
        const bool shown = help.output.find("  " + line + "\n") != std::string::npos;
        EXPECT_EQ(shown, !(isConsoleProgram() && needsWindow)) << line;
    }
    EXPECT_EQ(lines, 6);
    for (const char* split : {"--bookmarks N", "--max-size MB"})
        EXPECT_NE(help.output.find(split), std::string::npos) << split;
    // Each status, told alike by --help and the README.
    const std::string readmeText = testing::fileText(PAGEMELD_README);
    for (const ExitStatusMeaning& status : kExitStatusMeanings) {
        const std::string code = std::to_string(exitCode(status.status));
        const std::string meaning(status.meaning);
        EXPECT_NE(help.output.find(code + " " + meaning + "\n"), std::string::npos) << meaning;
        EXPECT_NE(readmeText.find("**" + code + "** " + meaning), std::string::npos) << meaning;
    }
    const ProgramRun version = run(dir.path(), Texts{"--version"});
    EXPECT_EQ(version.output, std::string("Ombrix Pagemeld ") + PAGEMELD_VERSION + "\n");
}

const char* const kPrograms[] = {
#ifdef PAGEMELD_EXECUTABLE
    PAGEMELD_EXECUTABLE,
#endif
    PAGEMELD_CLI_EXECUTABLE};

INSTANTIATE_TEST_SUITE_P(Programs, BothPrograms, ::testing::ValuesIn(kPrograms),
                         [](const auto& info) {
                             return info.param == std::string(PAGEMELD_CLI_EXECUTABLE)
                                        ? "pagemeld_cli"
                                        : "pagemeld";
                         });

}  // namespace
}  // namespace pagemeld
