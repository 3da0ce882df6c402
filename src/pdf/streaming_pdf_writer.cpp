#include "pdf/streaming_pdf_writer.h"

#include <qpdf/Buffer.hh>

#include <cerrno>
#include <charconv>
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
        for (const auto& ref : pages) {
            SourceState& state = stateFor(ref.source.get());
            std::int64_t number = newObjectNumber();
            state.pages.emplace(ref.page.getObjGen(), number);
            numbers.emplace_back(&state, number);
            kids_.push_back(number);
        }
        for (std::size_t i = 0; i < pages.size(); ++i) {
            writePage(*numbers[i].first, numbers[i].second, pages[i].page);
            while (!pending_.empty()) {
                Pending next = std::move(pending_.front());
                pending_.pop_front();
                writeObject(next);
            }
        }
    } catch (...) {
        pending_.clear();
        kids_.resize(kidsBefore);
        for (const auto& ref : pages) forgetSource(ref.source.get());
        throw;
    }
}

void StreamingPdfWriter::writePage(SourceState& state, std::int64_t number, QPDFObjectHandle page) {
    beginObject(number);
    put("<< /Type /Page /Parent 2 0 R");
    for (auto& [key, value] : page.ditems()) {
        if (key == "/Parent" || key == "/Type" || value.isNull()) continue;
        put(" ");
        putName(key);
        put(" ");
        writeValue(state, value, 1);
    }
    // Attributes a page inherits from the tree it leaves behind are written into it.
    for (const char* key : kInheritable) {
        if (page.hasKey(key) && !page.getKey(key).isNull()) continue;
        QPDFObjectHandle value = inheritedAttribute(page, key);
        if (value.isNull()) {
            if (std::string(key) == "/MediaBox") put(" /MediaBox [0 0 612 792]");
            if (std::string(key) == "/Resources") put(" /Resources << >>");
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
    if (object.isStream()) {
        writeStream(*pending.state, object);
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
    for (auto& [key, value] : dict.ditems()) {
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
            for (auto& item : value.aitems()) {
                if (!first) put(" ");
                first = false;
                writeValue(state, item, depth + 1);
            }
            put("]");
            break;
        }
        case ::ot_dictionary: {
            put("<<");
            for (auto& [key, item] : value.ditems()) {
                if (item.isNull()) continue;
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

    beginObject(kCatalog);
    put("<< /Type /Catalog /Pages 2 0 R");
    if (highestVersion > "1.7") {
        put(" /Version ");
        putName("/" + highestVersion);
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
}

void StreamingPdfWriter::endObject() {
    put("\nendobj\n");
}

void StreamingPdfWriter::put(std::string_view text) {
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
