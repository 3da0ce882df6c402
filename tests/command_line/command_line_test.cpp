#include "batch/command_line.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace pagemeld {
namespace {

using Names = std::vector<std::string>;

// Completes relative names with "/cwd/", leaves "/..." and "c:\..." alone, and says a
// file exists when its completed path was registered.
struct FakeFiles {
    std::set<std::string> existing;
    Names asked;

    NameCompleter completer() {
        return [this](const std::string& name) {
            asked.push_back(name);
            const bool absolute =
                (!name.empty() && name[0] == '/') || (name.size() > 2 && name[1] == ':');
            const std::string path = absolute ? name : "/cwd/" + name;
            return CompletedName{path, existing.count(path) > 0};
        };
    }
};

struct Cut {
    ItemCut result;
    std::string fis;
    std::string line;
};

Cut cutOne(std::string line) {
    std::string fis = "untouched";
    const ItemCut result = process_line_oneitem(line, fis);
    return {result, fis, line};
}

void expectCut(const std::string& line, const std::string& fis, const std::string& rest) {
    const Cut cut = cutOne(line);
    EXPECT_EQ(cut.result, ItemCut::Cut) << line;
    EXPECT_EQ(cut.fis, fis) << line;
    EXPECT_EQ(cut.line, rest) << line;
}

Names paths(const std::vector<CompletedName>& files) {
    Names out;
    for (const CompletedName& file : files) out.push_back(file.path);
    return out;
}

CommandLineRequest parse(const std::string& line, std::size_t mergeMax = kMergeRequestMax) {
    FakeFiles files;
    return parseCommandLine(line, files.completer(), mergeMax);
}

TEST(ProcessLineOneItemTest, CutsNamesAtSpacesQuotesAndPdfEndings) {
    expectCut("a.pdf b.pdf -o x", "a.pdf", "b.pdf -o x");
    expectCut("a.pdf    b.pdf", "a.pdf", "b.pdf");
    expectCut("\"my file.pdf\"   -o x", "my file.pdf", "-o x");
    expectCut("\"\" b.pdf", "", "b.pdf");
    // A space before the quote: the unquoted name comes first.
    expectCut("a.pdf \"b c.pdf\"", "a.pdf", "\"b c.pdf\"");
    // No ".pdf": a first space up to position 5 separates, a later one belongs to the name.
    expectCut("abc def", "abc", "def");
    expectCut("abcd ef", "abcd", "ef");
    expectCut("abcde fg", "abcde fg", "");
    expectCut("single", "single", "");
    // The first space right after a name ending in ".pdf" separates, however long the name.
    expectCut("a-rather-long-name.pdf next.pdf", "a-rather-long-name.pdf", "next.pdf");
    // ...within five positions of where ".pdf" starts; beyond them the rest is one name.
    expectCut("a.pdf1 x", "a.pdf1", "x");
    expectCut("a.pdfxx y", "a.pdfxx y", "");
    // ".pdf" only after the space: the space separates.
    expectCut("longname x.pdf", "longname", "x.pdf");
    // Several names joined by "|" are one item when a ".pdf" ends it at the space.
    expectCut("a.pdf|b.pdf c.pdf", "a.pdf|b.pdf", "c.pdf");
    // Upper-case extensions as scanners write them.
    expectCut("SCAN0001.PDF SCAN0002.PDF", "SCAN0001.PDF", "SCAN0002.PDF");
    expectCut("", "", "");
}

TEST(ProcessLineOneItemTest, CountsCharactersNotBytes) {
    // "é" is two bytes but one position, so these cut like "abcd ef" and "abcde fg".
    expectCut(
        "\xC3\xA9"
        "bcd ef",
        "\xC3\xA9"
        "bcd",
        "ef");
    expectCut(
        "\xC3\xA9"
        "bcde fg",
        "\xC3\xA9"
        "bcde fg",
        "");
    expectCut("r\xC3\xA9sum\xC3\xA9.pdf \"d\xC3\xA9j\xC3\xA0 vu.pdf\"", "r\xC3\xA9sum\xC3\xA9.pdf",
              "\"d\xC3\xA9j\xC3\xA0 vu.pdf\"");
}

TEST(ProcessLineOneItemTest, UnclosedQuoteChangesNothing) {
    for (const std::string line : {"\"my file.pdf -o x", "\"a", "b\"c.pdf d.pdf"}) {
        const Cut cut = cutOne(line);
        EXPECT_EQ(cut.result, ItemCut::UnclosedQuote) << line;
        EXPECT_EQ(cut.line, line);
        EXPECT_EQ(cut.fis, "untouched");
    }
    // A quote that comes after the first space does not open this item.
    expectCut("ab c\"d", "ab", "c\"d");
}

TEST(ParseCommandLineTest, RecognisesSwitchesExactlyWithCase) {
    EXPECT_EQ(parse("").kind, RequestKind::None);
    EXPECT_EQ(parse("    ").kind, RequestKind::None);
    EXPECT_EQ(parse("  -qs a.pdf -o x  ").kind, RequestKind::QuietSplit);
    EXPECT_EQ(parse("-qm a.pdf b.pdf -o x.pdf").kind, RequestKind::QuietMerge);
    EXPECT_EQ(parse("-s a.pdf").kind, RequestKind::Split);
    EXPECT_EQ(parse("-m a.pdf").kind, RequestKind::Merge);
    for (const char* line :
         {"-QS a.pdf -o x", "/qs a.pdf -o x", "-QM a.pdf -o x", "/qm a -o x", "-S a.pdf",
          "/s a.pdf", "-M a.pdf", "/m a.pdf", "a.pdf", "-q a -o x", "--qs a.pdf -o x", "-x",
          // A quiet switch is a word of its own: nothing but the log letter joins it.
          "-qsx a.pdf -o x", "-qsletter.pdf -o x", "-qmll a.pdf b.pdf -o x", "-help", "--HELP",
          "-v"}) {
        const CommandLineRequest request = parse(line);
        EXPECT_EQ(request.kind, RequestKind::Invalid) << line;
        EXPECT_TRUE(request.inputs.empty() && request.files.empty() && !request.output) << line;
    }
    for (const char* line : {"--help", "-h", "/?", " -h -qs a.pdf -o x"}) {
        EXPECT_EQ(parse(line).kind, RequestKind::Help) << line;
    }
    EXPECT_EQ(parse("--version").kind, RequestKind::Version);
}

TEST(ParseCommandLineTest, QuietSplitCollectsCompletedInputsAndOutputFolderAsWritten) {
    FakeFiles files;
    const CommandLineRequest request =
        parseCommandLine("-qs a.pdf b.pdf -o c:\\out\\", files.completer());
    EXPECT_EQ(request.kind, RequestKind::QuietSplit);
    EXPECT_EQ(request.problem, RequestProblem::None);
    EXPECT_FALSE(request.log);
    EXPECT_EQ(request.inputs, (Names{"/cwd/a.pdf", "/cwd/b.pdf"}));
    EXPECT_EQ(request.output, "c:\\out\\");
    // The output folder is never completed.
    EXPECT_EQ(files.asked, (Names{"a.pdf", "b.pdf"}));

    // A relative output folder stays relative too; absolute inputs stay as they are.
    const CommandLineRequest relative =
        parseCommandLine("-qs /docs/a.pdf c:\\scans\\b.pdf -o pieces/", files.completer());
    EXPECT_EQ(relative.inputs, (Names{"/docs/a.pdf", "c:\\scans\\b.pdf"}));
    EXPECT_EQ(relative.output, "pieces/");
}

TEST(ParseCommandLineTest, LogLetterStandsAloneOrJoinsTheSwitch) {
    for (const char* line :
         {"-qsl a.pdf -o c:\\out\\", "-qs l a.pdf -o c:\\out\\", "-qs   l   a.pdf -o c:\\out\\"}) {
        const CommandLineRequest request = parse(line);
        EXPECT_TRUE(request.log) << line;
        EXPECT_EQ(request.inputs, (Names{"/cwd/a.pdf"})) << line;
        EXPECT_EQ(request.output, "c:\\out\\") << line;
    }
    const CommandLineRequest merge = parse("-qml a.pdf b.pdf -o m.pdf");
    EXPECT_TRUE(merge.log);
    EXPECT_EQ(merge.inputs, (Names{"/cwd/a.pdf", "/cwd/b.pdf"}));

    // A first name beginning with "l" keeps its letter and turns no log on.
    for (const char* line :
         {"-qm labels.pdf form.pdf -o m.pdf", "-qm  labels.pdf form.pdf -o m.pdf"}) {
        const CommandLineRequest labels = parse(line);
        EXPECT_FALSE(labels.log) << line;
        EXPECT_EQ(labels.inputs, (Names{"/cwd/labels.pdf", "/cwd/form.pdf"})) << line;
    }
    const CommandLineRequest both = parse("-qsl l.pdf -o x");
    EXPECT_TRUE(both.log);
    EXPECT_EQ(both.inputs, (Names{"/cwd/l.pdf"}));
}

TEST(ParseCommandLineTest, OutputMarkerIsAWordOfItsOwn) {
    // "-o" inside a name is part of the name, wherever it stands in it.
    CommandLineRequest request = parse("-qs my-old.pdf -o out");
    EXPECT_EQ(request.inputs, (Names{"/cwd/my-old.pdf"}));
    EXPECT_EQ(request.output, "out");
    request = parse("-qm a.pdf my-old.pdf -o old-one-o.pdf");
    EXPECT_EQ(request.inputs, (Names{"/cwd/a.pdf", "/cwd/my-old.pdf"}));
    EXPECT_EQ(request.output, "/cwd/old-one-o.pdf");
    // ...and inside quotes, even standing alone.
    request = parse("-qs \"a -o b.pdf\" -o out/");
    EXPECT_EQ(request.inputs, (Names{"/cwd/a -o b.pdf"}));
    EXPECT_EQ(request.output, "out/");
    // A long unquoted name cannot swallow the marker that follows it.
    request = parse("-qs abcdefgh -o out/");
    EXPECT_EQ(request.inputs, (Names{"/cwd/abcdefgh"}));
    EXPECT_EQ(request.output, "out/");
    // One-character names are names like any other.
    EXPECT_EQ(parse("-qs a -o x").inputs, (Names{"/cwd/a"}));
}

TEST(ParseCommandLineTest, QuietRequestWithoutInputOrOutputIsRefused) {
    const struct {
        const char* line;
        RequestProblem problem;
    } cases[] = {
        {"-qs a.pdf b.pdf", RequestProblem::NoOutput},
        {"-qsl a.pdf", RequestProblem::NoOutput},
        {"-qs", RequestProblem::NoOutput},
        {"-qm a.pdf -O b.pdf", RequestProblem::NoOutput},
        {"-qs abc-old.pdf", RequestProblem::NoOutput},
        {"-qm a.pdf b.pdf -o", RequestProblem::NoOutput},
        {"-qm a.pdf b.pdf -o \"\"", RequestProblem::NoOutput},
        {"-qs a.pdf -o", RequestProblem::NoOutput},
        // A merge output must name a file, not a folder.
        {"-qml a.pdf b.pdf -o outdir/", RequestProblem::NoOutput},
        {"-qm a.pdf b.pdf -o c:\\out\\", RequestProblem::NoOutput},
        {"-qs -o out/ a.pdf", RequestProblem::NoInput},
        {"-qml -o m.pdf", RequestProblem::NoInput},
        {"-qs l -o out/", RequestProblem::NoInput},
    };
    for (const auto& [line, problem] : cases) {
        const CommandLineRequest request = parse(line);
        EXPECT_NE(request.kind, RequestKind::Invalid) << line;
        EXPECT_EQ(request.problem, problem) << line;
        EXPECT_TRUE(request.inputs.empty()) << line;
        EXPECT_FALSE(request.output.has_value()) << line;
    }
}

TEST(ParseCommandLineTest, UnclosedQuoteRefusesEveryRequest) {
    for (const char* line :
         {"-qs \"my file.pdf -o c:\\out\\", "-qs a.pdf b\"c.pdf -o x", "-qs a.pdf -o \"c:\\my out",
          "-qm a.pdf \"b c.pdf -o m.pdf", "-qm a.pdf b.pdf -o \"m.pdf", "-m a.pdf \"b c.pdf",
          "-m \"a.pdf", "-s \"my file.pdf", "-s my\"file.pdf"}) {
        const CommandLineRequest request = parse(line);
        EXPECT_EQ(request.problem, RequestProblem::UnclosedQuote) << line;
        EXPECT_NE(request.kind, RequestKind::Invalid) << line;
        // Nothing of a refused request is handed on.
        EXPECT_TRUE(request.inputs.empty()) << line;
        EXPECT_TRUE(request.files.empty()) << line;
        EXPECT_FALSE(request.output.has_value()) << line;
    }
    EXPECT_EQ(parse("-qs \"a b.pdf -o x").kind, RequestKind::QuietSplit);
    EXPECT_EQ(parse("-m a.pdf \"b").kind, RequestKind::Merge);
    EXPECT_EQ(parse("-s \"a b.pdf").kind, RequestKind::Split);
}

TEST(ParseCommandLineTest, QuietRequestTakesAtMostAThousandNames) {
    std::string names;
    for (std::size_t i = 1; i <= kBatchFilesMax; ++i) names += "f" + std::to_string(i) + ".pdf ";

    const CommandLineRequest full = parse("-qs " + names + "-o out");
    EXPECT_EQ(full.problem, RequestProblem::None);
    ASSERT_EQ(full.inputs.size(), kBatchFilesMax);
    EXPECT_EQ(full.inputs.front(), "/cwd/f1.pdf");
    EXPECT_EQ(full.inputs.back(), "/cwd/f1000.pdf");
    EXPECT_EQ(full.output, "out");

    const CommandLineRequest over = parse("-qm " + names + "one-more.pdf -o out.pdf");
    EXPECT_EQ(over.kind, RequestKind::QuietMerge);
    EXPECT_EQ(over.problem, RequestProblem::TooManyNames);
    EXPECT_TRUE(over.inputs.empty());
    EXPECT_FALSE(over.output.has_value());
}

TEST(ParseCommandLineTest, SplitRequestNamesOneFile) {
    FakeFiles files;
    files.existing = {"/cwd/my file.pdf", "/cwd/a.pdf"};
    auto split = [&](const std::string& line) {
        const CommandLineRequest request = parseCommandLine(line, files.completer());
        EXPECT_EQ(request.kind, RequestKind::Split) << line;
        EXPECT_EQ(request.problem, RequestProblem::None) << line;
        EXPECT_EQ(request.files.size(), 1u) << line;
        return request.files.empty() ? CompletedName{} : request.files.front();
    };

    CompletedName file = split("-s \"my file.pdf\"");
    EXPECT_EQ(file.path, "/cwd/my file.pdf");
    EXPECT_TRUE(file.exists);
    file = split("-s a.pdf|b.pdf");
    EXPECT_EQ(file.path, "/cwd/a.pdf");
    EXPECT_TRUE(file.exists);
    EXPECT_EQ(split("-s   a.pdf  |  b.pdf").path, "/cwd/a.pdf");
    EXPECT_EQ(split("-s \"a.pdf|b.pdf\"").path, "/cwd/a.pdf");
    // Unquoted, the rest of the line is the name, spaces and all.
    file = split("-s my file.pdf");
    EXPECT_EQ(file.path, "/cwd/my file.pdf");
    EXPECT_TRUE(file.exists);
    file = split("-s c:\\docs\\missing.pdf");
    EXPECT_EQ(file.path, "c:\\docs\\missing.pdf");
    EXPECT_FALSE(file.exists);
    // No name at all: a file that does not exist, for the caller's message.
    EXPECT_FALSE(split("-s").exists);
    EXPECT_FALSE(split("-s \"\"").exists);
}

TEST(ParseCommandLineTest, MergeRequestNamesFilesInOrder) {
    FakeFiles files;
    files.existing = {"/cwd/a.pdf", "/cwd/c.pdf", "/cwd/my file.pdf"};
    CommandLineRequest request = parseCommandLine("-m a.pdf|b.pdf c.pdf", files.completer());
    EXPECT_EQ(request.kind, RequestKind::Merge);
    EXPECT_EQ(paths(request.files), (Names{"/cwd/a.pdf", "/cwd/b.pdf", "/cwd/c.pdf"}));
    ASSERT_EQ(request.files.size(), 3u);
    EXPECT_TRUE(request.files[0].exists);
    EXPECT_FALSE(request.files[1].exists);
    EXPECT_TRUE(request.files[2].exists);
    EXPECT_FALSE(request.namesLeftOut);

    request = parseCommandLine("-m \"my file.pdf | b.pdf\" /abs/c.pdf|| d.pdf|", files.completer());
    EXPECT_EQ(paths(request.files),
              (Names{"/cwd/my file.pdf", "/cwd/b.pdf", "/abs/c.pdf", "/cwd/d.pdf"}));
    EXPECT_TRUE(request.files[0].exists);

    EXPECT_TRUE(parse("-m").files.empty());
    EXPECT_EQ(parse("-m").problem, RequestProblem::None);
}

TEST(ParseCommandLineTest, MergeRequestStopsAtTheListLimit) {
    CommandLineRequest request = parse("-m a.pdf b.pdf|c.pdf", 3);
    EXPECT_EQ(request.files.size(), 3u);
    EXPECT_FALSE(request.namesLeftOut);

    request = parse("-m a.pdf b.pdf|c.pdf|d.pdf e.pdf", 3);
    EXPECT_EQ(paths(request.files), (Names{"/cwd/a.pdf", "/cwd/b.pdf", "/cwd/c.pdf"}));
    EXPECT_TRUE(request.namesLeftOut);

    // Missing files count against the limit as well.
    std::string names;
    for (std::size_t i = 0; i <= kMergeRequestMax; ++i) names += " n" + std::to_string(i) + ".pdf";
    request = parse("-m" + names);
    EXPECT_EQ(request.files.size(), kMergeRequestMax);
    EXPECT_TRUE(request.namesLeftOut);
}

}  // namespace
}  // namespace pagemeld
