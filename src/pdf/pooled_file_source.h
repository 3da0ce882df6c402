// A qpdf input source that asks the system as little as it can. qpdf reads a file
// in many small steps and asks for its position between them; a plain file source
// makes a system call for each, hundreds per input. Here a small file is read whole
// into memory at once and then needs no handle at all; a larger one is read in
// blocks and keeps its position itself. A larger file is kept open only while a
// bounded pool allows: a merge of thousands of loaded documents must not run out of
// file handles, yet reading one document must not reopen its file on every access.
#pragma once

#include <qpdf/InputSource.hh>

#include <cstdio>
#include <list>
#include <memory>
#include <string>

namespace pagemeld {

class PooledFileSource : public InputSource {
public:
    // How many files all pooled sources keep open at once.
    static constexpr std::size_t kMaxOpenFiles = 48;
    // Files up to this size are read whole when opened.
    static constexpr qpdf_offset_t kWholeFileBytes = 4 << 20;
    // Changes that size for sources opened from now on (tests read small files in
    // blocks with it); returns the size it replaces.
    static qpdf_offset_t setWholeFileLimit(qpdf_offset_t bytes);
    // Larger files are read in blocks of this size.
    static constexpr std::size_t kBlockBytes = 64 << 10;

    // Opens the file and reads it whole when it is small; throws as qpdf does
    // (QPDFSystemError) when it cannot be opened or read.
    explicit PooledFileSource(std::string fileName);
    ~PooledFileSource() override;
    PooledFileSource(const PooledFileSource&) = delete;
    PooledFileSource& operator=(const PooledFileSource&) = delete;

    qpdf_offset_t findAndSkipNextEOL() override;
    std::string const& getName() const override;
    qpdf_offset_t tell() override;
    void seek(qpdf_offset_t offset, int whence) override;
    void rewind() override;
    size_t read(char* buffer, size_t length) override;
    void unreadCh(char ch) override;

    // Keeps the document readable when a save writes over its own file: from now on
    // outside the pool's count, the file is kept open (an open handle still reads the
    // old contents after a rename replaced the file) or, on Windows, which refuses to
    // replace an open file, its bytes are read into memory and the file is let go. A
    // file read whole needs nothing more.
    void pin();

    const std::string& fileName() const { return fileName_; }
    bool readWhole() const { return whole_; }
    // The file's size when it was opened.
    qpdf_offset_t size() const { return size_; }

    // Pins every live source reading `fileName` (compared as the same file on disk);
    // true when there was one.
    static bool pinAllReading(const std::string& fileName);

private:
    void openFile();
    void closeFile();
    void readWholeFile();
    void touch();
    // Makes the block hold `offset` (below size_); false when the file yields nothing there.
    bool loadBlockAt(qpdf_offset_t offset);

    std::string fileName_;
    std::FILE* file_ = nullptr;
    qpdf_offset_t size_ = 0;
    qpdf_offset_t offset_ = 0;
    // The whole file, or the block of it that starts at blockStart_.
    std::string data_;
    qpdf_offset_t blockStart_ = 0;
    bool whole_ = false;
    bool pinned_ = false;
    std::list<PooledFileSource*>::iterator lruPosition_;
    bool inLru_ = false;
};

}  // namespace pagemeld
