// A document in the engine: an ordered list of pages, each a reference into an
// opened source, plus its information entries. Choosing pages only builds lists; the
// pages' objects are read when the document is written.
#pragma once

#include <qpdf/QPDFObjectHandle.hh>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "pdf/pdf_source.h"

namespace pagemeld {

struct PageRef {
    std::shared_ptr<PdfSource> source;
    QPDFObjectHandle page;
};

// "/Author" -> text (UTF-8). Where entries are applied to a document, an empty text
// removes the entry.
using DocumentInformation = std::map<std::string, std::string>;

// Why the engine could not open a file or write an output: an errcode number and the
// file it concerns (an input that could not be read, or the output). None when the
// code is 0.
struct PdfFailure {
    std::int32_t code = 0;
    std::string file;

    explicit operator bool() const { return code != 0; }
};

// A document opened with its password: it owns its pages' sources, so its pages stay
// readable for as long as it (or a list of its pages) is kept.
struct OpenedDocument {
    std::string fileName;
    bool encrypted = false;
    // Protected, and the password given (maybe none) does not open it.
    bool locked = false;
    std::vector<PageRef> pages;
    DocumentInformation information;
    // Why it could not be opened at all; none for a document that opened or is locked.
    PdfFailure failure;

    bool opened() const { return !locked && !failure; }
    std::int32_t pageCount() const;
    // `count` pages from page `first` (1-based), cut at the last page; none when
    // `first` lies outside the document or `count` is below 1.
    std::vector<PageRef> pageRun(std::int64_t first, std::int64_t count) const;
    // The pages numbered so (1-based), in that order, repeats allowed; numbers outside
    // the document are left out.
    std::vector<PageRef> pagesNumbered(const std::vector<std::int32_t>& numbers) const;
};

}  // namespace pagemeld
