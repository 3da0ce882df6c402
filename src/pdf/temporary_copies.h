// Decrypted copies of a merge's inputs. Each lives beside the output under a
// dot-name with a random part (hidden on Unix-like systems), reserved by creating
// the file exclusively, so no file of the user's is ever taken for a copy or
// overwritten. Every copy still there is removed when the set goes out of scope,
// also when a run is left by an error.
#pragma once

#include <map>
#include <string>

namespace pagemeld {

class TemporaryCopies {
public:
    TemporaryCopies() = default;
    ~TemporaryCopies();
    TemporaryCopies(const TemporaryCopies&) = delete;
    TemporaryCopies& operator=(const TemporaryCopies&) = delete;

    // Reserves an empty file for the copy of input `position` in the folder of
    // `output`; returns its path, or an empty text when none could be created.
    std::string reserve(const std::string& output, int position);
    // The reserved path of input `position`, or an empty text.
    std::string pathOf(int position) const;
    // Removes the copy of input `position` if it is still there.
    void remove(int position);
    void removeAll();

private:
    std::map<int, std::string> paths_;
};

}  // namespace pagemeld
