// The generator underpins every suite's expectations, so it is checked against qpdf itself.
#include <gtest/gtest.h>
#include <qpdf/Pl_Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "support/temp_dir.h"
#include "support/test_pdfs.h"

namespace pagemeld::testing {
namespace {

// Paths are UTF-8 text, as everywhere in the program.
std::filesystem::path fsPath(const std::string& path) {
    return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

std::string readBytes(const std::string& path) {
    std::ifstream in(fsPath(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void openQuietly(QPDF& pdf, const std::string& path, const std::string& password = "") {
    pdf.setSuppressWarnings(true);
    pdf.processFile(path.c_str(), password.c_str());
}

// Opens with a password and returns qpdf's error code, or nothing when it opened.
std::optional<qpdf_error_code_e> openError(const std::string& path, const std::string& password) {
    try {
        QPDF pdf;
        openQuietly(pdf, path, password);
        return std::nullopt;
    } catch (const QPDFExc& e) {
        return e.getErrorCode();
    }
}

TEST(TestPdfs, PagesShowTheirLabelAndShareOneFontAndOneImage) {
    TempDir dir;
    auto path = dir.file("shared.pdf");
    writeTestPdf(path, TestPdfOptions{5, "A", true, 32});

    EXPECT_EQ(pageTexts(path), labels("A", 1, 5));
    EXPECT_EQ(pageCount(path), 5);
    EXPECT_FALSE(isEncrypted(path));

    QPDF pdf;
    openQuietly(pdf, path);
    auto pages = QPDFPageDocumentHelper(pdf).getAllPages();
    ASSERT_EQ(pages.size(), 5u);
    std::set<QPDFObjGen> fonts, images, contents;
    for (auto& helper : pages) {
        auto page = helper.getObjectHandle();
        EXPECT_EQ(page.getKey("/MediaBox").unparse(), "[ 0 0 612 792 ]");
        auto resources = page.getKey("/Resources");
        auto font = resources.getKey("/Font").getKey("/F1");
        auto image = resources.getKey("/XObject").getKey("/Im1");
        ASSERT_TRUE(font.isIndirect());
        ASSERT_TRUE(image.isIndirect());
        fonts.insert(font.getObjGen());
        images.insert(image.getObjGen());

        auto stream = page.getKey("/Contents");
        ASSERT_TRUE(stream.isStream());
        contents.insert(stream.getObjGen());
        EXPECT_EQ(stream.getDict().getKey("/Filter").unparse(), "/FlateDecode");
        auto data = stream.getStreamData(qpdf_dl_generalized);
        std::string text(reinterpret_cast<const char*>(data->getBuffer()), data->getSize());
        EXPECT_NE(text.find("/Im1 Do"), std::string::npos) << text;
    }
    EXPECT_EQ(fonts.size(), 1u);
    EXPECT_EQ(images.size(), 1u);
    EXPECT_EQ(contents.size(), 5u);

    auto font = pages[0].getObjectHandle().getKey("/Resources").getKey("/Font").getKey("/F1");
    EXPECT_EQ(font.getKey("/Subtype").unparse(), "/Type3");
    // Every glyph the text can use has a procedure to draw it.
    auto procs = font.getKey("/CharProcs");
    for (const char* glyph : {"/space", "/g48", "/g57", "/g65", "/g90", "/g97", "/g122"}) {
        EXPECT_TRUE(procs.getKey(glyph).isStream()) << glyph;
    }

    auto image = pages[0].getObjectHandle().getKey("/Resources").getKey("/XObject").getKey("/Im1");
    EXPECT_EQ(image.getDict().getKey("/Width").getIntValue(), 32);
    EXPECT_EQ(image.getDict().getKey("/Height").getIntValue(), 32);
    EXPECT_EQ(image.getDict().getKey("/Filter").unparse(), "/FlateDecode");
    EXPECT_EQ(image.getStreamData(qpdf_dl_generalized)->getSize(), 32u * 32u * 3u);

    EXPECT_TRUE(qpdfCheckClean(path));
}

TEST(TestPdfs, OutputIsReproducibleAndImageSizeDrivesFileSize) {
    TempDir dir;
    writeTestPdf(dir.file("one.pdf"), 3, "B");
    writeTestPdf(dir.file("two.pdf"), 3, "B");
    EXPECT_EQ(readBytes(dir.file("one.pdf")), readBytes(dir.file("two.pdf")));

    writeTestPdf(dir.file("big.pdf"), TestPdfOptions{3, "B", true, 200});
    writeTestPdf(dir.file("plain.pdf"), TestPdfOptions{3, "B", false});
    auto big = std::filesystem::file_size(fsPath(dir.file("big.pdf")));
    auto plain = std::filesystem::file_size(fsPath(dir.file("plain.pdf")));
    // Noise does not compress: the 200x200 image alone is 120000 bytes.
    EXPECT_GT(big, 120000u);
    EXPECT_LT(plain, 20000u);
    EXPECT_EQ(pageTexts(dir.file("plain.pdf")), labels("B", 1, 3));
    EXPECT_TRUE(qpdfCheckClean(dir.file("plain.pdf")));
}

TEST(TestPdfs, NamesWithSpacesAccentsAndOddLabelsWork) {
    TempDir dir;
    auto path = dir.file("Dossier été (copie) 1.pdf");
    writeTestPdf(path, 2, "Née (x) \\ y");
    EXPECT_TRUE(std::filesystem::exists(fsPath(path)));
    EXPECT_EQ(pageTexts(path), labels("Née (x) \\ y", 1, 2));
    EXPECT_TRUE(qpdfCheckClean(path));
}

TEST(TestPdfs, InfoEntriesRoundTripAsUtf8) {
    TempDir dir;
    auto path = dir.file("info.pdf");
    TestPdfOptions options{2, "I"};
    options.info = {{"Author", "Zoë Ångström"}, {"Title", "Plain title"}};
    writeTestPdf(path, options);
    auto entries = infoEntries(path);
    EXPECT_EQ(entries, options.info);

    writeTestPdf(dir.file("noinfo.pdf"), 1);
    EXPECT_TRUE(infoEntries(dir.file("noinfo.pdf")).empty());

    writeEncryptedPdf(dir.file("info-enc.pdf"), options, Encryption::Aes256, "u", "o");
    EXPECT_EQ(infoEntries(dir.file("info-enc.pdf"), "u"), options.info);
}

TEST(TestPdfs, EveryEncryptionOpensWithUserOrOwnerPasswordOnly) {
    struct Kind {
        Encryption encryption;
        int revision;
        int version;
        // Only version 4 and later name a method; older versions always use RC4.
        QPDF::encryption_method_e method;
    };
    const Kind kinds[] = {
        {Encryption::Rc4_40, 2, 1, QPDF::e_none},
        {Encryption::Rc4_128, 3, 2, QPDF::e_none},
        {Encryption::Aes128, 4, 4, QPDF::e_aes},
        {Encryption::Aes256, 6, 5, QPDF::e_aesv3},
    };
    TempDir dir;
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.revision);
        auto path = dir.file("enc" + std::to_string(kind.revision) + ".pdf");
        writeEncryptedPdf(path, TestPdfOptions{3, "E"}, kind.encryption, "user pw", "owner pw");

        QPDF pdf;
        openQuietly(pdf, path, "user pw");
        int r = 0, p = 0, v = 0;
        QPDF::encryption_method_e stream = QPDF::e_none, string = QPDF::e_none, file = QPDF::e_none;
        ASSERT_TRUE(pdf.isEncrypted(r, p, v, stream, string, file));
        EXPECT_EQ(r, kind.revision);
        EXPECT_EQ(v, kind.version);
        EXPECT_EQ(stream, kind.method);
        EXPECT_TRUE(pdf.allowModifyAll());
        EXPECT_TRUE(pdf.allowExtractAll());
        EXPECT_FALSE(pdf.ownerPasswordMatched());

        EXPECT_EQ(pageTexts(path, "user pw"), labels("E", 1, 3));
        EXPECT_EQ(pageTexts(path, "owner pw"), labels("E", 1, 3));
        EXPECT_EQ(openError(path, "wrong"), qpdf_e_password);
        EXPECT_EQ(openError(path, ""), qpdf_e_password);
        EXPECT_TRUE(isEncrypted(path, "user pw"));
        EXPECT_TRUE(qpdfCheckClean(path, "user pw", nullptr));

        auto ownerOnly = dir.file("owner" + std::to_string(kind.revision) + ".pdf");
        writeEncryptedPdf(ownerOnly, TestPdfOptions{2, "O"}, kind.encryption, "", "secret");
        EXPECT_EQ(pageTexts(ownerOnly), labels("O", 1, 2));
        EXPECT_TRUE(isEncrypted(ownerOnly));
        QPDF owned;
        openQuietly(owned, ownerOnly, "secret");
        EXPECT_TRUE(owned.ownerPasswordMatched());
    }
}

TEST(TestPdfs, DamagedFileNeedsRecoveryAndStillHasItsPages) {
    TempDir dir;
    auto path = dir.file("damaged.pdf");
    writeDamagedPdf(path, 4, "D");

    QPDF strict;
    strict.setSuppressWarnings(true);
    strict.setAttemptRecovery(false);
    EXPECT_THROW(strict.processFile(path.c_str()), QPDFExc);

    QPDF pdf;
    openQuietly(pdf, path);
    EXPECT_EQ(QPDFPageDocumentHelper(pdf).getAllPages().size(), 4u);
    EXPECT_TRUE(pdf.anyWarnings());
    EXPECT_EQ(pageTexts(path), labels("D", 1, 4));

    std::string report;
    EXPECT_FALSE(qpdfCheckClean(path, &report));
    EXPECT_FALSE(report.empty());
}

TEST(TestPdfs, TextFileIsNotAPdf) {
    TempDir dir;
    auto path = dir.file("notes.pdf");
    writeNotPdf(path);
    EXPECT_GT(std::filesystem::file_size(fsPath(path)), 0u);
    QPDF pdf;
    pdf.setSuppressWarnings(true);
    EXPECT_THROW(pdf.processFile(path.c_str()), QPDFExc);
    EXPECT_THROW(pageTexts(path), QPDFExc);
    EXPECT_FALSE(qpdfCheckClean(path));
}

// Writes `source` again with page 2's content stream replaced by `data` under `filter`
// (none when empty).
void replaceSecondPageContents(const std::string& source, const std::string& target,
                               const std::string& data, const std::string& filter) {
    QPDF pdf;
    openQuietly(pdf, source);
    auto page = QPDFPageDocumentHelper(pdf).getAllPages().at(1).getObjectHandle();
    page.getKey("/Contents")
        .replaceStreamData(
            data, filter.empty() ? QPDFObjectHandle::newNull() : QPDFObjectHandle::newName(filter),
            QPDFObjectHandle::newNull());
    QPDFWriter writer(pdf, target.c_str());
    writer.setCompressStreams(false);
    writer.setDecodeLevel(qpdf_dl_none);
    writer.write();
}

TEST(TestPdfs, CheckFindsBrokenContentStreams) {
    TempDir dir;
    auto good = dir.file("good.pdf");
    writeTestPdf(good, 3, "C");
    std::string report = "stale";
    EXPECT_TRUE(qpdfCheckClean(good, &report));
    EXPECT_EQ(report, "");

    // Compressed data that does not inflate.
    auto badFlate = dir.file("bad-flate.pdf");
    replaceSecondPageContents(good, badFlate, "this is not deflated data at all", "/FlateDecode");
    EXPECT_FALSE(qpdfCheckClean(badFlate, &report));
    EXPECT_FALSE(report.empty());

    // Contents that inflate but do not parse.
    auto badSyntax = dir.file("bad-syntax.pdf");
    replaceSecondPageContents(good, badSyntax, "BT /F1 24 Tf 72 720 Td (C 2 Tj ET\n", "");
    EXPECT_FALSE(qpdfCheckClean(badSyntax, &report));
    EXPECT_FALSE(report.empty());
}

TEST(TestPdfs, LabelsCountInclusively) {
    EXPECT_EQ(labels("A", 1, 3), (std::vector<std::string>{"A 1", "A 2", "A 3"}));
    EXPECT_EQ(labels("Page", 9, 10), (std::vector<std::string>{"Page 9", "Page 10"}));
    EXPECT_TRUE(labels("A", 3, 2).empty());
}

TEST(TestPdfs, VeryLongDocumentsWork) {
    TempDir dir;
    auto path = dir.file("long.pdf");
    writeTestPdf(path, TestPdfOptions{40000, "L", true, 16});
    auto texts = pageTexts(path);
    ASSERT_EQ(texts.size(), 40000u);
    EXPECT_EQ(texts.front(), "L 1");
    EXPECT_EQ(texts[19999], "L 20000");
    EXPECT_EQ(texts.back(), "L 40000");
}

}  // namespace
}  // namespace pagemeld::testing
