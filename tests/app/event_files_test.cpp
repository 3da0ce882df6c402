// The architecture notes name the file that handles each window event: the list there
// and the window's one list of events (form1_events.h) must not drift apart.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/form1_event_table.h"

namespace pagemeld {
namespace {

// The texts in backquotes of `text`, in order.
std::vector<std::string> backquoted(const std::string& text) {
    std::vector<std::string> found;
    for (auto open = text.find('`'); open != std::string::npos;) {
        const auto close = text.find('`', open + 1);
        if (close == std::string::npos) break;
        found.push_back(text.substr(open + 1, close - open - 1));
        open = text.find('`', close + 1);
    }
    return found;
}

std::string textOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(EventFiles, EveryWindowEventIsNamedOnceWithTheFileThatDefinesIt) {
    const std::string notes = textOf(PAGEMELD_SOURCE_DIR "/docs/architecture.md");
    const auto begin = notes.find("<!-- window events -->");
    const auto end = notes.find("<!-- end of window events -->");
    ASSERT_NE(begin, std::string::npos);
    ASSERT_NE(end, std::string::npos);
    std::map<std::string, std::string> fileOf;
    std::istringstream rows(notes.substr(begin, end - begin));
    // Rows "| `file` | `handler`, `handler`, ... |".
    for (std::string line; std::getline(rows, line);) {
        const std::vector<std::string> names = backquoted(line);
        if (line.rfind("| `", 0) != 0 || names.size() < 2) continue;
        const std::string& file = names.front();
        const std::string source = textOf(PAGEMELD_SOURCE_DIR "/" + file);
        for (std::size_t i = 1; i < names.size(); ++i) {
            EXPECT_TRUE(fileOf.emplace(names[i], file).second) << names[i] << " is named twice";
            EXPECT_NE(source.find("Form1::" + names[i] + "("), std::string::npos)
                << file << " does not define " << names[i];
        }
    }
    for (const EventBinding& binding : form1Events()) {
        EXPECT_EQ(fileOf.erase(binding.name()), 1u) << binding.name() << " is not named";
    }
    for (const auto& [name, file] : fileOf) ADD_FAILURE() << name << " is no window event";
}

}  // namespace
}  // namespace pagemeld
