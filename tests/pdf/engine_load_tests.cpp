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

// Documents are told apart by id; an unknown or removed one leaves none selected. The
// light page counter counts and lets go.
TEST(EngineLoad, SelectsRemovesAndCountsDocuments) {
    TempDir dir;
    testing::writeTestPdf(dir.file("b b é.pdf"), 5, "B");
    QpdfEngine engine;
    const auto whole = engine.LoadFromFile(dir.file("b b é.pdf"));
    ASSERT_NE(engine.ExtractPages(2, 1), 0);
    EXPECT_EQ(engine.pagecount(), 1);
    engine.SelectDocument(12345);
    EXPECT_EQ(engine.SelectedDocument(), 0);
    engine.SelectDocument(whole);
    EXPECT_EQ(engine.pagecount(), 5);
    engine.RemoveDocument(whole);
    EXPECT_EQ(engine.SelectedDocument(), 0);
    EXPECT_EQ(engine.documentCount(), 1u);
    const auto handle = engine.DAOpenFile(dir.file("b b é.pdf"), "");
    EXPECT_EQ(engine.DAGetPageCount(handle), 5);
    engine.DACloseFile(handle);
    EXPECT_EQ(engine.DAGetPageCount(handle), 0);
}

// A file that is no PDF, or none at all, fails with the error that says why and leaves
// nothing selected; a damaged one is recovered.
TEST(EngineLoad, BadFilesFailClearlyAndDamagedOnesAreRecovered) {
    TempDir dir;
    testing::writeNotPdf(dir.file("text.pdf"));
    std::ofstream(dir.file("empty.pdf")).close();
    std::filesystem::create_directory(dir.file("folder.pdf"));
    testing::writeDamagedPdf(dir.file("damaged.pdf"), 4, "D");
    QpdfEngine engine;
    for (auto [name, error] : {std::pair{"text.pdf", errcode::kInvalidFileFormat},
                               {"missing.pdf", errcode::kFileNotFound},
                               {"folder.pdf", errcode::kPathFileAccess}}) {
        ASSERT_NE(engine.LoadFromFile(dir.file("damaged.pdf")), 0);
        EXPECT_EQ(engine.LoadFromFile(dir.file(name)), 0) << name;
        EXPECT_EQ(engine.LastErrorCode(), error) << name;
        EXPECT_EQ(engine.SelectedDocument(), 0);
        EXPECT_EQ(engine.DAOpenFile(dir.file(name), ""), 0) << name;
    }
    EXPECT_EQ(engine.LoadFromFile(dir.file("empty.pdf")), 0);
    EXPECT_EQ(engine.ExtractPages(1, 1), 0);
    EXPECT_EQ(engine.SaveToFile(dir.file("out.pdf")), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.pdf")));

    ASSERT_NE(engine.LoadFromFile(dir.file("damaged.pdf")), 0);
    ASSERT_NE(engine.SaveToFile(dir.file("repaired.pdf")), 0);
    EXPECT_EQ(pageTexts(dir.file("repaired.pdf")), labels("D", 1, 4));
    EXPECT_TRUE(testing::qpdfCheckClean(dir.file("repaired.pdf")));
}

class EngineEncryption : public ::testing::TestWithParam<Encryption> {};

TEST_P(EngineEncryption, UserAndOwnerPasswordsOpenWrongOnesDoNot) {
    TempDir dir;
    const std::string secret = dir.file("secret.pdf");
    const std::string ownerOnly = dir.file("owner only.pdf");
    testing::writeEncryptedPdf(secret, {3, "S"}, GetParam(), "user pw", "owner");
    testing::writeEncryptedPdf(ownerOnly, {2, "O"}, GetParam(), "", "owner");
    QpdfEngine engine;

    // A file whose user password we do not know still loads, locked, and tells its pages.
    const auto id = engine.LoadFromFile(secret);
    ASSERT_NE(id, 0);
    EXPECT_NE(engine.EncryptionStatus(), 0);
    EXPECT_EQ(engine.pagecount(), 3);
    EXPECT_EQ(engine.Decrypt(), 0);
    EXPECT_EQ(engine.ExtractPages(1, 1), 0);
    engine.SelectDocument(id);
    EXPECT_EQ(engine.SaveToFile(dir.file("nope.pdf")), 0);
    EXPECT_EQ(engine.LastErrorCode(), errcode::kPasswordRequired);
    EXPECT_EQ(engine.SetPassword("wrong"), 0);
    EXPECT_EQ(engine.SetPassword("user pw"), 1);
    ASSERT_NE(engine.ExtractPageRanges("3-1"), 0);
    ASSERT_NE(engine.SaveToFile(dir.file("opened.pdf")), 0);
    EXPECT_EQ(pageTexts(dir.file("opened.pdf")), (std::vector<std::string>{"S 3", "S 2", "S 1"}));
    EXPECT_FALSE(testing::isEncrypted(dir.file("opened.pdf")));
    EXPECT_TRUE(testing::qpdfCheckClean(dir.file("opened.pdf")));
    ASSERT_NE(engine.LoadFromFile(secret), 0);
    EXPECT_EQ(engine.SetPassword("owner"), 1);

    EXPECT_EQ(engine.DecryptFile(secret, dir.file("copy.pdf"), "wrong"), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.file("copy.pdf")));
    for (const char* password : {"user pw", "owner"}) {
        ASSERT_NE(engine.DecryptFile(secret, dir.file("copy.pdf"), password), 0);
        EXPECT_FALSE(testing::isEncrypted(dir.file("copy.pdf")));
        EXPECT_EQ(pageTexts(dir.file("copy.pdf")), labels("S", 1, 3));
    }

    // An owner password alone locks nothing.
    ASSERT_NE(engine.LoadFromFile(ownerOnly), 0);
    EXPECT_NE(engine.EncryptionStatus(), 0);
    EXPECT_NE(engine.Decrypt(), 0);
    ASSERT_NE(engine.DecryptFile(ownerOnly, dir.file("plain.pdf"), ""), 0);
    EXPECT_FALSE(testing::isEncrypted(dir.file("plain.pdf")));
    EXPECT_EQ(pageTexts(dir.file("plain.pdf")), labels("O", 1, 2));
}

INSTANTIATE_TEST_SUITE_P(AllKinds, EngineEncryption,
                         ::testing::Values(Encryption::Rc4_40, Encryption::Rc4_128,
                                           Encryption::Aes128, Encryption::Aes256));

}  // namespace
}  // namespace pagemeld
