// The engine on arbitrary bytes as a file: load, count, extract, save and merge must
// each succeed or fail cleanly (0 with an error number), never crash or leave a
// half-written file, and whatever is saved must load again with the pages it should
// hold.
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "fuzz_support.h"
#include "pdf/page_ranges.h"
#include "pdf/qpdf_engine.h"

namespace {

namespace fs = std::filesystem;

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken promise: %s\n", what);
        std::abort();
    }
}

// A sound three-page document to merge the fuzzed one with.
const std::string& goodPdf() {
    static const std::string path = [] {
        QPDF pdf;
        pdf.emptyPDF();
        QPDFPageDocumentHelper pages(pdf);
        for (int i = 0; i < 3; ++i) {
            auto page = pdf.makeIndirectObject(QPDFObjectHandle::parse(
                "<< /Type /Page /MediaBox [0 0 200 200] /Resources << >> >>"));
            pages.addPage(QPDFPageObjectHelper(page), false);
        }
        const std::string file = (pagemeld::fuzzing::scratchFolder() / "good.pdf").string();
        QPDFWriter writer(pdf, file.c_str());
        writer.write();
        return file;
    }();
    return path;
}

// After a save: either the file is there and loads with `pages` pages, or the save
// failed, said why, and left nothing.
void checkSaved(pagemeld::QpdfEngine& engine, std::int32_t saved, const std::string& file,
                std::int32_t pages) {
    if (saved == 0) {
        check(engine.LastErrorCode() != 0, "a failed save without an error number");
        check(!fs::exists(file), "a failed save left a file behind");
        return;
    }
    check(fs::exists(file), "a save reported done but wrote nothing");
    pagemeld::QpdfEngine reader;
    check(reader.LoadFromFile(file) != 0, "a saved file does not load again");
    check(reader.pagecount() == pages, "a saved file has the wrong number of pages");
    fs::remove(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 64 * 1024) return -1;
    const std::string good = goodPdf();
    const std::string input = pagemeld::fuzzing::writeScratchFile("input.pdf", data, size);
    const std::string out = (pagemeld::fuzzing::scratchFolder() / "out.pdf").string();

    pagemeld::QpdfEngine engine;
    const std::int32_t id = engine.LoadFromFile(input);
    if (id == 0) {
        check(engine.LastErrorCode() != 0, "a failed load without an error number");
        check(engine.SelectedDocument() == 0, "a failed load left a document selected");
    } else {
        check(engine.SelectedDocument() == id, "a loaded document is not selected");
        const std::int32_t pages = engine.pagecount();
        check(pages >= 0, "a negative page count");
        if (engine.EncryptionStatus() == 0 && pages > 0) {
            if (engine.ExtractPages(1, 2) != 0) {
                checkSaved(engine, engine.SaveToFile(out), out, std::min(pages, 2));
            }
            engine.SelectDocument(id);
            const std::string ranges = "2-1,1,3-";
            if (engine.ExtractPageRanges(ranges) != 0) {
                const auto expected = pagemeld::parsePageRanges(ranges, pages).size();
                checkSaved(engine, engine.SaveToFile(out), out,
                           static_cast<std::int32_t>(expected));
            }
            // The fuzzed document merged onto a sound one, and the other way round.
            std::int32_t goodId = engine.LoadFromFile(good);
            check(goodId != 0, "the sound document does not load");
            if (engine.MergeDocument(id) != 0) {
                checkSaved(engine, engine.SaveToFile(out), out, 3 + pages);
            }
            engine.RemoveDocument(goodId);
            goodId = engine.LoadFromFile(good);
            engine.SelectDocument(id);
            if (engine.MergeDocument(goodId) != 0) {
                checkSaved(engine, engine.SaveToFile(out), out, pages + 3);
            }
        }
        engine.RemoveDocument(id);
    }

    // A list with a sound file in it is always written, with at least its pages; the
    // result counts the files merged before the first that could not be.
    engine.ClearFileList("fuzz");
    engine.AddToFileList("fuzz", input);
    engine.AddToFileList("fuzz", good);
    const std::int32_t merged = engine.MergeFileList("fuzz", out);
    check(merged >= 0 && merged <= 2, "a list merge counts more files than it has");
    check(fs::exists(out), "a list merge wrote nothing");
    {
        pagemeld::QpdfEngine reader;
        check(reader.LoadFromFile(out) != 0 && reader.pagecount() >= 3,
              "a list merge lost the sound file's pages");
    }
    fs::remove(out);

    // The light page counter reads files the full load refuses.
    const std::int32_t handle = engine.DAOpenFile(input, "");
    if (handle != 0) {
        check(engine.DAGetPageCount(handle) >= 0, "a negative light page count");
        engine.DACloseFile(handle);
    }
    return 0;
}
