// Writes pages straight to an output file as they are read: each object a page
// reaches is written once per output with renumbered references and its stream
// data copied raw (ObjectSerialiser), so memory stays bounded by the list of offsets,
// not by the inputs. References to pages that are not in the output become null, so a
// link to another page never drags the rest of its document along.
//
// What lives in an input's catalog follows its pages (DocumentStructure): bookmarks,
// named destinations, form fields and page labels that concern pages of the output.
#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "pdf/document_structure.h"
#include "pdf/object_serialiser.h"
#include "pdf/pdf_document.h"

namespace pagemeld {

class StreamingPdfWriter {
public:
    explicit StreamingPdfWriter(std::FILE* out);

    // Writes the pages and every object they reach, and takes the bookmarks, named
    // destinations, form fields and page labels of sources not seen before that
    // concern these pages (each source is taken once: append all of its pages in one
    // call). When it throws, none of these pages belongs to the output (objects
    // already written stay unreferenced).
    // With a `sectionTitle`, the pages come under a new bookmark of that title (UTF-8)
    // that leads to the first of them and holds the bookmarks they bring.
    void appendPages(const std::vector<PageRef>& pages, const std::string* sectionTitle = nullptr);
    // An empty page with the boxes and turn `like` has (its own or inherited).
    void appendBlankLike(const PageRef& like);
    // Drops what the writer remembers of a source that will not be written again.
    void forgetSource(const PdfSource* source);
    // Writes the page tree, catalog, information, cross-reference table and trailer.
    void finish(const std::map<std::string, std::string>& information,
                const std::string& highestVersion);

    std::size_t pageCount() const { return kids_.size(); }

private:
    struct SourceState {
        SourceObjects objects;
        SourceCatalog catalog;
    };

    SourceState& stateFor(PdfSource* source);
    void writePage(SourceObjects& objects, std::int64_t number, QPDFObjectHandle page);

    ObjectSerialiser out_;
    DocumentStructure structure_;
    std::vector<std::int64_t> kids_;
    std::unordered_map<const PdfSource*, std::unique_ptr<SourceState>> states_;
};

}  // namespace pagemeld
