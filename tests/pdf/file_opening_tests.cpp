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
    EXPECT_EQ(createExclusively(name), nullptr);
    EXPECT_EQ(errno, EEXIST);
    char text[8] = {};
    std::FILE* reading = openForReading(name);
    EXPECT_EQ(std::fread(text, 1, sizeof text, reading), 5u);
    std::fclose(reading);
    EXPECT_STREQ(text, "first");

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
