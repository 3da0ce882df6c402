#include "pdf/piece_size.h"

#include <vector>

#include "pdf/page_tree.h"

namespace pagemeld {
namespace {

// What the writer puts around an object's own bytes: "n 0 obj", "endobj" and its line
// in the cross-reference table; around stream data, its keywords.
constexpr std::uint64_t kObjectFrame = 40;
constexpr std::uint64_t kStreamFrame = 30;
// The header, catalog, page tree, information and trailer of any output, and a page's
// entry in the page tree.
constexpr std::uint64_t kOutputFrame = 700;
constexpr std::uint64_t kPageEntry = 12;

}  // namespace

void PieceSizeEstimate::clear() {
    seen_.clear();
    bytes_ = 0;
}

std::uint64_t PieceSizeEstimate::objectBytes(QPDFObjectHandle object) {
    if (!object.isStream()) return object.unparseResolved().size() + kObjectFrame;
    QPDFObjectHandle dict = object.getDict();
    QPDFObjectHandle length = dict.getKey("/Length");
    const std::uint64_t data =
        length.isInteger() && length.getIntValue() >= 0
            ? static_cast<std::uint64_t>(length.getIntValue())
            : object.getRawStreamData()->getSize();  // rare: read it to know it
    return dict.unparse().size() + data + kStreamFrame + kObjectFrame;
}

void PieceSizeEstimate::walk(PdfSource& source, QPDFObjectHandle start) {
    std::vector<QPDFObjectHandle> stack{start};
    while (!stack.empty()) {
        QPDFObjectHandle value = stack.back();
        stack.pop_back();
        if (value.isIndirect()) {
            const QPDFObjGen objGen = value.getObjGen();
            // Another page becomes null in the output; a page of the piece is its own.
            if (source.isPage(objGen) || !seen_.insert({&source, objGen}).second) continue;
            if (value.isNull()) continue;
            bytes_ += objectBytes(value);
        }
        if (value.isStream()) value = value.getDict();
        if (value.isArray()) {
            for (QPDFObjectHandle item : value.getArrayAsVector()) stack.push_back(item);
        } else if (value.isDictionary()) {
            for (auto& [key, item] : value.ditems()) stack.push_back(item);
        }
    }
}

std::uint64_t PieceSizeEstimate::add(const PageRef& ref) {
    PdfSource& source = *ref.source;
    if (bytes_ == 0) bytes_ = kOutputFrame;
    QPDFObjectHandle page = ref.page;
    if (!seen_.insert({&source, page.getObjGen()}).second) return bytes_;
    bytes_ += page.unparseResolved().size() + kObjectFrame + kPageEntry;
    for (auto& [key, value] : page.ditems()) {
        if (key != "/Parent") walk(source, value);
    }
    for (const char* key : kInheritedPageKeys) {
        if (page.hasKey(key)) continue;
        QPDFObjectHandle value = inheritedAttribute(page, key);
        if (value.isNull()) continue;
        bytes_ += value.unparse().size();
        walk(source, value);
    }
    return bytes_;
}

}  // namespace pagemeld
