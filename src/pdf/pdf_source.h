// One opened PDF file. qpdf parses lazily, so an open source costs little until
// its pages are written; documents share sources through shared pointers.
#pragma once

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <unordered_map>
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

// Where a stream's raw data lies in its file: `length` bytes from `offset`.
struct RawStreamSpan {
    qpdf_offset_t offset = 0;
    std::size_t length = 0;
};

// One bookmark of a source as read from its outline tree.
struct SourceOutlineItem {
    QPDFObjectHandle item;
    // The explicit destination array it leads to (named destinations and GoTo actions
    // resolved), or null when it leads to no page of this file.
    QPDFObjectHandle destination;
    // An action other than GoTo (a web address, another file, ...), or null.
    QPDFObjectHandle otherAction;
    bool open = false;
    std::vector<SourceOutlineItem> kids;
};

class PdfSource {
public:
    enum class OpenResult { Ok, PasswordRequired, Failed };

    // Opens `fileName` with `password`; on failure sets `errorCode` (errcode numbers).
    static std::shared_ptr<PdfSource> open(const std::string& fileName, const std::string& password,
                                           OpenResult& result, std::int32_t& errorCode);

    QPDF& qpdf() { return *qpdf_; }
    const std::string& fileName() const { return fileName_; }
    bool encrypted() const { return encrypted_; }
    const std::vector<QPDFObjectHandle>& pages() const { return pages_; }
    std::string version() const { return qpdf_->getPDFVersion(); }
    // Where the raw data of `stream` lies in the file, when the bytes there are exactly
    // what qpdf reads as that data, so that they can be copied without holding them;
    // nothing when that is not certain: an encrypted file, one that qpdf read only with
    // repairs, or a stream whose /Length does not end at its "endstream".
    std::optional<RawStreamSpan> rawStreamSpan(QPDFObjectHandle stream);
    // Reads up to `length` bytes of the file from `offset`; fewer only at its end.
    std::size_t readRaw(qpdf_offset_t offset, char* buffer, std::size_t length);

    // The document information entries that are text, as UTF-8.
    std::vector<std::pair<std::string, std::string>> information();

    // True when `objGen` is one of this file's page objects.
    bool isPage(QPDFObjGen objGen);
    // The 0-based position of page `objGen` in this file.
    std::optional<std::size_t> pageIndex(QPDFObjGen objGen);

    // Read on first use and kept while the source is open, so that splitting a file
    // into many pieces reads them once.
    // The bookmarks, in order (bounded depth, loops cut).
    const std::vector<SourceOutlineItem>& outline();
    // Named destinations (catalog /Dests and the /Names /Dests tree), name as UTF-8 ->
    // explicit destination array.
    const std::map<std::string, QPDFObjectHandle>& namedDestinations();
    // An explicit destination array for a /Dest or GoTo /D value (array, name, string
    // or a dictionary holding /D); null when it names nothing known.
    QPDFObjectHandle resolveDestination(QPDFObjectHandle destination);
    // The page a destination array leads to, when it is a page of this file.
    static std::optional<QPDFObjGen> destinationPage(QPDFObjectHandle destination);
    bool hasPageLabels();

private:
    PdfSource() = default;

    std::string fileName_;
    std::shared_ptr<PooledFileSource> input_;
    std::unique_ptr<QPDF> qpdf_;
    bool encrypted_ = false;
    // The file's bytes are the objects qpdf reads, at the offsets it reads them.
    bool rawBytesTrusted_ = false;
    // qpdf had to repair what it read (a rebuilt cross-reference table, a stream length
    // found by searching): the bytes at an object's offset may not be what qpdf made of them.
    bool repaired_ = false;
    bool repaired();
    void readOutline(QPDFObjectHandle first, int depth,
                     std::unordered_set<QPDFObjGen, ObjGenHash>& seen,
                     std::vector<SourceOutlineItem>& items, std::size_t& total);

    std::vector<QPDFObjectHandle> pages_;
    std::unordered_map<QPDFObjGen, std::size_t, ObjGenHash> pageIndex_;
    std::optional<std::vector<SourceOutlineItem>> outline_;
    std::optional<std::map<std::string, QPDFObjectHandle>> namedDestinations_;
    std::optional<bool> hasPageLabels_;
};

// The errcode number for whatever qpdf or the system threw.
std::int32_t engineErrorCode(std::exception_ptr error);

// Why a file that could not be found by its name was not found: usually it is not
// there (53), but a name too long for the file system is a bad name (52), and a
// folder that may not be read is denied (70).
std::int32_t missingFileError(const std::error_code& statusError);

}  // namespace pagemeld
