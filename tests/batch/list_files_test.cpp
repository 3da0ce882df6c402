// Lists of names in place of typed names: what a list gives, and where it is read.
#include "batch/list_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace pagemeld {
namespace {

using Texts = std::vector<std::string>;

TEST(ListFiles, GiveTheNamesAUserWouldHaveTyped) {
    const struct {
        const char* what;
        std::string list;
        Texts args;
    } cases[] = {
        {"one a line, LF", "a.pdf\nb c.pdf\n", {"a.pdf", "b c.pdf"}},
        {"CR LF and no last line end", "a.pdf\r\nb.pdf", {"a.pdf", "b.pdf"}},
        {"a byte order mark before the first name",
         "\xEF\xBB\xBF\xC3\xA9t\xC3\xA9.pdf\n",
         {"\xC3\xA9t\xC3\xA9.pdf"}},
        {"empty, blank and comment lines", "\n# scans\n  \r\na.pdf\n\t\n#b.pdf\n", {"a.pdf"}},
        {"a page range after a TAB",
         "a.pdf\t1-3,7\nb.pdf\t 2 \r\n",
         {"a.pdf", "--pages", "1-3,7", "b.pdf", "--pages", "2"}},
        {"a TAB with no range", "a.pdf\t\n", {"a.pdf"}},
        {"spaces inside and around a name stay", " a b.pdf \n", {" a b.pdf "}},
        {"nothing", "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::istringstream list(c.list);
        EXPECT_EQ(listedArguments(list), c.args);
    }
}

TEST(ListFiles, AreReadInPlaceOfInputNamesOfQuietRequestsOnly) {
    testing::TempDir dir;
    const std::string list = dir.file("list one.txt");
    std::ofstream(list) << "x.pdf\ny.pdf\n";
    const std::string missing = dir.file("gone.txt");
    const struct {
        const char* what;
        Texts args;
        std::string standardInput;
        Texts expanded;
        bool fromList;
        bool progressOff;
        std::string unreadable;
    } cases[] = {
        {"a list among typed names",
         {"p", "-qml", "a.pdf", "@" + list, "b.pdf", "-o", "m.pdf"},
         "",
         {"p", "-qml", "a.pdf", "x.pdf", "y.pdf", "b.pdf", "-o", "m.pdf"},
         true,
         false,
         ""},
        {"standard input, the log letter and -q before the names",
         {"p", "-qs", "l", "-q", "@-", "-o", "out/"},
         "s.pdf\n",
         {"p", "-qs", "l", "s.pdf", "-o", "out/"},
         true,
         true,
         ""},
        {"-q after a name and @ after -o are names",
         {"p", "-qm", "a.pdf", "-q", "-o", "@out.pdf"},
         "",
         {"p", "-qm", "a.pdf", "-q", "-o", "@out.pdf"},
         false,
         false,
         ""},
        {"a lone @ is a name",
         {"p", "-qm", "@", "-o", "m.pdf"},
         "",
         {"p", "-qm", "@", "-o", "m.pdf"},
         false,
         false,
         ""},
        {"a request for the window keeps its words",
         {"p", "-m", "@" + list},
         "",
         {"p", "-m", "@" + list},
         false,
         false,
         ""},
        {"a missing list",
         {"p", "-qm", "a.pdf", "@" + missing, "-o", "m.pdf"},
         "",
         {},
         false,
         false,
         missing},
        {"a folder is no list",
         {"p", "-qs", "@" + dir.path().string(), "-o", "out/"},
         "",
         {},
         false,
         false,
         dir.path().string()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::istringstream in(c.standardInput);
        const ExpandedArguments expanded = expandListFiles(c.args, in);
        EXPECT_EQ(expanded.args, c.expanded);
        EXPECT_EQ(expanded.fromList, c.fromList);
        EXPECT_EQ(expanded.progressOff, c.progressOff);
        EXPECT_EQ(expanded.unreadableList, c.unreadable);
    }
}

}  // namespace
}  // namespace pagemeld
