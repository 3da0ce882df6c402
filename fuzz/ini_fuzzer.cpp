// The INI reader on arbitrary file bytes: every lookup must end with a value or the
// default, never crash, and respect the buffer lengths the callers were promised.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/text_encoding.h"
#include "errors/error_handler.h"
#include "fuzz_support.h"
#include "lang/ini_file.h"

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken promise: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 256 * 1024) return -1;
    static pagemeld::fuzzing::AbortingUi ui;
    static pagemeld::fuzzing::QuietSystem system;
    static pagemeld::ErrorReporter errors(ui, system);

    const std::string file = pagemeld::fuzzing::writeScratchFile("fuzz.ini", data, size);
    // The file is rewritten within one clock tick; forget what was read before.
    pagemeld::ini::clearCache();

    // Section and key names come from the file itself, so lookups find real entries.
    std::vector<std::string> sections{"Language", "frmMain", ""};
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    for (std::size_t open = bytes.find('['); open != std::string::npos && sections.size() < 12;
         open = bytes.find('[', open + 1)) {
        const std::size_t close = bytes.find(']', open);
        if (close == std::string::npos) break;
        sections.push_back(bytes.substr(open + 1, close - open - 1));
    }

    for (const std::string& section : sections) {
        pagemeld::KeyList keys{"stale"};
        const std::int32_t count = pagemeld::GetIniAppAllKeys(errors, file, section, keys);
        check(count == static_cast<std::int32_t>(keys.size()), "key count differs from the list");
        for (std::size_t i = 0; i < keys.size() && i < 50; ++i) {
            const std::string value = pagemeld::GetIni(errors, file, section, keys[i], "dflt");
            check(pagemeld::utf8Length(value) < pagemeld::ini::kValueBuffer,
                  "a value longer than its buffer");
            const std::int32_t found = pagemeld::FindKey(errors, keys[i], keys);
            check(found >= 1 && found <= count && keys[found - 1] == keys[i],
                  "FindKey misses a listed key");
        }
        if (keys.empty()) {
            check(pagemeld::GetIni(errors, file, section, "Key", "dflt") == "dflt",
                  "a key of an empty section does not give the default");
        }
    }
    return 0;
}
