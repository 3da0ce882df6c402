// The program's names and this release's version, as the build gives them (the
// project's name and version in CMakeLists.txt, which also name the Windows programs'
// file properties and the packages). The version is shown on the About tab and by
// --version, and compared with the version file of the update check.
#pragma once

namespace pagemeld {

// The title of the operations' message boxes, the error logs' names and the document
// information the outputs carry.
inline constexpr const char* kProductName = PAGEMELD_PRODUCT_NAME;
// The window's caption and the About tab's title line.
inline constexpr const char* kWindowTitle = PAGEMELD_PRODUCT_NAME " Professional";

inline constexpr int kVersionMajor = PAGEMELD_VERSION_MAJOR;
inline constexpr int kVersionMinor = PAGEMELD_VERSION_MINOR;
inline constexpr int kVersionRevision = PAGEMELD_VERSION_REVISION;

}  // namespace pagemeld
