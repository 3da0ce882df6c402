// The files one quiet request reads and writes, known by identity, so that no output
// of the request takes the place of one of them.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "app/file_identity.h"

namespace pagemeld {

class RequestFiles {
public:
    explicit RequestFiles(const std::vector<std::string>& inputs);

    // True when writing `output` would replace an input of the request or a file the
    // request has written.
    bool wouldReplace(const std::string& output) const;
    // Notes a file the request reads or has written.
    void note(const std::string& file);

private:
    std::set<FileIdentity> files_;
};

// The line that tells why an output was not written.
std::string replacedFileLine(const std::string& output);

}  // namespace pagemeld
