#include "pdf/light_page_counter.h"

#include <qpdf/QPDF.hh>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "base/file_system.h"
#include "base/text_encoding.h"
#include "pdf/pdf_engine.h"
#include "pdf/pdf_source.h"

namespace pagemeld {
namespace {

// Larger files are not read whole into memory just to be counted.
constexpr std::uintmax_t kMaxBytes = 256u << 20;
// How far from the start the header may stand.
constexpr std::size_t kHeaderWindow = 1024;

// The /Count of the root page-tree node, read with the trailer's /Encrypt entry
// renamed, so that qpdf reads the unencrypted structure without a password.
std::int32_t countFromPageTree(std::string bytes) {
    for (std::size_t at = bytes.find("/Encrypt"); at != std::string::npos;
         at = bytes.find("/Encrypt", at + 8)) {
        bytes[at + 5] = 'X';
    }
    QPDF qpdf;
    qpdf.setSuppressWarnings(true);
    qpdf.setAttemptRecovery(true);
    qpdf.processMemoryFile("light count", bytes.data(), bytes.size());
    QPDFObjectHandle count = qpdf.getRoot().getKey("/Pages").getKey("/Count");
    if (!count.isInteger()) return 0;
    const long long value = count.getIntValue();
    return value > 0 && value <= INT32_MAX ? static_cast<std::int32_t>(value) : 0;
}

// Counts page dictionaries by their "/Type /Page" entries: the last resort for a
// file whose structure qpdf cannot read at all.
std::int32_t countPageObjects(const std::string& bytes) {
    std::int32_t count = 0;
    for (std::size_t at = bytes.find("/Type"); at != std::string::npos;
         at = bytes.find("/Type", at + 5)) {
        std::size_t next = at + 5;
        while (next < bytes.size() && std::isspace(static_cast<unsigned char>(bytes[next]))) ++next;
        if (bytes.compare(next, 5, "/Page") != 0) continue;
        const std::size_t after = next + 5;
        if (after < bytes.size() && std::isalnum(static_cast<unsigned char>(bytes[after])))
            continue;
        ++count;
    }
    return count;
}

}  // namespace

std::int32_t countPagesLightly(const std::string& fileName, std::int32_t& errorCode) {
    std::error_code ec;
    auto status = fileStatus(fileName, ec);
    if (!std::filesystem::exists(status)) {
        errorCode = missingFileError(ec);
        return 0;
    }
    if (!std::filesystem::is_regular_file(status)) {
        errorCode = errcode::kPathFileAccess;
        return 0;
    }
    std::ifstream in(systemPath(fileName), std::ios::binary | std::ios::ate);
    const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : -1;
    in.seekg(0);
    if (!in || size < 0) {
        errorCode = errcode::kPermissionDenied;
        return 0;
    }
    // A PDF announces itself near its start, as qpdf also allows; a file that does not
    // is some other kind of file, however it is named.
    std::string bytes(kHeaderWindow, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (bytes.find("%PDF-") == std::string::npos) {
        errorCode = errcode::kNotPdf;
        return 0;
    }
    if (static_cast<std::uintmax_t>(size) > kMaxBytes) {
        errorCode = errcode::kInvalidFileFormat;
        return 0;
    }
    bytes.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    std::int32_t count = 0;
    try {
        count = countFromPageTree(bytes);
    } catch (...) {
        count = 0;
    }
    if (count == 0) count = countPageObjects(bytes);
    errorCode = count > 0 ? errcode::kNone : errcode::kInvalidFileFormat;
    return count;
}

}  // namespace pagemeld
