// Names on the command line: what the shell hands over arrives as the same names, and a
// quote inside a name refuses the request instead of cutting another name out of it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch/command_line.h"
#include "file_names/name_samples.h"

namespace pagemeld::testing {
namespace {

using Names = std::vector<std::string>;

NameCompleter inCwd() {
    return [](const std::string& name) -> CompletedName {
        if (name.empty()) return {};
        return {name[0] == '/' ? name : "/cwd/" + name, true};
    };
}

CommandLineRequest fromArguments(const std::vector<std::string>& args) {
    std::vector<std::string> all{"pagemeld"};
    all.insert(all.end(), args.begin(), args.end());
    return parseCommandLine(joinArguments(all), inCwd());
}

TEST(CommandLineNamesTest, ArgumentsComeBackAsTheNamesTheShellGave) {
    for (const NameSample& sample : nameSamples()) {
        // A double quote cannot travel inside a name: see the next test.
        if (sample.name.find('"') != std::string::npos) continue;
        SCOPED_TRACE(sample.what);
        const std::string& name = sample.name;

        CommandLineRequest merge = fromArguments({"-qml", name, "b c.pdf", "-o", name});
        EXPECT_EQ(merge.problem, RequestProblem::None);
        EXPECT_TRUE(merge.log);
        EXPECT_EQ(merge.inputs, (Names{"/cwd/" + name, "/cwd/b c.pdf"}));
        EXPECT_EQ(merge.output, "/cwd/" + name);

        // The output folder of a split is used as written, relative or not.
        CommandLineRequest split = fromArguments({"-qs", "a.pdf", name, "-o", name + "/"});
        EXPECT_EQ(split.inputs, (Names{"/cwd/a.pdf", "/cwd/" + name}));
        EXPECT_EQ(split.output, name + "/");

        // An interactive merge takes "|" between names; the quiet requests do not.
        if (name.find('|') != std::string::npos) continue;
        CommandLineRequest preload = fromArguments({"-m", name, "/abs/" + name});
        ASSERT_EQ(preload.files.size(), 2u);
        EXPECT_EQ(preload.files[1].path, "/abs/" + name);
    }
}

TEST(CommandLineNamesTest, AQuoteInsideANameRefusesTheRequest) {
    // Cut at its quotes, o"u"t.pdf would have named the output "u".
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"-qm", "a.pdf", "b.pdf", "-o", "o\"u\"t.pdf"},
             {"-qm", "a.pdf", "b.pdf", "-o", "say \"hi\".pdf"},
             {"-qs", "x\"y\".pdf", "-o", "out/"},
             {"-qs", "\"quoted\".pdf", "-o", "out/"},
             {"-qsl", "a.pdf", "-o", "o\"u\"t/"},
             {"-m", "a.pdf", "o\"u\"t.pdf"},
             {"-s", "say\"hi\".pdf"},
             {"-s", "\"hi\".pdf"},
         }) {
        const CommandLineRequest request = fromArguments(args);
        EXPECT_EQ(request.problem, RequestProblem::QuoteInName) << joinArguments(args);
        EXPECT_TRUE(request.inputs.empty());
        EXPECT_FALSE(request.output.has_value());
        EXPECT_TRUE(request.files.empty());
    }

    // Quotes around whole names keep working, also before the "|" of a preload.
    CommandLineRequest merge = parseCommandLine("-m \"my file.pdf\"|b.pdf \"c d.pdf\"", inCwd());
    EXPECT_EQ(merge.problem, RequestProblem::None);
    ASSERT_EQ(merge.files.size(), 3u);
    EXPECT_EQ(merge.files[0].path, "/cwd/my file.pdf");
    EXPECT_EQ(merge.files[1].path, "/cwd/b.pdf");
    EXPECT_EQ(merge.files[2].path, "/cwd/c d.pdf");
    CommandLineRequest split = parseCommandLine("-s  \"my file.pdf\"", inCwd());
    EXPECT_EQ(split.problem, RequestProblem::None);
    ASSERT_EQ(split.files.size(), 1u);
    EXPECT_EQ(split.files[0].path, "/cwd/my file.pdf");
}

}  // namespace
}  // namespace pagemeld::testing
