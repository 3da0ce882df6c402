// Writes pages straight to an output file as they are read: each object a page
// reaches is written once per output with renumbered references and its stream
// data copied raw, so memory stays bounded by the list of offsets, not by the
// inputs. References to pages that are not in the output become null, so a link
// to another page never drags the rest of its document along.
//
// What lives in an input's catalog follows its pages: bookmarks, named destinations,
// form fields and page labels that concern pages of the output are kept, pointing at
// the output's pages, and the rest is dropped. They are written while their input is
// handled or kept as small summaries (titles, numbers) until finish(), so a merge of
// many files still holds one input at a time.
#pragma once

#include <qpdf/QPDFObjectHandle.hh>

#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

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
        // Its catalog items were taken (they are taken once per source).
        bool catalogTaken = false;
        // Named destinations kept: source name (UTF-8) -> output name (string bytes).
        std::unordered_map<std::string, std::string> destinationNames;
        // Top-level form fields kept, and new /T (string bytes) for the renamed ones.
        std::vector<QPDFObjectHandle> fieldRoots;
        std::unordered_map<QPDFObjGen, std::string, ObjGenHash> fieldTitles;
        // Nodes of the kept fields' trees, and those leading to a widget of the output.
        std::unordered_set<QPDFObjGen, ObjGenHash> fieldNodes;
        std::unordered_set<QPDFObjGen, ObjGenHash> keptFieldNodes;
    };
    struct OutlineNode {
        std::string title;        // string bytes
        std::string destination;  // written form of the /Dest array, or empty
        std::string action;       // written form of another /A, or empty
        std::string style;        // written /C and /F entries, or empty
        bool open = false;
        std::vector<OutlineNode> kids;
    };
    struct LabelRun {
        std::int64_t firstPage = 0;  // 0-based output page
        std::string style;           // "/D", "/r", ...; empty for a prefix alone
        std::optional<std::string> prefix;
        std::int64_t start = 1;
    };
    struct Pending {
        SourceState* state;
        std::int64_t number;
        QPDFObjectHandle object;
    };

    SourceState& stateFor(PdfSource* source);
    bool inOutput(const SourceState& state, QPDFObjectHandle destination) const;
    // Before its pages are written: which named destinations and form fields of the
    // source stay, under which names (links and fields are written with the pages).
    void prepareCatalogItems(SourceState& state, const std::vector<QPDFObjectHandle>& pages);
    void prepareDestinations(SourceState& state);
    void prepareFields(SourceState& state, const std::vector<QPDFObjectHandle>& pages);
    // After its pages are written: bookmarks, destinations and fields into the summaries.
    void takeCatalogItems(SourceState& state);
    void takeOutline(SourceState& state, const std::vector<SourceOutlineItem>& items,
                     bool wholeSource, std::vector<OutlineNode>& nodes);
    void takeLabels(const std::vector<PageRef>& pages, std::size_t firstOutputPage);
    void writeOutline(std::int64_t parent, std::vector<OutlineNode>& nodes,
                      std::vector<std::int64_t>& numbers);
    std::int64_t writeOutlineTree();
    std::int64_t writeDestinationTree();
    void writeLinkEntry(SourceState& state, const std::string& key, QPDFObjectHandle value,
                        int depth);
    // The written form of `value` (references renumbered), instead of writing it out.
    std::string captureValue(SourceState& state, QPDFObjectHandle value);
    void drainPending();
    // After a failure: forgets queued objects and unlists an object left half written.
    void abandon();
    void takeIfSound(const std::function<void()>& part);
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
    bool capturing_ = false;
    std::int64_t openObject_ = 0;

    std::vector<OutlineNode> outline_;
    // Output named destinations: (name bytes, object number of its array).
    std::vector<std::pair<std::string, std::int64_t>> destinations_;
    std::unordered_set<std::string> destinationNamesUsed_;
    std::vector<std::int64_t> fields_;
    std::unordered_set<std::string> fieldNamesUsed_;  // top-level names (UTF-8)
    bool formTaken_ = false;
    std::string formAppearance_;  // written /DA
    std::string formResources_;   // written /DR
    bool needAppearances_ = false;
    std::vector<LabelRun> labels_;
    bool anyLabels_ = false;
};

}  // namespace pagemeld
