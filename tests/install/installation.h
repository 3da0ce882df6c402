// Installs this build with `cmake --install`, the way a user makes the portable
// folder, into a prefix of the test's own.
#pragma once

#include <filesystem>
#include <string>

namespace pagemeld::testing {

struct Installation {
    int status = -1;     // cmake's exit status
    std::string errors;  // what cmake wrote to standard error
    std::filesystem::path folder;
    std::filesystem::path executable;
};

// Runs `cmake --install <this build> --prefix <prefix>` with `workFolder` as cmake's
// current folder. The program's folder is the prefix joined with the configured
// install folder (the prefix itself by default).
Installation installInto(const std::filesystem::path& prefix,
                         const std::filesystem::path& workFolder);

}  // namespace pagemeld::testing
