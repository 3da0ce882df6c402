// What the program reads from a file's name alone.
#pragma once

#include <string>

namespace pagemeld {

// True when the last three characters of `name`, lower-cased, are "pdf": the only test
// a name gets before the program takes it as a PDF.
bool endsInPdf(const std::string& name);

// The name less its last four characters (".pdf"): the base name offered for a file's
// outputs. Characters, not bytes, so a name such as "日本語pdf" keeps whole characters;
// a name of four characters or fewer leaves "".
std::string nameLessExtension(const std::string& name);

}  // namespace pagemeld
