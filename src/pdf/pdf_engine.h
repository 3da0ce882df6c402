// The PDF engine: every read and write of PDF content goes through it. Opening a file
// gives a document that owns its pages; a list of pages, of one document or several, is
// written to a file complete or not at all. Failures are errcode numbers (runtime_error.h)
// with the file they concern.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/runtime_error.h"
#include "pdf/pdf_document.h"

namespace pagemeld {

// An output written document by document, so that a merge of thousands of files holds
// one input at a time: each input's pages go in and the input can be let go. Complete
// or not at all: until commit() succeeds the target is untouched, and an output
// dropped without a commit leaves nothing behind.
class DocumentWriter {
public:
    virtual ~DocumentWriter() = default;
    // Writes `pages` (all those wanted of one document, in one call) into the output.
    // A failure names the input when its pages could not be read (none of them is in
    // the output, which goes on), or the output itself, which then takes nothing more.
    virtual PdfFailure append(const std::vector<PageRef>& pages) = 0;
    // As append, under a new bookmark titled `title` (UTF-8) that leads to the first of
    // `pages` and holds the bookmarks they bring.
    virtual PdfFailure appendUnder(const std::string& title, const std::vector<PageRef>& pages) = 0;
    // Adds an empty page of the size and turn of `like` (a page of an opened document).
    virtual PdfFailure appendBlankLike(const PageRef& like) = 0;
    virtual std::size_t pageCount() const = 0;
    // Finishes the output with `information` and puts it in the target's place.
    virtual PdfFailure commit(const DocumentInformation& information) = 0;
};

class PdfEngine {
public:
    virtual ~PdfEngine() = default;

    // Opens `fileName` with `password` ("" for none). A file that cannot be opened
    // gives a document that says why; a protected one the password does not open is
    // locked. Nothing of it is kept by the engine.
    virtual OpenedDocument open(const std::string& fileName, const std::string& password) = 0;
    // Writes `pages` with `information` to `fileName`, complete or not at all.
    virtual PdfFailure write(const std::string& fileName, const std::vector<PageRef>& pages,
                             const DocumentInformation& information) = 0;
    // Starts an output written document by document; none, with `failure` set, when it
    // cannot be created.
    virtual std::unique_ptr<DocumentWriter> startDocument(const std::string& fileName,
                                                          PdfFailure& failure) = 0;
};

}  // namespace pagemeld
