#include "pdf/streaming_pdf_writer.h"

#include <string_view>

#include "pdf/page_tree.h"

namespace pagemeld {
namespace {

constexpr std::int64_t kCatalog = 1;
constexpr std::int64_t kPageTree = 2;
constexpr std::int64_t kInformation = 3;
constexpr std::int64_t kFirstFree = 4;

}  // namespace

StreamingPdfWriter::StreamingPdfWriter(std::FILE* out) : out_(out, kFirstFree), structure_(out_) {}

StreamingPdfWriter::SourceState& StreamingPdfWriter::stateFor(PdfSource* source) {
    auto& state = states_[source];
    if (!state) {
        state = std::make_unique<SourceState>();
        state->objects.source = source;
        state->objects.rewriter = &state->catalog;
    }
    return *state;
}

void StreamingPdfWriter::forgetSource(const PdfSource* source) {
    states_.erase(source);
}

void StreamingPdfWriter::appendPages(const std::vector<PageRef>& pages,
                                     const std::string* sectionTitle) {
    const std::size_t kidsBefore = kids_.size();
    const std::size_t outlineBefore = structure_.outlineSize();
    std::vector<std::pair<SourceState*, std::int64_t>> numbers;
    numbers.reserve(pages.size());
    try {
        // Number every page first, so that links between them can be written.
        std::vector<SourceState*> fresh;
        std::unordered_map<SourceState*, std::vector<QPDFObjectHandle>> freshPages;
        for (const auto& ref : pages) {
            SourceState& state = stateFor(ref.source.get());
            std::int64_t number = out_.newObjectNumber();
            state.objects.pages.emplace(ref.page.getObjGen(), number);
            numbers.emplace_back(&state, number);
            kids_.push_back(number);
            if (!state.catalog.taken) {
                auto& list = freshPages[&state];
                if (list.empty()) fresh.push_back(&state);
                list.push_back(ref.page);
            }
        }
        for (SourceState* state : fresh) {
            structure_.prepare(state->catalog, state->objects, freshPages[state]);
        }
        for (std::size_t i = 0; i < pages.size(); ++i) {
            writePage(numbers[i].first->objects, numbers[i].second, pages[i].page);
            out_.drainPending();
        }
        for (SourceState* state : fresh) {
            state->catalog.taken = true;
            structure_.take(state->catalog, state->objects);
        }
        structure_.takeLabels(pages, kidsBefore);
        if (sectionTitle && !pages.empty())
            structure_.gatherSection(*sectionTitle, kids_[kidsBefore], outlineBefore);
    } catch (...) {
        out_.abandon();
        kids_.resize(kidsBefore);
        for (const auto& ref : pages) forgetSource(ref.source.get());
        throw;
    }
}

void StreamingPdfWriter::appendBlankLike(const PageRef& like) {
    std::string boxes;
    QPDFObjectHandle page = like.page;  // qpdf's handles want non-const access
    for (const char* key : kInheritedPageKeys) {
        if (std::string_view(key) == "/Resources") continue;
        QPDFObjectHandle value = page.getKey(key);
        if (value.isNull()) value = inheritedAttribute(page, key);
        // Only plain numbers and boxes of numbers: nothing else of the source comes along.
        if (!value.isInteger() && !value.isArray()) continue;
        boxes += " " + std::string(key) + " " + value.unparseResolved();
    }
    if (boxes.find("/MediaBox") == std::string::npos) boxes += " /MediaBox [0 0 612 792]";
    const std::int64_t number = out_.newObjectNumber();
    out_.beginObject(number);
    out_.put("<< /Type /Page /Parent 2 0 R /Resources << >>" + boxes + " >>");
    out_.endObject();
    kids_.push_back(number);
}

void StreamingPdfWriter::writePage(SourceObjects& objects, std::int64_t number,
                                   QPDFObjectHandle page) {
    out_.beginObject(number);
    out_.put("<< /Type /Page /Parent 2 0 R");
    // Null entries are left out of the copy (an entry that is null counts as absent).
    std::map<std::string, QPDFObjectHandle> entries = page.getDictAsMap();
    for (auto& [key, value] : entries) {
        if (key == "/Parent" || key == "/Type" || value.isNull()) continue;
        out_.put(" ");
        out_.putName(key);
        out_.put(" ");
        out_.writeValue(objects, value, 1);
    }
    // Attributes a page inherits from the tree it leaves behind are written into it.
    for (const char* key : kInheritedPageKeys) {
        if (auto own = entries.find(key); own != entries.end() && !own->second.isNull()) continue;
        QPDFObjectHandle value = inheritedAttribute(page, key);
        if (value.isNull()) {
            if (std::string_view(key) == "/MediaBox") out_.put(" /MediaBox [0 0 612 792]");
            if (std::string_view(key) == "/Resources") out_.put(" /Resources << >>");
            continue;
        }
        out_.put(" ");
        out_.putName(key);
        out_.put(" ");
        out_.writeValue(objects, value, 1);
    }
    out_.put(" >>");
    out_.endObject();
}

void StreamingPdfWriter::finish(const std::map<std::string, std::string>& information,
                                const std::string& highestVersion) {
    // No information, no dictionary: its number stays free.
    if (!information.empty()) {
        out_.beginObject(kInformation);
        out_.put("<<");
        for (const auto& [key, text] : information) {
            out_.put(" ");
            out_.putName(key);
            out_.put(" ");
            out_.put(QPDFObjectHandle::newUnicodeString(text).unparse());
        }
        out_.put(" >>");
        out_.endObject();
    }

    out_.beginObject(kPageTree);
    out_.put("<< /Type /Pages /Count ");
    out_.putNumber(static_cast<std::int64_t>(kids_.size()));
    out_.put(" /Kids [");
    for (std::size_t i = 0; i < kids_.size(); ++i) {
        if (i) out_.put(i % 10 ? " " : "\n");
        out_.putReference(kids_[i]);
    }
    out_.put("] >>");
    out_.endObject();

    structure_.writeTrees();

    out_.beginObject(kCatalog);
    out_.put("<< /Type /Catalog /Pages 2 0 R");
    if (highestVersion > "1.7") {
        out_.put(" /Version ");
        out_.putName("/" + highestVersion);
    }
    structure_.putCatalogEntries();
    out_.put(" >>");
    out_.endObject();

    out_.finishFile(information.empty() ? " /Root 1 0 R" : " /Root 1 0 R /Info 3 0 R");
}

}  // namespace pagemeld
