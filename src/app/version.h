// This release's version: shown on the About tab and compared with the version file
// of the update check.
#pragma once

namespace pagemeld {

inline constexpr int kVersionMajor = 2;
inline constexpr int kVersionMinor = 1;
inline constexpr int kVersionRevision = 22;

}  // namespace pagemeld
