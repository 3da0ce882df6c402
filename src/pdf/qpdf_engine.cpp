#include "pdf/qpdf_engine.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <set>
#include <system_error>

#include "base/file_system.h"
#include "base/runtime_error.h"
#include "pdf/atomic_file.h"
#include "pdf/streaming_pdf_writer.h"

namespace pagemeld {

namespace {

class StreamedDocument : public DocumentWriter {
public:
    StreamedDocument(std::string fileName, std::unique_ptr<AtomicFile> file, bool targetExisted)
        : fileName_(std::move(fileName)),
          file_(std::move(file)),
          writer_(file_->stream()),
          targetExisted_(targetExisted) {}

    PdfFailure append(const std::vector<PageRef>& pages) override {
        return appendPages(pages, nullptr);
    }

    PdfFailure appendUnder(const std::string& title, const std::vector<PageRef>& pages) override {
        return appendPages(pages, &title);
    }

    PdfFailure appendBlankLike(const PageRef& like) override {
        if (outputFailure_) return outputFailure_;
        try {
            writer_.appendBlankLike(like);
        } catch (const ExitRequested&) {
            throw;
        } catch (const std::system_error&) {
            outputFailure_ = {engineErrorCode(std::current_exception()), fileName_};
            file_->discard();
            return outputFailure_;
        } catch (...) {
            // Only its boxes are read: a page whose boxes cannot be read gives no blank.
            return {engineErrorCode(std::current_exception()), like.source->fileName()};
        }
        return {};
    }

    std::size_t pageCount() const override { return writer_.pageCount(); }

    PdfFailure commit(const DocumentInformation& information) override {
        if (outputFailure_) return outputFailure_;
        if (writer_.pageCount() == 0) {
            file_->discard();
            return {errcode::kNoPages, fileName_};
        }
        try {
            writer_.finish(information, version_);
        } catch (const ExitRequested&) {
            throw;
        } catch (...) {
            outputFailure_ = {engineErrorCode(std::current_exception()), fileName_};
            file_->discard();
            return outputFailure_;
        }
        // A document still open may read the very file being replaced: keep its handle.
        const bool replacesInput = PooledFileSource::pinAllReading(fileName_) || replacesInput_;
        std::int32_t errorCode = 0;
        if (!file_->commit(errorCode, replacesInput)) outputFailure_ = {errorCode, fileName_};
        return outputFailure_;
    }

private:
    PdfFailure appendPages(const std::vector<PageRef>& pages, const std::string* title) {
        if (outputFailure_) return outputFailure_;
        if (pages.empty()) return {};
        try {
            writer_.appendPages(pages, title);
        } catch (const ExitRequested&) {
            throw;  // the end of the program is no failure of an input
        } catch (const std::system_error&) {
            // The output itself failed: nothing more can be written into it.
            outputFailure_ = {engineErrorCode(std::current_exception()), fileName_};
            file_->discard();
            return outputFailure_;
        } catch (...) {
            const PdfFailure failure{engineErrorCode(std::current_exception()),
                                     pages.front().source->fileName()};
            forget(pages);
            return failure;
        }
        for (const PageRef& page : pages) {
            if (!targetExisted_ || replacesInput_) break;
            // Only a target that is there already can be one of the inputs.
            replacesInput_ = sameFile(page.source->fileName(), fileName_);
        }
        forget(pages);
        return {};
    }

    // The writer lets go of what it remembers of each source whose pages are written.
    void forget(const std::vector<PageRef>& pages) {
        std::set<const PdfSource*> seen;
        for (const PageRef& page : pages) {
            if (!seen.insert(page.source.get()).second) continue;
            version_ = std::max(version_, page.source->version());
            writer_.forgetSource(page.source.get());
        }
    }

    std::string fileName_;
    std::unique_ptr<AtomicFile> file_;
    StreamingPdfWriter writer_;
    bool targetExisted_;
    bool replacesInput_ = false;
    std::string version_ = "1.4";
    PdfFailure outputFailure_;
};

DocumentInformation informationOf(PdfSource& source) {
    DocumentInformation information;
    for (auto& [key, value] : source.information()) information[key] = value;
    return information;
}

}  // namespace

OpenedDocument QpdfEngine::open(const std::string& fileName, const std::string& password) {
    OpenedDocument document;
    document.fileName = fileName;
    PdfSource::OpenResult result;
    std::int32_t errorCode = 0;
    const auto source = PdfSource::open(fileName, password, result, errorCode);
    if (result == PdfSource::OpenResult::PasswordRequired) {
        document.encrypted = true;
        document.locked = true;
    } else if (!source) {
        document.failure = {errorCode ? errorCode : errcode::kInvalidFileFormat, fileName};
    } else {
        document.encrypted = source->encrypted();
        document.information = informationOf(*source);
        document.pages.reserve(source->pages().size());
        for (const auto& page : source->pages()) document.pages.push_back({source, page});
    }
    return document;
}

std::unique_ptr<DocumentWriter> QpdfEngine::startDocument(const std::string& fileName,
                                                          PdfFailure& failure) {
    std::error_code ec;
    const bool existed = std::filesystem::exists(fileStatus(fileName, ec));
    std::int32_t errorCode = 0;
    auto file = AtomicFile::create(fileName, errorCode);
    if (!file) {
        failure = {errorCode, fileName};
        return nullptr;
    }
    failure = {};
    return std::make_unique<StreamedDocument>(fileName, std::move(file), existed);
}

PdfFailure QpdfEngine::write(const std::string& fileName, const std::vector<PageRef>& pages,
                             const DocumentInformation& information) {
    if (pages.empty()) return {errcode::kNoPages, fileName};
    PdfFailure failure;
    auto output = startDocument(fileName, failure);
    if (!output) return failure;
    // Whatever went wrong, this output is the file that was not written.
    if (PdfFailure appended = output->append(pages)) return {appended.code, fileName};
    return output->commit(information);
}

std::int32_t OpenedDocument::pageCount() const {
    return static_cast<std::int32_t>(std::min<std::size_t>(pages.size(), INT32_MAX));
}

std::vector<PageRef> OpenedDocument::pageRun(std::int64_t first, std::int64_t count) const {
    const auto total = static_cast<std::int64_t>(pages.size());
    if (first < 1 || count < 1 || first > total) return {};
    const std::int64_t last = std::min(total, first + count - 1);
    return {pages.begin() + (first - 1), pages.begin() + last};
}

std::vector<PageRef> OpenedDocument::pagesNumbered(const std::vector<std::int32_t>& numbers) const {
    std::vector<PageRef> chosen;
    chosen.reserve(numbers.size());
    for (const std::int32_t number : numbers) {
        if (number >= 1 && static_cast<std::size_t>(number) <= pages.size())
            chosen.push_back(pages[static_cast<std::size_t>(number) - 1]);
    }
    return chosen;
}

}  // namespace pagemeld
