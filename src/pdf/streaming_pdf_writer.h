// Writes pages straight to an output file as they are read: each object a page
// reaches is written once per output with renumbered references and its stream
// data copied raw, so memory stays bounded by the list of offsets, not by the
// inputs. References to pages that are not in the output become null, so a link
// to another page never drags the rest of its document along.
#pragma once

#include <qpdf/QPDFObjectHandle.hh>

#include <cstdint>
#include <cstdio>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "pdf/pdf_document.h"

namespace pagemeld {

class StreamingPdfWriter {
public:
    explicit StreamingPdfWriter(std::FILE* out);

    // Writes the pages and every object they reach. When it throws, none of these
    // pages belongs to the output (objects already written stay unreferenced).
    void appendPages(const std::vector<PageRef>& pages);
    // Drops what the writer remembers of a source that will not be written again.
    void forgetSource(const PdfSource* source);
    // Writes the page tree, catalog, information, cross-reference table and trailer.
    void finish(const std::map<std::string, std::string>& information,
                const std::string& highestVersion);

    std::size_t pageCount() const { return kids_.size(); }

private:
    struct SourceState {
        PdfSource* source = nullptr;
        std::unordered_map<QPDFObjGen, std::int64_t, ObjGenHash> objects;  // -1: written as null
        std::unordered_map<QPDFObjGen, std::int64_t, ObjGenHash> pages;
    };
    struct Pending {
        SourceState* state;
        std::int64_t number;
        QPDFObjectHandle object;
    };

    SourceState& stateFor(PdfSource* source);
    std::int64_t newObjectNumber();
    void writeObject(const Pending& pending);
    void writePage(SourceState& state, std::int64_t number, QPDFObjectHandle page);
    void writeStream(SourceState& state, QPDFObjectHandle stream);
    void writeValue(SourceState& state, QPDFObjectHandle value, int depth);
    void writeDirect(SourceState& state, QPDFObjectHandle value, int depth);
    void writeReference(SourceState& state, QPDFObjectHandle value);
    void beginObject(std::int64_t number);
    void endObject();

    // Output with byte offsets.
    void put(std::string_view text);
    void putNumber(std::int64_t value);
    void putName(const std::string& name);
    void flush();

    std::FILE* out_;
    std::string buffer_;
    std::int64_t written_ = 0;           // bytes handed to the file so far
    std::vector<std::int64_t> offsets_;  // by object number; -1 = free
    std::vector<std::int64_t> kids_;
    std::unordered_map<const PdfSource*, std::unique_ptr<SourceState>> states_;
    std::deque<Pending> pending_;
};

}  // namespace pagemeld
