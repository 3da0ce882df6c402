// What lives in an input's catalog and follows its pages into an output: bookmarks,
// named destinations, form fields and page labels that concern pages of the output
// are kept, pointing at the output's pages, and the rest is dropped. They are written
// while their input is handled or kept as small summaries (titles, numbers) until the
// output's catalog is written, so a merge of many files still holds one input at a time.
//
// A damaged part of an input (its outline, names, form or labels) costs that part,
// never the input's pages; a failed write or a lack of memory still ends the save.
#pragma once

#include <qpdf/QPDFObjectHandle.hh>

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "pdf/object_serialiser.h"
#include "pdf/pdf_document.h"

namespace pagemeld {

// What an output keeps of one input's catalog while its pages are written: the names
// its links use, and the form fields whose widgets are on the output's pages.
class SourceCatalog : public ObjectRewriter {
public:
    void writeLinkEntry(ObjectSerialiser& out, SourceObjects& objects, const std::string& key,
                        QPDFObjectHandle value, int depth) override;
    bool writeObject(ObjectSerialiser& out, SourceObjects& objects,
                     QPDFObjectHandle object) override;

    // Its catalog items were taken (they are taken once per source).
    bool taken = false;
    // Named destinations kept: source name (UTF-8) -> output name (string bytes).
    std::unordered_map<std::string, std::string> destinationNames;
    // Top-level form fields kept, and new /T (string bytes) for the renamed ones.
    std::vector<QPDFObjectHandle> fieldRoots;
    std::unordered_map<QPDFObjGen, std::string, ObjGenHash> fieldTitles;
    // Nodes of the kept fields' trees, and those leading to a widget of the output.
    std::unordered_set<QPDFObjGen, ObjGenHash> fieldNodes;
    std::unordered_set<QPDFObjGen, ObjGenHash> keptFieldNodes;
};

class DocumentStructure {
public:
    explicit DocumentStructure(ObjectSerialiser& out) : out_(out) {}

    // Before its pages are written: which named destinations and form fields of the
    // source stay, under which names (links and fields are written with the pages).
    void prepare(SourceCatalog& catalog, SourceObjects& objects,
                 const std::vector<QPDFObjectHandle>& pages);
    // After its pages are written: bookmarks, destinations and fields into the summaries.
    void take(SourceCatalog& catalog, SourceObjects& objects);
    // The labels of `pages`, which are the output's pages from `firstOutputPage` on.
    void takeLabels(const std::vector<PageRef>& pages, std::size_t firstOutputPage);

    // The number of top-level bookmarks taken so far.
    std::size_t outlineSize() const { return outline_.size(); }
    // Puts the top-level bookmarks taken from `firstItem` on under a new, closed one
    // titled `title` (UTF-8) that leads to output page object `pageNumber`.
    void gatherSection(const std::string& title, std::int64_t pageNumber, std::size_t firstItem);

    // Writes the outline and the destinations' name tree; then putCatalogEntries
    // writes the catalog's entries for all four parts.
    void writeTrees();
    void putCatalogEntries();

private:
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

    // Runs one part of a source's structure; when the part turns out damaged, what it
    // queued or left half written is abandoned and `drop` forgets what it gathered.
    template <class Part, class Drop>
    void keepIfSound(Part part, Drop drop);

    void prepareDestinations(SourceCatalog& catalog, SourceObjects& objects);
    void prepareFields(SourceCatalog& catalog, SourceObjects& objects,
                       const std::vector<QPDFObjectHandle>& pages);
    void takeOutline(SourceObjects& objects, const std::vector<SourceOutlineItem>& items,
                     bool wholeSource, std::vector<OutlineNode>& nodes);
    void takeDestinations(SourceCatalog& catalog, SourceObjects& objects);
    void takeFields(SourceCatalog& catalog, SourceObjects& objects);
    void writeOutline(std::int64_t parent, std::vector<OutlineNode>& nodes,
                      std::vector<std::int64_t>& numbers);
    std::int64_t writeOutlineTree();
    std::int64_t writeDestinationTree();

    ObjectSerialiser& out_;

    std::vector<OutlineNode> outline_;
    std::int64_t outlineNumber_ = 0;
    // Output named destinations: (name bytes, object number of its array).
    std::vector<std::pair<std::string, std::int64_t>> destinations_;
    std::unordered_set<std::string> destinationNamesUsed_;
    std::int64_t destinationsNumber_ = 0;
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
