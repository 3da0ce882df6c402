#include "batch/request_files.h"

namespace pagemeld {

RequestFiles::RequestFiles(const std::vector<std::string>& inputs) {
    for (const std::string& input : inputs) note(input);
}

bool RequestFiles::wouldReplace(const std::string& output) const {
    const std::optional<FileIdentity> identity = fileIdentity(output);
    return identity && files_.count(*identity) > 0;
}

void RequestFiles::note(const std::string& file) {
    if (const std::optional<FileIdentity> identity = fileIdentity(file)) files_.insert(*identity);
}

std::string replacedFileLine(const std::string& output) {
    return output + " was skipped: it would replace a file this request reads or wrote!";
}

}  // namespace pagemeld
