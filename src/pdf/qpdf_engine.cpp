#include "pdf/qpdf_engine.h"

#include <qpdf/QPDFWriter.hh>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <system_error>

#include "base/file_system.h"
#include "base/runtime_error.h"
#include "base/text_encoding.h"
#include "pdf/atomic_file.h"
#include "pdf/light_page_counter.h"
#include "pdf/page_ranges.h"
#include "pdf/streaming_pdf_writer.h"

namespace pagemeld {
namespace {

const char* informationKey(std::int32_t key) {
    switch (key) {
        case 1:
            return "/Author";
        case 2:
            return "/Title";
        case 3:
            return "/Subject";
        case 4:
            return "/Keywords";
        case 5:
            return "/Creator";
        case 6:
            return "/Producer";
        default:
            return nullptr;
    }
}

std::string highestVersion(const std::vector<PageRef>& pages) {
    std::string highest = "1.4";
    const PdfSource* last = nullptr;
    for (const auto& ref : pages) {
        if (ref.source.get() == last) continue;
        last = ref.source.get();
        highest = std::max(highest, ref.source->version());
    }
    return highest;
}

std::map<std::string, std::string> informationOf(PdfSource& source) {
    std::map<std::string, std::string> information;
    for (auto& [key, value] : source.information()) information[key] = value;
    return information;
}

// Carries what a file list's check threw past the merge's own failure handling.
struct CheckThrew {
    std::exception_ptr error;
};

// Writes `pages` with `information` to `fileName` atomically; 0 and `errorCode` on failure.
bool writeDocument(const std::string& fileName, const std::vector<PageRef>& pages,
                   const std::map<std::string, std::string>& information, std::int32_t& errorCode) {
    auto file = AtomicFile::create(fileName, errorCode);
    if (!file) return false;
    try {
        StreamingPdfWriter writer(file->stream());
        writer.appendPages(pages);
        writer.finish(information, highestVersion(pages));
    } catch (...) {
        errorCode = engineErrorCode(std::current_exception());
        return false;
    }
    // A loaded document may read the very file being replaced: keep its handle.
    const bool replacesInput = PooledFileSource::pinAllReading(fileName);
    return file->commit(errorCode, replacesInput);
}

}  // namespace

std::int32_t QpdfEngine::select(PdfDocument document) {
    const std::int32_t id = nextId();
    documents_.emplace(id, std::move(document));
    selected_ = id;
    lastErrorFile_.clear();
    lastError_ = 0;
    return id;
}

std::int32_t QpdfEngine::nextId() {
    if (lastId_ == INT32_MAX) lastId_ = 0;
    do {
        ++lastId_;
    } while (documents_.count(lastId_) || directAccess_.count(lastId_));
    return lastId_;
}

std::int32_t QpdfEngine::fail(std::int32_t errorCode, const std::string& fileName) {
    lastError_ = errorCode;
    lastErrorFile_ = fileName;
    return 0;
}

std::int32_t QpdfEngine::succeed(std::int32_t result) {
    lastError_ = 0;
    lastErrorFile_.clear();
    return result;
}

PdfDocument* QpdfEngine::selected() {
    auto it = documents_.find(selected_);
    return it == documents_.end() ? nullptr : &it->second;
}

const PdfDocument* QpdfEngine::selected() const {
    auto it = documents_.find(selected_);
    return it == documents_.end() ? nullptr : &it->second;
}

std::int32_t QpdfEngine::LoadFromFile(const std::string& fileName) {
    selected_ = 0;
    PdfSource::OpenResult result;
    std::int32_t errorCode = 0;
    auto source = PdfSource::open(fileName, "", result, errorCode);
    return addLoaded(fileName, source, result, errorCode);
}

std::int32_t QpdfEngine::addLoaded(const std::string& fileName,
                                   const std::shared_ptr<PdfSource>& source,
                                   PdfSource::OpenResult result, std::int32_t errorCode) {
    selected_ = 0;
    PdfDocument document;
    document.fileName = fileName;
    if (result == PdfSource::OpenResult::PasswordRequired) {
        document.encrypted = true;
        document.locked = true;
    } else if (!source) {
        return fail(errorCode, fileName);
    } else {
        document.encrypted = source->encrypted();
        document.information = informationOf(*source);
        document.pages.reserve(source->pages().size());
        for (const auto& page : source->pages()) document.pages.push_back({source, page});
    }
    return select(std::move(document));
}

void QpdfEngine::SelectDocument(std::int32_t id) {
    selected_ = documents_.count(id) ? id : 0;
}

void QpdfEngine::RemoveDocument(std::int32_t id) {
    documents_.erase(id);
    if (selected_ == id) selected_ = 0;
}

std::int32_t QpdfEngine::pagecount() {
    PdfDocument* document = selected();
    if (!document) return 0;
    if (document->locked) {
        if (!document->lockedPageCount) {
            std::int32_t errorCode = 0;
            document->lockedPageCount = countPagesLightly(document->fileName, errorCode);
        }
        return *document->lockedPageCount;
    }
    return static_cast<std::int32_t>(std::min<std::size_t>(document->pages.size(), INT32_MAX));
}

std::int32_t QpdfEngine::EncryptionStatus() const {
    const PdfDocument* document = selected();
    return document && document->encrypted ? 1 : 0;
}

std::int32_t QpdfEngine::Decrypt() {
    PdfDocument* document = selected();
    if (!document) return fail(errcode::kNoDocument);
    if (document->locked) return fail(errcode::kPasswordRequired);
    return 1;
}

std::int32_t QpdfEngine::SetPassword(const std::string& password) {
    PdfDocument* document = selected();
    if (!document) return fail(errcode::kNoDocument);
    if (!document->encrypted) return 1;
    if (document->fileName.empty()) return document->locked ? fail(errcode::kPasswordRequired) : 1;
    PdfSource::OpenResult result;
    std::int32_t errorCode = 0;
    auto source = PdfSource::open(document->fileName, password, result, errorCode);
    if (!source) return fail(errorCode, document->fileName);
    document->locked = false;
    document->lockedPageCount.reset();
    document->information = informationOf(*source);
    document->pages.clear();
    for (const auto& page : source->pages()) document->pages.push_back({source, page});
    lastErrorFile_.clear();
    lastError_ = 0;
    return 1;
}

std::int32_t QpdfEngine::DecryptFile(const std::string& input, const std::string& output,
                                     const std::string& password) {
    PdfSource::OpenResult result;
    std::int32_t errorCode = 0;
    auto source = PdfSource::open(input, password, result, errorCode);
    if (!source) return fail(errorCode, input);
    auto file = AtomicFile::create(output, errorCode);
    if (!file) return fail(errorCode, output);
    try {
        // A faithful full copy: everything but the encryption is kept.
        QPDFWriter writer(source->qpdf(), file->temporaryName().c_str(), file->stream(), false);
        writer.setPreserveEncryption(false);
        errno = 0;
        writer.write();
        // qpdf may leave a failed write in the stream's error flag alone.
        if (std::ferror(file->stream())) {
            return fail(errorCodeFromErrno(errno != 0 ? errno : EIO), output);
        }
    } catch (...) {
        // qpdf reports a failed write as text only; the stream and errno still say why
        // (a full disk must not read as a device error).
        const int err = errno;
        if (std::ferror(file->stream())) {
            return fail(errorCodeFromErrno(err != 0 ? err : EIO), output);
        }
        // Reading the input or writing the copy: the system error says which.
        const std::int32_t code = engineErrorCode(std::current_exception());
        return fail(code, code == errcode::kInvalidFileFormat ? input : output);
    }
    const bool replacesInput = PooledFileSource::pinAllReading(output) || sameFile(input, output);
    if (!file->commit(errorCode, replacesInput)) return fail(errorCode, output);
    return succeed(1);
}

std::int32_t QpdfEngine::addDerived(const PdfDocument& parent, std::vector<PageRef> pages) {
    if (pages.empty()) {
        selected_ = 0;
        return fail(errcode::kNoPages);
    }
    PdfDocument document;
    document.information = parent.information;
    document.pages = std::move(pages);
    return select(std::move(document));
}

std::int32_t QpdfEngine::ExtractPages(std::int32_t first, std::int32_t count) {
    PdfDocument* document = selected();
    if (!document || document->locked) {
        selected_ = 0;
        return fail(document ? errcode::kPasswordRequired : errcode::kNoDocument);
    }
    const auto total = static_cast<std::int64_t>(document->pages.size());
    std::vector<PageRef> pages;
    if (first >= 1 && count >= 1 && first <= total) {
        const std::int64_t last = std::min<std::int64_t>(total, std::int64_t{first} + count - 1);
        pages.assign(document->pages.begin() + (first - 1), document->pages.begin() + last);
    }
    return addDerived(*document, std::move(pages));
}

std::int32_t QpdfEngine::ExtractPageRanges(const std::string& ranges) {
    PdfDocument* document = selected();
    if (!document || document->locked) {
        selected_ = 0;
        return fail(document ? errcode::kPasswordRequired : errcode::kNoDocument);
    }
    const auto total =
        static_cast<std::int32_t>(std::min<std::size_t>(document->pages.size(), INT32_MAX));
    std::vector<PageRef> pages;
    for (std::int32_t number : parsePageRanges(ranges, total)) {
        pages.push_back(document->pages[static_cast<std::size_t>(number - 1)]);
    }
    return addDerived(*document, std::move(pages));
}

std::int32_t QpdfEngine::MergeDocument(std::int32_t id) {
    PdfDocument* target = selected();
    auto other = documents_.find(id);
    if (!target || other == documents_.end()) return fail(errcode::kNoDocument);
    if (target->locked || other->second.locked) return fail(errcode::kPasswordRequired);
    // Copy first: the document may be merged into itself.
    std::vector<PageRef> pages = other->second.pages;
    target->pages.insert(target->pages.end(), pages.begin(), pages.end());
    lastErrorFile_.clear();
    lastError_ = 0;
    return 1;
}

std::int32_t QpdfEngine::SaveToFile(const std::string& fileName) {
    PdfDocument* document = selected();
    if (!document) return fail(errcode::kNoDocument);
    if (document->locked) return fail(errcode::kPasswordRequired);
    if (document->pages.empty()) return fail(errcode::kNoPages);
    std::int32_t errorCode = 0;
    if (!writeDocument(fileName, document->pages, document->information, errorCode)) {
        return fail(errorCode, fileName);
    }
    return succeed(1);
}

void QpdfEngine::SetInformation(std::int32_t key, const std::string& text) {
    PdfDocument* document = selected();
    const char* name = informationKey(key);
    if (!document || !name) return;
    if (text.empty()) {
        document->information.erase(name);
    } else {
        document->information[name] = text;
    }
}

void QpdfEngine::ClearFileList(const std::string& listName) {
    fileLists_[listName].clear();
    fileListInformation_.erase(listName);
    fileListOutcomes_.erase(listName);
    fileListChecks_.erase(listName);
}

void QpdfEngine::SetFileListCheck(const std::string& listName, FileListCheck check) {
    fileListChecks_[listName] = std::move(check);
}

std::vector<ListedFileOutcome> QpdfEngine::FileListOutcomes(const std::string& listName) const {
    auto it = fileListOutcomes_.find(listName);
    return it == fileListOutcomes_.end() ? std::vector<ListedFileOutcome>() : it->second;
}

void QpdfEngine::AddToFileList(const std::string& listName, const std::string& fileName) {
    fileLists_[listName].push_back(fileName);
}

void QpdfEngine::SetFileListInformation(const std::string& listName, std::int32_t key,
                                        const std::string& text) {
    if (const char* name = informationKey(key)) fileListInformation_[listName][name] = text;
}

void QpdfEngine::checkWithoutOutput(const std::vector<std::string>& files,
                                    const FileListCheck& check,
                                    std::vector<ListedFileOutcome>& outcomes) {
    for (std::size_t i = 0; check && i < files.size(); ++i) {
        PdfSource::OpenResult result;
        std::int32_t openError = 0;
        auto source = PdfSource::open(files[i], "", result, openError);
        const std::int32_t id = addLoaded(files[i], source, result, openError);
        source.reset();
        try {
            if (check(static_cast<std::int32_t>(i + 1)).empty())
                outcomes[i] = ListedFileOutcome::LeftOut;
        } catch (...) {
            // The caller's own way out (the end of the program, a cancel) is the caller's.
            RemoveDocument(id);
            throw;
        }
        RemoveDocument(id);
    }
}

std::int32_t QpdfEngine::MergeFileList(const std::string& listName, const std::string& outputFile) {
    const std::vector<std::string> files = fileLists_[listName];
    const FileListCheck check = fileListChecks_[listName];
    auto& outcomes = fileListOutcomes_[listName];
    outcomes.assign(files.size(), ListedFileOutcome::NotReached);
    if (files.empty()) return fail(errcode::kNoPages);
    std::int32_t errorCode = 0;
    // Only an output that is there already can be one of the inputs.
    std::error_code ec;
    const bool outputExisted = std::filesystem::exists(fileStatus(outputFile, ec));
    auto file = AtomicFile::create(outputFile, errorCode);
    if (!file) {
        checkWithoutOutput(files, check, outcomes);
        return fail(errorCode, outputFile);
    }

    std::int32_t leading = 0;
    bool allSoFar = true;
    std::int32_t firstError = 0;
    std::string firstFailed;
    std::map<std::string, std::string> information;
    bool informationTaken = false;
    std::string version = "1.4";
    try {
        StreamingPdfWriter writer(file->stream());
        for (std::size_t i = 0; i < files.size(); ++i) {
            std::string name = files[i];
            PdfSource::OpenResult result;
            std::int32_t openError = 0;
            // One input at a time: it is written and let go before the next is opened.
            auto source = PdfSource::open(name, "", result, openError);
            if (check) {
                const std::int32_t id = addLoaded(name, source, result, openError);
                std::string chosen;
                try {
                    chosen = check(static_cast<std::int32_t>(i + 1));
                } catch (...) {
                    RemoveDocument(id);
                    throw CheckThrew{std::current_exception()};
                }
                RemoveDocument(id);
                if (chosen.empty()) {
                    outcomes[i] = ListedFileOutcome::LeftOut;
                    allSoFar = false;
                    continue;
                }
                if (chosen != name) {
                    name = chosen;
                    source = PdfSource::open(name, "", result, openError);
                }
            }
            ListedFileOutcome outcome = result == PdfSource::OpenResult::PasswordRequired
                                            ? ListedFileOutcome::NeedsPassword
                                            : ListedFileOutcome::NotLoaded;
            if (source) {
                outcome = ListedFileOutcome::NotMerged;
                std::vector<PageRef> pages;
                pages.reserve(source->pages().size());
                for (const auto& page : source->pages()) pages.push_back({source, page});
                try {
                    writer.appendPages(pages);
                    outcome = ListedFileOutcome::Merged;
                } catch (const std::system_error&) {
                    throw;  // the output itself failed: nothing more can be written
                } catch (...) {
                    openError = engineErrorCode(std::current_exception());
                }
                writer.forgetSource(source.get());
                if (outcome == ListedFileOutcome::Merged) {
                    version = std::max(version, source->version());
                    if (!informationTaken) {
                        information = informationOf(*source);
                        informationTaken = true;
                    }
                }
            }
            outcomes[i] = outcome;
            const bool merged = outcome == ListedFileOutcome::Merged;
            if (merged && allSoFar) ++leading;
            if (!merged) {
                allSoFar = false;
                if (!firstError) {
                    firstError = openError ? openError : errcode::kInvalidFileFormat;
                    firstFailed = name;
                }
            }
        }
        if (writer.pageCount() == 0) {
            file->discard();
            return fail(firstError ? firstError : errcode::kNoPages, firstFailed);
        }
        for (const auto& [key, text] : fileListInformation_[listName]) {
            if (text.empty()) {
                information.erase(key);
            } else {
                information[key] = text;
            }
        }
        writer.finish(information, version);
    } catch (const CheckThrew& thrown) {
        // The check ended the merge (the end of the program, a cancel): no output, and
        // what it threw goes on to the caller rather than read as a failed output.
        file->discard();
        std::rethrow_exception(thrown.error);
    } catch (...) {
        // Only writing the output fails here: input failures were caught per file.
        return fail(engineErrorCode(std::current_exception()), outputFile);
    }
    bool replacesInput = PooledFileSource::pinAllReading(outputFile);
    for (std::size_t i = 0; outputExisted && !replacesInput && i < files.size(); ++i)
        replacesInput = sameFile(files[i], outputFile);
    if (!file->commit(errorCode, replacesInput)) return fail(errorCode, outputFile);
    lastError_ = firstError;
    lastErrorFile_ = firstFailed;
    return leading;
}

std::int32_t QpdfEngine::DAOpenFile(const std::string& fileName, const std::string&) {
    std::int32_t errorCode = 0;
    const std::int32_t count = countPagesLightly(fileName, errorCode);
    if (count <= 0) return fail(errorCode ? errorCode : errcode::kInvalidFileFormat, fileName);
    const std::int32_t handle = nextId();
    directAccess_[handle] = count;
    lastErrorFile_.clear();
    lastError_ = 0;
    return handle;
}

std::int32_t QpdfEngine::DAGetPageCount(std::int32_t handle) {
    auto it = directAccess_.find(handle);
    return it == directAccess_.end() ? 0 : it->second;
}

void QpdfEngine::DACloseFile(std::int32_t handle) {
    directAccess_.erase(handle);
}

}  // namespace pagemeld
