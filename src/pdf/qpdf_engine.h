// The PDF engine on qpdf: documents are lists of pages that refer into opened files;
// writing streams each object once to a temporary file beside the target and renames
// it over the target only when complete.
#pragma once

#include "pdf/pdf_engine.h"

namespace pagemeld {

class QpdfEngine : public PdfEngine {
public:
    OpenedDocument open(const std::string& fileName, const std::string& password) override;
    PdfFailure write(const std::string& fileName, const std::vector<PageRef>& pages,
                     const DocumentInformation& information) override;
    std::unique_ptr<DocumentWriter> startDocument(const std::string& fileName,
                                                  PdfFailure& failure) override;
};

}  // namespace pagemeld
