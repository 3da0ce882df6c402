// The PDF engine: every read and write of PDF content goes through it. It holds
// loaded documents by whole-number id; one of them is selected, and page and
// save operations act on the selected one. A result of 0 means failure.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/runtime_error.h"  // LastErrorCode() gives its errcode numbers

namespace pagemeld {

// What the last MergeFileList did with one listed file.
enum class ListedFileOutcome {
    Merged,
    NotLoaded,      // no PDF, damaged beyond repair, missing, unreadable
    NeedsPassword,  // its user password is unknown
    NotMerged,      // it opened, but its pages could not be written into the output
    NotReached,     // the merge stopped before it (the output could not be written)
    LeftOut,        // the list's check gave no file for it
};

// A list's check of one file during its merge: gets the file's 1-based position, and
// returns the name of the file to merge there ("" leaves it out).
using FileListCheck = std::function<std::string(std::int32_t position)>;

class PdfEngine {
public:
    virtual ~PdfEngine() = default;

    // Loads a file; returns its new id (never 0) and selects it. A file whose user
    // password is unknown still loads (EncryptionStatus nonzero; page work waits for
    // Decrypt or SetPassword). A file that is no PDF returns 0 and leaves no
    // document selected.
    virtual std::int32_t LoadFromFile(const std::string& fileName) = 0;
    virtual std::int32_t SelectedDocument() const = 0;
    // An unknown id leaves no document selected.
    virtual void SelectDocument(std::int32_t id) = 0;
    // Unknown ids and 0 are ignored. Removing the selected document unselects it.
    virtual void RemoveDocument(std::int32_t id) = 0;
    // Pages of the selected document; 0 when none is selected.
    virtual std::int32_t pagecount() = 0;
    // Nonzero when the selected document's file is encrypted.
    virtual std::int32_t EncryptionStatus() const = 0;
    // Nonzero when the selected document opens without a password.
    virtual std::int32_t Decrypt() = 0;
    // Opens the selected document with its user or owner password; 0 = wrong.
    virtual std::int32_t SetPassword(const std::string& password) = 0;
    // Writes an unencrypted copy of `input` to `output`; 0 = failed.
    virtual std::int32_t DecryptFile(const std::string& input, const std::string& output,
                                     const std::string& password) = 0;
    // A new document with `count` pages of the selected one from `first` (1-based),
    // cut at the last page; it becomes the selected one. 0 when it would be empty.
    virtual std::int32_t ExtractPages(std::int32_t first, std::int32_t count) = 0;
    // Items "a" or "a-b" separated by ","; "3-1" gives pages 3, 2, 1. Pages beyond
    // the document are left out. 0 (nothing selected) when no page remains.
    virtual std::int32_t ExtractPageRanges(const std::string& ranges) = 0;
    // Appends the pages of document `id` to the selected one; 0 = failed.
    virtual std::int32_t MergeDocument(std::int32_t id) = 0;
    // Saves the selected document atomically; 0 = not created (nothing left behind).
    virtual std::int32_t SaveToFile(const std::string& fileName) = 0;
    // Keys 1 Author, 2 Title, 3 Subject, 4 Keywords, 5 Creator, 6 Producer; an
    // empty text removes the entry.
    virtual void SetInformation(std::int32_t key, const std::string& text) = 0;

    // Empties the list, and forgets information entries set for its output.
    virtual void ClearFileList(const std::string& listName) = 0;
    virtual void AddToFileList(const std::string& listName, const std::string& fileName) = 0;
    // An information entry (keys as SetInformation) for the list's merged output, in
    // place of the first file's; an empty text removes the entry.
    virtual void SetFileListInformation(const std::string& listName, std::int32_t key,
                                        const std::string& text) = 0;
    // Merges the listed files into `outputFile` and returns how many leading files
    // were merged. A file that cannot be merged is left out and the others are still
    // merged in order; the output is written when at least one file was merged.
    virtual std::int32_t MergeFileList(const std::string& listName,
                                       const std::string& outputFile) = 0;
    // Lets the list's merge check each file as it comes to it, so that a caller that
    // must look at every file (its encryption, say) does not open it a second time.
    // For each file the merge loads it as LoadFromFile would (selected; nothing
    // selected when it cannot be loaded) and calls `check`: the file is merged as
    // loaded when the check returns its name, another file (a decrypted copy) when it
    // returns that one's name, nothing when it returns "". The document is removed
    // after the check. An exception thrown by the check ends the merge without output
    // and reaches the caller of MergeFileList as it was thrown. ClearFileList removes
    // the check.
    virtual void SetFileListCheck(const std::string& listName, FileListCheck check) = 0;
    // One outcome per listed file of the list's last merge, in list order, so that a
    // caller learns each file's fate without opening it a second time. A file counts
    // as merged once its pages were written, even when the output then failed.
    virtual std::vector<ListedFileOutcome> FileListOutcomes(const std::string& listName) const = 0;

    // A light page counter for files a full load refuses; handle 0 = failed, and
    // LastErrorCode then tells a file with no PDF header (kNotPdf) from a PDF too
    // damaged to count (kInvalidFileFormat) and from one that cannot be read.
    virtual std::int32_t DAOpenFile(const std::string& fileName, const std::string& password) = 0;
    virtual std::int32_t DAGetPageCount(std::int32_t handle) = 0;
    virtual void DACloseFile(std::int32_t handle) = 0;
    // The errcode number of the last failure of any member; 0 after a success.
    virtual std::int32_t LastErrorCode() const = 0;
    // The file the last failure concerns (an input that could not be read, or the
    // output that could not be written), or empty when it concerns none.
    virtual std::string LastErrorFile() const = 0;
};

}  // namespace pagemeld
