// One opened PDF file. qpdf parses lazily, so an open source costs little until
// its pages are written; documents share sources through shared pointers.
#pragma once

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "pdf/pooled_file_source.h"

namespace pagemeld {

struct ObjGenHash {
    std::size_t operator()(QPDFObjGen objGen) const {
        return (static_cast<std::size_t>(objGen.getObj()) << 16) ^
               static_cast<std::size_t>(objGen.getGen());
    }
};

class PdfSource {
public:
    enum class OpenResult { Ok, PasswordRequired, Failed };

    // Opens `fileName` with `password`; on failure sets `errorCode` (pdferr numbers).
    static std::shared_ptr<PdfSource> open(const std::string& fileName, const std::string& password,
                                           OpenResult& result, std::int32_t& errorCode);

    QPDF& qpdf() { return *qpdf_; }
    const std::string& fileName() const { return fileName_; }
    bool encrypted() const { return encrypted_; }
    const std::vector<QPDFObjectHandle>& pages() const { return pages_; }
    std::string version() const { return qpdf_->getPDFVersion(); }
    // The document information entries that are text, as UTF-8.
    std::vector<std::pair<std::string, std::string>> information();

    // True when `objGen` is one of this file's page objects.
    bool isPage(QPDFObjGen objGen);

private:
    PdfSource() = default;

    std::string fileName_;
    std::shared_ptr<PooledFileSource> input_;
    std::unique_ptr<QPDF> qpdf_;
    bool encrypted_ = false;
    std::vector<QPDFObjectHandle> pages_;
    std::unordered_set<QPDFObjGen, ObjGenHash> pageSet_;
};

// The pdferr number for whatever qpdf or the system threw.
std::int32_t engineErrorCode(std::exception_ptr error);

}  // namespace pagemeld
