#include "pdf/outline_levels.h"

#include <qpdf/QUtil.hh>

#include <unordered_map>

namespace pagemeld {
namespace {

struct Walk {
    int deepest;
    const std::unordered_map<QPDFObjGen, std::int32_t, ObjGenHash>& pageNumbers;
    std::vector<LeveledBookmark>& out;

    void items(const std::vector<SourceOutlineItem>& level, int depth) {
        for (const SourceOutlineItem& item : level) {
            LeveledBookmark mark;
            mark.level = depth;
            QPDFObjectHandle node = item.item;
            QPDFObjectHandle title = node.getKey("/Title");
            if (title.isString()) mark.title = bookmarkTitleText(title.getStringValue());
            if (const auto page = PdfSource::destinationPage(item.destination)) {
                if (auto found = pageNumbers.find(*page); found != pageNumbers.end())
                    mark.page = found->second;
            }
            out.push_back(std::move(mark));
            if (depth < deepest) items(item.kids, depth + 1);
        }
    }
};

}  // namespace

std::string bookmarkTitleText(const std::string& bytes) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        // Little-endian UTF-16, as some writers make it: turned round for the decoder.
        std::string bigEndian = "\xFE\xFF";
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            bigEndian += bytes[i + 1];
            bigEndian += bytes[i];
        }
        return QUtil::utf16_to_utf8(bigEndian);
    }
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE &&
        static_cast<unsigned char>(bytes[1]) == 0xFF)
        return QUtil::utf16_to_utf8(bytes);
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) return bytes.substr(3);
    return QUtil::pdf_doc_to_utf8(bytes);
}

std::vector<LeveledBookmark> bookmarksToLevel(const OpenedDocument& document, int deepest) {
    std::vector<LeveledBookmark> marks;
    if (document.pages.empty() || deepest < 1) return marks;
    std::unordered_map<QPDFObjGen, std::int32_t, ObjGenHash> pageNumbers;
    for (std::size_t i = 0; i < document.pages.size(); ++i) {
        // A page listed twice keeps its first number.
        pageNumbers.emplace(document.pages[i].page.getObjGen(), static_cast<std::int32_t>(i + 1));
    }
    // A document's pages come from one file, whose outline is what the reader shows.
    PdfSource& source = *document.pages.front().source;
    Walk{deepest, pageNumbers, marks}.items(source.outline(), 1);
    return marks;
}

}  // namespace pagemeld
