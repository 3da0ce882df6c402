#include "pdf/streaming_pdf_writer.h"

#include <qpdf/Buffer.hh>
#include <qpdf/QPDFPageLabelDocumentHelper.hh>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <functional>
#include <random>
#include <set>
#include <system_error>

#include "errors/runtime_error.h"

namespace pagemeld {
namespace {

constexpr std::int64_t kCatalog = 1;
constexpr std::int64_t kPageTree = 2;
constexpr std::int64_t kInformation = 3;
constexpr std::int64_t kFirstFree = 4;
// Direct objects nest this deep at most; deeper input is refused, not recursed into.
constexpr int kMaxDepth = 400;
constexpr std::size_t kFlushAt = 1 << 18;

const char* const kInheritable[] = {"/Resources", "/MediaBox", "/CropBox", "/Rotate"};

bool nameNeedsEscape(unsigned char c) {
    if (c < 33 || c > 126) return true;
    switch (c) {
        case '#':
        case '(':
        case ')':
        case '<':
        case '>':
        case '[':
        case ']':
        case '{':
        case '}':
        case '/':
        case '%':
            return true;
        default:
            return false;
    }
}

QPDFObjectHandle inheritedAttribute(QPDFObjectHandle page, const std::string& key) {
    std::set<QPDFObjGen> seen;
    QPDFObjectHandle node = page.getKey("/Parent");
    while (node.isDictionary()) {
        if (node.isIndirect() && !seen.insert(node.getObjGen()).second) break;
        if (node.hasKey(key)) return node.getKey(key);
        node = node.getKey("/Parent");
    }
    return QPDFObjectHandle::newNull();
}

std::string randomId() {
    std::random_device device;
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (int i = 0; i < 4; ++i) {
        auto value = device();
        for (int j = 0; j < 8; ++j, value >>= 4) text += digits[value & 15];
    }
    return text;
}

}  // namespace

StreamingPdfWriter::StreamingPdfWriter(std::FILE* out) : out_(out) {
    buffer_.reserve(kFlushAt + 4096);
    offsets_.assign(kFirstFree, -1);
    // The binary comment tells transfer programs the file is not text.
    put("%PDF-1.7\n%\xbf\xf7\xa2\xfe\n");
}

StreamingPdfWriter::SourceState& StreamingPdfWriter::stateFor(PdfSource* source) {
    auto& state = states_[source];
    if (!state) {
        state = std::make_unique<SourceState>();
        state->source = source;
    }
    return *state;
}

void StreamingPdfWriter::forgetSource(const PdfSource* source) {
    states_.erase(source);
}

std::int64_t StreamingPdfWriter::newObjectNumber() {
    offsets_.push_back(-1);
    return static_cast<std::int64_t>(offsets_.size()) - 1;
}

void StreamingPdfWriter::appendPages(const std::vector<PageRef>& pages) {
    const std::size_t kidsBefore = kids_.size();
    std::vector<std::pair<SourceState*, std::int64_t>> numbers;
    numbers.reserve(pages.size());
    try {
        // Number every page first, so that links between them can be written.
        std::vector<SourceState*> fresh;
        std::unordered_map<SourceState*, std::vector<QPDFObjectHandle>> freshPages;
        for (const auto& ref : pages) {
            SourceState& state = stateFor(ref.source.get());
            std::int64_t number = newObjectNumber();
            state.pages.emplace(ref.page.getObjGen(), number);
            numbers.emplace_back(&state, number);
            kids_.push_back(number);
            if (!state.catalogTaken) {
                auto& list = freshPages[&state];
                if (list.empty()) fresh.push_back(&state);
                list.push_back(ref.page);
            }
        }
        for (SourceState* state : fresh) prepareCatalogItems(*state, freshPages[state]);
        for (std::size_t i = 0; i < pages.size(); ++i) {
            writePage(*numbers[i].first, numbers[i].second, pages[i].page);
            drainPending();
        }
        for (SourceState* state : fresh) {
            state->catalogTaken = true;
            takeCatalogItems(*state);
        }
        takeLabels(pages, kidsBefore);
    } catch (...) {
        abandon();
        kids_.resize(kidsBefore);
        for (const auto& ref : pages) forgetSource(ref.source.get());
        throw;
    }
}

void StreamingPdfWriter::abandon() {
    // Queued objects will not be written: a later reference numbers them anew.
    for (const auto& pending : pending_) pending.state->objects.erase(pending.object.getObjGen());
    pending_.clear();
    // An object cut short stays out of the cross-reference table.
    if (openObject_ > 0) {
        offsets_[static_cast<std::size_t>(openObject_)] = -1;
        put("\nendobj\n");
        openObject_ = 0;
    }
}

void StreamingPdfWriter::drainPending() {
    while (!pending_.empty()) {
        Pending next = std::move(pending_.front());
        pending_.pop_front();
        writeObject(next);
    }
}

bool StreamingPdfWriter::inOutput(const SourceState& state, QPDFObjectHandle destination) const {
    auto page = PdfSource::destinationPage(destination);
    return page && state.pages.count(*page) != 0;
}

std::string StreamingPdfWriter::captureValue(SourceState& state, QPDFObjectHandle value) {
    // Written into a side buffer; objects it references are queued as usual.
    std::string saved;
    saved.swap(buffer_);
    capturing_ = true;
    try {
        writeValue(state, value, 1);
    } catch (...) {
        capturing_ = false;
        buffer_.swap(saved);
        throw;
    }
    capturing_ = false;
    buffer_.swap(saved);
    return saved;
}

void StreamingPdfWriter::prepareCatalogItems(SourceState& state,
                                             const std::vector<QPDFObjectHandle>& pages) {
    // Damage in these parts of an input costs its bookmarks or names, never its pages.
    try {
        prepareDestinations(state);
    } catch (const std::bad_alloc&) {
        throw;
    } catch (...) {
        state.destinationNames.clear();
    }
    try {
        prepareFields(state, pages);
    } catch (const std::bad_alloc&) {
        throw;
    } catch (...) {
        state.fieldRoots.clear();
        state.fieldTitles.clear();
        state.fieldNodes.clear();
        state.keptFieldNodes.clear();
    }
}

void StreamingPdfWriter::prepareDestinations(SourceState& state) {
    for (const auto& [name, destination] : state.source->namedDestinations()) {
        if (!inOutput(state, destination)) continue;
        // Names are kept as they are unless an earlier input took them already.
        const std::string bytes = QPDFObjectHandle::newUnicodeString(name).getStringValue();
        std::string unique = bytes;
        for (int n = 2; destinationNamesUsed_.count(unique); ++n) {
            unique = bytes + "_" + std::to_string(n);
        }
        destinationNamesUsed_.insert(unique);
        state.destinationNames.emplace(name, unique);
    }
}

namespace {

constexpr int kMaxFieldDepth = 32;

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

}  // namespace

void StreamingPdfWriter::prepareFields(SourceState& state,
                                       const std::vector<QPDFObjectHandle>& pages) {
    QPDFObjectHandle fields = state.source->qpdf().getRoot().getKey("/AcroForm").getKey("/Fields");
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
        if (!markKept(root, widgets, state.fieldNodes, state.keptFieldNodes, 0)) continue;
        roots.insert(root.getObjGen());
        state.fieldRoots.push_back(root);
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
            state.fieldTitles[root.getObjGen()] =
                QPDFObjectHandle::newUnicodeString(unique).getStringValue();
            name = unique;
        }
        names.insert(name);
    }
    fieldNamesUsed_.insert(names.begin(), names.end());
}

// One part of a source's structure (its outline, named destinations, form): a part
// that turns out damaged is left out, with what it queued, so that the pages still go
// through; a failed write or a lack of memory still ends the save.
void StreamingPdfWriter::takeIfSound(const std::function<void()>& part) {
    try {
        part();
    } catch (const std::system_error&) {
        throw;
    } catch (const std::bad_alloc&) {
        throw;
    } catch (...) {
        abandon();
    }
}

void StreamingPdfWriter::takeCatalogItems(SourceState& state) {
    PdfSource& source = *state.source;
    takeIfSound([&] {
        std::vector<OutlineNode> nodes;
        takeOutline(state, source.outline(), state.pages.size() >= source.pages().size(), nodes);
        drainPending();
        for (auto& node : nodes) outline_.push_back(std::move(node));
    });
    takeIfSound([&] {
        // Named destinations in the source's order of names; each is written now.
        for (const auto& [name, destination] : source.namedDestinations()) {
            auto kept = state.destinationNames.find(name);
            if (kept == state.destinationNames.end()) continue;
            const std::int64_t number = newObjectNumber();
            beginObject(number);
            writeDirect(state, destination, 1);
            endObject();
            destinations_.emplace_back(kept->second, number);
        }
        drainPending();
    });
    if (state.fieldRoots.empty()) return;
    takeIfSound([&] {
        for (auto& root : state.fieldRoots) {
            // The fields were written with their widgets; this only finds their numbers.
            std::string reference = captureValue(state, root);
            if (reference == "null") continue;
            std::int64_t number = 0;
            std::from_chars(reference.data(), reference.data() + reference.size(), number);
            if (number > 0) fields_.push_back(number);
        }
        QPDFObjectHandle form = source.qpdf().getRoot().getKey("/AcroForm");
        QPDFObjectHandle needAppearances = form.getKey("/NeedAppearances");
        if (needAppearances.isBool() && needAppearances.getBoolValue()) needAppearances_ = true;
        if (!formTaken_) {
            // Default appearance and resources of the first form in the output.
            QPDFObjectHandle appearance = form.getKey("/DA");
            QPDFObjectHandle resources = form.getKey("/DR");
            if (appearance.isString()) formAppearance_ = appearance.unparseResolved();
            if (resources.isDictionary()) formResources_ = captureValue(state, resources);
            formTaken_ = true;
        }
        drainPending();
    });
}

void StreamingPdfWriter::takeOutline(SourceState& state,
                                     const std::vector<SourceOutlineItem>& items, bool wholeSource,
                                     std::vector<OutlineNode>& nodes) {
    for (const auto& entry : items) {
        std::vector<OutlineNode> kids;
        takeOutline(state, entry.kids, wholeSource, kids);
        // qpdf's handles want non-const access.
        QPDFObjectHandle item = entry.item;
        QPDFObjectHandle destination = entry.destination;
        QPDFObjectHandle otherAction = entry.otherAction;
        const bool leadsHere = inOutput(state, destination);
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
        if (leadsHere) node.destination = captureValue(state, destination);
        if (!otherAction.isNull()) node.action = captureValue(state, otherAction);
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

void StreamingPdfWriter::takeLabels(const std::vector<PageRef>& pages,
                                    std::size_t firstOutputPage) {
    std::unordered_map<PdfSource*, std::unique_ptr<QPDFPageLabelDocumentHelper>> helpers;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        PdfSource& source = *pages[i].source;
        auto index = source.pageIndex(pages[i].page.getObjGen());
        LabelRun label;
        label.firstPage = static_cast<std::int64_t>(firstOutputPage + i);
        label.style = "/D";
        label.start = index ? static_cast<std::int64_t>(*index) + 1 : 1;
        // A page of a file without labels keeps the plain number it had there.
        if (index && source.hasPageLabels()) {
            try {
                auto& helper = helpers[&source];
                if (!helper) helper = std::make_unique<QPDFPageLabelDocumentHelper>(source.qpdf());
                QPDFObjectHandle found = helper->getLabelForPage(static_cast<long long>(*index));
                if (found.isDictionary()) {
                    QPDFObjectHandle style = found.getKey("/S");
                    QPDFObjectHandle prefix = found.getKey("/P");
                    QPDFObjectHandle start = found.getKey("/St");
                    label.style = style.isName() ? style.getName() : std::string();
                    if (prefix.isString()) label.prefix = prefix.getStringValue();
                    label.start = start.isInteger() ? start.getIntValue() : 1;
                    anyLabels_ = true;
                }
            } catch (const std::bad_alloc&) {
                throw;
            } catch (...) {
                // A damaged label tree: the page keeps its plain number.
            }
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

void StreamingPdfWriter::writePage(SourceState& state, std::int64_t number, QPDFObjectHandle page) {
    beginObject(number);
    put("<< /Type /Page /Parent 2 0 R");
    // Null entries are left out of the copy (an entry that is null counts as absent).
    std::map<std::string, QPDFObjectHandle> entries = page.getDictAsMap();
    for (auto& [key, value] : entries) {
        if (key == "/Parent" || key == "/Type" || value.isNull()) continue;
        put(" ");
        putName(key);
        put(" ");
        writeValue(state, value, 1);
    }
    // Attributes a page inherits from the tree it leaves behind are written into it.
    for (const char* key : kInheritable) {
        if (auto own = entries.find(key); own != entries.end() && !own->second.isNull()) continue;
        QPDFObjectHandle value = inheritedAttribute(page, key);
        if (value.isNull()) {
            if (std::string_view(key) == "/MediaBox") put(" /MediaBox [0 0 612 792]");
            if (std::string_view(key) == "/Resources") put(" /Resources << >>");
            continue;
        }
        put(" ");
        putName(key);
        put(" ");
        writeValue(state, value, 1);
    }
    put(" >>");
    endObject();
}

void StreamingPdfWriter::writeObject(const Pending& pending) {
    beginObject(pending.number);
    QPDFObjectHandle object = pending.object;
    SourceState& state = *pending.state;
    auto renamed = state.fieldTitles.find(object.getObjGen());
    const bool renaming = renamed != state.fieldTitles.end();
    const bool fieldNode = !state.fieldNodes.empty() && state.fieldNodes.count(object.getObjGen());
    if (object.isStream()) {
        writeStream(state, object);
    } else if ((renaming || fieldNode) && object.isDictionary()) {
        put("<<");
        if (renaming) {
            // A top-level field renamed so that it stays apart from another input's.
            put(" /T ");
            put(QPDFObjectHandle::newString(renamed->second).unparse());
        }
        for (auto& [key, value] : object.getDictAsMap()) {
            if (value.isNull() || (renaming && key == "/T")) continue;
            put(" ");
            putName(key);
            put(" ");
            if (key == "/Kids" && value.isArray()) {
                // Widgets on pages left out, and fields that only lead to such, stay out.
                put("[");
                bool first = true;
                for (auto& kid : value.aitems()) {
                    if (kid.isIndirect() && !state.keptFieldNodes.count(kid.getObjGen())) continue;
                    if (!first) put(" ");
                    first = false;
                    writeValue(state, kid, 2);
                }
                put("]");
            } else {
                writeValue(state, value, 1);
            }
        }
        put(" >>");
    } else {
        writeDirect(*pending.state, object, 0);
    }
    endObject();
}

void StreamingPdfWriter::writeStream(SourceState& state, QPDFObjectHandle stream) {
    // Raw data: still compressed as in the source (decrypted when it was encrypted).
    std::shared_ptr<Buffer> data = stream.getRawStreamData();
    QPDFObjectHandle dict = stream.getDict();
    // A crypt filter has no meaning once the data is decrypted.
    bool dropFilter = false;
    QPDFObjectHandle filter = dict.getKey("/Filter");
    if (filter.isName() && filter.getName() == "/Crypt") dropFilter = true;
    if (filter.isArray() && filter.getArrayNItems() > 0 && filter.getArrayItem(0).isName() &&
        filter.getArrayItem(0).getName() == "/Crypt") {
        dropFilter = filter.getArrayNItems() == 1;
    }
    put("<<");
    for (auto& [key, value] : dict.getDictAsMap()) {
        if (key == "/Length" || value.isNull()) continue;
        if (dropFilter && (key == "/Filter" || key == "/DecodeParms")) continue;
        put(" ");
        putName(key);
        put(" ");
        writeValue(state, value, 1);
    }
    put(" /Length ");
    putNumber(static_cast<std::int64_t>(data->getSize()));
    put(" >>\nstream\n");
    put(std::string_view(reinterpret_cast<const char*>(data->getBuffer()), data->getSize()));
    put("\nendstream");
}

void StreamingPdfWriter::writeValue(SourceState& state, QPDFObjectHandle value, int depth) {
    if (value.isIndirect()) {
        writeReference(state, value);
    } else {
        writeDirect(state, value, depth);
    }
}

void StreamingPdfWriter::writeDirect(SourceState& state, QPDFObjectHandle value, int depth) {
    if (depth > kMaxDepth) {
        throw RuntimeError(errcode::kInvalidFileFormat, "PDF objects nested too deeply");
    }
    switch (value.getTypeCode()) {
        case ::ot_array: {
            put("[");
            bool first = true;
            for (auto& item : value.getArrayAsVector()) {
                if (!first) put(" ");
                first = false;
                writeValue(state, item, depth + 1);
            }
            put("]");
            break;
        }
        case ::ot_dictionary: {
            put("<<");
            QPDFObjectHandle subtype = value.getKey("/Subtype");
            const bool link = subtype.isName() && subtype.getName() == "/Link";
            for (auto& [key, item] : value.getDictAsMap()) {
                if (item.isNull()) continue;
                if (link && (key == "/Dest" || key == "/A")) {
                    writeLinkEntry(state, key, item, depth + 1);
                    continue;
                }
                put(" ");
                putName(key);
                put(" ");
                writeValue(state, item, depth + 1);
            }
            put(" >>");
            break;
        }
        case ::ot_integer:
            putNumber(value.getIntValue());
            break;
        case ::ot_name:
            putName(value.getName());
            break;
        case ::ot_boolean:
        case ::ot_real:
        case ::ot_string:
            put(value.unparseResolved());
            break;
        case ::ot_stream:
            // A stream can only stand as an indirect object; written at depth 0 only.
            throw RuntimeError(errcode::kInvalidFileFormat, "stream object in a direct position");
        default:
            put("null");
            break;
    }
}

void StreamingPdfWriter::writeLinkEntry(SourceState& state, const std::string& key,
                                        QPDFObjectHandle value, int depth) {
    // A link keeps its destination when that page is in the output, under the name the
    // output gives it; a link to a page left out loses its target instead of dangling.
    QPDFObjectHandle destination = value;
    if (key == "/A") {
        QPDFObjectHandle type = value.isDictionary() ? value.getKey("/S") : QPDFObjectHandle();
        if (!type.isName() || type.getName() != "/GoTo") {
            put(" /A ");
            writeValue(state, value, depth);
            return;
        }
        destination = value.getKey("/D");
    }
    std::string named;
    if (destination.isName() || destination.isString()) {
        auto kept = state.destinationNames.find(
            destination.isName() ? destination.getName().substr(1) : destination.getUTF8Value());
        if (kept == state.destinationNames.end()) return;
        named = QPDFObjectHandle::newString(kept->second).unparse();
    } else if (!inOutput(state, state.source->resolveDestination(destination))) {
        return;
    }
    if (key == "/Dest") {
        put(" /Dest ");
        if (named.empty()) {
            writeValue(state, value, depth);
        } else {
            put(named);
        }
    } else if (named.empty()) {
        put(" /A ");
        writeValue(state, value, depth);
    } else {
        put(" /A << /S /GoTo /D ");
        put(named);
        put(" >>");
    }
}

void StreamingPdfWriter::writeReference(SourceState& state, QPDFObjectHandle value) {
    const QPDFObjGen objGen = value.getObjGen();
    if (auto page = state.pages.find(objGen); page != state.pages.end()) {
        putNumber(page->second);
        put(" 0 R");
        return;
    }
    auto known = state.objects.find(objGen);
    std::int64_t number;
    if (known != state.objects.end()) {
        number = known->second;
    } else {
        // Pages left out of this output, the source's page tree and its catalog are
        // never copied: a reference to them becomes null.
        bool leaveOut = value.isNull() || state.source->isPage(objGen);
        if (!leaveOut && value.isDictionary()) {
            QPDFObjectHandle type = value.getKey("/Type");
            leaveOut = type.isName() && (type.getName() == "/Pages" ||
                                         type.getName() == "/Catalog" || type.getName() == "/Page");
        }
        number = leaveOut ? -1 : newObjectNumber();
        state.objects.emplace(objGen, number);
        if (number > 0) pending_.push_back({&state, number, value});
    }
    if (number < 0) {
        put("null");
    } else {
        putNumber(number);
        put(" 0 R");
    }
}

void StreamingPdfWriter::writeOutline(std::int64_t parent, std::vector<OutlineNode>& nodes,
                                      std::vector<std::int64_t>& numbers) {
    numbers.clear();
    for (std::size_t i = 0; i < nodes.size(); ++i) numbers.push_back(newObjectNumber());
    // Visible descendants of an item when it is open, as /Count wants them.
    std::function<std::int64_t(const OutlineNode&)> shown = [&](const OutlineNode& node) {
        std::int64_t count = 0;
        for (const auto& kid : node.kids) count += 1 + (kid.open ? shown(kid) : 0);
        return count;
    };
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        OutlineNode& node = nodes[i];
        std::vector<std::int64_t> kids;
        if (!node.kids.empty()) writeOutline(numbers[i], node.kids, kids);
        beginObject(numbers[i]);
        put("<< /Title ");
        put(QPDFObjectHandle::newString(node.title).unparse());
        put(" /Parent ");
        putNumber(parent);
        put(" 0 R");
        if (i > 0) {
            put(" /Prev ");
            putNumber(numbers[i - 1]);
            put(" 0 R");
        }
        if (i + 1 < nodes.size()) {
            put(" /Next ");
            putNumber(numbers[i + 1]);
            put(" 0 R");
        }
        if (!kids.empty()) {
            put(" /First ");
            putNumber(kids.front());
            put(" 0 R /Last ");
            putNumber(kids.back());
            put(" 0 R /Count ");
            const std::int64_t count = shown(node);
            putNumber(node.open ? count : -count);
        }
        if (!node.destination.empty()) put(" /Dest " + node.destination);
        if (!node.action.empty()) put(" /A " + node.action);
        put(node.style);
        put(" >>");
        endObject();
        // What a written item held is not needed again.
        node = OutlineNode();
    }
}

std::int64_t StreamingPdfWriter::writeOutlineTree() {
    if (outline_.empty()) return 0;
    const std::int64_t root = newObjectNumber();
    std::int64_t visible = 0;
    std::function<std::int64_t(const OutlineNode&)> shown = [&](const OutlineNode& node) {
        std::int64_t count = 0;
        for (const auto& kid : node.kids) count += 1 + (kid.open ? shown(kid) : 0);
        return count;
    };
    for (const auto& node : outline_) visible += 1 + (node.open ? shown(node) : 0);
    std::vector<std::int64_t> top;
    writeOutline(root, outline_, top);
    beginObject(root);
    put("<< /Type /Outlines /First ");
    putNumber(top.front());
    put(" 0 R /Last ");
    putNumber(top.back());
    put(" 0 R /Count ");
    putNumber(visible);
    put(" >>");
    endObject();
    outline_.clear();
    return root;
}

std::int64_t StreamingPdfWriter::writeDestinationTree() {
    if (destinations_.empty()) return 0;
    // One leaf holding every name, in the byte order a name tree needs.
    std::sort(destinations_.begin(), destinations_.end());
    const std::int64_t root = newObjectNumber();
    beginObject(root);
    put("<< /Names [");
    for (std::size_t i = 0; i < destinations_.size(); ++i) {
        put(i ? "\n" : "");
        put(QPDFObjectHandle::newString(destinations_[i].first).unparse());
        put(" ");
        putNumber(destinations_[i].second);
        put(" 0 R");
    }
    put("] >>");
    endObject();
    return root;
}

void StreamingPdfWriter::finish(const std::map<std::string, std::string>& information,
                                const std::string& highestVersion) {
    // No information, no dictionary: its number stays free.
    if (!information.empty()) {
        beginObject(kInformation);
        put("<<");
        for (const auto& [key, text] : information) {
            put(" ");
            putName(key);
            put(" ");
            put(QPDFObjectHandle::newUnicodeString(text).unparse());
        }
        put(" >>");
        endObject();
    }

    beginObject(kPageTree);
    put("<< /Type /Pages /Count ");
    putNumber(static_cast<std::int64_t>(kids_.size()));
    put(" /Kids [");
    for (std::size_t i = 0; i < kids_.size(); ++i) {
        if (i) put(i % 10 ? " " : "\n");
        putNumber(kids_[i]);
        put(" 0 R");
    }
    put("] >>");
    endObject();

    const std::int64_t outline = writeOutlineTree();
    const std::int64_t destinations = writeDestinationTree();

    beginObject(kCatalog);
    put("<< /Type /Catalog /Pages 2 0 R");
    if (highestVersion > "1.7") {
        put(" /Version ");
        putName("/" + highestVersion);
    }
    if (outline > 0) {
        put(" /Outlines ");
        putNumber(outline);
        put(" 0 R");
    }
    if (destinations > 0) {
        put(" /Names << /Dests ");
        putNumber(destinations);
        put(" 0 R >>");
    }
    if (!fields_.empty()) {
        put(" /AcroForm << /Fields [");
        for (std::size_t i = 0; i < fields_.size(); ++i) {
            if (i) put(" ");
            putNumber(fields_[i]);
            put(" 0 R");
        }
        put("]");
        if (!formAppearance_.empty()) put(" /DA " + formAppearance_);
        if (!formResources_.empty()) put(" /DR " + formResources_);
        if (needAppearances_) put(" /NeedAppearances true");
        put(" >>");
    }
    if (anyLabels_) {
        put(" /PageLabels << /Nums [");
        for (std::size_t i = 0; i < labels_.size(); ++i) {
            const LabelRun& run = labels_[i];
            put(i ? "\n" : "");
            putNumber(run.firstPage);
            put(" <<");
            if (!run.style.empty()) {
                put(" /S ");
                putName(run.style);
            }
            if (run.prefix) put(" /P " + QPDFObjectHandle::newString(*run.prefix).unparse());
            if (run.start != 1) {
                put(" /St ");
                putNumber(run.start);
            }
            put(" >>");
        }
        put("] >>");
    }
    put(" >>");
    endObject();

    const std::int64_t xref = written_ + static_cast<std::int64_t>(buffer_.size());
    put("xref\n0 ");
    putNumber(static_cast<std::int64_t>(offsets_.size()));
    put("\n0000000000 65535 f \n");
    char line[40];
    for (std::size_t i = 1; i < offsets_.size(); ++i) {
        if (offsets_[i] < 0) {
            put("0000000000 00001 f \n");
        } else {
            int length = std::snprintf(line, sizeof line, "%010lld 00000 n \n",
                                       static_cast<long long>(offsets_[i]));
            put(std::string_view(line, static_cast<std::size_t>(length)));
        }
    }
    const std::string id = randomId();
    put("trailer\n<< /Size ");
    putNumber(static_cast<std::int64_t>(offsets_.size()));
    put(" /Root 1 0 R");
    if (!information.empty()) put(" /Info 3 0 R");
    put(" /ID [<" + id + "><" + id + ">] >>\nstartxref\n");
    putNumber(xref);
    put("\n%%EOF\n");
    flush();
}

void StreamingPdfWriter::beginObject(std::int64_t number) {
    offsets_[static_cast<std::size_t>(number)] =
        written_ + static_cast<std::int64_t>(buffer_.size());
    putNumber(number);
    put(" 0 obj\n");
    openObject_ = number;
}

void StreamingPdfWriter::endObject() {
    put("\nendobj\n");
    openObject_ = 0;
}

void StreamingPdfWriter::put(std::string_view text) {
    if (capturing_) {
        buffer_.append(text);
        return;
    }
    if (text.size() >= kFlushAt) {
        flush();
        errno = 0;
        if (std::fwrite(text.data(), 1, text.size(), out_) != text.size()) {
            throw std::system_error(errno ? errno : EIO, std::generic_category(), "write");
        }
        written_ += static_cast<std::int64_t>(text.size());
        return;
    }
    buffer_.append(text);
    if (buffer_.size() >= kFlushAt) flush();
}

void StreamingPdfWriter::putNumber(std::int64_t value) {
    char digits[24];
    auto result = std::to_chars(digits, digits + sizeof digits, value);
    buffer_.append(digits, result.ptr);
}

void StreamingPdfWriter::putName(const std::string& name) {
    static const char hex[] = "0123456789abcdef";
    buffer_ += '/';
    for (std::size_t i = name.empty() || name[0] != '/' ? 0 : 1; i < name.size(); ++i) {
        auto c = static_cast<unsigned char>(name[i]);
        if (nameNeedsEscape(c)) {
            buffer_ += '#';
            buffer_ += hex[c >> 4];
            buffer_ += hex[c & 15];
        } else {
            buffer_ += static_cast<char>(c);
        }
    }
}

void StreamingPdfWriter::flush() {
    if (buffer_.empty()) return;
    errno = 0;
    if (std::fwrite(buffer_.data(), 1, buffer_.size(), out_) != buffer_.size()) {
        throw std::system_error(errno ? errno : EIO, std::generic_category(), "write");
    }
    written_ += static_cast<std::int64_t>(buffer_.size());
    buffer_.clear();
}

}  // namespace pagemeld
