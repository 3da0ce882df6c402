// The quiet requests of the real program with the names users have: inputs, output
// folders and output files named with accents, CJK, emoji, odd spaces, leading
// dashes and characters only Windows forbids; names too long for the file system; a
// current folder deeper than a path may be long.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "base/text_encoding.h"
#include "file_names/name_samples.h"
#include "support/program_run.h"
#include "support/temp_dir.h"
#include "support/test_pdfs.h"

namespace pagemeld::testing {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

constexpr const char* kRefused =
    "Invalid command line arguments. Check online support page to learn how to use command "
    "line!";

std::string contents(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool holds(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class QuietNamesTest : public ::testing::Test {
protected:
    QuietNamesTest() { fs::create_directory(dir.path() / ".home"); }

    ProgramRun run(const std::vector<std::string>& args) {
        return runProgram(PAGEMELD_EXECUTABLE, {dir.path(), args});
    }
    // A path in the test's folder, from raw bytes.
    std::string at(const std::string& relative) const {
        return dir.path().string() + "/" + relative;
    }
    std::string folder(const std::string& relative) const {
        fs::create_directories(at(relative));
        return at(relative) + "/";
    }
    // What the test's folder holds besides the program's home.
    std::set<std::string> made() const {
        std::set<std::string> names = namesIn(dir.path().string());
        names.erase(".home");
        return names;
    }

    TempDir dir;
};

// The sample names a quiet request can carry: a double quote cannot (it is refused,
// see below), and bytes that are no UTF-8 have a test of their own.
std::vector<NameSample> quietSamples() {
    std::vector<NameSample> samples;
    for (const NameSample& sample : nameSamples()) {
        if (sample.name.find('"') == std::string::npos && isValidUtf8(sample.name))
            samples.push_back(sample);
    }
    return samples;
}

TEST_F(QuietNamesTest, SplitWritesPiecesNamedAfterEveryInputIntoAnOddFolder) {
    const auto samples = quietSamples();
    std::vector<std::string> args{"-qsl"};
    for (std::size_t i = 0; i < samples.size(); ++i) {
        writeTestPdf(at(samples[i].name), 2, "S" + std::to_string(i));
        args.push_back(samples[i].name);
    }
    const std::string out = "sortie \xC3\xA9 \xE6\x96\x87 \xF0\x9F\x98\x80/";
    folder(out);
    args.insert(args.end(), {"-o", out});
    const ProgramRun finished = run(args);
    EXPECT_EQ(finished.status, 0) << finished.errors;
    EXPECT_EQ(finished.signal, 0);

    std::set<std::string> expected{"output.log"};
    const std::string log = contents(at(out + "output.log"));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        SCOPED_TRACE(samples[i].what);
        // The quiet split keeps the name as it is, blanks included.
        const std::string base = samples[i].name.substr(0, samples[i].name.size() - 4);
        expected.insert({base + "01.pdf", base + "02.pdf"});
        const std::string label = "S" + std::to_string(i);
        EXPECT_EQ(pageTexts(at(out + base + "02.pdf")), Texts{label + " 2"});
        EXPECT_TRUE(holds(log, "Processing file " + at(samples[i].name) + "\r\n"));
        EXPECT_TRUE(holds(log, "Saving output file: " + out + base + "01.pdf\r\n"));
    }
    EXPECT_EQ(namesIn(at(out)), expected);
}

TEST_F(QuietNamesTest, MergeWritesAnOddlyNamedOutputAndItsLog) {
    const auto samples = quietSamples();
    std::vector<std::string> args{"-qml"};
    Texts pages;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const std::string label = "S" + std::to_string(i);
        writeTestPdf(at(samples[i].name), 1, label);
        args.push_back(samples[i].name);
        pages.push_back(label + " 1");
    }
    // An output with a leading dash and "-o" in its name: only the first "-o" counts.
    const std::string output = "r\xC3\xA9sultat \xE6\x97\xA5/--output \xF0\x9F\x8E\x89.pdf";
    folder("r\xC3\xA9sultat \xE6\x97\xA5");
    args.insert(args.end(), {"-o", output});
    const ProgramRun finished = run(args);
    EXPECT_EQ(finished.status, 0) << finished.errors;
    EXPECT_EQ(pageTexts(at(output)), pages);
    const std::string log = contents(at(output) + ".log");
    EXPECT_TRUE(holds(log, "Merged file(base): " + at(samples[0].name) + "\r\n"));
    EXPECT_TRUE(holds(log, "Merged file: " + at(samples.back().name) + "\r\n"));
    EXPECT_TRUE(strayTemporaries(dir.path()).empty());
}

TEST_F(QuietNamesTest, SplitPiecesOfANameWithoutADotKeepWholeCharacters) {
    // "日本語pdf" less its last four characters is "日本"; four bytes less leaves half
    // of "語" in the name of every piece.
    const std::string name =
        "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E"
        "pdf";
    const std::string base = "\xE6\x97\xA5\xE6\x9C\xAC";
    writeTestPdf(at(name), 1, "J");
    writeTestPdf(at("b.pdf"), 1, "B");
    folder("out");
    // Without a ".pdf" after it, a name this long would take in the rest of the line.
    const ProgramRun finished = run({"-qs", name, "b.pdf", "-o", "out/"});
    EXPECT_EQ(finished.status, 0) << finished.errors;
    EXPECT_EQ(namesIn(at("out")), (std::set<std::string>{base + "01.pdf", "b01.pdf"}));
}

TEST_F(QuietNamesTest, AQuoteInsideANameIsRefusedAndNothingIsWritten) {
    writeTestPdf(at("a.pdf"), 1, "A");
    writeTestPdf(at("b.pdf"), 1, "B");
    writeTestPdf(at("say \"hi\".pdf"), 1, "H");
    const auto before = made();
    // Cut at its quotes, the output would have been "u" and the input "say ".
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"-qm", "a.pdf", "b.pdf", "-o", "o\"u\"t.pdf"},
             {"-qml", "say \"hi\".pdf", "b.pdf", "-o", "m.pdf"},
             {"-qsl", "say \"hi\".pdf", "-o", "./"},
         }) {
        const ProgramRun finished = run(args);
        EXPECT_EQ(finished.status, 2) << finished.errors;
        EXPECT_TRUE(holds(finished.errors, kRefused)) << finished.errors;
    }
    EXPECT_EQ(made(), before);
}

TEST_F(QuietNamesTest, NamesTooLongForTheFileSystemFailWithoutTrace) {
    writeTestPdf(at("a.pdf"), 1, "A");
    writeTestPdf(at("b.pdf"), 1, "B");
    // The longest name there is works.
    const std::string longest = nameOfBytes(255, 'm');
    ProgramRun finished = run({"-qm", "a.pdf", "b.pdf", "-o", longest});
    EXPECT_EQ(finished.status, 0) << finished.errors;
    EXPECT_EQ(pageTexts(at(longest)), (Texts{"A 1", "B 1"}));
    fs::remove(at(longest));

    // One byte more: the request names the output, fails, and leaves nothing.
    const std::string tooLong = nameOfBytes(256, 'm');
    finished = run({"-qm", "a.pdf", "b.pdf", "-o", tooLong});
    EXPECT_EQ(finished.status, 1);
    EXPECT_TRUE(holds(finished.errors, at(tooLong) + " cannot be created!")) << finished.errors;

    // A split whose pieces' names would pass 255 bytes: the log names the piece.
    const std::string source = nameOfBytes(254, 's');  // base of 250 bytes
    writeTestPdf(at(source), 2, "S");
    folder("out");
    finished = run({"-qsl", source, "-o", "out/"});
    EXPECT_EQ(finished.status, 1);
    EXPECT_TRUE(holds(contents(at("out/output.log")),
                      "out/" + source.substr(0, 250) + "01.pdf cannot be created!\r\n"));
    EXPECT_EQ(namesIn(at("out")), (std::set<std::string>{"output.log"}));

    EXPECT_EQ(made(), (std::set<std::string>{"a.pdf", "b.pdf", source, "out"}));
    EXPECT_TRUE(strayTemporaries(dir.path()).empty());
}

TEST_F(QuietNamesTest, ALoggedMergeToANameTooLongIsToldAsSuch) {
    // The log's name (output + ".log") is past the limit while the output is not.
    writeTestPdf(at("a.pdf"), 1, "A");
    writeTestPdf(at("b.pdf"), 1, "B");
    const std::string output = nameOfBytes(253, 'm');
    const ProgramRun finished = run({"-qml", "a.pdf", "b.pdf", "-o", output});
    EXPECT_EQ(finished.signal, 0);
    // The merge itself is written; the user is told the log could not be.
    EXPECT_EQ(pageTexts(at(output)), (Texts{"A 1", "B 1"}));
    EXPECT_TRUE(holds(finished.errors, at(output) + ".log")) << finished.errors;
    // Not the catch-all "cannot access": the name is what is wrong.
    EXPECT_FALSE(holds(finished.errors, "Cannot access either Path or File.")) << finished.errors;
    EXPECT_EQ(made(), (std::set<std::string>{"a.pdf", "b.pdf", output}));
}

// Folders nested deeper than a path may be long, made and removed through folder
// handles: no path to the bottom fits into one call.
class DeepFolder {
public:
    DeepFolder(const std::string& top, int levels) : component_(200, 'd'), levels_(levels) {
        int fd = ::open(top.c_str(), O_RDONLY | O_DIRECTORY);
        for (int i = 0; i < levels_ && fd >= 0; ++i) {
            ::mkdirat(fd, component_.c_str(), 0755);
            const int next = ::openat(fd, component_.c_str(), O_RDONLY | O_DIRECTORY);
            ::close(fd);
            fd = next;
        }
        bottom_ = fd;
    }
    ~DeepFolder() {
        if (bottom_ >= 0) ::close(bottom_);
    }
    DeepFolder(const DeepFolder&) = delete;
    DeepFolder& operator=(const DeepFolder&) = delete;

    bool made() const { return bottom_ >= 0; }
    // Moves a file from a short path into the bottom folder.
    bool moveIn(const std::string& from, const std::string& name) const {
        return ::renameat(AT_FDCWD, from.c_str(), bottom_, name.c_str()) == 0;
    }
    // The names in the bottom folder.
    std::set<std::string> names() const {
        std::set<std::string> found;
        DIR* listing = ::fdopendir(::dup(bottom_));
        if (!listing) return found;
        while (dirent* entry = ::readdir(listing)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") found.insert(name);
        }
        ::closedir(listing);
        return found;
    }
    // Goes down to the bottom folder from the top one, in steps short enough for chdir.
    void enter() const {
        for (int i = 0; i < levels_; ++i) {
            if (::chdir(component_.c_str()) != 0) ::_exit(125);
        }
    }
    // Empties the tree below `top` from the bottom up.
    static void removeBelow(const std::string& top) {
        const int fd = ::open(top.c_str(), O_RDONLY | O_DIRECTORY);
        if (fd >= 0) removeAllAt(fd);
    }

private:
    static void removeAllAt(int fd) {
        DIR* listing = ::fdopendir(fd);
        if (!listing) {
            ::close(fd);
            return;
        }
        std::vector<std::pair<std::string, bool>> entries;
        while (dirent* entry = ::readdir(listing)) {
            const std::string name = entry->d_name;
            if (name == "." || name == "..") continue;
            struct stat info {};
            const bool folder =
                ::fstatat(::dirfd(listing), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISDIR(info.st_mode);
            entries.emplace_back(name, folder);
        }
        for (const auto& [name, folder] : entries) {
            if (folder) {
                const int child =
                    ::openat(::dirfd(listing), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
                if (child >= 0) removeAllAt(child);
            }
            ::unlinkat(::dirfd(listing), name.c_str(), folder ? AT_REMOVEDIR : 0);
        }
        ::closedir(listing);
    }

    std::string component_;
    int levels_;
    int bottom_ = -1;
};

TEST_F(QuietNamesTest, ACurrentFolderDeeperThanAPathMayBeLongFailsCleanly) {
    const std::string top = folder("deep");
    {
        const DeepFolder deep(top, 22);  // 22 x 201 bytes: far past 4096
        ASSERT_TRUE(deep.made());
        writeTestPdf(at("a.pdf"), 1, "A");
        writeTestPdf(at("b.pdf"), 1, "B");
        ASSERT_TRUE(deep.moveIn(at("a.pdf"), "a.pdf"));
        ASSERT_TRUE(deep.moveIn(at("b.pdf"), "b.pdf"));

        ProgramOptions options{dir.path(), {"-qm", "a.pdf", "b.pdf", "-o", "merged.pdf"}};
        options.beforeStart = [&deep, &top] {
            if (::chdir(top.c_str()) != 0) ::_exit(125);
            deep.enter();
        };
        ProgramRun finished = runProgram(PAGEMELD_EXECUTABLE, options);
        EXPECT_EQ(finished.signal, 0);
        EXPECT_EQ(finished.status, 1) << finished.errors;
        EXPECT_TRUE(holds(finished.errors, "merged.pdf cannot be created!")) << finished.errors;

        options.arguments = {"-qsl", "a.pdf", "-o", "./"};
        finished = runProgram(PAGEMELD_EXECUTABLE, options);
        EXPECT_EQ(finished.signal, 0);
        EXPECT_EQ(finished.status, 1) << finished.errors;

        // Nothing was made but the split's log, which says which input it could not load.
        EXPECT_EQ(deep.names(), (std::set<std::string>{"a.pdf", "b.pdf", "output.log"}));
    }
    DeepFolder::removeBelow(top);
}

TEST_F(QuietNamesTest, NamesThatAreNoUtf8ReachTheFilesTheyName) {
    writeTestPdf(at("caf\xE9.pdf"), 1, "C");
    writeTestPdf(at("bad\xFF.pdf"), 2, "F");
    folder("raw\xFE");
    ProgramRun finished = run({"-qml", "caf\xE9.pdf", "bad\xFF.pdf", "-o", "out\xFF.pdf"});
    EXPECT_EQ(finished.status, 0) << finished.errors;
    EXPECT_EQ(pageTexts(at("out\xFF.pdf")), (Texts{"C 1", "F 1", "F 2"}));
    finished = run({"-qs", "bad\xFF.pdf", "-o", "raw\xFE/"});
    EXPECT_EQ(finished.status, 0) << finished.errors;
    EXPECT_EQ(namesIn(at("raw\xFE")), (std::set<std::string>{"bad\xFF"
                                                             "01.pdf",
                                                             "bad\xFF"
                                                             "02.pdf"}));
    // No name with the replacement character was made on the way.
    for (const std::string& name : made()) EXPECT_FALSE(holds(name, "\xEF\xBF\xBD")) << name;
}

}  // namespace
}  // namespace pagemeld::testing
