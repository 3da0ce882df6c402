#include "pdf/pooled_file_source.h"

#include <qpdf/BufferInputSource.hh>

#include <cstdio>
#include <filesystem>
#include <set>
#include <system_error>

#include "app/text_encoding.h"
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

}  // namespace

PooledFileSource::PooledFileSource(std::string fileName) : fileName_(std::move(fileName)) {
    liveSources().insert(this);
}

PooledFileSource::~PooledFileSource() {
    close();
    liveSources().erase(this);
}

void PooledFileSource::open() {
    if (file_) {
        touch();
        return;
    }
    auto& lru = openSources();
    while (lru.size() >= kMaxOpenFiles) lru.back()->close();
    file_ = std::make_unique<FileInputSource>(fileName_.c_str(), openForReading(fileName_), true);
    file_->seek(offset_, SEEK_SET);
    file_->setLastOffset(last_offset);
    if (!pinned_) {
        lru.push_front(this);
        lruPosition_ = lru.begin();
        inLru_ = true;
    }
}

void PooledFileSource::close() {
    if (!file_) return;
    offset_ = file_->tell();
    last_offset = file_->getLastOffset();
    file_.reset();
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
    open();
#ifdef _WIN32
    // Windows replaces no file while it is open: the bytes move to memory instead.
    if (!pinned_) {
        const qpdf_offset_t offset = file_->tell();
        std::string bytes;
        char buffer[1 << 16];
        file_->seek(0, SEEK_SET);
        while (const size_t count = file_->read(buffer, sizeof buffer)) bytes.append(buffer, count);
        file_ = std::make_unique<BufferInputSource>(fileName_, bytes);
        file_->seek(offset, SEEK_SET);
        file_->setLastOffset(last_offset);
    }
#endif
    if (inLru_) {
        openSources().erase(lruPosition_);
        inLru_ = false;
    }
    pinned_ = true;
}

bool PooledFileSource::pinAllReading(const std::string& fileName) {
    std::error_code ec;
    const auto target = pathFromUtf8(fileName);
    if (!std::filesystem::exists(target, ec)) return false;
    bool found = false;
    for (PooledFileSource* source : liveSources()) {
        if (std::filesystem::equivalent(pathFromUtf8(source->fileName_), target, ec) && !ec) {
            if (!source->pinned_) source->pin();
            found = true;
        }
    }
    return found;
}

qpdf_offset_t PooledFileSource::findAndSkipNextEOL() {
    open();
    qpdf_offset_t result = file_->findAndSkipNextEOL();
    last_offset = file_->getLastOffset();
    return result;
}

std::string const& PooledFileSource::getName() const {
    return fileName_;
}

qpdf_offset_t PooledFileSource::tell() {
    if (!file_) return offset_;
    return file_->tell();
}

void PooledFileSource::seek(qpdf_offset_t offset, int whence) {
    open();
    file_->seek(offset, whence);
}

void PooledFileSource::rewind() {
    open();
    file_->rewind();
}

size_t PooledFileSource::read(char* buffer, size_t length) {
    open();
    size_t count = file_->read(buffer, length);
    last_offset = file_->getLastOffset();
    return count;
}

void PooledFileSource::unreadCh(char ch) {
    open();
    file_->unreadCh(ch);
}

}  // namespace pagemeld
