#include "pdf/pdf_source.h"

#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFSystemError.hh>

#include <filesystem>
#include <new>
#include <system_error>

#include "app/text_encoding.h"
#include "errors/runtime_error.h"
#include "pdf/pdf_engine.h"

namespace pagemeld {

std::int32_t engineErrorCode(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const QPDFExc& e) {
        if (e.getErrorCode() == qpdf_e_password) return pdferr::kPasswordRequired;
        if (e.getErrorCode() == qpdf_e_system) return pdferr::kAccessError;
        return pdferr::kInvalidFormat;
    } catch (const QPDFSystemError& e) {
        return errorCodeFromErrno(e.getErrno());
    } catch (const std::bad_alloc&) {
        return pdferr::kOutOfMemory;
    } catch (const RuntimeError& e) {
        return e.code();
    } catch (const std::system_error& e) {
        return errorCodeFromErrno(e.code().value());
    } catch (...) {
        return pdferr::kLibraryFailure;
    }
}

std::shared_ptr<PdfSource> PdfSource::open(const std::string& fileName, const std::string& password,
                                           OpenResult& result, std::int32_t& errorCode) {
    result = OpenResult::Failed;
    std::error_code ec;
    const auto path = pathFromUtf8(fileName);
    auto status = std::filesystem::status(path, ec);
    if (fileName.empty() || !std::filesystem::exists(status)) {
        errorCode = pdferr::kFileNotFound;
        return nullptr;
    }
    if (!std::filesystem::is_regular_file(status)) {
        errorCode = pdferr::kAccessError;
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
        source->pages_ = source->qpdf_->getAllPages();
    } catch (...) {
        errorCode = engineErrorCode(std::current_exception());
        if (errorCode == pdferr::kPasswordRequired) result = OpenResult::PasswordRequired;
        return nullptr;
    }
    if (source->pages_.empty()) {
        errorCode = pdferr::kInvalidFormat;
        return nullptr;
    }
    result = OpenResult::Ok;
    errorCode = pdferr::kNone;
    return source;
}

bool PdfSource::isPage(QPDFObjGen objGen) {
    if (pageSet_.empty()) {
        for (const auto& page : pages_) pageSet_.insert(page.getObjGen());
    }
    return pageSet_.count(objGen) != 0;
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
