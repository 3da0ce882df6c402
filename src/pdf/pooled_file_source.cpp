#include "pdf/pooled_file_source.h"

#include <qpdf/QPDFSystemError.hh>
#include <qpdf/QUtil.hh>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>
#include <stdexcept>
#include <system_error>

#include "base/file_system.h"
#include "base/text_encoding.h"
#include "pdf/file_opening.h"

namespace pagemeld {
namespace {

// Most recently used first. Only sources whose file is open and not pinned are here.
// Never destroyed: sources held by static objects may outlive any function-local
// static, and must still find these at exit.
std::list<PooledFileSource*>& openSources() {
    static auto* sources = new std::list<PooledFileSource*>();
    return *sources;
}

std::set<PooledFileSource*>& liveSources() {
    static auto* sources = new std::set<PooledFileSource*>();
    return *sources;
}

qpdf_offset_t wholeFileLimit = PooledFileSource::kWholeFileBytes;

bool isEol(char c) {
    return c == '\r' || c == '\n';
}

}  // namespace

PooledFileSource::PooledFileSource(std::string fileName) : fileName_(std::move(fileName)) {
    openFile();
    // The size when opened is the size read: a file that grows later is not chased.
    if (QUtil::seek(file_, 0, SEEK_END) != 0) throw QPDFSystemError(fileName_ + ": seek", errno);
    size_ = QUtil::tell(file_);
    if (size_ < 0) throw QPDFSystemError(fileName_ + ": tell", errno);
    if (size_ <= wholeFileLimit) {
        readWholeFile();
    } else {
        data_.clear();
    }
    liveSources().insert(this);
}

void PooledFileSource::readWholeFile() {
    openFile();
    data_.resize(static_cast<std::size_t>(size_));
    if (QUtil::seek(file_, 0, SEEK_SET) != 0) throw QPDFSystemError(fileName_ + ": seek", errno);
    const std::size_t got = std::fread(data_.data(), 1, data_.size(), file_);
    if (got != data_.size() && std::ferror(file_)) {
        throw QPDFSystemError(fileName_ + ": read", errno);
    }
    data_.resize(got);
    size_ = static_cast<qpdf_offset_t>(got);
    blockStart_ = 0;
    whole_ = true;
    closeFile();
}

qpdf_offset_t PooledFileSource::setWholeFileLimit(qpdf_offset_t bytes) {
    const qpdf_offset_t old = wholeFileLimit;
    wholeFileLimit = bytes;
    return old;
}

PooledFileSource::~PooledFileSource() {
    closeFile();
    liveSources().erase(this);
}

void PooledFileSource::openFile() {
    if (file_) {
        touch();
        return;
    }
    auto& lru = openSources();
    while (lru.size() >= kMaxOpenFiles) lru.back()->closeFile();
    file_ = openForReading(fileName_);
    // Whole blocks are read at once; the stream's own buffer would only copy them again.
    std::setvbuf(file_, nullptr, _IONBF, 0);
    if (!pinned_) {
        lru.push_front(this);
        lruPosition_ = lru.begin();
        inLru_ = true;
    }
}

void PooledFileSource::closeFile() {
    if (!file_) return;
    std::fclose(file_);
    file_ = nullptr;
    if (inLru_) {
        openSources().erase(lruPosition_);
        inLru_ = false;
    }
}

void PooledFileSource::touch() {
    if (!inLru_) return;
    auto& lru = openSources();
    if (lruPosition_ != lru.begin()) lru.splice(lru.begin(), lru, lruPosition_);
}

void PooledFileSource::pin() {
    if (whole_) return;
#ifdef _WIN32
    // Windows replaces no file while it is open: the bytes move to memory instead.
    readWholeFile();
    return;
#endif
    openFile();
    if (inLru_) {
        openSources().erase(lruPosition_);
        inLru_ = false;
    }
    pinned_ = true;
}

bool PooledFileSource::pinAllReading(const std::string& fileName) {
    std::error_code ec;
    if (!std::filesystem::exists(fileStatus(fileName, ec))) return false;
    bool found = false;
    for (PooledFileSource* source : liveSources()) {
        if (sameFile(source->fileName_, fileName)) {
            if (!source->pinned_) source->pin();
            found = true;
        }
    }
    return found;
}

bool PooledFileSource::loadBlockAt(qpdf_offset_t offset) {
    if (offset >= blockStart_ && offset < blockStart_ + static_cast<qpdf_offset_t>(data_.size()))
        return true;
    if (whole_ || offset >= size_) return false;
    openFile();
    if (QUtil::seek(file_, offset, SEEK_SET) != 0) {
        throw QPDFSystemError(fileName_ + ": seek", errno);
    }
    data_.resize(kBlockBytes);
    const std::size_t got = std::fread(data_.data(), 1, data_.size(), file_);
    if (got == 0 && std::ferror(file_)) throw QPDFSystemError(fileName_ + ": read", errno);
    data_.resize(got);
    blockStart_ = offset;
    return got > 0;
}

qpdf_offset_t PooledFileSource::findAndSkipNextEOL() {
    if (offset_ < 0) throw std::logic_error("PooledFileSource: offset < 0");
    // Up to the first end of line.
    while (offset_ < size_ && loadBlockAt(offset_)) {
        const char* begin = data_.data() + (offset_ - blockStart_);
        const char* end = data_.data() + data_.size();
        const char* found = std::find_if(begin, end, isEol);
        offset_ += found - begin;
        if (found != end) break;
    }
    if (offset_ >= size_ || !loadBlockAt(offset_)) {
        offset_ = size_;
        last_offset = size_;
        return size_;
    }
    const qpdf_offset_t result = offset_;
    // Past it and every end-of-line character that follows.
    while (offset_ < size_ && loadBlockAt(offset_) && isEol(data_[offset_ - blockStart_]))
        ++offset_;
    return result;
}

std::string const& PooledFileSource::getName() const {
    return fileName_;
}

qpdf_offset_t PooledFileSource::tell() {
    return offset_;
}

void PooledFileSource::seek(qpdf_offset_t offset, int whence) {
    switch (whence) {
        case SEEK_SET:
            offset_ = offset;
            break;
        case SEEK_END:
            offset_ = size_ + offset;
            break;
        case SEEK_CUR:
            offset_ += offset;
            break;
        default:
            throw std::logic_error("PooledFileSource: bad seek");
    }
    if (offset_ < 0) throw std::runtime_error(fileName_ + ": seek before the start of the file");
}

void PooledFileSource::rewind() {
    offset_ = 0;
}

size_t PooledFileSource::read(char* buffer, size_t length) {
    if (offset_ < 0) throw std::logic_error("PooledFileSource: offset < 0");
    last_offset = offset_;
    std::size_t done = 0;
    while (done < length && offset_ < size_) {
        // A long read past the block goes straight into the caller's buffer.
        const bool inBlock = offset_ >= blockStart_ &&
                             offset_ < blockStart_ + static_cast<qpdf_offset_t>(data_.size());
        if (!inBlock && !whole_ && length - done >= kBlockBytes) {
            openFile();
            if (QUtil::seek(file_, offset_, SEEK_SET) != 0) {
                throw QPDFSystemError(fileName_ + ": seek", errno);
            }
            const std::size_t wanted =
                std::min<std::size_t>(length - done, static_cast<std::size_t>(size_ - offset_));
            const std::size_t got = std::fread(buffer + done, 1, wanted, file_);
            if (got == 0) {
                if (std::ferror(file_)) throw QPDFSystemError(fileName_ + ": read", errno);
                break;
            }
            done += got;
            offset_ += static_cast<qpdf_offset_t>(got);
            continue;
        }
        if (!loadBlockAt(offset_)) break;
        const std::size_t at = static_cast<std::size_t>(offset_ - blockStart_);
        const std::size_t count = std::min(length - done, data_.size() - at);
        std::memcpy(buffer + done, data_.data() + at, count);
        done += count;
        offset_ += static_cast<qpdf_offset_t>(count);
    }
    return done;
}

void PooledFileSource::unreadCh(char) {
    if (offset_ > 0) --offset_;
}

}  // namespace pagemeld
