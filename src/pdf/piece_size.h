// How large an output of some pages will be, told before it is written: the sizes of
// the objects the pages reach, each counted once however many pages share it, plus
// what every object and page costs around its own bytes. It follows the references
// the writer follows (never into another page or the page tree) and reads no stream's
// data, so sizing a piece costs a walk over its objects, not a write.
#pragma once

#include <cstdint>
#include <unordered_set>
#include <utility>

#include "pdf/pdf_document.h"

namespace pagemeld {

class PieceSizeEstimate {
public:
    // Adds `page` to the piece; returns the estimated size of an output of the pages
    // added since the last clear().
    std::uint64_t add(const PageRef& page);
    std::uint64_t bytes() const { return bytes_; }
    void clear();

private:
    struct SeenHash {
        std::size_t operator()(const std::pair<const PdfSource*, QPDFObjGen>& seen) const {
            return std::hash<const void*>()(seen.first) ^ ObjGenHash()(seen.second);
        }
    };

    void walk(PdfSource& source, QPDFObjectHandle value);
    static std::uint64_t objectBytes(QPDFObjectHandle object);

    std::unordered_set<std::pair<const PdfSource*, QPDFObjGen>, SeenHash> seen_;
    std::uint64_t bytes_ = 0;
};

}  // namespace pagemeld
