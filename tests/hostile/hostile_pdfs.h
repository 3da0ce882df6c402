// Hostile files, written by the tests themselves: each one attacks a different way a
// reader can be made to crash, hang or fill memory.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace pagemeld::testing {

struct HostileFile {
    std::string name;  // also the file's name, with ".pdf"
    // Writes the file (or folder) at `path`.
    std::function<void(const std::string& path)> make;
    // A sound reader may still load it and count this many pages; 0 when it must be
    // refused. -1 when either is acceptable (the file is damaged but recoverable).
    int pagesIfLoaded = -1;
};

// A PDF made of `objects` (object k is objects[k-1]), with a correct cross-reference
// table and `trailerExtra` added to the trailer, which names object 1 as /Root.
std::string pdfText(const std::vector<std::string>& objects, const std::string& trailerExtra = {});

// Every hostile file of the suite.
std::vector<HostileFile> hostileFiles();

// A test name for a hostile file: its name with every character but letters and digits
// replaced by "_".
std::string hostileTestName(const ::testing::TestParamInfo<HostileFile>& info);

}  // namespace pagemeld::testing
