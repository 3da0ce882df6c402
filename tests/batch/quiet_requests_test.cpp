// The quiet split and merge requests on generated files, with their logs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/app_state.h"
#include "batch/quiet_requests.h"
#include "batch/request_files.h"
#include "errors/error_handler.h"
#include "lang/catalogue.h"
#include "pdf/qpdf_engine.h"
#include "support/fake_services.h"
#include "support/temp_dir.h"
#include "support/test_pdfs.h"

namespace pagemeld {
namespace {

namespace fs = std::filesystem;
using testing::labels;
using testing::pageTexts;
using testing::TempDir;

std::vector<std::string> logLines(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    EXPECT_EQ(start, text.size()) << "every line ends in CRLF";
    return lines;
}

std::vector<std::string> pdfFilesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == ".pdf") names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class QuietRequests : public ::testing::Test {
protected:
    QuietRequests() : system(dir.file("program")), errors(ui, system) {
        system.userData = dir.file("data");
        state.split_max_page = 999;
        state.batch_log = 1;
        fs::create_directory(dir.file("in"));
        fs::create_directory(dir.file("out"));
    }
    std::string in(const std::string& name) { return (dir.path() / "in" / name).string(); }
    std::string out() { return (dir.path() / "out").string() + "/"; }

    TempDir dir;
    testing::FakeUi ui;
    testing::FakeSystem system;
    ErrorReporter errors;
    QpdfEngine pdf;
    AppState state;
    Catalogue catalogue;
    QuietRequestContext context{pdf, state, errors, ui, system, catalogue};
};

TEST_F(QuietRequests, SplitWritesEveryPageOfEveryFileNumberedFromOne) {
    testing::writeTestPdf(in("ten.pdf"), 10, "T");
    testing::writeTestPdf(in("twenty.pdf"), 20, "W");
    EXPECT_TRUE(process_quiet_split_line(context, {in("ten.pdf"), in("twenty.pdf")}, out()));
    auto files = pdfFilesIn(dir.path() / "out");
    ASSERT_EQ(files.size(), 30u);
    EXPECT_EQ(files.front(), "ten01.pdf");
    EXPECT_EQ(files[9], "ten10.pdf");
    EXPECT_EQ(files[10], "twenty01.pdf");
    EXPECT_EQ(files.back(), "twenty20.pdf");
    EXPECT_EQ(pageTexts(out() + "ten07.pdf"), std::vector<std::string>{"T 7"});
    EXPECT_EQ(pageTexts(out() + "twenty20.pdf"), std::vector<std::string>{"W 20"});
    EXPECT_EQ(testing::infoEntries(out() + "ten01.pdf")["Creator"], "Ombrix Pagemeld Driver");

    const auto log = logLines(out() + "output.log");
    ASSERT_EQ(log.size(), 1u + 1u + 10u + 1u + 20u);
    EXPECT_EQ(log[0], "Processing request from:2026-12-05 15:12:17");
    EXPECT_EQ(log[1], "Processing file " + in("ten.pdf"));
    EXPECT_EQ(log[2], "Saving output file: " + out() + "ten01.pdf");
    EXPECT_EQ(log[12], "Processing file " + in("twenty.pdf"));
    // Only the inputs stay in the engine's memory no longer than their split.
    EXPECT_EQ(pdf.documentCount(), 0u);
}

TEST_F(QuietRequests, SplitStopsAtPage999AndSkipsWhatItCannotRead) {
    testing::TestPdfOptions big;
    big.pages = 1200;
    big.sharedImage = false;
    testing::writeTestPdf(in("big.pdf"), big);
    testing::writeNotPdf(in("text.pdf"));
    testing::TestPdfOptions locked;
    testing::writeEncryptedPdf(in("locked.pdf"), locked, testing::Encryption::Aes256, "u", "o");
    std::ofstream(in("notes.txt")) << "x";

    EXPECT_FALSE(process_quiet_split_line(
        context, {in("notes.txt"), in("text.pdf"), in("locked.pdf"), in("big.pdf")}, out()));
    auto files = pdfFilesIn(dir.path() / "out");
    ASSERT_EQ(files.size(), 999u);
    EXPECT_EQ(files.back(), "big999.pdf");
    const auto log = logLines(out() + "output.log");
    EXPECT_EQ(log[1],
              "Please use only PDF files. File:" + in("notes.txt") + "- doesn't look to be a PDF");
    EXPECT_EQ(log[2], "Error loading file " + in("text.pdf"));
    EXPECT_EQ(log[3],
              "File " + in("locked.pdf") + "cannot be decrypted using the quiet split method!");
    EXPECT_EQ(log[4], "Processing file " + in("big.pdf"));
}

TEST_F(QuietRequests, SplitIntoAMissingFolderFailsAndWritesNothing) {
    testing::writeTestPdf(in("a.pdf"), 3, "A");
    state.batch_log = 0;
    const std::string missing = dir.file("nowhere") + "/";
    EXPECT_FALSE(process_quiet_split_line(context, {in("a.pdf")}, missing));
    EXPECT_FALSE(fs::exists(dir.file("nowhere")));
    // Without the log switch nothing at all is written.
    EXPECT_FALSE(fs::exists(out() + "output.log"));
}

TEST_F(QuietRequests, MergeJoinsInOrderAndLogsEachFile) {
    testing::writeTestPdf(in("a.pdf"), 2, "A");
    testing::writeTestPdf(in("b.pdf"), 1, "B");
    testing::TestPdfOptions first;
    first.pages = 2;
    first.label = "C";
    first.info = {{"Title", "The C report"}, {"Author", "C. Writer"}};
    testing::writeTestPdf(in("c.pdf"), first);
    const std::string output = out() + "merged.pdf";
    EXPECT_TRUE(process_merge_line(context, {in("c.pdf"), in("a.pdf"), in("b.pdf")}, output));
    EXPECT_EQ(pageTexts(output), (std::vector<std::string>{"C 1", "C 2", "A 1", "A 2", "B 1"}));
    EXPECT_TRUE(testing::qpdfCheckClean(output));
    // The first file's information, as the window's merge keeps it.
    EXPECT_EQ(testing::infoEntries(output)["Title"], "The C report");
    EXPECT_EQ(testing::infoEntries(output)["Author"], "C. Writer");
    EXPECT_EQ(
        logLines(output + ".log"),
        (std::vector<std::string>{"Processing request from:2026-12-05 15:12:17",
                                  "Merged file(base): " + in("c.pdf"),
                                  "Merged file: " + in("a.pdf"), "Merged file: " + in("b.pdf")}));

    // A second request appends to the same log.
    EXPECT_FALSE(process_merge_line(context, {in("a.pdf")}, output));
    const auto log = logLines(output + ".log");
    ASSERT_EQ(log.size(), 6u);
    EXPECT_EQ(log[5], "Please add at least 2 PDF files to merge!");
}

TEST_F(QuietRequests, MergeSkipsUnloadableAndNonPdfFiles) {
    testing::writeNotPdf(in("bad.pdf"));
    testing::writeTestPdf(in("a.pdf"), 1, "A");
    testing::writeTestPdf(in("b.pdf"), 1, "B");
    std::ofstream(in("b.txt")) << "text";
    testing::TestPdfOptions options;
    testing::writeEncryptedPdf(in("locked.pdf"), options, testing::Encryption::Rc4_128, "u", "o");
    const std::string output = out() + "m.pdf";
    EXPECT_FALSE(process_merge_line(
        context, {in("bad.pdf"), in("locked.pdf"), in("a.pdf"), in("b.txt"), in("b.pdf")}, output));
    EXPECT_EQ(pageTexts(output), (std::vector<std::string>{"A 1", "B 1"}));
    EXPECT_EQ(
        logLines(output + ".log"),
        (std::vector<std::string>{
            "Processing request from:2026-12-05 15:12:17", "Error loading file " + in("bad.pdf"),
            in("locked.pdf") + " cannot be merged. It was skipped!",
            "Merged file(base): " + in("a.pdf"),
            "Please add only PDF files. File:" + in("b.txt") + "- doesn't look to be a PDF",
            "Merged file: " + in("b.pdf")}));

    // a.pdf with a text file: a copy of a.pdf.
    const std::string copy = out() + "copy.pdf";
    EXPECT_FALSE(process_merge_line(context, {in("a.pdf"), in("b.txt")}, copy));
    EXPECT_EQ(pageTexts(copy), std::vector<std::string>{"A 1"});
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(QuietRequests, NoOutputReplacesAFileTheRequestReadsOrWrote) {
    testing::writeTestPdf(in("report.pdf"), 2, "R");
    testing::writeTestPdf(in("report01.pdf"), 1, "Q");
    const std::string folder = in("");
    const auto bytes = [](const std::string& file) {
        std::ifstream stream(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(stream), {});
    };
    const std::string before = bytes(in("report01.pdf"));
    const std::string skipped =
        in("report01.pdf") + " was skipped: it would replace a file this request reads or wrote!";

    // The first piece of report.pdf would be report01.pdf, an input; the second one
    // of the same file twice, a piece written before.
    EXPECT_FALSE(process_quiet_split_line(
        context, {in("report.pdf"), in("report01.pdf"), in("report.pdf")}, folder));
    EXPECT_EQ(bytes(in("report01.pdf")), before);
    EXPECT_EQ(pageTexts(in("report02.pdf")), std::vector<std::string>{"R 2"});
    EXPECT_EQ(pageTexts(in("report0101.pdf")), std::vector<std::string>{"Q 1"});
    const auto log = logLines(folder + "output.log");
    EXPECT_EQ(std::count(log.begin(), log.end(), skipped), 2);
    EXPECT_EQ(std::count(log.begin(), log.end(),
                         in("report02.pdf") +
                             " was skipped: it would replace a file this request reads or wrote!"),
              1);
    // Shown even with a log: an input was nearly lost.
    EXPECT_EQ(ui.boxTexts().size(), 3u);

    // A merge onto one of its inputs, spelt another way, writes nothing.
    ui.boxes.clear();
    const std::string samePlace = folder + "../in/report01.pdf";
    EXPECT_FALSE(process_merge_line(context, {in("report.pdf"), in("report01.pdf")}, samePlace));
    EXPECT_EQ(bytes(in("report01.pdf")), before);
    EXPECT_EQ(ui.boxTexts(), std::vector<std::string>{replacedFileLine(samePlace)});
}

TEST_F(QuietRequests, MergeOutputThatCannotBeCreatedIsShownAndLogged) {
    testing::writeTestPdf(in("a.pdf"), 1, "A");
    testing::writeNotPdf(in("bad.pdf"));
    testing::writeTestPdf(in("b.pdf"), 1, "B");
    const std::string output = dir.file("missing") + "/m.pdf";
    state.batch_log = 0;
    // The merge stops at its output before reading any input; each input is still
    // checked, so the one that could never have been merged is named first.
    EXPECT_FALSE(process_merge_line(context, {in("a.pdf"), in("bad.pdf"), in("b.pdf")}, output));
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[0].text, "Error loading file " + in("bad.pdf"));
    EXPECT_EQ(ui.boxes[1].text, output + " cannot be created!\r\nThe folder does not exist.");
    EXPECT_EQ(ui.boxes[1].style, msgbox::kExclamation);
    EXPECT_EQ(ui.boxes[1].title, "Ombrix Pagemeld");
}

TEST_F(QuietRequests, WithoutALogProblemsAreShownInstead) {
    testing::writeTestPdf(in("a.pdf"), 2, "A");
    testing::writeNotPdf(in("text.pdf"));
    state.batch_log = 0;
    const std::string missing = dir.file("nowhere") + "/";
    EXPECT_FALSE(process_quiet_split_line(context, {in("text.pdf"), in("a.pdf")}, missing));
    EXPECT_EQ(ui.boxTexts(),
              (std::vector<std::string>{"Error loading file " + in("text.pdf"),
                                        missing + "a01.pdf cannot be created!\r\nThe folder does "
                                                  "not exist."}));

    // With the log switch on, the log cannot be written in a missing folder either: that
    // is told once, and the problems are shown as without the log.
    ui.boxes.clear();
    state.batch_log = 1;
    EXPECT_FALSE(process_quiet_split_line(context, {in("a.pdf")}, missing));
    EXPECT_EQ(ui.boxTexts(),
              (std::vector<std::string>{
                  "The log file " + missing +
                      "output.log cannot be written!\r\nThe folder does "
                      "not exist.",
                  missing + "a01.pdf cannot be created!\r\nThe folder does not exist."}));
    EXPECT_FALSE(fs::exists(missing));
}

TEST_F(QuietRequests, ALogThatCannotBeWrittenIsToldOnceAndTheRequestGoesOn) {
    testing::writeTestPdf(in("a.pdf"), 3, "A");
    testing::writeNotPdf(in("text.pdf"));
    // Something that is not a file already holds the log's name.
    fs::create_directory(out() + "output.log");
    EXPECT_FALSE(process_quiet_split_line(context, {in("text.pdf"), in("a.pdf")}, out()));
    EXPECT_EQ(ui.boxTexts(),
              (std::vector<std::string>{"The log file " + out() + "output.log cannot be written!",
                                        "Error loading file " + in("text.pdf")}));
    EXPECT_EQ(pdfFilesIn(dir.path() / "out"),
              (std::vector<std::string>{"a01.pdf", "a02.pdf", "a03.pdf"}));

    // A merge the same (each request starts with its log not yet tried).
    ui.boxes.clear();
    context.logLost = false;
    fs::create_directory(out() + "m.pdf.log");
    // Merged, but the log asked for is missing: not everything was done.
    EXPECT_FALSE(process_merge_line(context, {in("a.pdf"), in("a.pdf")}, out() + "m.pdf"));
    EXPECT_EQ(ui.boxTexts(),
              std::vector<std::string>{"The log file " + out() + "m.pdf.log cannot be written!"});
    EXPECT_EQ(pageTexts(out() + "m.pdf"),
              (std::vector<std::string>{"A 1", "A 2", "A 3", "A 1", "A 2", "A 3"}));
}

}  // namespace
}  // namespace pagemeld
