// Hostile files, each attacking a way a reader can be made to crash, hang or fill memory,
// through the engine and through the quiet requests of the real program: every operation
// ends in bounded time (or the suite's timeout) with a correct result or a failure that
// says so, and leaves no partial file.
#include <gtest/gtest.h>

#include <qpdf/Pl_Buffer.hh>
#include <qpdf/Pl_Flate.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <filesystem>
#include <fstream>
#include <functional>

#include "pdf/light_page_counter.h"
#include "pdf/qpdf_engine.h"
#include "support/program_run.h"
#include "support/temp_dir.h"
#include "support/test_pdfs.h"

namespace pagemeld {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;
using Objects = std::vector<std::string>;

// A PDF of `objects` (object k is objects[k-1]) with a correct cross-reference table.
std::string pdfText(const Objects& objects, const std::string& trailerExtra = {}) {
    std::string text = "%PDF-1.5\n%\xe2\xe3\xcf\xd3\n";
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(text.size());
        text += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const std::size_t xref = text.size();
    text += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    char line[32];
    for (std::size_t offset : offsets) {
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
        text += line;
    }
    return text + "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R " +
           trailerExtra + ">>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
}

std::string page(int parent, const std::string& extra = {}) {
    return "<< /Type /Page /Parent " + std::to_string(parent) +
           " 0 R /MediaBox [0 0 200 200] /Resources << >> " + extra + ">>";
}

// `inflated` zero bytes, deflated: about a thousandth of the size.
std::string deflatedZeros(std::size_t inflated) {
    Pl_Buffer buffer("bomb");
    Pl_Flate flate("deflate", &buffer, Pl_Flate::a_deflate);
    const std::string chunk(1 << 20, '\0');
    for (std::size_t done = 0; done < inflated; done += chunk.size()) {
        flate.write(reinterpret_cast<const unsigned char*>(chunk.data()),
                    std::min(chunk.size(), inflated - done));
    }
    flate.finish();
    auto data = buffer.getBufferSharedPointer();
    return {reinterpret_cast<const char*>(data->getBuffer()), data->getSize()};
}

// Catalog, page tree, and two sound pages, with `extra` objects after them.
Objects twoPages(const std::string& first = {}, const std::string& second = {},
                 const Objects& extra = {}) {
    Objects objects{"<< /Type /Catalog /Pages 2 0 R >>",
                    "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>", page(2, first),
                    page(2, second)};
    objects.insert(objects.end(), extra.begin(), extra.end());
    return objects;
}

// One page under a chain of `levels` page-tree nodes; node k (1 at the top) gets the
// entries `nodeEntries(k)`.
std::string deepPageTree(
    int levels, const std::function<std::string(int)>& nodeEntries = {},
    const std::string& pageEntries = "/MediaBox [0 0 200 200] /Resources << >> ") {
    Objects objects{"<< /Type /Catalog /Pages 2 0 R >>"};
    for (int level = 1; level <= levels; ++level) {
        const int self = level + 1;
        objects.push_back("<< /Type /Pages " +
                          (level > 1 ? "/Parent " + std::to_string(self - 1) + " 0 R " : "") +
                          "/Kids [" + std::to_string(self + 1) + " 0 R] /Count 1 " +
                          (nodeEntries ? nodeEntries(level) : "") + ">>");
    }
    objects.push_back("<< /Type /Page /Parent " + std::to_string(levels + 1) + " 0 R " +
                      pageEntries + ">>");
    return pdfText(objects);
}

struct HostileFile {
    std::string name;
    // Pages a sound reader counts when it loads it; 0 when it must refuse it, -1 when
    // either is fine (damaged but recoverable).
    int pagesIfLoaded;
    std::function<std::string()> bytes;  // the file's content; no value makes a folder
};

const std::vector<HostileFile>& hostileFiles() {
    static const std::vector<HostileFile> files = {
        // A page whose contents inflate to 1 GiB: copying pages must not inflate them.
        {"CompressionBomb", 1,
         [] {
             const std::string bomb = deflatedZeros(std::size_t{1} << 30);
             return pdfText({"<< /Type /Catalog /Pages 2 0 R >>",
                             "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                             page(2, "/Contents 4 0 R "),
                             "<< /Length " + std::to_string(bomb.size()) +
                                 " /Filter /FlateDecode >>\nstream\n" + bomb + "\nendstream"});
         }},
        {"DeepNesting", -1,
         [] {
             return pdfText(
                 twoPages("/Deep " + std::string(100000, '[') + std::string(100000, ']') + " "));
         }},
        // Page trees nested deeply: readers that walk them by recursion run out of stack,
        // at a depth that differs between platforms. Opened everywhere up to a limit,
        // refused as damaged everywhere beyond it.
        {"DeepPageTree", 1, [] { return deepPageTree(10000); }},
        {"TooDeepPageTree", 0, [] { return deepPageTree(100000); }},
        // A /Kids entry pointing back at the root of the page tree.
        {"PageTreeLoop", -1,
         [] {
             return pdfText({"<< /Type /Catalog /Pages 2 0 R >>",
                             "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>",
                             "<< /Type /Pages /Parent 2 0 R /Kids [5 0 R 2 0 R] /Count 2 >>",
                             page(2), page(3)});
         }},
        // Objects referring to each other in a ring, reached from a page and the trailer.
        {"ReferenceLoops", -1,
         [] {
             return pdfText(
                 twoPages("/Ring 5 0 R /Self 3 0 R ", {},
                          {"<< /Next 6 0 R >>", "<< /Next 7 0 R /Array [5 0 R 6 0 R] >>", "7 0 R"}),
                 "/Info 5 0 R ");
         }},
        // A stream declaring a terabyte, and one whose length refers to itself.
        {"HugeDeclaredLength", -1,
         [] {
             return pdfText(twoPages("/Contents 5 0 R ", "/Contents 6 0 R ",
                                     {"<< /Length 1099511627776 >>\nstream\n0 0 m S\nendstream",
                                      "<< /Length 6 0 R >>\nstream\n0 0 m S\nendstream"}));
         }},
        {"Truncated", -1,
         [] {
             const std::string whole = pdfText(twoPages());
             return whole.substr(0, whole.size() / 2);
         }},
        {"Folder", 0, nullptr},
        {"ZeroBytes", 0, [] { return std::string(); }},
        // More pages than a 16-bit count holds.
        {"FortyThousandPages", 40000,
         [] {
             Objects objects{"<< /Type /Catalog /Pages 2 0 R >>", ""};
             std::string kids;
             for (int i = 0; i < 40000; ++i) {
                 objects.push_back("<< /Type /Page /Parent 2 0 R >>");
                 kids += std::to_string(i + 3) + " 0 R ";
             }
             objects[1] =
                 "<< /Type /Pages /Kids [" + kids + "] /Count 40000 /MediaBox [0 0 100 100] >>";
             return pdfText(objects);
         }},
    };
    return files;
}

// The pages qpdf finds, -1 for no PDF.
int pagesOf(const fs::path& path) try { return testing::pageCount(path.string()); } catch (...) {
    return -1;
}

class Hostile : public ::testing::TestWithParam<HostileFile> {
protected:
    Hostile() {
        if (GetParam().bytes) {
            std::ofstream(dir.path() / input, std::ios::binary) << GetParam().bytes();
        } else {
            fs::create_directory(dir.path() / input);
        }
        testing::writeTestPdf(dir.file("good.pdf"), 3, "G");
    }
    const std::string input = GetParam().name + ".pdf";
    TempDir dir;
};

TEST_P(Hostile, EveryEngineOperationEndsCleanly) {
    const int expectedPages = GetParam().pagesIfLoaded;
    std::set<std::string> expected{input, "good.pdf"};
    QpdfEngine engine;
    // Refused with a reason where it must or may be, opened where it may be.
    const OpenedDocument document = engine.open(dir.file(input), "");
    EXPECT_TRUE(document.opened() ? expectedPages != 0
                                  : expectedPages <= 0 && document.failure.code != 0)
        << "error " << document.failure.code;
    const std::int32_t pages = document.pageCount();
    if (expectedPages > 0) {
        EXPECT_EQ(pages, expectedPages);
    }
    if (pages > 0 && !engine.write(dir.file("extract.pdf"), document.pageRun(1, 2), {})) {
        // The first two pages as a file of their own.
        EXPECT_EQ(pagesOf(dir.file("extract.pdf")), std::min(pages, 2));
        expected.insert("extract.pdf");
    }
    // The hostile file first, then a sound one: the sound file is written whatever happens.
    PdfFailure failure;
    auto writer = engine.startDocument(dir.file("merged.pdf"), failure);
    ASSERT_TRUE(writer);
    writer->append(document.pages);
    writer->append(engine.open(dir.file("good.pdf"), "").pages);
    EXPECT_FALSE(writer->commit({}));
    const int merged = pagesOf(dir.file("merged.pdf"));
    EXPECT_TRUE(merged == 3 || (pages > 0 && merged == 3 + pages)) << merged;
    expected.insert("merged.pdf");
    // The light counter gives a number or refuses; it never runs away.
    std::int32_t error = 0;
    EXPECT_GE(countPagesLightly(dir.file(input), error), 0);
    EXPECT_EQ(testing::namesIn(dir.path()), expected) << "a partial or stray file was left behind";
}

// A page far down a deep tree keeps what it inherits from a node half way down.
TEST(DeepPageTree, APageKeepsWhatItInheritsFromFarAbove) {
    TempDir dir;
    std::ofstream(dir.path() / "deep.pdf", std::ios::binary) << deepPageTree(
        10000, [](int level) { return level == 5000 ? "/MediaBox [0 0 300 100] /Rotate 90 " : ""; },
        "/Resources << >> ");
    QpdfEngine engine;
    const OpenedDocument deep = engine.open(dir.file("deep.pdf"), "");
    ASSERT_TRUE(deep.opened()) << deep.failure.code;
    ASSERT_FALSE(engine.write(dir.file("piece.pdf"), deep.pageRun(1, 1), {}));
    QPDF piece;
    piece.processFile(dir.file("piece.pdf").c_str());
    QPDFPageObjectHelper page(piece.getAllPages().at(0));
    EXPECT_EQ(page.getAttribute("/Rotate", false).unparse(), "90");
    EXPECT_EQ(page.getAttribute("/MediaBox", false).unparse(), "[ 0 0 300 100 ]");
}

#ifdef PAGEMELD_EXECUTABLE
constexpr bool kSanitized = PAGEMELD_SANITIZED;
// A file under 10 MB is done within 30 s and 1 GiB. The sanitizer build's shadow memory
// makes neither figure meaningful there, so it is only given more time.
constexpr auto kTimeLimit = std::chrono::seconds(kSanitized ? 90 : 30);

testing::ProgramRun runPagemeld(const fs::path& folder, const std::vector<std::string>& args) {
    testing::ProgramOptions options{folder, args};
    options.cpuLimit = 2 * kTimeLimit;  // the kernel stops a runaway
    testing::ProgramRun run = testing::runProgram(PAGEMELD_EXECUTABLE, options);
    EXPECT_EQ(run.signal, 0) << args[0] << run.errors;
    EXPECT_LE(run.elapsed, kTimeLimit) << args[0];
    if (!kSanitized) {
        EXPECT_LE(run.peakKiB, 1024 * 1024) << args[0];
    }
    return run;
}

TEST_P(Hostile, QuietSplitAndMergeEndWithAClearResult) {
    const int expectedPages = GetParam().pagesIfLoaded;
    fs::create_directory(dir.path() / "out");

    // Every piece the split leaves is a whole one-page file; a refused file is named in
    // the log and ends the request with status 3, nothing written.
    const auto split = runPagemeld(dir.path(), {"-qsl", input, "-o", "out/"});
    const std::string splitLog = testing::fileText(dir.path() / "out" / "output.log");
    int pieces = 0;
    for (const auto& entry : fs::directory_iterator(dir.path() / "out")) {
        if (entry.path().filename() == "output.log") continue;
        EXPECT_EQ(pagesOf(entry.path()), 1) << "a partial or stray piece " << entry.path();
        ++pieces;
    }
    if (expectedPages >= 0) {
        // Pages after page 999 are left out, which makes the request partly done.
        EXPECT_EQ(split.status, expectedPages == 0 ? 3 : expectedPages > 999 ? 1 : 0) << splitLog;
        EXPECT_EQ(pieces, std::min(expectedPages, 999));
    }
    if (split.status != 0) {
        EXPECT_TRUE(splitLog.find("Error loading file " + dir.file(input)) != std::string::npos ||
                    splitLog.find(" cannot be created!") != std::string::npos ||
                    splitLog.find("Pages after page 999 were left out") != std::string::npos)
            << "the log does not say what failed:\n"
            << splitLog;
    }

    // A merge with a sound file after it: the sound pages are always there.
    const auto merge = runPagemeld(dir.path(), {"-qml", input, "good.pdf", "-o", "merged.pdf"});
    const int merged = pagesOf(dir.path() / "merged.pdf");
    if (expectedPages == 0) {
        EXPECT_EQ(merge.status, 1);
    }
    if (merge.status == 0) {
        EXPECT_EQ(merged, expectedPages > 0 ? expectedPages + 3 : merged);
        EXPECT_GT(merged, 3);
    } else {
        EXPECT_EQ(merge.status, 1) << merge.errors;
        EXPECT_EQ(merged, 3);
        EXPECT_NE(testing::fileText(dir.path() / "merged.pdf.log").find(dir.file(input)),
                  std::string::npos);
    }
    EXPECT_EQ(
        testing::namesIn(dir.path()),
        (std::set<std::string>{input, "good.pdf", "out", "merged.pdf", "merged.pdf.log", ".home"}));
}
#endif

INSTANTIATE_TEST_SUITE_P(Files, Hostile, ::testing::ValuesIn(hostileFiles()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace pagemeld
