// File and folder names users really have: accents, CJK, emoji, odd spaces, leading
// dashes, punctuation the program parses elsewhere, names only Windows forbids, and
// bytes that are no UTF-8 at all. The run suite and the quiet program table take
// them as parameters.
#pragma once

#include <string>
#include <vector>

namespace pagemeld::testing {

struct NameSample {
    std::string what;  // for failure messages: the name itself may not print
    std::string name;  // a file name ending in ".pdf"
};

inline std::vector<NameSample> nameSamples() {
    // Octal escapes, three digits each, so the letters after them stay letters.
    return {
        {"accents", "Fran\303\247ais r\303\251sum\303\251 \303\274ber Stra\303\237e.pdf"},
        {"chinese", "\346\226\207\344\273\266.pdf"},
        {"emoji", "\360\237\230\200 party \360\237\216\211.pdf"},
        {"leading space", " leading.pdf"},
        {"trailing space before the dot", "trailing .pdf"},
        {"double space", "double  space.pdf"},
        {"leading dash", "-a.pdf"},
        {"semicolon and comma", "1-4,6;9.pdf"},
        {"apostrophe, percent and dollar", "it's 100% $HOME.pdf"},
#ifndef _WIN32
        // Names Windows refuses but Linux takes, and bytes that are no UTF-8.
        {"device name", "con.pdf"},
        {"colon and question mark", "a:b?.pdf"},
        {"double quote", "say \"hi\".pdf"},
        {"backslash, star and bar", "b\\s*r|.pdf"},
        {"latin-1 byte", "caf\xE9.pdf"},
        {"byte 0xFF", "bad\xFF.pdf"},
        {"cut-off sequence", "half\xE6\x96.pdf"},
#endif
    };
}

// Folders the files above are put in, in turn.
inline std::vector<std::string> folderSamples() {
    return {"Dossier \303\251t\303\251",
            "\346\226\207\344\273\266\345\244\271",
            "-o",
            "two  spaces",
#ifndef _WIN32
            "trailing dot.",
            "trailing space ",
            "raw\xFE"
#endif
    };
}

}  // namespace pagemeld::testing
