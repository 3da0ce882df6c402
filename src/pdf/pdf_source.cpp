#include "pdf/pdf_source.h"

#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFNameTreeObjectHelper.hh>
#include <qpdf/QPDFPageLabelDocumentHelper.hh>
#include <qpdf/QPDFSystemError.hh>
#include <qpdf/QPDFTokenizer.hh>

#include <cstring>
#include <filesystem>
#include <new>
#include <system_error>

#include "base/file_system.h"
#include "base/runtime_error.h"
#include "base/text_encoding.h"
#include "pdf/page_tree.h"
#include "pdf/pdf_engine.h"

namespace pagemeld {

std::int32_t engineErrorCode(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const QPDFExc& e) {
        if (e.getErrorCode() == qpdf_e_password) return errcode::kPasswordRequired;
        if (e.getErrorCode() == qpdf_e_system) return errcode::kPathFileAccess;
        return errcode::kInvalidFileFormat;
    } catch (const QPDFSystemError& e) {
        return errorCodeFromErrno(e.getErrno());
    } catch (const std::bad_alloc&) {
        return errcode::kOutOfMemory;
    } catch (const RuntimeError& e) {
        return e.code();
    } catch (const std::system_error& e) {
        return errorCodeFromErrno(e.code().value());
    } catch (...) {
        return errcode::kLibraryFailure;
    }
}

std::int32_t missingFileError(const std::error_code& statusError) {
    if (!statusError || statusError == std::errc::no_such_file_or_directory ||
        statusError == std::errc::not_a_directory) {
        return errcode::kFileNotFound;
    }
    // On Windows the code is the system's own number; its portable meaning is errno's.
    const std::error_condition condition = statusError.default_error_condition();
    if (condition.category() != std::generic_category()) return errcode::kFileNotFound;
    return errorCodeFromErrno(condition.value());
}

std::shared_ptr<PdfSource> PdfSource::open(const std::string& fileName, const std::string& password,
                                           OpenResult& result, std::int32_t& errorCode) {
    result = OpenResult::Failed;
    std::error_code ec;
    auto status = fileStatus(fileName, ec);
    if (fileName.empty() || !std::filesystem::exists(status)) {
        errorCode = missingFileError(ec);
        return nullptr;
    }
    if (!std::filesystem::is_regular_file(status)) {
        errorCode = errcode::kPathFileAccess;
        return nullptr;
    }
    std::shared_ptr<PdfSource> source(new PdfSource());
    source->fileName_ = fileName;
    try {
        source->input_ = std::make_shared<PooledFileSource>(fileName);
        source->qpdf_ = std::make_unique<QPDF>();
        source->qpdf_->setSuppressWarnings(true);
        source->qpdf_->setAttemptRecovery(true);
        source->qpdf_->processInputSource(source->input_, password.c_str());
        source->encrypted_ = source->qpdf_->isEncrypted();
        preparePageTree(*source->qpdf_);
        source->pages_ = source->qpdf_->getAllPages();
        // qpdf counts offsets from the header: only a header at the very start makes
        // them offsets into the file.
        char header[5] = {};
        source->rawBytesTrusted_ = !source->encrypted_ &&
                                   source->readRaw(0, header, sizeof header) == sizeof header &&
                                   std::memcmp(header, "%PDF-", sizeof header) == 0;
    } catch (...) {
        errorCode = engineErrorCode(std::current_exception());
        if (errorCode == errcode::kPasswordRequired) result = OpenResult::PasswordRequired;
        return nullptr;
    }
    if (source->pages_.empty()) {
        errorCode = errcode::kInvalidFileFormat;
        return nullptr;
    }
    result = OpenResult::Ok;
    errorCode = errcode::kNone;
    return source;
}

std::size_t PdfSource::readRaw(qpdf_offset_t offset, char* buffer, std::size_t length) {
    input_->seek(offset, SEEK_SET);
    std::size_t done = 0;
    while (done < length) {
        const std::size_t got = input_->read(buffer + done, length - done);
        if (got == 0) break;
        done += got;
    }
    return done;
}

bool PdfSource::repaired() {
    // qpdf also warns when a caller asks a null for a dictionary key; those are no
    // repairs. The rest are kept as one flag, so the list does not grow either.
    for (const auto& warning : qpdf_->getWarnings()) {
        if (warning.getErrorCode() != qpdf_e_object) repaired_ = true;
    }
    return repaired_;
}

std::optional<RawStreamSpan> PdfSource::rawStreamSpan(QPDFObjectHandle stream) {
    if (!rawBytesTrusted_ || !stream.isStream()) return std::nullopt;
    QPDFObjectHandle length = stream.getDict().getKey("/Length");
    if (!length.isInteger() || length.getIntValue() < 0 || repaired()) return std::nullopt;
    // qpdf notes where a stream's data begins as its parsed offset.
    const qpdf_offset_t offset = stream.getParsedOffset();
    const long long bytes = length.getIntValue();
    if (offset < 8 || bytes > input_->size() - offset) return std::nullopt;
    // Read as qpdf does: the keyword "stream" and one end of line before the data,
    // and "endstream" as the next word after /Length bytes of it.
    char before[9] = {};
    const qpdf_offset_t start = std::max<qpdf_offset_t>(0, offset - 9);
    const auto got = readRaw(start, before, static_cast<std::size_t>(offset - start));
    const std::string_view lead(before, got);
    const auto keywordAt = [&](std::string_view ending) {
        if (lead.size() < ending.size() + 1 || lead.substr(lead.size() - ending.size()) != ending)
            return false;
        const char c = lead[lead.size() - ending.size() - 1];
        return c == '>' || c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' ||
               c == '\0';
    };
    if (!keywordAt("stream\n") && !keywordAt("stream\r\n")) return std::nullopt;
    input_->seek(offset + bytes, SEEK_SET);
    QPDFTokenizer tokenizer;
    if (!tokenizer.readToken(input_, fileName_, true, 20).isWord("endstream")) return std::nullopt;
    return RawStreamSpan{offset, static_cast<std::size_t>(bytes)};
}

bool PdfSource::isPage(QPDFObjGen objGen) {
    return pageIndex(objGen).has_value();
}

std::optional<std::size_t> PdfSource::pageIndex(QPDFObjGen objGen) {
    if (pageIndex_.empty()) {
        pageIndex_.reserve(pages_.size());
        // A page listed twice keeps its first position.
        for (std::size_t i = 0; i < pages_.size(); ++i)
            pageIndex_.emplace(pages_[i].getObjGen(), i);
    }
    auto it = pageIndex_.find(objGen);
    if (it == pageIndex_.end()) return std::nullopt;
    return it->second;
}

namespace {

// Bookmarks nest this deep at most; deeper ones are left out, as are items beyond the limit.
constexpr int kMaxOutlineDepth = 64;
constexpr std::size_t kMaxOutlineItems = 200000;

bool isName(QPDFObjectHandle value, const char* name) {
    return value.isName() && value.getName() == name;
}

// The array of a named destination's value: itself, or the /D of a dictionary.
QPDFObjectHandle destinationArray(QPDFObjectHandle value) {
    if (value.isDictionary()) value = value.getKey("/D");
    return value.isArray() && value.getArrayNItems() > 0 ? value : QPDFObjectHandle::newNull();
}

}  // namespace

std::optional<QPDFObjGen> PdfSource::destinationPage(QPDFObjectHandle destination) {
    if (!destination.isArray() || destination.getArrayNItems() < 1) return std::nullopt;
    QPDFObjectHandle page = destination.getArrayItem(0);
    if (!page.isIndirect()) return std::nullopt;
    return page.getObjGen();
}

const std::map<std::string, QPDFObjectHandle>& PdfSource::namedDestinations() {
    if (namedDestinations_) return *namedDestinations_;
    namedDestinations_.emplace();
    auto& names = *namedDestinations_;
    try {
        QPDFObjectHandle root = qpdf_->getRoot();
        QPDFObjectHandle dests = root.getKey("/Dests");
        if (dests.isDictionary()) {
            for (auto& [key, value] : dests.ditems()) {
                QPDFObjectHandle array = destinationArray(value);
                if (!array.isNull()) names.emplace(key.substr(1), array);
            }
        }
        QPDFObjectHandle tree = root.getKey("/Names").getKey("/Dests");
        if (tree.isDictionary()) {
            QPDFNameTreeObjectHelper helper(tree, *qpdf_, false);
            for (auto& [key, value] : helper) {
                QPDFObjectHandle array = destinationArray(value);
                if (!array.isNull()) names[key] = array;
            }
        }
    } catch (const std::bad_alloc&) {
        throw;
    } catch (...) {
        // A damaged tree gives the names read before the damage.
    }
    return names;
}

QPDFObjectHandle PdfSource::resolveDestination(QPDFObjectHandle destination) {
    if (destination.isName() || destination.isString()) {
        const std::string name =
            destination.isName() ? destination.getName().substr(1) : destination.getUTF8Value();
        const auto& names = namedDestinations();
        auto it = names.find(name);
        return it == names.end() ? QPDFObjectHandle::newNull() : it->second;
    }
    return destinationArray(destination);
}

void PdfSource::readOutline(QPDFObjectHandle item, int depth,
                            std::unordered_set<QPDFObjGen, ObjGenHash>& seen,
                            std::vector<SourceOutlineItem>& items, std::size_t& total) {
    for (; item.isDictionary() && total < kMaxOutlineItems; item = item.getKey("/Next")) {
        if (item.isIndirect() && !seen.insert(item.getObjGen()).second) break;
        ++total;
        SourceOutlineItem entry;
        entry.item = item;
        QPDFObjectHandle count = item.getKey("/Count");
        entry.open = count.isInteger() && count.getIntValue() > 0;
        QPDFObjectHandle destination = item.getKey("/Dest");
        QPDFObjectHandle action = item.getKey("/A");
        if (destination.isNull() && action.isDictionary()) {
            if (isName(action.getKey("/S"), "/GoTo")) {
                destination = action.getKey("/D");
            } else {
                entry.otherAction = action;
            }
        }
        entry.destination = resolveDestination(destination);
        if (depth < kMaxOutlineDepth) {
            readOutline(item.getKey("/First"), depth + 1, seen, entry.kids, total);
        }
        items.push_back(std::move(entry));
    }
}

const std::vector<SourceOutlineItem>& PdfSource::outline() {
    if (outline_) return *outline_;
    outline_.emplace();
    try {
        std::unordered_set<QPDFObjGen, ObjGenHash> seen;
        std::size_t total = 0;
        readOutline(qpdf_->getRoot().getKey("/Outlines").getKey("/First"), 0, seen, *outline_,
                    total);
    } catch (const std::bad_alloc&) {
        throw;
    } catch (...) {
        // A damaged outline gives the bookmarks read before the damage.
    }
    return *outline_;
}

bool PdfSource::hasPageLabels() {
    if (!hasPageLabels_) {
        try {
            hasPageLabels_ = QPDFPageLabelDocumentHelper(*qpdf_).hasPageLabels();
        } catch (const std::bad_alloc&) {
            throw;
        } catch (...) {
            hasPageLabels_ = false;
        }
    }
    return *hasPageLabels_;
}

std::vector<std::pair<std::string, std::string>> PdfSource::information() {
    std::vector<std::pair<std::string, std::string>> entries;
    auto info = qpdf_->getTrailer().getKey("/Info");
    if (!info.isDictionary()) return entries;
    for (auto& [key, value] : info.ditems()) {
        if (value.isString()) entries.emplace_back(key, value.getUTF8Value());
    }
    return entries;
}

}  // namespace pagemeld
