// The engine on arbitrary bytes as a file: open, count, choose pages, write and merge
// must each succeed or fail cleanly (with an error number), never crash or leave a
// half-written file, and whatever is written must open again with the pages it should
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
#include "pdf/light_page_counter.h"
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

// After a write: either the file is there and opens with `pages` pages, or the write
// failed, said why, and left nothing.
void checkWritten(const pagemeld::PdfFailure& failure, const std::string& file,
                  std::int32_t pages) {
    if (failure) {
        check(!fs::exists(file), "a failed write left a file behind");
        return;
    }
    check(fs::exists(file), "a write reported done but wrote nothing");
    pagemeld::QpdfEngine reader;
    const pagemeld::OpenedDocument written = reader.open(file, "");
    check(written.opened(), "a written file does not open again");
    check(written.pageCount() == pages, "a written file has the wrong number of pages");
    fs::remove(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 64 * 1024) return -1;
    const std::string good = goodPdf();
    const std::string input = pagemeld::fuzzing::writeScratchFile("input.pdf", data, size);
    const std::string out = (pagemeld::fuzzing::scratchFolder() / "out.pdf").string();

    pagemeld::QpdfEngine engine;
    const pagemeld::OpenedDocument document = engine.open(input, "");
    if (!document.opened()) {
        check(document.locked || document.failure.code != 0,
              "a failed open without an error number");
        check(document.pages.empty(), "a failed open has pages");
    } else {
        const std::int32_t pages = document.pageCount();
        check(pages > 0, "an opened document without pages");
        checkWritten(engine.write(out, document.pageRun(1, 2), {}), out, std::min(pages, 2));
        const auto chosen = pagemeld::parsePageRanges("2-1,1,3-", pages);
        if (!chosen.empty()) {
            checkWritten(engine.write(out, document.pagesNumbered(chosen), {}), out,
                         static_cast<std::int32_t>(chosen.size()));
        }
        // The fuzzed document after a sound one.
        std::vector<pagemeld::PageRef> both = engine.open(good, "").pages;
        check(both.size() == 3, "the sound document does not open");
        both.insert(both.end(), document.pages.begin(), document.pages.end());
        checkWritten(engine.write(out, both, {}), out, 3 + pages);
    }

    // Document by document, with a sound file after it: always written, with at least
    // the sound file's pages.
    pagemeld::PdfFailure failure;
    auto writer = engine.startDocument(out, failure);
    check(writer != nullptr, "the output cannot be made");
    writer->append(document.pages);
    writer->append(engine.open(good, "").pages);
    check(!writer->commit({}), "a merge with a sound file wrote nothing");
    {
        pagemeld::QpdfEngine reader;
        check(reader.open(out, "").pageCount() >= 3, "a merge lost the sound file's pages");
    }
    fs::remove(out);

    // The light page counter reads files the full load refuses.
    std::int32_t error = 0;
    check(pagemeld::countPagesLightly(input, error) >= 0, "a negative light page count");
    return 0;
}
