// Loading, selection, passwords and the light page counter.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "pdf/qpdf_engine.h"
#include "support/temp_dir.h"
#include "support/test_pdfs.h"

namespace pagemeld {
namespace {

using testing::Encryption;
using testing::labels;
using testing::pageTexts;
using testing::TempDir;

TEST(EngineLoad, LoadsSelectsAndRemovesDocuments) {
    TempDir dir;
    testing::writeTestPdf(dir.file("a.pdf"), 3, "A");
    testing::writeTestPdf(dir.file("b b é.pdf"), 5, "B");
    QpdfEngine engine;

    const auto a = engine.LoadFromFile(dir.file("a.pdf"));
    ASSERT_NE(a, 0);
    EXPECT_EQ(engine.SelectedDocument(), a);
    EXPECT_EQ(engine.pagecount(), 3);
    EXPECT_EQ(engine.EncryptionStatus(), 0);
    EXPECT_NE(engine.Decrypt(), 0);

    const auto b = engine.LoadFromFile(dir.file("b b é.pdf"));
    ASSERT_NE(b, 0);
    EXPECT_NE(a, b);
    EXPECT_EQ(engine.pagecount(), 5);

    engine.SelectDocument(a);
    EXPECT_EQ(engine.pagecount(), 3);
    engine.SelectDocument(12345);
    EXPECT_EQ(engine.SelectedDocument(), 0);
    EXPECT_EQ(engine.pagecount(), 0);

    engine.SelectDocument(b);
    engine.RemoveDocument(b);
    EXPECT_EQ(engine.SelectedDocument(), 0);
    engine.RemoveDocument(0);
    engine.RemoveDocument(b);
    engine.SelectDocument(a);
    EXPECT_EQ(engine.SelectedDocument(), a);
    EXPECT_EQ(engine.documentCount(), 1u);
}

TEST(EngineLoad, FailedLoadLeavesNothingSelected) {
    TempDir dir;
    testing::writeTestPdf(dir.file("good.pdf"), 2);
    testing::writeNotPdf(dir.file("text.pdf"));
    std::ofstream(dir.file("empty.pdf")).close();
    std::filesystem::create_directory(dir.file("folder.pdf"));
    QpdfEngine engine;

    ASSERT_NE(engine.LoadFromFile(dir.file("good.pdf")), 0);
    EXPECT_EQ(engine.LoadFromFile(dir.file("text.pdf")), 0);
    EXPECT_EQ(engine.SelectedDocument(), 0);
    EXPECT_EQ(engine.LastErrorCode(), pdferr::kInvalidFormat);

    EXPECT_EQ(engine.LoadFromFile(dir.file("missing.pdf")), 0);
    EXPECT_EQ(engine.LastErrorCode(), pdferr::kFileNotFound);
    EXPECT_EQ(engine.LoadFromFile(dir.file("empty.pdf")), 0);
    EXPECT_EQ(engine.LoadFromFile(dir.file("folder.pdf")), 0);
    EXPECT_EQ(engine.LastErrorCode(), pdferr::kAccessError);
    EXPECT_EQ(engine.LoadFromFile(""), 0);
    EXPECT_EQ(engine.SelectedDocument(), 0);
    // Page work on nothing selected fails cleanly.
    EXPECT_EQ(engine.ExtractPages(1, 1), 0);
    EXPECT_EQ(engine.SaveToFile(dir.file("out.pdf")), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.pdf")));
}

TEST(EngineLoad, DamagedFileIsRecovered) {
    TempDir dir;
    testing::writeDamagedPdf(dir.file("damaged.pdf"), 4, "D");
    QpdfEngine engine;
    ASSERT_NE(engine.LoadFromFile(dir.file("damaged.pdf")), 0);
    EXPECT_EQ(engine.pagecount(), 4);
    ASSERT_NE(engine.SaveToFile(dir.file("repaired.pdf")), 0);
    EXPECT_EQ(pageTexts(dir.file("repaired.pdf")), labels("D", 1, 4));
    EXPECT_TRUE(testing::qpdfCheckClean(dir.file("repaired.pdf")));
}

struct EncryptionCase {
    Encryption kind;
    const char* name;
};

class EngineEncryption : public ::testing::TestWithParam<EncryptionCase> {};

TEST_P(EngineEncryption, UserAndOwnerPasswordsOpenWrongOnesDoNot) {
    TempDir dir;
    testing::TestPdfOptions options;
    options.pages = 3;
    options.label = "S";
    const std::string secret = dir.file("secret.pdf");
    testing::writeEncryptedPdf(secret, options, GetParam().kind, "user pw", "owner");
    QpdfEngine engine;

    // A file whose user password we do not know still loads, locked.
    const auto id = engine.LoadFromFile(secret);
    ASSERT_NE(id, 0);
    EXPECT_NE(engine.EncryptionStatus(), 0);
    EXPECT_EQ(engine.Decrypt(), 0);
    EXPECT_EQ(engine.ExtractPages(1, 1), 0);
    engine.SelectDocument(id);
    EXPECT_EQ(engine.SaveToFile(dir.file("nope.pdf")), 0);
    EXPECT_EQ(engine.LastErrorCode(), pdferr::kPasswordRequired);

    EXPECT_EQ(engine.SetPassword("wrong"), 0);
    EXPECT_EQ(engine.SetPassword("user pw"), 1);
    EXPECT_EQ(engine.pagecount(), 3);
    ASSERT_NE(engine.SaveToFile(dir.file("opened.pdf")), 0);
    EXPECT_EQ(pageTexts(dir.file("opened.pdf")), labels("S", 1, 3));
    EXPECT_FALSE(testing::isEncrypted(dir.file("opened.pdf")));

    ASSERT_NE(engine.LoadFromFile(secret), 0);
    EXPECT_EQ(engine.SetPassword("owner"), 1);
    EXPECT_EQ(engine.pagecount(), 3);

    EXPECT_EQ(engine.DecryptFile(secret, dir.file("copy.pdf"), "wrong"), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.file("copy.pdf")));
    ASSERT_NE(engine.DecryptFile(secret, dir.file("copy.pdf"), "user pw"), 0);
    EXPECT_FALSE(testing::isEncrypted(dir.file("copy.pdf")));
    EXPECT_EQ(pageTexts(dir.file("copy.pdf")), labels("S", 1, 3));
    ASSERT_NE(engine.DecryptFile(secret, dir.file("copy2.pdf"), "owner"), 0);
    EXPECT_EQ(pageTexts(dir.file("copy2.pdf")), labels("S", 1, 3));
}

TEST_P(EngineEncryption, OwnerPasswordOnlyFileOpensWithoutPassword) {
    TempDir dir;
    testing::TestPdfOptions options;
    options.pages = 2;
    options.label = "O";
    const std::string file = dir.file("owner only.pdf");
    testing::writeEncryptedPdf(file, options, GetParam().kind, "", "owner");
    QpdfEngine engine;
    ASSERT_NE(engine.LoadFromFile(file), 0);
    EXPECT_NE(engine.EncryptionStatus(), 0);
    EXPECT_NE(engine.Decrypt(), 0);
    EXPECT_EQ(engine.pagecount(), 2);
    ASSERT_NE(engine.DecryptFile(file, dir.file("plain.pdf"), ""), 0);
    EXPECT_FALSE(testing::isEncrypted(dir.file("plain.pdf")));
    EXPECT_EQ(pageTexts(dir.file("plain.pdf")), labels("O", 1, 2));
}

INSTANTIATE_TEST_SUITE_P(AllKinds, EngineEncryption,
                         ::testing::Values(EncryptionCase{Encryption::Rc4_40, "Rc4_40"},
                                           EncryptionCase{Encryption::Rc4_128, "Rc4_128"},
                                           EncryptionCase{Encryption::Aes128, "Aes128"},
                                           EncryptionCase{Encryption::Aes256, "Aes256"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(EngineLoad, LightCounterCountsWhereFullLoadCannot) {
    TempDir dir;
    testing::TestPdfOptions options;
    options.pages = 7;
    testing::writeEncryptedPdf(dir.file("locked.pdf"), options, Encryption::Aes256, "u", "o");
    testing::writeTestPdf(dir.file("plain.pdf"), 4);
    testing::writeNotPdf(dir.file("text.pdf"));
    QpdfEngine engine;

    // A locked document still tells its page count.
    ASSERT_NE(engine.LoadFromFile(dir.file("locked.pdf")), 0);
    EXPECT_EQ(engine.pagecount(), 7);

    const auto handle = engine.DAOpenFile(dir.file("plain.pdf"), "");
    ASSERT_NE(handle, 0);
    EXPECT_EQ(engine.DAGetPageCount(handle), 4);
    engine.DACloseFile(handle);
    EXPECT_EQ(engine.DAGetPageCount(handle), 0);

    EXPECT_EQ(engine.DAOpenFile(dir.file("text.pdf"), ""), 0);
    EXPECT_EQ(engine.LastErrorCode(), pdferr::kInvalidFormat);
    EXPECT_EQ(engine.DAOpenFile(dir.file("missing.pdf"), ""), 0);
    EXPECT_EQ(engine.LastErrorCode(), pdferr::kFileNotFound);
}

}  // namespace
}  // namespace pagemeld
