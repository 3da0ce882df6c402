// Writing into a full disk, a read-only disk and past a file size limit, through the
// engine, the window's runs and the quiet requests: the failing file is named with the
// reason, what was written before it stays whole, nothing is half-written and no input
// changes. The disks are small file systems the test mounts (CI runs as root), skipped
// where the machine does not allow it.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <set>

#include "lang/catalogue.h"
#include "pdf/qpdf_engine.h"
#include "support/form_harness.h"
#include "support/program_run.h"

namespace pagemeld::testing {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

enum class PlaceKind { FullDisk, ReadOnly, FileSizeLimit };
// Room on the full disk, and the size limit: each small output fits, the large page not.
constexpr std::uintmax_t kRoom = 160 * 1024;

void limitFileSize(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);  // beyond the limit a write fails with EFBIG
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class Unwritable;
struct Operation {
    const char* what;
    std::function<std::string(Unwritable&)> run;  // what a quiet request tells the user
    std::string output;     // one file, or the base of numbered pieces (base01.pdf, ...)
    Texts alsoOnEach = {};  // pages each piece holds after "A NN"
    std::string log = {};   // the log a quiet request writes
};

std::string piece(const std::string& base, int k) {
    return base + (k < 10 ? "0" : "") + std::to_string(k) + ".pdf";
}

// A place, and the operation writing into it.
class Unwritable : public ::testing::TestWithParam<std::tuple<PlaceKind, std::size_t>>,
                   protected FormHarness<QpdfEngine> {
protected:
    // The place: a folder where writing fails while it is active.
    Unwritable() {
        fs::create_directories(place());
        const auto room = std::to_string(kind() == PlaceKind::FullDisk ? kRoom : 1 << 20);
        if (kind() != PlaceKind::FileSizeLimit &&
            ::mount("pagemeld-test", place().c_str(), "tmpfs", MS_NOSUID | MS_NODEV,
                    ("size=" + room + ",mode=0777").c_str()) != 0) {
            whyNot = std::string("cannot mount a file system: ") + std::strerror(errno);
        }
        form.Form_Load("");
        writeGrowingPdf(work("report.pdf"));
        writeTestPdf(work("sheet.pdf"), 1, "B");
        reportBytes = fileText(work("report.pdf"));
    }
    ~Unwritable() override {
        activate(false);
        if (kind() != PlaceKind::FileSizeLimit && whyNot.empty()) {
            ::umount2(place().c_str(), MNT_DETACH);
        }
    }
    void activate(bool on) {
        if (on == active) return;
        active = on;
        if (kind() == PlaceKind::FileSizeLimit) {
            limitFileSize(on ? kRoom : RLIM_INFINITY);
        } else if (kind() == PlaceKind::ReadOnly) {
            ::mount(nullptr, place().c_str(), nullptr, MS_REMOUNT | (on ? MS_RDONLY : 0), nullptr);
        }
    }
    fs::path place() const { return dir.path() / "place"; }
    // "A 1".."A 3" (small pages) and "Z 1" (~750 KB of image, more than a place takes),
    // joined with qpdf itself so the document does not depend on the code under test.
    static void writeGrowingPdf(const std::string& path) {
        writeTestPdf(path + ".a", TestPdfOptions{3, "A", false});
        writeTestPdf(path + ".z", TestPdfOptions{1, "Z", true, 500});
        QPDF joined, other;
        joined.processFile((path + ".a").c_str());
        other.processFile((path + ".z").c_str());
        for (auto& page : QPDFPageDocumentHelper(other).getAllPages()) {
            QPDFPageDocumentHelper(joined).addPage(page, false);
        }
        QPDFWriter(joined, path.c_str()).write();
    }
    std::string placeFile(const std::string& name) const { return (place() / name).string(); }
    std::string expectedReason() const {
        const Catalogue english;
        return kind() == PlaceKind::ReadOnly ? english.MsgWhyDenied : english.MsgWhyDiskFull;
    }
    // On a read-only place nothing can be written; elsewhere the large page, fourth, fails.
    int firstFailing() const { return kind() == PlaceKind::ReadOnly ? 1 : 4; }
    // What a quiet request (which inherits the size limit) says on its console. Its
    // status: 1 when a split kept the pieces before the failing one, 3 when nothing was
    // written (a merge writes its one output whole or not at all).
    std::string quiet(const Texts& args) {
        const ProgramRun run = runProgram(PAGEMELD_EXECUTABLE, {dir.path() / "work", args});
        const bool wroteSome = args.front() == "-qsl" && firstFailing() > 1;
        EXPECT_EQ(run.status, wroteSome ? 1 : 3) << run.errors;
        return run.errors;
    }

    PlaceKind kind() const { return std::get<0>(GetParam()); }

public:
    static const std::vector<Operation>& operations();

protected:
    std::string whyNot;
    bool active = false;
    std::string reportBytes;
};

class UnwritableEngine : public Unwritable {};

TEST_P(UnwritableEngine, FailsNamingTheFileAndKeepsWhatWasThere) {
    if (!whyNot.empty()) GTEST_SKIP() << whyNot;
    writeTestPdf(placeFile("existing.pdf"), 1, "Old");
    const std::string before = fileText(placeFile("existing.pdf"));
    activate(true);
    const std::int32_t code =
        kind() == PlaceKind::ReadOnly ? errcode::kPermissionDenied : errcode::kDiskFull;
    const OpenedDocument report = pdf.open(work("report.pdf"), "");
    ASSERT_TRUE(report.opened());
    for (const std::string& target : {placeFile("new.pdf"), placeFile("existing.pdf")}) {
        const PdfFailure failure = pdf.write(target, report.pages, {});
        EXPECT_EQ(failure.code, code) << target;
        EXPECT_EQ(failure.file, target);
    }
    // Document by document: the output fails as it is made, written or put in place.
    PdfFailure failure;
    if (auto merged = pdf.startDocument(placeFile("merged.pdf"), failure)) {
        merged->append(pdf.open(work("sheet.pdf"), "").pages);
        failure = merged->append(report.pages);
        if (!failure) failure = merged->commit({});
    }
    EXPECT_EQ(failure.code, code);
    EXPECT_EQ(failure.file, placeFile("merged.pdf"));
    activate(false);
    EXPECT_EQ(namesIn(dir.path() / "place"), std::set<std::string>{"existing.pdf"});
    EXPECT_EQ(fileText(placeFile("existing.pdf")), before);
    EXPECT_EQ(fileText(work("report.pdf")), reportBytes);
}

const std::vector<Operation>& Unwritable::operations() {
    static const std::vector<Operation> rows = {
        {"WindowMerge",
         [](Unwritable& t) {
             t.form.mbut_fisier_add(t.work("sheet.pdf"));
             t.form.mbut_fisier_add(t.work("report.pdf"));
             t.form.moutput_file.text = t.placeFile("merged.pdf");
             t.form.cmd_merge_Click();
             return "";
         },
         "merged.pdf"},
        {"WindowSplit",
         [](Unwritable& t) {
             t.form.add_fisier_split(t.work("report.pdf"));
             t.form.txt_split_filename.text = "part";
             t.form.txt_split_dest.text = t.placeFile("");
             t.form.r_split_method1_Click();
             t.form.txt_split_meth1.text = "1";
             t.form.cmd_split_run_Click();
             return "";
         },
         "part"},
        {"WindowMix",
         [](Unwritable& t) {
             t.form.xbut_fisier_add(t.work("report.pdf"));
             t.form.xbut_fisier_add(t.work("sheet.pdf"));
             t.form.r_mix1_method1_e1.text = "1";
             t.form.r_mix2_method1_e1.text = "1";
             t.form.txt_mix_dest.text = t.placeFile("");
             t.form.cmd_mix_run_Click();
             return "";
         },
         "report",
         {"B 1"}},
#ifdef PAGEMELD_EXECUTABLE
        {"QuietSplit",
         [](Unwritable& t) {
             return t.quiet({"-qsl", "report.pdf", "-o", t.placeFile("")});
         },
         "report",
         {},
         "output.log"},
        {"QuietMerge",
         [](Unwritable& t) {
             return t.quiet({"-qml", "sheet.pdf", "report.pdf", "-o", t.placeFile("merged.pdf")});
         },
         "merged.pdf",
         {},
         "merged.pdf.log"},
#endif
    };
    return rows;
}

class UnwritableRun : public Unwritable {};

TEST_P(UnwritableRun, NamesTheFailingOutputAndWhyAndKeepsTheWholeOnes) {
    if (!whyNot.empty()) GTEST_SKIP() << whyNot;
    const Operation& operation = operations()[std::get<1>(GetParam())];
    const bool pieces = !operation.output.ends_with(".pdf");
    const std::string failing = pieces ? piece(operation.output, firstFailing()) : operation.output;
    activate(true);
    // What the user is told: a quiet request's console and log, or the window's boxes.
    std::string told = operation.run(*this);
    if (!operation.log.empty()) told += fileText(placeFile(operation.log));
    activate(false);
    for (const std::string& text : ui.boxTexts()) told += text + "\n";
    EXPECT_TRUE(contains(told, placeFile(failing) + " cannot be created!") ||
                contains(told, " " + placeFile(failing) + "\r\n"))
        << told;
    EXPECT_TRUE(contains(told, expectedReason())) << told;
    std::set<std::string> expected;
    for (int k = 1; pieces && k < firstFailing(); ++k) {
        const std::string name = piece(operation.output, k);
        Texts pages{"A " + std::to_string(k)};
        pages.insert(pages.end(), operation.alsoOnEach.begin(), operation.alsoOnEach.end());
        EXPECT_EQ(pageTexts(placeFile(name)), pages) << name;
        EXPECT_TRUE(qpdfCheckClean(placeFile(name))) << name;
        expected.insert(name);
    }
    if (!operation.log.empty() && fs::exists(placeFile(operation.log))) {
        expected.insert(operation.log);
    } else if (!operation.log.empty()) {
        // A log that cannot be written is said once, with why, on the console (whose
        // lines end in '\n' here).
        EXPECT_TRUE(contains(told, "The log file " + placeFile(operation.log) +
                                       " cannot be written!\n" + expectedReason()))
            << told;
    }
    EXPECT_EQ(namesIn(dir.path() / "place"), expected) << "a partial or temporary file was left";
    EXPECT_EQ(fileText(work("report.pdf")), reportBytes);
    EXPECT_EQ(pageTexts(work("sheet.pdf")), Texts{"B 1"});
}

const auto kPlaces =
    ::testing::Values(PlaceKind::FullDisk, PlaceKind::ReadOnly, PlaceKind::FileSizeLimit);

std::string testName(const ::testing::TestParamInfo<Unwritable::ParamType>& info) {
    const auto [kind, row] = info.param;
    const std::string name = Texts{"FullDisk", "ReadOnly", "FileSizeLimit"}[static_cast<int>(kind)];
    return row == SIZE_MAX ? name : name + "_" + Unwritable::operations()[row].what;
}

INSTANTIATE_TEST_SUITE_P(Places, UnwritableEngine,
                         ::testing::Combine(kPlaces, ::testing::Values(SIZE_MAX)), testName);
INSTANTIATE_TEST_SUITE_P(
    Places, UnwritableRun,
    ::testing::Combine(kPlaces, ::testing::Range(std::size_t{0}, Unwritable::operations().size())),
    testName);

}  // namespace
}  // namespace pagemeld::testing
