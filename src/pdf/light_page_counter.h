// Counts a file's pages where a full load cannot: a file whose password is unknown
// (the page tree itself is not encrypted) or one whose page tree is broken.
#pragma once

#include <cstdint>
#include <string>

namespace pagemeld {

// The page count, or 0 with `errorCode` set (errcode numbers): kNotPdf for a file
// with no PDF header, kInvalidFileFormat for a PDF too damaged to count.
std::int32_t countPagesLightly(const std::string& fileName, std::int32_t& errorCode);

}  // namespace pagemeld
