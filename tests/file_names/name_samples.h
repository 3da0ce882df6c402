// File and folder names users really have, for the lists, the runs and the quiet
// requests: accents, CJK, emoji, odd spaces, leading dashes, punctuation the program
// parses elsewhere, names only Windows forbids, and bytes that are no UTF-8 at all.
#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "base/text_encoding.h"

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
        {"tilde", "ni\xC3\xB1o.pdf"},
        {"chinese", "\xE6\x96\x87\xE4\xBB\xB6.pdf"},
        {"japanese", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.pdf"},
        {"emoji", "\xF0\x9F\x98\x80 party \xF0\x9F\x8E\x89.pdf"},
        {"leading space", " leading.pdf"},
        {"trailing space before the dot", "trailing .pdf"},
        {"double space", "double  space.pdf"},
        {"leading dash", "-a.pdf"},
        {"two leading dashes", "--x.pdf"},
        {"semicolon and comma", "1-4,6;9.pdf"},
        {"apostrophe", "it's mine.pdf"},
        {"percent and dollar", "100% $HOME.pdf"},
    };
#ifndef _WIN32
    // Names Windows refuses but Linux takes.
    for (NameSample sample : std::vector<NameSample>{
             {"device name", "con.pdf"},
             {"colon", "a:b.pdf"},
             {"question mark", "a?b.pdf"},
             {"double quote", "say \"hi\".pdf"},
             {"backslash", "back\\slash.pdf"},
             {"star and bar", "st*r|bar.pdf"},
             {"angle brackets", "<tag>.pdf"},
             // Bytes that are no UTF-8: Latin-1, a lone byte, a cut-off sequence.
             {"latin-1 byte", "caf\xE9.pdf"},
             {"byte 0xFF", "bad\xFF.pdf"},
             {"cut-off sequence", "half\xE6\x96.pdf"},
         }) {
        samples.push_back(sample);
    }
#endif
    return samples;
}

// Folders the files above are put in.
inline std::vector<NameSample> folderSamples() {
    std::vector<NameSample> folders = {
        {"accented folder", "Dossier \xC3\xA9t\xC3\xA9"},
        {"cjk folder", "\xE6\x96\x87\xE4\xBB\xB6\xE5\xA4\xB9"},
        {"dash folder", "-o"},
        {"spaced folder", "two  spaces"},
    };
#ifndef _WIN32
    for (NameSample folder : std::vector<NameSample>{
             {"trailing dot", "trailing dot."},
             {"trailing space", "trailing space "},
             {"non-UTF-8 folder", "raw\xFE"},
         }) {
        folders.push_back(folder);
    }
#endif
    return folders;
}

// A name of exactly `bytes` bytes ending in ".pdf".
inline std::string nameOfBytes(std::size_t bytes, char fill = 'n') {
    return std::string(bytes - 4, fill) + ".pdf";
}

// A path to `name` in `folder` (which ends in a separator) longer than the 4096 bytes
// a path may have, through "./" steps: the file is there, but no call can reach it by
// that path.
inline std::string pathBeyondPathMax(const std::string& folder, const std::string& name) {
    std::string path = folder;
    while (path.size() + name.size() <= 4200) path += "./";
    return path + name;
}

// Every name below `root` (relative, raw bytes) that a write left behind: the
// engine's hidden temporary files and the merge's decrypted copies.
inline std::vector<std::string> strayTemporaries(const std::filesystem::path& root) {
    std::vector<std::string> stray;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        const std::string name = pathToUtf8(it->path().filename());
        if (name.rfind(".pagemeld-", 0) == 0 ||
            (name.size() > 4 && name[0] == '.' && name.compare(name.size() - 4, 4, ".tmp") == 0))
            stray.push_back(pathToUtf8(std::filesystem::relative(it->path(), root, ec)));
    }
    return stray;
}

// The names in `folder`, hidden ones included, as raw bytes.
inline std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(pathFromUtf8(folder), ec), end; !ec && it != end;
         it.increment(ec))
        names.insert(pathToUtf8(it->path().filename()));
    return names;
}

}  // namespace pagemeld::testing
