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
    std::vector<NameSample> samples = {
        {"accents",
         "Fran\xC3\xA7"
         "ais r\xC3\xA9sum\xC3\xA9.pdf"},
        {"umlaut and eszett",
         "\xC3\xBC"
         "ber Stra\xC3\x9F"
         "e.pdf"},
        {"chinese", "\xE6\x96\x87\xE4\xBB\xB6.pdf"},
        {"emoji", "\xF0\x9F\x98\x80 party \xF0\x9F\x8E\x89.pdf"},
        {"leading space", " leading.pdf"},
        {"trailing space before the dot", "trailing .pdf"},
        {"double space", "double  space.pdf"},
        {"leading dash", "-a.pdf"},
        {"semicolon and comma", "1-4,6;9.pdf"},
        {"apostrophe, percent and dollar", "it's 100% $HOME.pdf"},
    };
#ifndef _WIN32
    // Names Windows refuses but Linux takes, and bytes that are no UTF-8.
    for (NameSample sample : std::vector<NameSample>{
             {"device name", "con.pdf"},
             {"colon and question mark", "a:b?.pdf"},
             {"double quote", "say \"hi\".pdf"},
             {"backslash, star and bar", "b\\s*r|.pdf"},
             {"latin-1 byte", "caf\xE9.pdf"},
             {"byte 0xFF", "bad\xFF.pdf"},
             {"cut-off sequence", "half\xE6\x96.pdf"},
         }) {
        samples.push_back(sample);
    }
#endif
    return samples;
}

// Folders the files above are put in, in turn.
inline std::vector<std::string> folderSamples() {
    return {"Dossier \xC3\xA9t\xC3\xA9",
            "\xE6\x96\x87\xE4\xBB\xB6\xE5\xA4\xB9",
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
