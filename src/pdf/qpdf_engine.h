// The PDF engine on qpdf.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "pdf/pdf_document.h"
#include "pdf/pdf_engine.h"

namespace pagemeld {

class QpdfEngine : public PdfEngine {
public:
    QpdfEngine() = default;

    std::int32_t LoadFromFile(const std::string& fileName) override;
    std::int32_t SelectedDocument() const override { return selected_; }
    void SelectDocument(std::int32_t id) override;
    void RemoveDocument(std::int32_t id) override;
    std::int32_t pagecount() override;
    std::int32_t EncryptionStatus() const override;
    std::int32_t Decrypt() override;
    std::int32_t SetPassword(const std::string& password) override;
    std::int32_t DecryptFile(const std::string& input, const std::string& output,
                             const std::string& password) override;
    std::int32_t ExtractPages(std::int32_t first, std::int32_t count) override;
    std::int32_t ExtractPageRanges(const std::string& ranges) override;
    std::int32_t MergeDocument(std::int32_t id) override;
    std::int32_t SaveToFile(const std::string& fileName) override;
    void SetInformation(std::int32_t key, const std::string& text) override;
    void ClearFileList(const std::string& listName) override;
    void AddToFileList(const std::string& listName, const std::string& fileName) override;
    void SetFileListInformation(const std::string& listName, std::int32_t key,
                                const std::string& text) override;
    std::int32_t MergeFileList(const std::string& listName, const std::string& outputFile) override;
    void SetFileListCheck(const std::string& listName, FileListCheck check) override;
    std::vector<ListedFileOutcome> FileListOutcomes(const std::string& listName) const override;
    std::int32_t DAOpenFile(const std::string& fileName, const std::string& password) override;
    std::int32_t DAGetPageCount(std::int32_t handle) override;
    void DACloseFile(std::int32_t handle) override;
    std::int32_t LastErrorCode() const override { return lastError_; }
    std::string LastErrorFile() const override { return lastErrorFile_; }

    // How many documents are held (for tests and leak checks).
    std::size_t documentCount() const { return documents_.size(); }

private:
    PdfDocument* selected();
    const PdfDocument* selected() const;
    // Selects a new document made of `pages` (or nothing, returning 0, when empty).
    std::int32_t addDerived(const PdfDocument& parent, std::vector<PageRef> pages);
    std::int32_t fail(std::int32_t errorCode, const std::string& fileName = {});
    std::int32_t succeed(std::int32_t result);
    std::int32_t nextId();
    // Keeps `document` under a new id, selects it and clears the last error.
    std::int32_t select(PdfDocument document);
    // Registers a document for `fileName` as LoadFromFile does, from an open attempt.
    std::int32_t addLoaded(const std::string& fileName, const std::shared_ptr<PdfSource>& source,
                           PdfSource::OpenResult result, std::int32_t errorCode);
    // When a merge's output cannot be created: the list's check still sees every file,
    // so that its caller says what it would have said of each before the output's own
    // failure.
    void checkWithoutOutput(const std::vector<std::string>& files, const FileListCheck& check,
                            std::vector<ListedFileOutcome>& outcomes);

    std::map<std::int32_t, PdfDocument> documents_;
    std::int32_t selected_ = 0;
    std::int32_t lastId_ = 0;
    std::int32_t lastError_ = 0;
    std::string lastErrorFile_;
    std::map<std::string, std::vector<std::string>> fileLists_;
    std::map<std::string, std::vector<ListedFileOutcome>> fileListOutcomes_;
    std::map<std::string, FileListCheck> fileListChecks_;
    // Per list: "/Author" -> text, an empty text removing the entry.
    std::map<std::string, std::map<std::string, std::string>> fileListInformation_;
    std::map<std::int32_t, std::int32_t> directAccess_;  // handle -> page count
};

}  // namespace pagemeld
