// Opening files by UTF-8 name, and creating them only when the name is free.
#include "pdf/file_opening.h"

#include <gtest/gtest.h>
#include <qpdf/QPDFSystemError.hh>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>

#include "base/text_encoding.h"
#include "support/temp_dir.h"

namespace pagemeld {
namespace {

std::string read(std::FILE* file) {
    std::string text;
    char buffer[64];
    while (const std::size_t count = std::fread(buffer, 1, sizeof buffer, file))
        text.append(buffer, count);
    std::fclose(file);
    return text;
}

TEST(FileOpening, ExclusiveCreationNeverTakesAnExistingFileAndNamesKeepTheirAccents) {
    testing::TempDir dir;
    const std::string name = pathToUtf8(dir.path() / pathFromUtf8("Donn\xC3\xA9"
                                                                  "es \xC3\xBC.tmp"));
    std::FILE* created = createExclusively(name);
    ASSERT_NE(created, nullptr);
    std::fputs("first", created);
    std::fclose(created);
    // The name on disk is the one asked for, not its bytes read in another code page.
    EXPECT_TRUE(std::filesystem::exists(pathFromUtf8(name)));

    errno = 0;
    std::FILE* again = createExclusively(name);
    EXPECT_EQ(again, nullptr);
    EXPECT_EQ(errno, EEXIST);
    if (again) std::fclose(again);
    EXPECT_EQ(read(openForReading(name)), "first");

    errno = 0;
    EXPECT_EQ(createExclusively(pathToUtf8(dir.path() / "missing" / "x.tmp")), nullptr);
    EXPECT_EQ(errno, ENOENT);
    try {
        openForReading(pathToUtf8(dir.path() / "missing.pdf"));
        ADD_FAILURE() << "a missing file was opened";
    } catch (const QPDFSystemError& e) {
        EXPECT_EQ(e.getErrno(), ENOENT);
    }
}

}  // namespace
}  // namespace pagemeld
