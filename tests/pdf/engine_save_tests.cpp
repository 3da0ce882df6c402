// Writing: atomic replacement, read-only and missing folders, writing over an input.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <thread>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

#include "pdf/atomic_file.h"
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
using Names = std::vector<std::string>;

Names folderEntries(const fs::path& folder) {
    Names names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string contents(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(EngineSave, WritingOverTheOpenedFileKeepsBothCorrect) {
    TempDir dir;
    const std::string file = dir.file("a.pdf");
    testing::writeTestPdf(file, 3, "A");
    QpdfEngine engine;
    const OpenedDocument whole = engine.open(file, "");
    ASSERT_FALSE(engine.write(file, whole.pageRun(2, 2), {}));
    EXPECT_EQ(pageTexts(file), labels("A", 2, 3));
    EXPECT_TRUE(testing::qpdfCheckClean(file));

    // The document opened from the replaced file still has its own pages.
    ASSERT_FALSE(engine.write(dir.file("b.pdf"), whole.pages, {}));
    EXPECT_EQ(pageTexts(dir.file("b.pdf")), labels("A", 1, 3));

    const PdfFailure missing = engine.write(dir.file("no such folder/out.pdf"), whole.pages, {});
    EXPECT_EQ(missing.code, errcode::kPathNotFound);
    EXPECT_EQ(missing.file, dir.file("no such folder/out.pdf"));
    fs::create_directory(dir.file("taken.pdf"));
    EXPECT_TRUE(engine.write(dir.file("taken.pdf"), whole.pages, {}));
    EXPECT_EQ(folderEntries(dir.path()), (Names{"a.pdf", "b.pdf", "taken.pdf"}));
#ifndef _WIN32
    // A pipe or a device is no file to replace: "-o /dev/null" must leave the device.
    ASSERT_EQ(::mkfifo(dir.file("pipe.pdf").c_str(), 0644), 0);
    fs::create_symlink("/dev/null", dir.file("null.pdf"));
    for (const char* special : {"pipe.pdf", "null.pdf"}) {
        EXPECT_TRUE(engine.write(dir.file(special), whole.pages, {})) << special;
    }
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(dir.file("pipe.pdf"))));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir.file("null.pdf"))));
    EXPECT_EQ(folderEntries(dir.path()),
              (Names{"a.pdf", "b.pdf", "null.pdf", "pipe.pdf", "taken.pdf"}));
#endif
}

// Windows has no read-only folders, and renaming over a file ignores its permissions
// on POSIX systems only.
TEST(EngineSavePosix, ReadOnlyFolderOrFileFailsAndLeavesEverythingAsItWas) {
    TempDir dir;
    testing::openToEveryone(dir.path().string());
    fs::permissions(dir.path(), fs::perms::all);
    const fs::path locked = dir.path() / "locked";
    fs::create_directory(locked);
    const std::string a = dir.file("a.pdf");
    const std::string existing = (locked / "existing.pdf").string();
    const std::string kept = dir.file("kept.pdf");
    testing::writeTestPdf(a, 2, "A");
    testing::writeTestPdf(existing, 1, "E");
    testing::writeTestPdf(kept, 1, "K");
    for (const auto& file : {a, existing, kept}) testing::openToEveryone(file);
    const auto readOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    fs::permissions(kept, readOnly);
    fs::permissions(
        locked, readOnly | fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec);
    const std::string before = contents(existing) + contents(kept);

    const int result = testing::runUnprivileged([&] {
        QpdfEngine engine;
        const OpenedDocument document = engine.open(a, "");
        if (!document.opened()) return 10;
        for (const auto& target : {(locked / "new.pdf").string(), existing, kept}) {
            const PdfFailure failure = engine.write(target, document.pages, {});
            if (failure.code != errcode::kPermissionDenied) return 11;
            if (failure.file != target) return 12;
            PdfFailure created;
            if (engine.startDocument(target, created) || !created) return 13;
        }
        // A writable file beside it is still written.
        return engine.write(dir.file("fresh.pdf"), document.pages, {}) ? 16 : 0;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(contents(existing) + contents(kept), before);
    EXPECT_EQ(folderEntries(locked), Names{"existing.pdf"});
    EXPECT_EQ(folderEntries(dir.path()), (Names{"a.pdf", "fresh.pdf", "kept.pdf", "locked"}));
}

#ifndef _WIN32
// The last steps of an atomic write fail too: the disk fills up at the final flush, or
// the temporary file cannot be renamed over the target. Neither leaves a file behind.
TEST(AtomicFilePosix, AFailedFinalStepLeavesNoTemporaryFileAndNoTarget) {
    struct Fault {
        const char* what;
        std::function<void(std::FILE*, const std::string& target)> make;
        Names left;
    };
    const std::vector<Fault> faults = {
        {"disk full",
         [](std::FILE* stream, const std::string&) {
             const int full = ::open("/dev/full", O_WRONLY);
             ::dup2(full, ::fileno(stream));
             ::close(full);
         },
         {}},
        {"target became a folder",
         [](std::FILE*, const std::string& target) { fs::create_directories(target + "/x"); },
         {"out.pdf"}},
    };
    for (const auto& fault : faults) {
        SCOPED_TRACE(fault.what);
        TempDir dir;
        std::int32_t error = 0;
        auto file = AtomicFile::create(dir.file("out.pdf"), error);
        ASSERT_TRUE(file);
        std::fputs("%PDF-1.7\n", file->stream());
        fault.make(file->stream(), dir.file("out.pdf"));
        EXPECT_FALSE(file->commit(error, false));
        EXPECT_NE(error, 0);
        EXPECT_EQ(folderEntries(dir.path()), fault.left);
    }
}

// A symbolic link named as the output stays a link: its target is replaced, beside
// itself, the way editors save through a link. A link that leads to no file, or to
// nothing that is a file, is refused and left alone.
TEST(AtomicFilePosix, ALinkNamedAsOutputStaysALinkAndItsTargetIsReplaced) {
    const struct {
        const char* what;
        std::vector<std::pair<const char*, const char*>> links;  // name, where it points
        const char* written;  // the file written, "" for a refusal
    } cases[] = {
        {"to a file in another folder", {{"out.pdf", "../other/old.pdf"}}, "other/old.pdf"},
        {"to no file yet, in a folder", {{"out.pdf", "{dir}/other/new.pdf"}}, "other/new.pdf"},
        {"a chain of links",
         {{"out.pdf", "step.pdf"}, {"step.pdf", "../other/old.pdf"}},
         "other/old.pdf"},
        {"to a device", {{"out.pdf", "/dev/null"}}, ""},
        {"to a link to itself", {{"out.pdf", "out.pdf"}}, ""},
        {"to no folder", {{"out.pdf", "../gone/new.pdf"}}, ""},
    };
    for (const auto& link : cases) {
        SCOPED_TRACE(link.what);
        TempDir dir;
        fs::create_directories(dir.path() / "work");
        fs::create_directories(dir.path() / "other");
        std::ofstream(dir.file("other/old.pdf")) << "old";
        std::vector<fs::path> pointsTo;
        for (const auto& [name, to] : link.links) {
            std::string where = to;
            if (where.rfind("{dir}", 0) == 0) where = dir.path().string() + where.substr(5);
            fs::create_symlink(where, dir.path() / "work" / name);
            pointsTo.push_back(where);
        }
        std::int32_t error = 0;
        auto file = AtomicFile::create(dir.file("work/out.pdf"), error);
        const std::string written = link.written;
        if (written.empty()) {
            EXPECT_FALSE(file);
            EXPECT_NE(error, 0);
        } else {
            ASSERT_TRUE(file) << error;
            std::fputs("new", file->stream());
            ASSERT_TRUE(file->commit(error, false)) << error;
            EXPECT_EQ(contents(dir.file(written)), "new");
        }
        // The links as they were, and no other file made in either folder.
        for (std::size_t i = 0; i < link.links.size(); ++i) {
            std::error_code ec;
            EXPECT_EQ(fs::read_symlink(dir.path() / "work" / link.links[i].first, ec), pointsTo[i]);
        }
        EXPECT_EQ(folderEntries(dir.path() / "work").size(), link.links.size());
        EXPECT_EQ(folderEntries(dir.path() / "other"),
                  written == "other/new.pdf" ? (Names{"new.pdf", "old.pdf"}) : Names{"old.pdf"});
    }
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

// A signal the program was started to ignore (nohup) stays ignored, and the write
// completes.
TEST(AtomicFilePosix, ASignalTheProgramWasStartedToIgnoreStaysIgnored) {
    TempDir dir;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGHUP, SIG_IGN);
        removeTemporaryFilesOnSignals();
        std::int32_t error = 0;
        auto file = AtomicFile::create(dir.file("out.pdf"), error);
        if (!file) ::_exit(3);
        std::fputs("%PDF-1.7\n", file->stream());
        ::raise(SIGHUP);
        ::_exit(file->commit(error, false) ? 0 : 4);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(folderEntries(dir.path()), Names{"out.pdf"});
}

// A program ended by a signal (a script's timeout, a closed terminal) leaves no hidden
// temporary file. The signal may come at any moment, also while the file is being
// created, reach whichever thread of the program, and come twice: many short runs that
// create, write, drop and commit outputs without pause, each ended at a random moment,
// leave none behind.
TEST(AtomicFilePosix, ASignalAtAnyMomentLeavesNoTemporaryFile) {
    TempDir dir;
    const std::string target = dir.file("out.pdf");
    std::mt19937 random(20240611);
    const int signals[] = {SIGINT, SIGTERM, SIGHUP};
    for (int run = 0; run < 300; ++run) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            removeTemporaryFilesOnSignals();
            // A second thread that the signal may be handed to instead.
            std::thread([] {
                for (;;) ::pause();
            }).detach();
            for (bool keep = false;; keep = !keep) {
                std::int32_t error = 0;
                auto file = AtomicFile::create(target, error);
                if (!file) continue;
                std::fputs("%PDF-1.7\n", file->stream());
                if (keep) file->commit(error, false);
            }
        }
        ::usleep(std::uniform_int_distribution<useconds_t>(200, 3000)(random));
        // Twice, as timeout(1) sends it: to the program, then to its process group.
        const int signal = signals[run % 3];
        ::kill(child, signal);
        ::kill(child, signal);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        for (const std::string& name : folderEntries(dir.path())) {
            ASSERT_EQ(name, "out.pdf") << "left by run " << run << ", " << ::strsignal(signal);
        }
    }
}
#endif

}  // namespace
}  // namespace pagemeld
