#include "pdf/object_serialiser.h"

#include <qpdf/Buffer.hh>
#include <qpdf/Pipeline.hh>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <exception>
#include <optional>
#include <random>
#include <system_error>

#include "base/runtime_error.h"

namespace pagemeld {
namespace {

// Direct objects nest this deep at most; deeper input is refused, not recursed into.
constexpr int kMaxDepth = 400;
constexpr std::size_t kFlushAt = 1 << 18;

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

// Hands the data qpdf reads on to the output as it comes, and counts it. qpdf turns
// every exception inside its reading into a plain "failed", so a failed write is kept
// here to be told apart from damaged input.
class OutputPipeline : public Pipeline {
public:
    explicit OutputPipeline(ObjectSerialiser& out) : Pipeline("output", nullptr), out_(out) {}

    void write(unsigned char const* data, size_t length) override {
        try {
            out_.put(std::string_view(reinterpret_cast<const char*>(data), length));
        } catch (...) {
            failure = std::current_exception();
            throw;
        }
        bytes += static_cast<std::int64_t>(length);
    }
    void finish() override {}

    std::int64_t bytes = 0;
    std::exception_ptr failure;

private:
    ObjectSerialiser& out_;
};

}  // namespace

ObjectSerialiser::ObjectSerialiser(std::FILE* out, std::int64_t firstFree) : out_(out) {
    buffer_.reserve(kFlushAt + 4096);
    offsets_.assign(static_cast<std::size_t>(firstFree), -1);
    // The binary comment tells transfer programs the file is not text.
    put("%PDF-1.7\n%\xbf\xf7\xa2\xfe\n");
}

std::int64_t ObjectSerialiser::newObjectNumber() {
    offsets_.push_back(-1);
    return static_cast<std::int64_t>(offsets_.size()) - 1;
}

void ObjectSerialiser::abandon() {
    // Queued objects will not be written: a later reference numbers them anew.
    for (const auto& pending : pending_) pending.objects->objects.erase(pending.object.getObjGen());
    pending_.clear();
    // An object cut short stays out of the cross-reference table.
    if (openObject_ > 0) {
        offsets_[static_cast<std::size_t>(openObject_)] = -1;
        put("\nendobj\n");
        openObject_ = 0;
    }
}

void ObjectSerialiser::drainPending() {
    while (!pending_.empty()) {
        Pending next = std::move(pending_.front());
        pending_.pop_front();
        writeObject(next);
    }
}

std::string ObjectSerialiser::captureValue(SourceObjects& objects, QPDFObjectHandle value) {
    // Written into a side buffer; objects it references are queued as usual.
    std::string saved;
    saved.swap(buffer_);
    capturing_ = true;
    try {
        writeValue(objects, value, 1);
    } catch (...) {
        capturing_ = false;
        buffer_.swap(saved);
        throw;
    }
    capturing_ = false;
    buffer_.swap(saved);
    return saved;
}

void ObjectSerialiser::writeObject(const Pending& pending) {
    beginObject(pending.number);
    SourceObjects& objects = *pending.objects;
    QPDFObjectHandle object = pending.object;
    DeferredLength length;
    if (object.isStream()) {
        length = writeStream(objects, object);
    } else if (!objects.rewriter || !objects.rewriter->writeObject(*this, objects, object)) {
        writeDirect(objects, object, 0);
    }
    endObject();
    if (length.number > 0) {
        beginObject(length.number);
        putNumber(length.value);
        endObject();
    }
}

ObjectSerialiser::DeferredLength ObjectSerialiser::writeStream(SourceObjects& objects,
                                                               QPDFObjectHandle stream) {
    QPDFObjectHandle dict = stream.getDict();
    // Raw data: still compressed as in the source (decrypted when it was encrypted).
    // Large data passes in blocks: straight from the file when its bytes there are
    // certain to be the data, else as qpdf reads it (decrypting, or repairing a length).
    std::optional<RawStreamSpan> span;
    bool piped = false;
    std::shared_ptr<Buffer> data;
    QPDFObjectHandle declared = dict.getKey("/Length");
    if (declared.isInteger() &&
        declared.getIntValue() > static_cast<long long>(kStreamBlockBytes)) {
        span = objects.source->rawStreamSpan(stream);
        piped = !span;
    } else {
        data = stream.getRawStreamData();
    }
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
        writeValue(objects, value, 1);
    }
    // Data that qpdf hands over as it reads has its length counted on the way: the
    // /Length refers to an object written after the stream.
    DeferredLength deferred;
    put(" /Length ");
    if (span) {
        putNumber(static_cast<std::int64_t>(span->length));
    } else if (piped) {
        deferred.number = newObjectNumber();
        putReference(deferred.number);
    } else {
        putNumber(static_cast<std::int64_t>(data->getSize()));
    }
    put(" >>\nstream\n");
    if (span) {
        copyRaw(*objects.source, *span);
    } else if (piped) {
        deferred.value = pipeRaw(stream);
    } else {
        put(std::string_view(reinterpret_cast<const char*>(data->getBuffer()), data->getSize()));
    }
    put("\nendstream");
    return deferred;
}

void ObjectSerialiser::copyRaw(PdfSource& source, RawStreamSpan span) {
    if (block_.empty()) block_.resize(kStreamBlockBytes);
    qpdf_offset_t at = span.offset;
    for (std::size_t left = span.length; left > 0;) {
        const std::size_t part = std::min(left, block_.size());
        // The file shrank since it was opened.
        if (source.readRaw(at, block_.data(), part) != part) {
            throw RuntimeError(errcode::kInvalidFileFormat,
                               source.fileName() + ": stream data ends early");
        }
        put(std::string_view(block_.data(), part));
        at += static_cast<qpdf_offset_t>(part);
        left -= part;
    }
}

std::int64_t ObjectSerialiser::pipeRaw(QPDFObjectHandle stream) {
    OutputPipeline pipeline(*this);
    const bool read = stream.pipeStreamData(&pipeline, nullptr, 0, qpdf_dl_none, true, false);
    if (pipeline.failure) std::rethrow_exception(pipeline.failure);
    if (!read) throw RuntimeError(errcode::kInvalidFileFormat, "stream data cannot be read");
    return pipeline.bytes;
}

void ObjectSerialiser::writeValue(SourceObjects& objects, QPDFObjectHandle value, int depth) {
    if (!value.isIndirect()) {
        writeDirect(objects, value, depth);
        return;
    }
    const std::int64_t number = referenceNumber(objects, value);
    if (number < 0) {
        put("null");
    } else {
        putReference(number);
    }
}

void ObjectSerialiser::writeDirect(SourceObjects& objects, QPDFObjectHandle value, int depth) {
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
                writeValue(objects, item, depth + 1);
            }
            put("]");
            break;
        }
        case ::ot_dictionary: {
            put("<<");
            QPDFObjectHandle subtype = value.getKey("/Subtype");
            const bool link = objects.rewriter && subtype.isName() && subtype.getName() == "/Link";
            for (auto& [key, item] : value.getDictAsMap()) {
                if (item.isNull()) continue;
                if (link && (key == "/Dest" || key == "/A")) {
                    objects.rewriter->writeLinkEntry(*this, objects, key, item, depth + 1);
                    continue;
                }
                put(" ");
                putName(key);
                put(" ");
                writeValue(objects, item, depth + 1);
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

std::int64_t ObjectSerialiser::referenceNumber(SourceObjects& objects, QPDFObjectHandle value) {
    const QPDFObjGen objGen = value.getObjGen();
    if (auto page = objects.pages.find(objGen); page != objects.pages.end()) return page->second;
    if (auto known = objects.objects.find(objGen); known != objects.objects.end()) {
        return known->second;
    }
    // Pages left out of this output, the source's page tree and its catalog are never
    // copied: a reference to them becomes null.
    bool leaveOut = value.isNull() || objects.source->isPage(objGen);
    if (!leaveOut && value.isDictionary()) {
        QPDFObjectHandle type = value.getKey("/Type");
        leaveOut = type.isName() && (type.getName() == "/Pages" || type.getName() == "/Catalog" ||
                                     type.getName() == "/Page");
    }
    const std::int64_t number = leaveOut ? -1 : newObjectNumber();
    objects.objects.emplace(objGen, number);
    if (number > 0) pending_.push_back({&objects, number, value});
    return number;
}

void ObjectSerialiser::finishFile(std::string_view trailerEntries) {
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
    put(trailerEntries);
    put(" /ID [<" + id + "><" + id + ">] >>\nstartxref\n");
    putNumber(xref);
    put("\n%%EOF\n");
    flush();
}

void ObjectSerialiser::beginObject(std::int64_t number) {
    offsets_[static_cast<std::size_t>(number)] =
        written_ + static_cast<std::int64_t>(buffer_.size());
    putNumber(number);
    put(" 0 obj\n");
    openObject_ = number;
}

void ObjectSerialiser::endObject() {
    put("\nendobj\n");
    openObject_ = 0;
}

void ObjectSerialiser::put(std::string_view text) {
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

void ObjectSerialiser::putNumber(std::int64_t value) {
    char digits[24];
    auto result = std::to_chars(digits, digits + sizeof digits, value);
    buffer_.append(digits, result.ptr);
}

void ObjectSerialiser::putReference(std::int64_t number) {
    putNumber(number);
    put(" 0 R");
}

void ObjectSerialiser::putName(const std::string& name) {
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

void ObjectSerialiser::flush() {
    if (buffer_.empty()) return;
    errno = 0;
    if (std::fwrite(buffer_.data(), 1, buffer_.size(), out_) != buffer_.size()) {
        throw std::system_error(errno ? errno : EIO, std::generic_category(), "write");
    }
    written_ += static_cast<std::int64_t>(buffer_.size());
    buffer_.clear();
}

}  // namespace pagemeld
