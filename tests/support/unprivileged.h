// Folder permissions do not stop root, and CI runs as root: a test that needs a
// read-only folder runs its body in a child process that has given up root.
#pragma once

#include <functional>
#include <string>

namespace pagemeld::testing {

// Runs `body` without root rights (in a child process when the test runs as root)
// and returns its result, or -1 when the child could not run.
int runUnprivileged(const std::function<int()>& body);

// Makes `path` readable and traversable by the unprivileged user as well.
void openToEveryone(const std::string& path);

}  // namespace pagemeld::testing
