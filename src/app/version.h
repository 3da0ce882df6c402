// This release's version: shown on the About tab and by --version, and compared with
// the version file of the update check. The numbers come from the build (the
// project's version in CMakeLists.txt), which also writes them into the Windows
// programs' file properties and the packages' names.
#pragma once

namespace pagemeld {

inline constexpr int kVersionMajor = PAGEMELD_VERSION_MAJOR;
inline constexpr int kVersionMinor = PAGEMELD_VERSION_MINOR;
inline constexpr int kVersionRevision = PAGEMELD_VERSION_REVISION;

}  // namespace pagemeld
