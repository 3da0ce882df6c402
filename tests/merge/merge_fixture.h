// A window model over scripted services and a recording engine for the merge tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/form1.h"
#include "errors/error_handler.h"
#include "pdf/qpdf_engine.h"
#include "support/fake_services.h"
#include "support/form_harness.h"
#include "support/temp_dir.h"
#include "support/test_pdfs.h"

namespace pagemeld::testing {

// The qpdf engine with every call written down as "Member" or "Member|argument|...",
// and a few failures a test can ask for.
class SpyEngine : public PdfEngine {
public:
    std::int32_t LoadFromFile(const std::string& f) override {
        note("LoadFromFile|" + f);
        if (refuseLoad.count(f)) {
            real.SelectDocument(0);
            return 0;
        }
        return real.LoadFromFile(f);
    }
    std::int32_t SelectedDocument() const override {
        const_cast<SpyEngine*>(this)->note("SelectedDocument");
        return real.SelectedDocument();
    }
    void SelectDocument(std::int32_t id) override { real.SelectDocument(id); }
    void RemoveDocument(std::int32_t id) override {
        note("RemoveDocument");
        real.RemoveDocument(id);
    }
    std::int32_t pagecount() override { return real.pagecount(); }
    std::int32_t EncryptionStatus() const override {
        const_cast<SpyEngine*>(this)->note("EncryptionStatus");
        return real.EncryptionStatus();
    }
    std::int32_t Decrypt() override {
        note("Decrypt");
        return real.Decrypt();
    }
    std::int32_t SetPassword(const std::string& p) override {
        note("SetPassword|" + p);
        return real.SetPassword(p);
    }
    std::int32_t DecryptFile(const std::string& in, const std::string& out,
                             const std::string& p) override {
        note("DecryptFile|" + in + "|" + out + "|" + p);
        return real.DecryptFile(in, out, p);
    }
    std::int32_t ExtractPages(std::int32_t first, std::int32_t count) override {
        return real.ExtractPages(first, count);
    }
    std::int32_t ExtractPageRanges(const std::string& r) override {
        return real.ExtractPageRanges(r);
    }
    std::int32_t MergeDocument(std::int32_t id) override { return real.MergeDocument(id); }
    std::int32_t SaveToFile(const std::string& f) override { return real.SaveToFile(f); }
    void SetInformation(std::int32_t key, const std::string& text) override {
        real.SetInformation(key, text);
    }
    void ClearFileList(const std::string& l) override {
        note("ClearFileList|" + l);
        real.ClearFileList(l);
    }
    void SetFileListInformation(const std::string& l, std::int32_t key,
                                const std::string& text) override {
        real.SetFileListInformation(l, key, text);
    }
    void AddToFileList(const std::string& l, const std::string& f) override {
        note("AddToFileList|" + l + "|" + f);
        real.AddToFileList(l, f);
    }
    std::int32_t MergeFileList(const std::string& l, const std::string& out) override {
        note("MergeFileList|" + l + "|" + out);
        return real.MergeFileList(l, out);
    }
    void SetFileListCheck(const std::string& l, FileListCheck check) override {
        note("SetFileListCheck|" + l);
        real.SetFileListCheck(l, std::move(check));
    }
    std::vector<ListedFileOutcome> FileListOutcomes(const std::string& l) const override {
        return real.FileListOutcomes(l);
    }
    std::int32_t DAOpenFile(const std::string& f, const std::string& p) override {
        note("DAOpenFile|" + f + "|" + p);
        return real.DAOpenFile(f, p);
    }
    std::int32_t DAGetPageCount(std::int32_t h) override { return real.DAGetPageCount(h); }
    void DACloseFile(std::int32_t h) override {
        note("DACloseFile");
        real.DACloseFile(h);
    }
    std::int32_t LastErrorCode() const override { return real.LastErrorCode(); }
    std::string LastErrorFile() const override { return real.LastErrorFile(); }

    // The recorded calls whose member is one of `members`, in order.
    std::vector<std::string> callsOf(const std::set<std::string>& members) const {
        std::vector<std::string> picked;
        for (const auto& call : calls) {
            if (members.count(call.substr(0, call.find('|')))) picked.push_back(call);
        }
        return picked;
    }

    QpdfEngine real;
    std::vector<std::string> calls;
    std::set<std::string> refuseLoad;  // LoadFromFile fails for these paths
    // Sees every recorded call as it is made; may throw to stand for a failing call.
    std::function<void(const std::string&)> onCall;

private:
    void note(std::string call) {
        calls.push_back(std::move(call));
        if (onCall) onCall(calls.back());
    }
};

class MergeTest : public ::testing::Test, protected FormHarness<SpyEngine> {
protected:
    MergeTest() { form.Form_Load(""); }

    // Column `col` of file rows 1..count.
    std::vector<std::string> column(int col) const {
        std::vector<std::string> texts;
        for (int r = 1; r <= form.state.mgrid_count; ++r)
            texts.push_back(form.merge_grid.textMatrix(r, col));
        return texts;
    }
    // Rows whose cells are highlighted.
    std::vector<int> highlightedRows() const {
        std::vector<int> rows;
        for (int r = 0; r < form.merge_grid.rows(); ++r) {
            if (form.merge_grid.highlighted(r)) rows.push_back(r);
        }
        return rows;
    }
};

}  // namespace pagemeld::testing
