// Files asked about by UTF-8 name: what exists, what is removed, what is the same file,
// also in a folder whose path passes 260 characters.
#include "base/file_system.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "base/text_encoding.h"
#include "support/temp_dir.h"

namespace pagemeld {
namespace {

namespace fs = std::filesystem;

void writeFile(const std::string& name) {
    std::ofstream(systemPath(name), std::ios::binary) << "%PDF-1.4\n";
}

TEST(FileSystemTest, AnswersInShortAndLongFolders) {
    testing::TempDir dir;
    std::string longFolder = dir.folder() + "Dossier été";
    fs::create_directory(pathFromUtf8(longFolder));
    while (utf8Length(longFolder) < 300) {
        longFolder += "/Ordner mit langem Namen";
        fs::create_directory(pathFromUtf8(longFolder));
    }
    for (const std::string& folder : {dir.folder() + "kurz", longFolder}) {
        SCOPED_TRACE(folder);
        fs::create_directories(pathFromUtf8(folder));
        const std::string file = folder + "/Über.pdf";
        const std::string other = folder + "/other.pdf";
        writeFile(file);
        writeFile(other);
        std::error_code ec;

        EXPECT_EQ(fileStatus(file, ec).type(), fs::file_type::regular);
        EXPECT_FALSE(ec);
        EXPECT_EQ(fileStatus(folder, ec).type(), fs::file_type::directory);
        EXPECT_EQ(fileStatus(folder + "/missing.pdf", ec).type(), fs::file_type::not_found);
        EXPECT_EQ(ec, std::errc::no_such_file_or_directory);
        EXPECT_EQ(fileStatus(folder + "/missing/a.pdf", ec).type(), fs::file_type::not_found);
        EXPECT_EQ(fileStatus("", ec).type(), fs::file_type::not_found);

        EXPECT_TRUE(sameFile(file, folder + "/./Über.pdf"));
        EXPECT_FALSE(sameFile(file, other));
        EXPECT_FALSE(sameFile(file, folder + "/missing.pdf"));

        EXPECT_FALSE(removeFile(folder));
        EXPECT_FALSE(removeFile(folder + "/missing.pdf"));
        EXPECT_TRUE(removeFile(file));
        EXPECT_EQ(fileStatus(file, ec).type(), fs::file_type::not_found);
    }
}

#ifdef _WIN32
// The system takes a name of 260 characters and more only in its long form, which it
// reads literally: the name is tidied first, as the system would otherwise do.
TEST(FileSystemTest, LongNamesGoToTheSystemInTheLongForm) {
    const std::string part(60, 'x');
    const std::string tail = part + "\\" + part + "\\" + part + "\\" + part + "\\a.pdf";
    const struct {
        std::string name;
        std::string expected;
    } cases[] = {
        {"C:\\kurz\\a.pdf", "C:\\kurz\\a.pdf"},
        {"C:\\" + tail, "\\\\?\\C:\\" + tail},
        {"C:/" + part + "/" + part + "/./" + part + "/x/../" + part + "/a.pdf",
         "\\\\?\\C:\\" + tail},
        {"\\\\server\\share\\" + tail, "\\\\?\\UNC\\server\\share\\" + tail},
        {"\\\\?\\C:\\" + tail, "\\\\?\\C:\\" + tail},
        // Relative names are the system's to complete.
        {tail, tail},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pathToUtf8(systemPath(c.name)), c.expected) << c.name;
    }
}
#endif

}  // namespace
}  // namespace pagemeld
