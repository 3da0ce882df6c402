#include "pdf/document_structure.h"

#include <qpdf/QPDFPageLabelDocumentHelper.hh>

#include <algorithm>
#include <memory>
#include <new>
#include <set>
#include <system_error>

namespace pagemeld {
namespace {

constexpr int kMaxFieldDepth = 32;

bool inOutput(const SourceObjects& objects, QPDFObjectHandle destination) {
    auto page = PdfSource::destinationPage(destination);
    return page && objects.pages.count(*page) != 0;
}

// Marks the field nodes that are, or lead to, one of `widgets` as kept; true when
// `field` is kept. Every node of the tree goes into `nodes`.
bool markKept(QPDFObjectHandle field, const std::unordered_set<QPDFObjGen, ObjGenHash>& widgets,
              std::unordered_set<QPDFObjGen, ObjGenHash>& nodes,
              std::unordered_set<QPDFObjGen, ObjGenHash>& kept, int depth) {
    if (!field.isDictionary() || depth > kMaxFieldDepth) return false;
    if (field.isIndirect()) {
        const QPDFObjGen objGen = field.getObjGen();
        if (!nodes.insert(objGen).second) return kept.count(objGen) != 0;
    }
    bool keep = field.isIndirect() && widgets.count(field.getObjGen());
    QPDFObjectHandle kids = field.getKey("/Kids");
    if (kids.isArray()) {
        for (auto& kid : kids.aitems()) {
            if (markKept(kid, widgets, nodes, kept, depth + 1)) keep = true;
        }
    }
    if (keep && field.isIndirect()) kept.insert(field.getObjGen());
    return keep;
}

// Visible descendants of an item when it is open, as /Count wants them.
template <class Node>
std::int64_t shownBelow(const Node& node) {
    std::int64_t count = 0;
    for (const auto& kid : node.kids) count += 1 + (kid.open ? shownBelow(kid) : 0);
    return count;
}

}  // namespace

void SourceCatalog::writeLinkEntry(ObjectSerialiser& out, SourceObjects& objects,
                                   const std::string& key, QPDFObjectHandle value, int depth) {
    // A link keeps its destination when that page is in the output, under the name the
    // output gives it; a link to a page left out loses its target instead of dangling.
    QPDFObjectHandle destination = value;
    if (key == "/A") {
        QPDFObjectHandle type = value.isDictionary() ? value.getKey("/S") : QPDFObjectHandle();
        if (!type.isName() || type.getName() != "/GoTo") {
            out.put(" /A ");
            out.writeValue(objects, value, depth);
            return;
        }
        destination = value.getKey("/D");
    }
    std::string named;
    if (destination.isName() || destination.isString()) {
        auto kept = destinationNames.find(destination.isName() ? destination.getName().substr(1)
                                                               : destination.getUTF8Value());
        if (kept == destinationNames.end()) return;
        named = QPDFObjectHandle::newString(kept->second).unparse();
    } else if (!inOutput(objects, objects.source->resolveDestination(destination))) {
        return;
    }
    if (key == "/Dest") {
        out.put(" /Dest ");
        if (named.empty()) {
            out.writeValue(objects, value, depth);
        } else {
            out.put(named);
        }
    } else if (named.empty()) {
        out.put(" /A ");
        out.writeValue(objects, value, depth);
    } else {
        out.put(" /A << /S /GoTo /D ");
        out.put(named);
        out.put(" >>");
    }
}

bool SourceCatalog::writeObject(ObjectSerialiser& out, SourceObjects& objects,
                                QPDFObjectHandle object) {
    if (fieldNodes.empty() || !object.isDictionary()) return false;
    const QPDFObjGen objGen = object.getObjGen();
    auto renamed = fieldTitles.find(objGen);
    const bool renaming = renamed != fieldTitles.end();
    if (!renaming && !fieldNodes.count(objGen)) return false;
    out.put("<<");
    if (renaming) {
        // A top-level field renamed so that it stays apart from another input's.
        out.put(" /T ");
        out.put(QPDFObjectHandle::newString(renamed->second).unparse());
    }
    for (auto& [key, value] : object.getDictAsMap()) {
        if (value.isNull() || (renaming && key == "/T")) continue;
        out.put(" ");
        out.putName(key);
        out.put(" ");
        if (key == "/Kids" && value.isArray()) {
            // Widgets on pages left out, and fields that only lead to such, stay out.
            out.put("[");
            bool first = true;
            for (auto& kid : value.aitems()) {
                if (kid.isIndirect() && !keptFieldNodes.count(kid.getObjGen())) continue;
                if (!first) out.put(" ");
                first = false;
                out.writeValue(objects, kid, 2);
            }
            out.put("]");
        } else {
            out.writeValue(objects, value, 1);
        }
    }
    out.put(" >>");
    return true;
}

template <class Part, class Drop>
void DocumentStructure::keepIfSound(Part part, Drop drop) {
    try {
        part();
    } catch (const std::system_error&) {
        throw;
    } catch (const std::bad_alloc&) {
        throw;
    } catch (...) {
        out_.abandon();
        drop();
    }
}

void DocumentStructure::prepare(SourceCatalog& catalog, SourceObjects& objects,
                                const std::vector<QPDFObjectHandle>& pages) {
    keepIfSound([&] { prepareDestinations(catalog, objects); },
                [&] { catalog.destinationNames.clear(); });
    keepIfSound([&] { prepareFields(catalog, objects, pages); },
                [&] {
                    catalog.fieldRoots.clear();
                    catalog.fieldTitles.clear();
                    catalog.fieldNodes.clear();
                    catalog.keptFieldNodes.clear();
                });
}

void DocumentStructure::prepareDestinations(SourceCatalog& catalog, SourceObjects& objects) {
    for (const auto& [name, destination] : objects.source->namedDestinations()) {
        if (!inOutput(objects, destination)) continue;
        // Names are kept as they are unless an earlier input took them already.
        const std::string bytes = QPDFObjectHandle::newUnicodeString(name).getStringValue();
        std::string unique = bytes;
        for (int n = 2; destinationNamesUsed_.count(unique); ++n) {
            unique = bytes + "_" + std::to_string(n);
        }
        destinationNamesUsed_.insert(unique);
        catalog.destinationNames.emplace(name, unique);
    }
}

void DocumentStructure::prepareFields(SourceCatalog& catalog, SourceObjects& objects,
                                      const std::vector<QPDFObjectHandle>& pages) {
    QPDFObjectHandle fields =
        objects.source->qpdf().getRoot().getKey("/AcroForm").getKey("/Fields");
    if (!fields.isArray() || fields.getArrayNItems() == 0) return;
    std::unordered_set<QPDFObjGen, ObjGenHash> widgets;
    for (QPDFObjectHandle page : pages) {
        QPDFObjectHandle annotations = page.getKey("/Annots");
        if (!annotations.isArray()) continue;
        for (auto& annotation : annotations.aitems()) {
            if (annotation.isIndirect()) widgets.insert(annotation.getObjGen());
        }
    }
    if (widgets.empty()) return;
    // A field stays when one of its widgets is on a page of the output; its kids that
    // lead to none are left out of it.
    std::set<std::string> names;
    std::unordered_set<QPDFObjGen, ObjGenHash> roots;
    for (auto& root : fields.aitems()) {
        if (!root.isIndirect() || roots.count(root.getObjGen())) continue;
        if (!markKept(root, widgets, catalog.fieldNodes, catalog.keptFieldNodes, 0)) continue;
        roots.insert(root.getObjGen());
        catalog.fieldRoots.push_back(root);
        QPDFObjectHandle title = root.getKey("/T");
        if (!title.isString()) continue;
        // Fully qualified names begin with the top-level name: distinct top-level
        // names keep the fields of two inputs apart.
        std::string name = title.getUTF8Value();
        if (fieldNamesUsed_.count(name)) {
            std::string unique;
            for (int n = 2;; ++n) {
                unique = name + "_" + std::to_string(n);
                if (!fieldNamesUsed_.count(unique) && !names.count(unique)) break;
            }
            catalog.fieldTitles[root.getObjGen()] =
                QPDFObjectHandle::newUnicodeString(unique).getStringValue();
            name = unique;
        }
        names.insert(name);
    }
    fieldNamesUsed_.insert(names.begin(), names.end());
}

void DocumentStructure::take(SourceCatalog& catalog, SourceObjects& objects) {
    PdfSource& source = *objects.source;
    keepIfSound(
        [&] {
            std::vector<OutlineNode> nodes;
            takeOutline(objects, source.outline(), objects.pages.size() >= source.pages().size(),
                        nodes);
            out_.drainPending();
            for (auto& node : nodes) outline_.push_back(std::move(node));
        },
        [] {});
    keepIfSound([&] { takeDestinations(catalog, objects); }, [] {});
    if (catalog.fieldRoots.empty()) return;
    keepIfSound([&] { takeFields(catalog, objects); }, [] {});
}

void DocumentStructure::takeDestinations(SourceCatalog& catalog, SourceObjects& objects) {
    // Named destinations in the source's order of names; each is written now.
    for (const auto& [name, destination] : objects.source->namedDestinations()) {
        auto kept = catalog.destinationNames.find(name);
        if (kept == catalog.destinationNames.end()) continue;
        const std::int64_t number = out_.newObjectNumber();
        out_.beginObject(number);
        out_.writeDirect(objects, destination, 1);
        out_.endObject();
        destinations_.emplace_back(kept->second, number);
    }
    out_.drainPending();
}

void DocumentStructure::takeFields(SourceCatalog& catalog, SourceObjects& objects) {
    for (auto& root : catalog.fieldRoots) {
        // The fields were written with their widgets; this only finds their numbers.
        const std::int64_t number = out_.referenceNumber(objects, root);
        if (number > 0) fields_.push_back(number);
    }
    QPDFObjectHandle form = objects.source->qpdf().getRoot().getKey("/AcroForm");
    QPDFObjectHandle needAppearances = form.getKey("/NeedAppearances");
    if (needAppearances.isBool() && needAppearances.getBoolValue()) needAppearances_ = true;
    if (!formTaken_) {
        // Default appearance and resources of the first form in the output.
        QPDFObjectHandle appearance = form.getKey("/DA");
        QPDFObjectHandle resources = form.getKey("/DR");
        if (appearance.isString()) formAppearance_ = appearance.unparseResolved();
        if (resources.isDictionary()) formResources_ = out_.captureValue(objects, resources);
        formTaken_ = true;
    }
    out_.drainPending();
}

void DocumentStructure::takeOutline(SourceObjects& objects,
                                    const std::vector<SourceOutlineItem>& items, bool wholeSource,
                                    std::vector<OutlineNode>& nodes) {
    for (const auto& entry : items) {
        std::vector<OutlineNode> kids;
        takeOutline(objects, entry.kids, wholeSource, kids);
        // qpdf's handles want non-const access.
        QPDFObjectHandle item = entry.item;
        QPDFObjectHandle destination = entry.destination;
        QPDFObjectHandle otherAction = entry.otherAction;
        const bool leadsHere = inOutput(objects, destination);
        // A bookmark into pages left out goes; its kids that stay take its place.
        if (!leadsHere && !destination.isNull()) {
            for (auto& kid : kids) nodes.push_back(std::move(kid));
            continue;
        }
        // One leading nowhere in this file (a web address, a damaged one) stays with
        // the whole file, and in a piece only as the heading of bookmarks that stay.
        if (!leadsHere && !wholeSource && kids.empty()) continue;
        OutlineNode node;
        QPDFObjectHandle title = item.getKey("/Title");
        if (title.isString()) node.title = title.getStringValue();
        if (leadsHere) node.destination = out_.captureValue(objects, destination);
        if (!otherAction.isNull()) node.action = out_.captureValue(objects, otherAction);
        QPDFObjectHandle color = item.getKey("/C");
        if (color.isArray() && color.getArrayNItems() == 3) {
            node.style += " /C " + color.unparseResolved();
        }
        QPDFObjectHandle flags = item.getKey("/F");
        if (flags.isInteger()) node.style += " /F " + std::to_string(flags.getIntValue());
        node.open = entry.open;
        node.kids = std::move(kids);
        nodes.push_back(std::move(node));
    }
}

void DocumentStructure::gatherSection(const std::string& title, std::int64_t pageNumber,
                                      std::size_t firstItem) {
    OutlineNode section;
    section.title = QPDFObjectHandle::newUnicodeString(title).getStringValue();
    section.destination = "[" + std::to_string(pageNumber) + " 0 R /Fit]";
    const auto first = outline_.begin() + static_cast<std::ptrdiff_t>(firstItem);
    section.kids.assign(std::make_move_iterator(first), std::make_move_iterator(outline_.end()));
    outline_.erase(first, outline_.end());
    outline_.push_back(std::move(section));
}

void DocumentStructure::takeLabels(const std::vector<PageRef>& pages, std::size_t firstOutputPage) {
    std::unordered_map<PdfSource*, std::unique_ptr<QPDFPageLabelDocumentHelper>> helpers;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        PdfSource& source = *pages[i].source;
        auto index = source.pageIndex(pages[i].page.getObjGen());
        LabelRun label;
        label.firstPage = static_cast<std::int64_t>(firstOutputPage + i);
        label.style = "/D";
        label.start = index ? static_cast<std::int64_t>(*index) + 1 : 1;
        // A page of a file without labels keeps the plain number it had there, and so
        // does one whose file has a damaged label tree.
        if (index && source.hasPageLabels()) {
            keepIfSound(
                [&] {
                    auto& helper = helpers[&source];
                    if (!helper) {
                        helper = std::make_unique<QPDFPageLabelDocumentHelper>(source.qpdf());
                    }
                    QPDFObjectHandle found =
                        helper->getLabelForPage(static_cast<long long>(*index));
                    if (!found.isDictionary()) return;
                    QPDFObjectHandle style = found.getKey("/S");
                    QPDFObjectHandle prefix = found.getKey("/P");
                    QPDFObjectHandle start = found.getKey("/St");
                    label.style = style.isName() ? style.getName() : std::string();
                    if (prefix.isString()) label.prefix = prefix.getStringValue();
                    label.start = start.isInteger() ? start.getIntValue() : 1;
                    anyLabels_ = true;
                },
                [] {});
        }
        if (!labels_.empty()) {
            const LabelRun& last = labels_.back();
            if (last.style == label.style && last.prefix == label.prefix &&
                last.start + (label.firstPage - last.firstPage) == label.start) {
                continue;
            }
        }
        labels_.push_back(std::move(label));
    }
}

void DocumentStructure::writeOutline(std::int64_t parent, std::vector<OutlineNode>& nodes,
                                     std::vector<std::int64_t>& numbers) {
    numbers.clear();
    for (std::size_t i = 0; i < nodes.size(); ++i) numbers.push_back(out_.newObjectNumber());
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        OutlineNode& node = nodes[i];
        // Counted before the kids are written, which empties them.
        const std::int64_t count = shownBelow(node);
        std::vector<std::int64_t> kids;
        if (!node.kids.empty()) writeOutline(numbers[i], node.kids, kids);
        out_.beginObject(numbers[i]);
        out_.put("<< /Title ");
        out_.put(QPDFObjectHandle::newString(node.title).unparse());
        out_.put(" /Parent ");
        out_.putReference(parent);
        if (i > 0) {
            out_.put(" /Prev ");
            out_.putReference(numbers[i - 1]);
        }
        if (i + 1 < nodes.size()) {
            out_.put(" /Next ");
            out_.putReference(numbers[i + 1]);
        }
        if (!kids.empty()) {
            out_.put(" /First ");
            out_.putReference(kids.front());
            out_.put(" /Last ");
            out_.putReference(kids.back());
            out_.put(" /Count ");
            out_.putNumber(node.open ? count : -count);
        }
        if (!node.destination.empty()) out_.put(" /Dest " + node.destination);
        if (!node.action.empty()) out_.put(" /A " + node.action);
        out_.put(node.style);
        out_.put(" >>");
        out_.endObject();
        // What a written item held is not needed again.
        node = OutlineNode();
    }
}

std::int64_t DocumentStructure::writeOutlineTree() {
    if (outline_.empty()) return 0;
    const std::int64_t root = out_.newObjectNumber();
    std::int64_t visible = 0;
    for (const auto& node : outline_) visible += 1 + (node.open ? shownBelow(node) : 0);
    std::vector<std::int64_t> top;
    writeOutline(root, outline_, top);
    out_.beginObject(root);
    out_.put("<< /Type /Outlines /First ");
    out_.putReference(top.front());
    out_.put(" /Last ");
    out_.putReference(top.back());
    out_.put(" /Count ");
    out_.putNumber(visible);
    out_.put(" >>");
    out_.endObject();
    outline_.clear();
    return root;
}

std::int64_t DocumentStructure::writeDestinationTree() {
    if (destinations_.empty()) return 0;
    // One leaf holding every name, in the byte order a name tree needs.
    std::sort(destinations_.begin(), destinations_.end());
    const std::int64_t root = out_.newObjectNumber();
    out_.beginObject(root);
    out_.put("<< /Names [");
    for (std::size_t i = 0; i < destinations_.size(); ++i) {
        out_.put(i ? "\n" : "");
        out_.put(QPDFObjectHandle::newString(destinations_[i].first).unparse());
        out_.put(" ");
        out_.putReference(destinations_[i].second);
    }
    out_.put("] >>");
    out_.endObject();
    return root;
}

void DocumentStructure::writeTrees() {
    outlineNumber_ = writeOutlineTree();
    destinationsNumber_ = writeDestinationTree();
}

void DocumentStructure::putCatalogEntries() {
    if (outlineNumber_ > 0) {
        out_.put(" /Outlines ");
        out_.putReference(outlineNumber_);
    }
    if (destinationsNumber_ > 0) {
        out_.put(" /Names << /Dests ");
        out_.putReference(destinationsNumber_);
        out_.put(" >>");
    }
    if (!fields_.empty()) {
        out_.put(" /AcroForm << /Fields [");
        for (std::size_t i = 0; i < fields_.size(); ++i) {
            if (i) out_.put(" ");
            out_.putReference(fields_[i]);
        }
        out_.put("]");
        if (!formAppearance_.empty()) out_.put(" /DA " + formAppearance_);
        if (!formResources_.empty()) out_.put(" /DR " + formResources_);
        if (needAppearances_) out_.put(" /NeedAppearances true");
        out_.put(" >>");
    }
    if (anyLabels_) {
        out_.put(" /PageLabels << /Nums [");
        for (std::size_t i = 0; i < labels_.size(); ++i) {
            const LabelRun& run = labels_[i];
            out_.put(i ? "\n" : "");
            out_.putNumber(run.firstPage);
            out_.put(" <<");
            if (!run.style.empty()) {
                out_.put(" /S ");
                out_.putName(run.style);
            }
            if (run.prefix) {
                out_.put(" /P " + QPDFObjectHandle::newString(*run.prefix).unparse());
            }
            if (run.start != 1) {
                out_.put(" /St ");
                out_.putNumber(run.start);
            }
            out_.put(" >>");
        }
        out_.put("] >>");
    }
}

}  // namespace pagemeld
