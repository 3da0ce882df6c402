// The command line read into a request: the quiet requests' refusals, the window's
// requests and the limits. What a quiet request then does is checked end to end by the
// quiet program table.
#include "batch/command_line.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace pagemeld {
namespace {

using Names = std::vector<std::string>;

// Completes relative names with "/cwd/"; a file exists when its name holds "here", a
// folder when it holds "folder" or is "." or "..".
CommandLineRequest parse(const std::string& line, std::size_t mergeMax = kMergeRequestMax) {
    const NameCompleter complete = [](const std::string& name) {
        const bool absolute =
            !name.empty() && (name[0] == '/' || (name.size() > 2 && name[1] == ':'));
        return CompletedName{
            absolute ? name : "/cwd/" + name, name.find("here") != std::string::npos,
            name.find("folder") != std::string::npos || name == "." || name == ".."};
    };
    return parseCommandLine(line, complete, mergeMax);
}

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

TEST(ParseCommandLine, ReadsEachRequest) {
    using K = RequestKind;
    using P = RequestProblem;
    const std::string sep(1, kSeparator);
    const struct {
        const char* line;
        RequestKind kind;
        RequestProblem problem;
        Names names;  // the inputs of a quiet request, the files of "-s" and "-m"
        std::optional<std::string> output = std::nullopt;
    } cases[] = {
        {"  ", K::None, P::None, {}},
        {" -h -qs a.pdf -o x", K::Help, P::None, {}},
        {"/?", K::Help, P::None, {}},
        {"--version", K::Version, P::None, {}},
        {"-qsl /docs/a.pdf c:\\b.pdf -o c:\\out\\",
         K::QuietSplit,
         P::None,
         {"/docs/a.pdf", "c:\\b.pdf"},
         "c:\\out\\"},
        {"-qs \"a -o b.pdf\" -o out/", K::QuietSplit, P::None, {"/cwd/a -o b.pdf"}, "out/"},
        // A split into a folder named without a final separator writes into it; a name
        // that is no folder stays the start of the pieces' names, as it always was.
        {"-qs a.pdf -o folder", K::QuietSplit, P::None, {"/cwd/a.pdf"}, "folder" + sep},
        {"-qs a.pdf -o .", K::QuietSplit, P::None, {"/cwd/a.pdf"}, "." + sep},
        {"-qs a.pdf -o ..", K::QuietSplit, P::None, {"/cwd/a.pdf"}, ".." + sep},
        {"-qs a.pdf -o folder/", K::QuietSplit, P::None, {"/cwd/a.pdf"}, "folder/"},
        {"-qs a.pdf -o out/scan-", K::QuietSplit, P::None, {"/cwd/a.pdf"}, "out/scan-"},
        {"-qm a.pdf my-old.pdf -o old-o.pdf",
         K::QuietMerge,
         P::None,
         {"/cwd/a.pdf", "/cwd/my-old.pdf"},
         "/cwd/old-o.pdf"},
        // Without ".pdf" a space up to the fifth character separates; the two bytes of
        // "\303\251" are one character.
        {"-qs \303\251bcd ef -o x", K::QuietSplit, P::None, {"/cwd/\303\251bcd", "/cwd/ef"}, "x"},
        // ".PDF" more than five characters before the space keeps the space in the name.
        {"-qm scan.PDF.bak b.pdf -o x",
         K::QuietMerge,
         P::None,
         {"/cwd/scan.PDF.bak b.pdf"},
         "/cwd/x"},
        {"-qm a.pdf b.pdf -o c:\\out\\", K::QuietMerge, P::NoOutput, {}},
        {"-qs a.pdf", K::QuietSplit, P::NoOutput, {}},
        {"-qm a.pdf b.pdf -o", K::QuietMerge, P::NoOutput, {}},
        {"-qs a.pdf -o out/ b.pdf", K::QuietSplit, P::TextAfterOutput, {}},
        {"-qm a.pdf b.pdf -o m.pdf -o n.pdf", K::QuietMerge, P::TextAfterOutput, {}},
        {"-qs -o out/ a.pdf", K::QuietSplit, P::NoInput, {}},
        {"-qm l -o m.pdf", K::QuietMerge, P::NoInput, {}},
        {"-qsx a.pdf -o x", K::Invalid, P::None, {}},
        {"-m a.pdf \"b c.pdf", K::Merge, P::UnclosedQuote, {}},
        {"-s my\"file.pdf", K::Split, P::UnclosedQuote, {}},
        {"-s \"here.pdf\"", K::Split, P::None, {"/cwd/here.pdf"}},
        // Unquoted, the rest of the line is the one name, spaces and all.
        {"-s my here.pdf", K::Split, P::None, {"/cwd/my here.pdf"}},
        {"-s   a.pdf  |  b.pdf", K::Split, P::None, {"/cwd/a.pdf"}},
        {"-m \"my file.pdf | b.pdf\" /abs/c.pdf|| d.pdf|",
         K::Merge,
         P::None,
         {"/cwd/my file.pdf", "/cwd/b.pdf", "/abs/c.pdf", "/cwd/d.pdf"}},
    };
    for (const auto& expected : cases) {
        SCOPED_TRACE(expected.line);
        const CommandLineRequest request = parse(expected.line);
        EXPECT_EQ(request.kind, expected.kind);
        EXPECT_EQ(request.problem, expected.problem);
        Names names = request.inputs;
        for (const CompletedName& file : request.files) names.push_back(file.path);
        EXPECT_EQ(names, expected.names);
        EXPECT_EQ(request.output, expected.output);
    }
    // "-s" tells whether its file exists, for the window's message.
    EXPECT_TRUE(parse("-s here.pdf").files.at(0).exists);
    EXPECT_FALSE(parse("-s gone.pdf").files.at(0).exists);
    EXPECT_FALSE(parse("-s").files.at(0).exists);
}

// The switches of a quiet merge and mix: each value read, and anything unclear refused
// before a file is touched.
TEST(ParseCommandLine, ReadsTheSwitchesOfAQuietMergeAndMix) {
    const CommandLineRequest merge = parse(
        "-qm a.pdf --pages 1-3 b.pdf --blank-odd \"my c.pdf\" --pages \"2, 8-\" --bookmark-each -o "
        "m.pdf");
    EXPECT_EQ(merge.problem, RequestProblem::None);
    EXPECT_EQ(merge.inputs, (Names{"/cwd/a.pdf", "/cwd/b.pdf", "/cwd/my c.pdf"}));
    EXPECT_EQ(merge.inputPages, (Names{"1-3", "", "2, 8-"}));
    EXPECT_TRUE(merge.bookmarkEach && merge.blankOdd);
    EXPECT_EQ(parse("-qm a.pdf b.pdf -o m.pdf").inputPages, (Names{"", ""}));

    const CommandLineRequest mix =
        parse("-qxl fronts.pdf backs.pdf --groups 2,1 --start 3,1 --reverse-second -o d.PDF");
    EXPECT_EQ(mix.kind, RequestKind::QuietMix);
    EXPECT_TRUE(mix.log && mix.mixOneFile && mix.reverseSecond);
    EXPECT_EQ(mix.mixGroups, (std::array<std::int32_t, 2>{2, 1}));
    EXPECT_EQ(mix.mixStart, (std::array<std::int32_t, 2>{3, 1}));
    EXPECT_EQ(mix.output, "/cwd/d.PDF");
    const CommandLineRequest folder = parse("-qx a.pdf b.pdf -o out/");
    EXPECT_FALSE(folder.mixOneFile || folder.reverseSecond);
    EXPECT_EQ(folder.mixGroups, (std::array<std::int32_t, 2>{1, 1}));
    EXPECT_EQ(folder.output, "out/");

    const std::pair<const char*, RequestProblem> refused[] = {
        {"-qm --pages 1 a.pdf b.pdf -o m.pdf", RequestProblem::UnclearSwitch},
        {"-qm a.pdf --pages 1 --pages 2 b.pdf -o m.pdf", RequestProblem::UnclearSwitch},
        {"-qm a.pdf b.pdf --pages -o m.pdf", RequestProblem::UnclearSwitch},
        {"-qm a.pdf b.pdf --reverse-second -o m.pdf", RequestProblem::UnclearSwitch},
        {"-qx a.pdf b.pdf --groups 2 -o m.pdf", RequestProblem::UnclearSwitch},
        {"-qx a.pdf b.pdf --start 0,1 -o m.pdf", RequestProblem::UnclearSwitch},
        {"-qx a.pdf b.pdf --blank-odd -o m.pdf", RequestProblem::UnclearSwitch},
        {"-qx a.pdf -o m.pdf", RequestProblem::NotTwoInputs},
        {"-qx a.pdf b.pdf c.pdf -o out/", RequestProblem::NotTwoInputs},
    };
    for (const auto& [line, problem] : refused) {
        const CommandLineRequest request = parse(line);
        EXPECT_EQ(request.problem, problem) << line;
        EXPECT_TRUE(request.inputs.empty() && request.inputPages.empty()) << line;
    }
}

// A quiet split's method switches take a whole number from 1, anywhere among its names;
// one of them only, and only for a split.
TEST(ParseCommandLine, TheSplitSwitchesTakeAWholeNumber) {
    using P = RequestProblem;
    const struct {
        std::string line;
        RequestProblem problem;
        std::optional<std::int32_t> level, megabytes;
        Names inputs;
        bool log;
    } cases[] = {
        {"-qs --bookmarks 2 a.pdf -o out/", P::None, 2, {}, {"/cwd/a.pdf"}, false},
        {"-qsl a.pdf --max-size 25 b.pdf -o out/",
         P::None,
         {},
         25,
         {"/cwd/a.pdf", "/cwd/b.pdf"},
         true},
        {"-qs l --bookmarks  1 a.pdf -o out/", P::None, 1, {}, {"/cwd/a.pdf"}, true},
        {"-qs a.pdf -o out/", P::None, {}, {}, {"/cwd/a.pdf"}, false},
        {"-qs --bookmarks a.pdf -o out/", P::BadSplitSwitch, {}, {}, {}, false},
        {"-qs --bookmarks 0 a.pdf -o out/", P::BadSplitSwitch, {}, {}, {}, false},
        {"-qs --max-size 2.5 a.pdf -o out/", P::BadSplitSwitch, {}, {}, {}, false},
        {"-qs a.pdf --max-size -o out/", P::BadSplitSwitch, {}, {}, {}, false},
        {"-qs --bookmarks 1 --max-size 3 a.pdf -o out/", P::BadSplitSwitch, {}, {}, {}, false},
        {"-qm --bookmarks 1 a.pdf b.pdf -o m.pdf", P::BadSplitSwitch, {}, {}, {}, false},
        {"-qs --bookmarks 1 -o out/", P::NoInput, {}, {}, {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const CommandLineRequest request = parse(c.line);
        EXPECT_EQ(request.problem, c.problem);
        EXPECT_EQ(request.bookmarkLevel, c.level);
        EXPECT_EQ(request.maxMegabytes, c.megabytes);
        EXPECT_EQ(request.inputs, c.inputs);
        if (c.problem == P::None) {
            EXPECT_EQ(request.log, c.log);
        }
    }
}

TEST(ParseCommandLine, RequestsStopAtTheirLimits) {
    std::string names;
    for (std::size_t i = 1; i <= kBatchFilesMax; ++i) names += "f" + std::to_string(i) + ".pdf ";
    const CommandLineRequest full = parse("-qs " + names + "-o out");
    EXPECT_EQ(full.problem, RequestProblem::None);
    EXPECT_EQ(full.inputs.size(), kBatchFilesMax);
    const CommandLineRequest over = parse("-qm " + names + "one-more.pdf -o out.pdf");
    EXPECT_EQ(over.problem, RequestProblem::TooManyNames);
    EXPECT_TRUE(over.inputs.empty());

    // "-m" hands on what the merge list takes, missing files included, and says so.
    EXPECT_FALSE(parse("-m a.pdf b.pdf|c.pdf", 3).namesLeftOut);
    const CommandLineRequest merge = parse("-m a.pdf b.pdf|c.pdf|d.pdf e.pdf", 3);
    EXPECT_EQ(merge.files.size(), 3u);
    EXPECT_EQ(merge.files.back().path, "/cwd/c.pdf");
    EXPECT_TRUE(merge.namesLeftOut);
}

}  // namespace
}  // namespace pagemeld
