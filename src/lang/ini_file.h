// Read-only access to INI files (the language files). The reader behaves like the
// Windows profile reader the language files were written for: section and key
// names ignore case, blanks around keys and values are dropped, a value wrapped in
// matching quotes loses them, lines starting with ';' are comments, and a missing
// file reads like a file without sections.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pagemeld {

class ErrorReporter;

// Key names of one section, numbered from 1 by FindKey in file order.
using KeyList = std::vector<std::string>;

namespace ini {
// The buffers the routines hand the reader, in characters: a value comes back cut
// to 254 characters, a key list walk ends after 1022 characters.
inline constexpr std::size_t kValueBuffer = 255;
inline constexpr std::size_t kKeyListBuffer = 1024;
// Larger files are not language files; they read as empty instead of filling memory.
inline constexpr std::uintmax_t kMaxFileBytes = 16u * 1024u * 1024u;

// Forgets every parsed file (tests that rewrite a file within one clock tick).
void clearCache();
}  // namespace ini

// The value of `key` in `section` of `file`, cut to 254 characters; `defaultValue`
// when the file, section or key is missing or the value is empty.
std::string GetIni(ErrorReporter& errors, const std::string& file, const std::string& section,
                   const std::string& key, const std::string& defaultValue);

// Replaces `keys` with the key names of `section` in file order and returns their
// number; an empty list and 0 when the file or section is missing.
std::int32_t GetIniAppAllKeys(ErrorReporter& errors, const std::string& file,
                              const std::string& section, KeyList& keys);

// The 1-based position of the last entry of `keys` equal to `name` (case counts),
// or 0.
std::int32_t FindKey(ErrorReporter& errors, const std::string& name, const KeyList& keys);

}  // namespace pagemeld
