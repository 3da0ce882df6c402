// A qpdf input source that keeps its file open only while a bounded pool allows:
// a merge of thousands of loaded documents must not run out of file handles, yet
// reading one document must not reopen its file on every access.
#pragma once

#include <qpdf/FileInputSource.hh>
#include <qpdf/InputSource.hh>

#include <list>
#include <memory>
#include <string>

namespace pagemeld {

class PooledFileSource : public InputSource {
public:
    // How many files all pooled sources keep open at once.
    static constexpr std::size_t kMaxOpenFiles = 48;

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
    // replace an open file, its bytes are kept in memory and the file is let go.
    void pin();

    const std::string& fileName() const { return fileName_; }

    // Pins every live source reading `fileName` (compared as the same file on disk);
    // true when there was one.
    static bool pinAllReading(const std::string& fileName);

private:
    void open();
    void close();
    void touch();

    std::string fileName_;
    qpdf_offset_t offset_ = 0;
    std::unique_ptr<InputSource> file_;
    bool pinned_ = false;
    std::list<PooledFileSource*>::iterator lruPosition_;
    bool inLru_ = false;
};

}  // namespace pagemeld
