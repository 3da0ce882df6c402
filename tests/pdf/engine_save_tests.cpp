// Saving: atomic replacement, read-only and missing folders, saving over an input.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "pdf/qpdf_engine.h"
#include "support/temp_dir.h"
#include "support/test_pdfs.h"
#include "support/unprivileged.h"

namespace pagemeld {
namespace {

namespace fs = std::filesystem;
using testing::labels;
using testing::pageTexts;
using testing::TempDir;

std::vector<std::string> folderEntries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string contents(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(EngineSave, SavingOverTheLoadedFileKeepsBothCorrect) {
    TempDir dir;
    const std::string file = dir.file("a.pdf");
    testing::writeTestPdf(file, 3, "A");
    QpdfEngine engine;
    const auto whole = engine.LoadFromFile(file);
    ASSERT_NE(whole, 0);
    ASSERT_NE(engine.ExtractPages(2, 2), 0);
    ASSERT_NE(engine.SaveToFile(file), 0);
    EXPECT_EQ(pageTexts(file), labels("A", 2, 3));
    EXPECT_TRUE(testing::qpdfCheckClean(file));

    // The document loaded from the replaced file still has its own pages.
    engine.SelectDocument(whole);
    ASSERT_NE(engine.SaveToFile(dir.file("b.pdf")), 0);
    EXPECT_EQ(pageTexts(dir.file("b.pdf")), labels("A", 1, 3));
    EXPECT_EQ(folderEntries(dir.path()), (std::vector<std::string>{"a.pdf", "b.pdf"}));
}

TEST(EngineSave, MissingFolderOrFolderAsTargetFails) {
    TempDir dir;
    testing::writeTestPdf(dir.file("a.pdf"), 1);
    QpdfEngine engine;
    ASSERT_NE(engine.LoadFromFile(dir.file("a.pdf")), 0);
    EXPECT_EQ(engine.SaveToFile(dir.file("no such folder/out.pdf")), 0);
    EXPECT_EQ(engine.LastErrorCode(), pdferr::kPathNotFound);
    fs::create_directory(dir.file("taken.pdf"));
    EXPECT_EQ(engine.SaveToFile(dir.file("taken.pdf")), 0);
    EXPECT_TRUE(fs::is_directory(dir.file("taken.pdf")));
    EXPECT_EQ(folderEntries(dir.path()), (std::vector<std::string>{"a.pdf", "taken.pdf"}));
}

// Windows has no read-only folders: the attribute is ignored there.
TEST(EngineSavePosix, ReadOnlyFolderFailsAndLeavesEverythingAsItWas) {
    TempDir dir;
    testing::openToEveryone(dir.path().string());
    const fs::path locked = dir.path() / "locked";
    fs::create_directory(locked);
    testing::writeTestPdf(dir.file("a.pdf"), 2, "A");
    testing::writeTestPdf((locked / "existing.pdf").string(), 1, "E");
    testing::openToEveryone(dir.file("a.pdf"));
    testing::openToEveryone((locked / "existing.pdf").string());
    const std::string before = contents((locked / "existing.pdf").string());
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read |
                                fs::perms::others_exec);

    const int result = testing::runUnprivileged([&] {
        QpdfEngine engine;
        if (engine.LoadFromFile(dir.file("a.pdf")) == 0) return 10;
        if (engine.SaveToFile((locked / "new.pdf").string()) != 0) return 11;
        if (engine.LastErrorCode() != pdferr::kPermissionDenied) return 12;
        if (engine.SaveToFile((locked / "existing.pdf").string()) != 0) return 13;
        if (engine.MergeFileList("", (locked / "merged.pdf").string()) != 0) return 14;
        if (engine.DecryptFile(dir.file("a.pdf"), (locked / "plain.pdf").string(), "") != 0) {
            return 15;
        }
        return 0;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(folderEntries(locked), std::vector<std::string>{"existing.pdf"});
    EXPECT_EQ(contents((locked / "existing.pdf").string()), before);
}

TEST(EngineSave, AReadOnlyFileInAWritableFolderIsNotReplaced) {
    TempDir dir;
    testing::openToEveryone(dir.path().string());
    fs::permissions(dir.path(), fs::perms::all);
    testing::writeTestPdf(dir.file("a.pdf"), 2, "A");
    testing::writeTestPdf(dir.file("kept.pdf"), 1, "K");
    testing::openToEveryone(dir.file("a.pdf"));
    testing::openToEveryone(dir.file("kept.pdf"));
    fs::permissions(dir.file("kept.pdf"),
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const std::string before = contents(dir.file("kept.pdf"));

    const int result = testing::runUnprivileged([&] {
        QpdfEngine engine;
        if (engine.LoadFromFile(dir.file("a.pdf")) == 0) return 10;
        if (engine.SaveToFile(dir.file("kept.pdf")) != 0) return 11;
        if (engine.LastErrorCode() != pdferr::kPermissionDenied) return 12;
        if (engine.LastErrorFile() != dir.file("kept.pdf")) return 13;
        if (engine.DecryptFile(dir.file("a.pdf"), dir.file("kept.pdf"), "") != 0) return 14;
        engine.ClearFileList("");
        engine.AddToFileList("", dir.file("a.pdf"));
        if (engine.MergeFileList("", dir.file("kept.pdf")) != 0) return 15;
        // A writable file beside it is still replaced.
        if (engine.SaveToFile(dir.file("fresh.pdf")) == 0) return 16;
        return 0;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(contents(dir.file("kept.pdf")), before);
    EXPECT_EQ(folderEntries(dir.path()),
              (std::vector<std::string>{"a.pdf", "fresh.pdf", "kept.pdf"}));
}

TEST(EngineSave, EveryOutputPassesQpdfCheck) {
    TempDir dir;
    testing::TestPdfOptions options;
    options.pages = 6;
    options.label = "C";
    testing::writeEncryptedPdf(dir.file("aes.pdf"), options, testing::Encryption::Aes256, "pw",
                               "ow");
    testing::writeDamagedPdf(dir.file("damaged.pdf"), 3, "D");
    QpdfEngine engine;
    ASSERT_NE(engine.LoadFromFile(dir.file("aes.pdf")), 0);
    ASSERT_NE(engine.SetPassword("pw"), 0);
    const auto aes = engine.SelectedDocument();
    ASSERT_NE(engine.LoadFromFile(dir.file("damaged.pdf")), 0);
    const auto damaged = engine.SelectedDocument();
    engine.SelectDocument(aes);
    ASSERT_NE(engine.ExtractPageRanges("6-4"), 0);
    ASSERT_NE(engine.MergeDocument(damaged), 0);
    ASSERT_NE(engine.SaveToFile(dir.file("out.pdf")), 0);
    std::string report;
    EXPECT_TRUE(testing::qpdfCheckClean(dir.file("out.pdf"), &report)) << report;
    EXPECT_EQ(pageTexts(dir.file("out.pdf")),
              (std::vector<std::string>{"C 6", "C 5", "C 4", "D 1", "D 2", "D 3"}));
}

}  // namespace
}  // namespace pagemeld
