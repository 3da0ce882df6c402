// A document in the engine: an ordered list of pages, each a reference into an
// opened source, plus its information entries. Extracting and merging only build
// lists; the pages' objects are read when the document is written.
#pragma once

#include <qpdf/QPDFObjectHandle.hh>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "pdf/pdf_source.h"

namespace pagemeld {

struct PageRef {
    std::shared_ptr<PdfSource> source;
    QPDFObjectHandle page;
};

struct PdfDocument {
    // The file the document was loaded from; empty for documents made by the engine.
    std::string fileName;
    bool encrypted = false;
    // Loaded, but its pages wait for the right password.
    bool locked = false;
    std::vector<PageRef> pages;
    // "/Author" -> text (UTF-8).
    std::map<std::string, std::string> information;
    // Page count found without the password, for a locked document.
    std::optional<std::int32_t> lockedPageCount;
};

}  // namespace pagemeld
