// Text conversions. The program keeps every text as UTF-8; these helpers sit at the
// edges: legacy 8-bit files, UTF-16 operating-system calls, file-system paths.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace pagemeld {

// True when `text` is well-formed UTF-8 (no overlong forms, no surrogates).
bool isValidUtf8(std::string_view text);

// Decodes Windows-1252 bytes into UTF-8. The five bytes the code page leaves
// undefined map to the control characters of the same number, as Windows does.
std::string windows1252ToUtf8(std::string_view bytes);

// The number of characters (code points) of UTF-8 text.
std::size_t utf8Length(std::string_view text);

// The first `count` characters of UTF-8 text (all of it when shorter).
std::string utf8Left(std::string_view text, std::size_t count);

// UTF-8 <-> UTF-16; malformed input becomes U+FFFD instead of failing.
std::u16string utf8ToUtf16(std::string_view text);
std::string utf16ToUtf8(std::u16string_view text);

// Paths built from and turned into UTF-8 text, whatever the platform's narrow
// encoding is (on Windows std::filesystem would otherwise use the ANSI code page).
std::filesystem::path pathFromUtf8(std::string_view text);
std::string pathToUtf8(const std::filesystem::path& path);

}  // namespace pagemeld
