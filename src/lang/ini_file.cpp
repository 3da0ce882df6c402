#include "lang/ini_file.h"

#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <string_view>
#include <system_error>
#include <unordered_map>
#include <utility>

#include "base/text_encoding.h"
#include "errors/trap.h"

namespace pagemeld {

namespace {

constexpr const char* kModule = "modLanguage";

struct Section {
    std::vector<std::pair<std::string, std::string>> entries;  // first occurrence per key
    std::unordered_map<std::string, std::size_t> index;        // folded key -> entry
};

struct Document {
    std::vector<Section> sections;
    std::unordered_map<std::string, std::size_t> index;  // folded section name -> section
};

// Names compare like the profile reader's, ignoring case; language files use
// ASCII names, so ASCII folding is enough.
std::string fold(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\x1a';
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string decodeUtf16(std::string_view bytes, bool bigEndian) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        units += static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    }
    return utf16ToUtf8(units);
}

// The file's text as UTF-8. Files are UTF-8 (a BOM is skipped); older translations
// were saved in the Windows code page and are decoded as Windows-1252; a UTF-16 file
// with its BOM, as Notepad saves "Unicode", is read as well.
std::string decodeFile(std::string_view bytes) {
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE')
        return decodeUtf16(bytes.substr(2), false);
    if (bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF')
        return decodeUtf16(bytes.substr(2), true);
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    if (isValidUtf8(bytes)) return std::string(bytes);
    return windows1252ToUtf8(bytes);
}

Section& sectionFor(Document& doc, std::string_view name) {
    auto [it, added] = doc.index.try_emplace(fold(name), doc.sections.size());
    if (added) doc.sections.emplace_back();
    return doc.sections[it->second];
}

Document parse(std::string_view text) {
    Document doc;
    // Lines before the first header belong to a nameless section.
    Section* current = &sectionFor(doc, "");
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = trim(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            const std::size_t close = line.rfind(']');
            if (close != std::string_view::npos && close > 0) {
                // A repeated section adds its keys to the first one.
                current = &sectionFor(doc, trim(line.substr(1, close - 1)));
                continue;
            }
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;  // not a key line
        const std::string_view key = trim(line.substr(0, eq));
        if (key.empty()) continue;
        std::string_view value = trim(line.substr(eq + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front()) {
            value = value.substr(1, value.size() - 2);
        }
        // A value ends at a NUL, as it would in the reader's buffer.
        value = value.substr(0, value.find('\0'));
        auto [it, added] = current->index.try_emplace(fold(key), current->entries.size());
        if (added) current->entries.emplace_back(std::string(key), std::string(value));
    }
    return doc;
}

// Parsed files by path. Loading a language asks about a hundred values of one file,
// so a file is parsed once and parsed again only when its size or time changes.
struct CacheEntry {
    std::uintmax_t size = 0;
    std::filesystem::file_time_type time;
    std::shared_ptr<const Document> doc;
};

constexpr std::size_t kMaxCachedFiles = 64;

std::mutex cacheMutex;
std::unordered_map<std::string, CacheEntry> cache;

bool statFile(const std::filesystem::path& path, std::uintmax_t& size,
              std::filesystem::file_time_type& time) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec) || ec) return false;
    size = std::filesystem::file_size(path, ec);
    if (ec) return false;
    time = std::filesystem::last_write_time(path, ec);
    return !ec;
}

// The parsed file; an empty document for a missing, unreadable or oversized file,
// which the profile reader also treats as holding nothing.
std::shared_ptr<const Document> load(const std::string& file) {
    static const auto empty = std::make_shared<const Document>();
    if (file.empty()) return empty;
    const std::filesystem::path path = pathFromUtf8(file);
    std::uintmax_t size = 0;
    std::filesystem::file_time_type time;
    if (!statFile(path, size, time)) return empty;
    {
        std::lock_guard lock(cacheMutex);
        auto it = cache.find(file);
        if (it != cache.end() && it->second.size == size && it->second.time == time)
            return it->second.doc;
    }
    if (size > ini::kMaxFileBytes) return empty;

    std::ifstream in(path, std::ios::binary);
    if (!in) return empty;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return empty;
    auto doc = std::make_shared<const Document>(parse(decodeFile(bytes)));

    // Cache only what was read from an unchanged file; one written meanwhile is
    // simply parsed again next time.
    std::uintmax_t sizeAfter = 0;
    std::filesystem::file_time_type timeAfter;
    if (statFile(path, sizeAfter, timeAfter) && sizeAfter == size && timeAfter == time &&
        bytes.size() == size) {
        std::lock_guard lock(cacheMutex);
        if (cache.size() >= kMaxCachedFiles) cache.clear();
        cache[file] = CacheEntry{size, time, doc};
    }
    return doc;
}

const Section* findSection(const Document& doc, const std::string& name) {
    auto it = doc.index.find(fold(name));
    return it == doc.index.end() ? nullptr : &doc.sections[it->second];
}

}  // namespace

void ini::clearCache() {
    std::lock_guard lock(cacheMutex);
    cache.clear();
}

std::string GetIni(ErrorReporter& errors, const std::string& file, const std::string& section,
                   const std::string& key, const std::string& defaultValue) {
    std::string result;
    Trap trap(errors, kModule, "GetIni");
    trap.step([&] {
        std::string value;
        const auto doc = load(file);
        if (const Section* s = findSection(*doc, section)) {
            auto it = s->index.find(fold(key));
            if (it != s->index.end())
                value = utf8Left(s->entries[it->second].second, ini::kValueBuffer - 1);
        }
        // An empty value reads like a missing one.
        result = value.empty() ? defaultValue : std::move(value);
    });
    return result;
}

std::int32_t GetIniAppAllKeys(ErrorReporter& errors, const std::string& file,
                              const std::string& section, KeyList& keys) {
    keys.clear();
    Trap trap(errors, kModule, "GetIniAppAllKeys");
    trap.step([&] {
        keys.clear();
        const auto doc = load(file);
        const Section* s = findSection(*doc, section);
        if (!s) return;
        // The reader writes every name followed by a NUL. A list that does not fit
        // the buffer with its closing NUL is cut after 1021 characters and ended
        // with a NUL, so the walk stops at 1022 and its last name may be shortened.
        std::size_t total = 0;
        for (const auto& entry : s->entries) total += utf8Length(entry.first) + 1;
        if (total + 2 <= ini::kKeyListBuffer) {
            for (const auto& entry : s->entries) keys.push_back(entry.first);
            return;
        }
        std::size_t room = ini::kKeyListBuffer - 3;
        for (const auto& entry : s->entries) {
            if (room == 0) break;
            const std::size_t length = utf8Length(entry.first);
            if (length + 1 <= room) {
                keys.push_back(entry.first);
                room -= length + 1;
            } else {
                keys.push_back(utf8Left(entry.first, room));
                room = 0;
            }
        }
    });
    return static_cast<std::int32_t>(keys.size());
}

std::int32_t FindKey(ErrorReporter& errors, const std::string& name, const KeyList& keys) {
    std::int32_t position = 0;
    Trap trap(errors, kModule, "FindKey");
    trap.step([&] {
        for (std::size_t i = 0; i < keys.size(); ++i) {
            if (keys[i] == name) position = static_cast<std::int32_t>(i + 1);
        }
    });
    return position;
}

}  // namespace pagemeld
