// What a program says about itself on the command line: how to call it, its version.
#pragma once

#include <string>

namespace pagemeld {

// A program that takes requests on the command line.
struct ProgramDescription {
    std::string name;  // as the usage lines show it: "pagemeld", "pagemeld-cli"
    bool hasWindow;    // takes the requests that open the window ("-s", "-m")
};

// The usage text, one request per line as the README shows it.
std::string usageText(const ProgramDescription& program);

// "Ombrix Pagemeld" and this release's version.
std::string versionText();

}  // namespace pagemeld
