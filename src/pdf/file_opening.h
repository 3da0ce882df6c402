// Files opened by their UTF-8 names through the system's own wide-character calls:
// on Windows a narrow name would go through the ANSI code page, and a name with
// an accent the code page lacks would name another file or none.
#pragma once

#include <cstdio>
#include <string>

namespace pagemeld {

// Opens `name` for reading in binary mode; throws QPDFSystemError, as qpdf's own
// opening does, when it cannot.
std::FILE* openForReading(const std::string& name);

// Creates `name` for writing in binary mode only when no file of that name exists
// yet; otherwise returns nullptr with errno set (EEXIST when the name is taken).
std::FILE* createExclusively(const std::string& name);

}  // namespace pagemeld
