// Streams larger than the writer's block (scanned pages): their data must arrive in
// the output exactly as qpdf reads it from the input, whichever way it passes.
#include <gtest/gtest.h>

#include <qpdf/QPDF.hh>

#include <functional>
#include <random>

#include "pdf/object_serialiser.h"
#include "pdf/pooled_file_source.h"
#include "pdf/qpdf_engine.h"
#include "support/temp_dir.h"
#include "support/test_pdfs.h"

namespace pagemeld {
namespace {

using testing::TempDir;

constexpr int kImageSide = 512;  // 786 KB of pixels: three blocks

const std::string& noise() {
    static const std::string pixels = [] {
        std::string bytes(std::size_t{kImageSide} * kImageSide * 3, '\0');
        std::mt19937 random(27u);
        for (auto& byte : bytes) byte = static_cast<char>(random() & 0xff);
        return bytes;
    }();
    return pixels;
}

// A one-page scan written byte by byte, so that its image stream can be wrong on
// purpose: `length` is the image's /Length as written (object 6 holds the true
// length), and `slip` moves every cross-reference offset.
void writeScan(const std::string& path, const std::string& length, int slip = 0) {
    std::string bytes = "%PDF-1.7\n";
    std::vector<std::size_t> offsets;
    const auto object = [&](const std::string& body) {
        offsets.push_back(bytes.size() + static_cast<std::size_t>(slip));
        bytes += std::to_string(offsets.size()) + " 0 obj\n" + body + "\nendobj\n";
    };
    const std::string content = "q 612 0 0 792 0 0 cm /Im1 Do Q\n";
    object("<< /Type /Catalog /Pages 2 0 R >>");
    object("<< /Type /Pages /Count 1 /Kids [3 0 R] >>");
    object(
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << /XObject << /Im1 "
        "5 0 R >> >> /Contents 4 0 R >>");
    object("<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content +
           "\nendstream");
    object("<< /Type /XObject /Subtype /Image /Width " + std::to_string(kImageSide) + " /Height " +
           std::to_string(kImageSide) + " /ColorSpace /DeviceRGB /BitsPerComponent 8 /Length " +
           length + " >>\nstream\n" + noise() + "\nendstream");
    object(std::to_string(noise().size()));
    const std::size_t xref = bytes.size();
    bytes += "xref\n0 7\n0000000000 65535 f \n";
    for (const std::size_t offset : offsets) {
        char line[24];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
        bytes += line;
    }
    bytes += "trailer\n<< /Size 7 /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

// The decoded data of a page's image, as qpdf reads it.
std::string imageData(const std::string& path, const std::string& password = "",
                      std::size_t page = 0) {
    QPDF pdf;
    pdf.setSuppressWarnings(true);
    pdf.processFile(path.c_str(), password.c_str());
    QPDFObjectHandle chosen = pdf.getAllPages().at(page);
    auto image = chosen.getKey("/Resources").getKey("/XObject").getKey("/Im1");
    auto data = image.getStreamData(qpdf_dl_generalized);
    return {reinterpret_cast<const char*>(data->getBuffer()), data->getSize()};
}

// Large files are read in blocks; these tests read their small files the same way.
struct ReadInBlocks {
    std::int64_t old = PooledFileSource::setWholeFileLimit(0);
    ~ReadInBlocks() { PooledFileSource::setWholeFileLimit(old); }
};

struct Input {
    const char* what;
    std::function<void(const std::string&)> make;
    std::string password = {};
};

// Merged after a small file, the large stream keeps the data qpdf reads from its input,
// and the output is sound and no longer encrypted.
TEST(EngineLargeStreams, MergedDataIsWhatQpdfReadsFromTheInput) {
    const std::vector<Input> inputs = {
        {"compressed image",
         [](const std::string& path) {
             testing::writeTestPdf(path, {1, "A", true, kImageSide});
         }},
        {"AES-256, opened with its password",
         [](const std::string& path) {
             testing::writeEncryptedPdf(path, {1, "A", true, kImageSide},
                                        testing::Encryption::Aes256, "user", "owner");
         },
         "user"},
        {"indirect /Length", [](const std::string& path) { writeScan(path, "6 0 R"); }},
        {"/Length too short",
         [](const std::string& path) { writeScan(path, std::to_string(noise().size() - 999)); }},
        {"/Length too long",
         [](const std::string& path) { writeScan(path, std::to_string(noise().size() + 60)); }},
        {"cross-reference table off by 3",
         [](const std::string& path) { writeScan(path, "6 0 R", 3); }},
    };
    ReadInBlocks blocks;
    TempDir dir;
    testing::writeTestPdf(dir.file("small.pdf"), 1, "S");
    for (const auto& input : inputs) {
        SCOPED_TRACE(input.what);
        input.make(dir.file("scan.pdf"));
        const std::string expected = imageData(dir.file("scan.pdf"), input.password);
        ASSERT_GT(expected.size(), ObjectSerialiser::kStreamBlockBytes * 2);
        QpdfEngine engine;
        const OpenedDocument small = engine.open(dir.file("small.pdf"), "");
        const OpenedDocument scan = engine.open(dir.file("scan.pdf"), input.password);
        ASSERT_TRUE(small.opened());
        ASSERT_TRUE(scan.opened());
        std::vector<PageRef> pages = small.pages;
        pages.insert(pages.end(), scan.pages.begin(), scan.pages.end());
        ASSERT_FALSE(engine.write(dir.file("out.pdf"), pages, small.information));
        EXPECT_EQ(testing::pageTexts(dir.file("out.pdf")).size(), 2u);
        EXPECT_FALSE(testing::isEncrypted(dir.file("out.pdf")));
        std::string report;
        EXPECT_TRUE(testing::qpdfCheckClean(dir.file("out.pdf"), &report)) << report;
        // Compared by size and hash: a failure must not print megabytes.
        const std::string merged = imageData(dir.file("out.pdf"), "", 1);
        EXPECT_EQ(merged.size(), expected.size());
        EXPECT_EQ(std::hash<std::string>{}(merged), std::hash<std::string>{}(expected));
    }
}

}  // namespace
}  // namespace pagemeld
