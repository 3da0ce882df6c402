// Opening documents: page counts, bad and damaged files, passwords, the light counter.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "pdf/light_page_counter.h"
#include "pdf/qpdf_engine.h"
#include "support/temp_dir.h"
#include "support/test_pdfs.h"

namespace pagemeld {
namespace {

using testing::Encryption;
using testing::labels;
using testing::pageTexts;
using testing::TempDir;

std::int32_t lightCount(const std::string& file) {
    std::int32_t error = 0;
    return countPagesLightly(file, error);
}

// A file that is no PDF, or none at all, fails with the error that says why, and the
// light counter does not count it either; a damaged one is recovered.
TEST(EngineOpen, BadFilesFailClearlyAndDamagedOnesAreRecovered) {
    TempDir dir;
    testing::writeNotPdf(dir.file("text.pdf"));
    std::ofstream(dir.file("empty.pdf")).close();
    std::filesystem::create_directory(dir.file("folder.pdf"));
    testing::writeDamagedPdf(dir.file("damaged.pdf"), 4, "D");
    testing::writeTestPdf(dir.file("b b é.pdf"), 5, "B");
    QpdfEngine engine;
    for (auto [name, error] : {std::pair{"text.pdf", errcode::kInvalidFileFormat},
                               {"empty.pdf", errcode::kInvalidFileFormat},
                               {"missing.pdf", errcode::kFileNotFound},
                               {"folder.pdf", errcode::kPathFileAccess}}) {
        const OpenedDocument document = engine.open(dir.file(name), "");
        EXPECT_FALSE(document.opened()) << name;
        EXPECT_EQ(document.failure.code, error) << name;
        EXPECT_EQ(document.failure.file, dir.file(name));
        EXPECT_EQ(lightCount(dir.file(name)), 0) << name;
    }
    EXPECT_EQ(engine.write(dir.file("out.pdf"), {}, {}).code, errcode::kNoPages);
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.pdf")));

    const OpenedDocument whole = engine.open(dir.file("b b é.pdf"), "");
    EXPECT_EQ(whole.pageCount(), 5);
    EXPECT_EQ(lightCount(dir.file("b b é.pdf")), 5);
    const OpenedDocument damaged = engine.open(dir.file("damaged.pdf"), "");
    ASSERT_TRUE(damaged.opened());
    ASSERT_FALSE(engine.write(dir.file("repaired.pdf"), damaged.pages, damaged.information));
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

    // A file whose user password we do not know is locked, and still tells its pages.
    for (const char* wrong : {"", "wrong"}) {
        const OpenedDocument locked = engine.open(secret, wrong);
        EXPECT_TRUE(locked.encrypted && locked.locked) << wrong;
        EXPECT_TRUE(locked.pages.empty());
        EXPECT_FALSE(locked.failure);
    }
    EXPECT_EQ(lightCount(secret), 3);
    for (const char* password : {"user pw", "owner"}) {
        const OpenedDocument opened = engine.open(secret, password);
        ASSERT_TRUE(opened.opened()) << password;
        ASSERT_FALSE(engine.write(dir.file("opened.pdf"), opened.pagesNumbered({3, 2, 1}), {}));
        EXPECT_EQ(pageTexts(dir.file("opened.pdf")),
                  (std::vector<std::string>{"S 3", "S 2", "S 1"}));
        EXPECT_FALSE(testing::isEncrypted(dir.file("opened.pdf")));
        EXPECT_TRUE(testing::qpdfCheckClean(dir.file("opened.pdf")));
    }

    // An owner password alone locks nothing.
    const OpenedDocument plain = engine.open(ownerOnly, "");
    EXPECT_TRUE(plain.encrypted && plain.opened());
    ASSERT_FALSE(engine.write(dir.file("plain.pdf"), plain.pages, plain.information));
    EXPECT_FALSE(testing::isEncrypted(dir.file("plain.pdf")));
    EXPECT_EQ(pageTexts(dir.file("plain.pdf")), labels("O", 1, 2));
}

INSTANTIATE_TEST_SUITE_P(AllKinds, EngineEncryption,
                         ::testing::Values(Encryption::Rc4_40, Encryption::Rc4_128,
                                           Encryption::Aes128, Encryption::Aes256));

}  // namespace
}  // namespace pagemeld
