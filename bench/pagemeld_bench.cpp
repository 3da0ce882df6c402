// One benchmark job per run: an outer script times each run and reads its peak
// memory, so every subcommand does its job once and exits 0 only on success.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/form1.h"
#include "errors/error_handler.h"
#include "pdf/qpdf_engine.h"
#include "support/fake_services.h"
#include "support/temp_dir.h"
#include "support/test_pdfs.h"

namespace {

namespace fs = std::filesystem;
using pagemeld::QpdfEngine;
namespace testing = pagemeld::testing;

int usage() {
    std::cerr << "usage:\n"
                 "  pagemeld_bench make-split-input <file> <pages>\n"
                 "  pagemeld_bench make-merge-inputs <folder> <count> [pages]\n"
                 "  pagemeld_bench make-encrypted <file> <pages>\n"
                 "  pagemeld_bench split <file> <outfolder>\n"
                 "  pagemeld_bench merge <folder> <count> <out>\n"
                 "  pagemeld_bench decrypt <in> <out> <password>\n"
                 "  pagemeld_bench merge-list-add <folder> <count>\n"
                 "  pagemeld_bench merge-run <folder> <count> <out>\n"
                 "  pagemeld_bench make-mix-input <file> <pages> <label>\n"
                 "  pagemeld_bench mix <first> <second> <outfolder>\n"
                 "  pagemeld_bench split-run <file> <outfolder>\n"
                 "  pagemeld_bench make-scan <file> <pages> <megabytes a page>\n"
                 "  pagemeld_bench make-scans <folder> <count>\n";
    return 2;
}

// A positive count, or -1 when the text is not one.
int positive(const std::string& text) {
    if (text.empty() || text.size() > 9) return -1;
    for (char c : text) {
        if (c < '0' || c > '9') return -1;
    }
    const int value = std::stoi(text);
    return value > 0 ? value : -1;
}

std::string numbered(const char* prefix, int number, int width, const char* suffix) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%0*d", width, number);
    return std::string(prefix) + digits + suffix;
}

std::string mergeInput(const fs::path& folder, int number) {
    return (folder / numbered("in", number, 5, ".pdf")).string();
}

int fail(const std::string& what, std::int32_t code) {
    std::cerr << "pagemeld_bench: " << what << " (error " << code << ")\n";
    return 1;
}

// The PDF files in a folder: the outputs a run wrote there.
long filesIn(const fs::path& folder) {
    return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
}

int makeSplitInput(const std::string& file, int pages) {
    testing::TestPdfOptions options;
    options.pages = pages;
    options.sharedImage = true;
    options.imageSide = 256;  // 192 KB of noise: a piece that copies it twice shows at once
    testing::writeTestPdf(file, options);
    return 0;
}

// `count` files, each of `pages` pages, or alternately 1 and 2 pages when `pages` is 0.
int makeMergeInputs(const fs::path& given, int count, int pages) {
    fs::create_directories(given);
    // Absolute names, so the argument file works from any working folder.
    const fs::path folder = fs::absolute(given);
    std::ofstream args(folder / "qpdf-args.txt");
    for (int i = 1; i <= count; ++i) {
        testing::TestPdfOptions options;
        options.pages = pages > 0 ? pages : i % 2 == 1 ? 1 : 2;
        options.label = numbered("F", i, 5, "");
        options.sharedImage = true;
        options.imageSide = 32;
        const std::string name = mergeInput(folder, i);
        testing::writeTestPdf(name, options);
        args << name << '\n';
    }
    args.close();
    if (!args) {
        std::cerr << "pagemeld_bench: cannot write " << (folder / "qpdf-args.txt") << "\n";
        return 1;
    }
    return 0;
}

// A scanned document: every page one uncompressed RGB image of noise (which no filter
// would shrink) of about `bytesPerPage` bytes, 2480 pixels wide (A4 at 300 dpi), drawn
// over the whole page. Written straight to the file in blocks: inputs of hundreds of
// megabytes cost the generator no memory, and no PDF library holds them.
class ScanWriter {
public:
    explicit ScanWriter(const std::string& file) : out_(std::fopen(file.c_str(), "wb")) {
        if (!out_) throw std::runtime_error("cannot create " + file);
    }
    ~ScanWriter() {
        if (out_) std::fclose(out_);
    }

    void write(int pages, std::int64_t bytesPerPage, std::uint64_t seed) {
        constexpr std::int64_t width = 2480;
        const std::int64_t height = std::max<std::int64_t>(1, bytesPerPage / (width * 3));
        put("%PDF-1.7\n%\xbf\xf7\xa2\xfe\n");
        begin(1);
        put("<< /Type /Catalog /Pages 2 0 R >>\nendobj\n");
        begin(2);
        put("<< /Type /Pages /Count " + std::to_string(pages) + " /Kids [");
        for (int page = 0; page < pages; ++page) put(std::to_string(3 + 3 * page) + " 0 R ");
        put("] >>\nendobj\n");
        const std::string content = "q 612 0 0 792 0 0 cm /Im0 Do Q\n";
        for (int page = 0; page < pages; ++page) {
            const int first = 3 + 3 * page;
            begin(first);
            put("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << /XObject "
                "<< /Im0 " +
                std::to_string(first + 2) + " 0 R >> >> /Contents " + std::to_string(first + 1) +
                " 0 R >>\nendobj\n");
            begin(first + 1);
            put("<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content +
                "endstream\nendobj\n");
            begin(first + 2);
            const std::int64_t bytes = width * height * 3;
            put("<< /Type /XObject /Subtype /Image /Width " + std::to_string(width) + " /Height " +
                std::to_string(height) + " /ColorSpace /DeviceRGB /BitsPerComponent 8 /Length " +
                std::to_string(bytes) + " >>\nstream\n");
            noise(bytes, seed + static_cast<std::uint64_t>(page));
            put("\nendstream\nendobj\n");
        }
        const std::int64_t xref = written_;
        put("xref\n0 " + std::to_string(offsets_.size() + 1) + "\n0000000000 65535 f \n");
        for (const std::int64_t offset : offsets_) {
            char line[32];
            std::snprintf(line, sizeof line, "%010lld 00000 n \n", static_cast<long long>(offset));
            put(line);
        }
        put("trailer\n<< /Size " + std::to_string(offsets_.size() + 1) +
            " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n");
        if (std::fclose(out_) != 0) throw std::runtime_error("cannot write a scan");
        out_ = nullptr;
    }

private:
    void begin(int number) {
        offsets_.push_back(written_);
        put(std::to_string(number) + " 0 obj\n");
    }
    void put(const std::string& text) { putBytes(text.data(), text.size()); }
    void putBytes(const char* data, std::size_t size) {
        if (std::fwrite(data, 1, size, out_) != size)
            throw std::runtime_error("cannot write a scan");
        written_ += static_cast<std::int64_t>(size);
    }
    // xorshift64*: fast enough that writing, not making, the noise is the cost.
    void noise(std::int64_t bytes, std::uint64_t seed) {
        std::vector<std::uint64_t> block(1 << 17);
        std::uint64_t state = seed * 0x9e3779b97f4a7c15ull + 1;
        while (bytes > 0) {
            for (auto& word : block) {
                state ^= state >> 12;
                state ^= state << 25;
                state ^= state >> 27;
                word = state * 0x2545f4914f6cdd1dull;
            }
            const auto size = static_cast<std::size_t>(
                std::min<std::int64_t>(bytes, static_cast<std::int64_t>(block.size() * 8)));
            putBytes(reinterpret_cast<const char*>(block.data()), size);
            bytes -= static_cast<std::int64_t>(size);
        }
    }

    std::FILE* out_;
    std::int64_t written_ = 0;
    std::vector<std::int64_t> offsets_;
};

int makeScan(const std::string& file, int pages, int megabytes) {
    ScanWriter(file).write(pages, std::int64_t{megabytes} * 1000000,
                           std::hash<std::string>{}(file));
    return 0;
}

// `count` scanned files of 1, 2 or 3 pages whose pages are 10, 15, 20, 25 or 30 MB, and
// the list of their names for qpdf's @file syntax.
int makeScans(const fs::path& given, int count) {
    fs::create_directories(given);
    const fs::path folder = fs::absolute(given);
    std::ofstream args(folder / "qpdf-args.txt");
    for (int i = 1; i <= count; ++i) {
        const std::string name = (folder / numbered("scan", i, 3, ".pdf")).string();
        makeScan(name, 1 + (i - 1) % 3, 10 + 5 * ((i - 1) % 5));
        args << name << '\n';
    }
    args.close();
    if (!args) {
        std::cerr << "pagemeld_bench: cannot write " << (folder / "qpdf-args.txt") << "\n";
        return 1;
    }
    return 0;
}

int makeEncrypted(const std::string& file, int pages) {
    testing::TestPdfOptions options;
    options.pages = pages;
    testing::writeEncryptedPdf(file, options, testing::Encryption::Aes256, "user", "owner");
    return 0;
}

int split(const std::string& file, const fs::path& outFolder) {
    QpdfEngine engine;
    const pagemeld::OpenedDocument source = engine.open(file, "");
    if (!source.opened()) return fail("cannot open " + file, source.failure.code);
    fs::create_directories(outFolder);
    for (std::int32_t p = 1; p <= source.pageCount(); ++p) {
        const std::string name = (outFolder / numbered("piece-", p, 4, ".pdf")).string();
        if (const auto failure = engine.write(name, source.pageRun(p, 1), source.information))
            return fail("cannot save " + name, failure.code);
    }
    return 0;
}

int merge(const fs::path& folder, int count, const std::string& out) {
    QpdfEngine engine;
    pagemeld::PdfFailure failure;
    auto output = engine.startDocument(out, failure);
    for (int i = 1; output && !failure && i <= count; ++i) {
        failure = output->append(engine.open(mergeInput(folder, i), "").pages);
        if (failure) return fail("cannot merge file " + std::to_string(i), failure.code);
    }
    if (output) failure = output->commit({});
    return failure ? fail("cannot write " + out, failure.code) : 0;
}

int decrypt(const std::string& in, const std::string& out, const std::string& password) {
    QpdfEngine engine;
    const pagemeld::OpenedDocument document = engine.open(in, password);
    if (!document.opened()) return fail("cannot open " + in, document.failure.code);
    if (const auto failure = engine.write(out, document.pages, document.information))
        return fail("cannot write " + out, failure.code);
    return 0;
}

// The window model over scripted services, as a user drives it: the merge, mix and
// split tabs.
class MergeWindow {
public:
    MergeWindow()
        : system(program.path().string()),
          errors(ui, system),
          form(ui, settings, http, system, engine, errors) {
        form.Form_Load("");
    }

    // Adds files 1..count through the list's own add routine; seconds taken.
    double addAll(const fs::path& folder, int count) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 1; i <= count; ++i) form.mbut_fisier_add(mergeInput(folder, i));
        return secondsSince(start);
    }

    static double secondsSince(std::chrono::steady_clock::time_point start) {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }

    // Every message shown so far, for a failure report.
    std::string shown() const {
        std::string all;
        for (const auto& text : ui.boxTexts()) all += "\n  " + text;
        return all;
    }

    testing::TempDir program;
    testing::FakeUi ui;
    testing::FakeSettings settings;
    testing::FakeHttp http;
    testing::FakeSystem system;
    QpdfEngine engine;
    pagemeld::ErrorReporter errors;
    pagemeld::Form1 form;
};

// Adding `count` files to the merge list, and for comparison reading their page
// counts alone.
int mergeListAdd(const fs::path& folder, int count) {
    MergeWindow window;
    const double adding = window.addAll(folder, count);
    if (window.form.state.mgrid_count != count || !window.ui.boxes.empty()) {
        std::cerr << "pagemeld_bench: listed " << window.form.state.mgrid_count << " of " << count
                  << " files" << window.shown() << "\n";
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    for (int i = 1; i <= count; ++i) window.form.getpagenumber(mergeInput(folder, i), true);
    const double counting = MergeWindow::secondsSince(start);
    std::printf("merge-list-add: %d files listed in %.2f s; their page counts alone %.2f s\n",
                count, adding, counting);
    return 0;
}

// The merge run of the window over `count` listed files.
int mergeRun(const fs::path& folder, int count, const std::string& out) {
    MergeWindow window;
    const double adding = window.addAll(folder, count);
    window.form.moutput_file.text = out;
    window.form.chk_merge_ovr.value = pagemeld::kChecked;
    window.ui.boxes.clear();
    const auto start = std::chrono::steady_clock::now();
    window.form.cmd_merge_Click();
    const double merging = MergeWindow::secondsSince(start);
    if (window.ui.boxTexts() != std::vector<std::string>{"Merge process done!"}) {
        std::cerr << "pagemeld_bench: the merge run did not finish cleanly" << window.shown()
                  << "\n";
        return 1;
    }
    std::printf("merge-run: %d files listed in %.2f s, merged in %.2f s\n", count, adding, merging);
    return 0;
}

// One document of a mix: pages labelled `label`, one shared 64 x 64 image.
int makeMixInput(const std::string& file, int pages, const std::string& label) {
    testing::TestPdfOptions options;
    options.pages = pages;
    options.label = label;
    options.sharedImage = true;
    options.imageSide = 64;
    testing::writeTestPdf(file, options);
    return 0;
}

// The mix run of the window: both documents listed, one page of each per output file,
// the outputs piece-01.pdf, piece-02.pdf, ... in `outFolder`.
int mix(const std::string& first, const std::string& second, const fs::path& outFolder) {
    MergeWindow window;
    window.form.xbut_fisier_add(fs::absolute(first).string());
    window.form.xbut_fisier_add(fs::absolute(second).string());
    fs::create_directories(outFolder);
    // A trailing separator: the run puts the base name straight after the folder.
    window.form.txt_mix_dest.text = (fs::absolute(outFolder) / "").string();
    window.form.txt_mix_filename.text = "piece-";
    window.form.r_mix1_method1_e1.text = "1";
    window.form.r_mix2_method1_e1.text = "1";
    window.ui.boxes.clear();
    const auto start = std::chrono::steady_clock::now();
    window.form.cmd_mix_run_Click();
    const double mixing = MergeWindow::secondsSince(start);
    if (window.ui.boxTexts() != std::vector<std::string>{"Mix process done!"}) {
        std::cerr << "pagemeld_bench: the mix run did not finish cleanly" << window.shown() << "\n";
        return 1;
    }
    std::printf("mix: %ld files written in %.2f s\n", filesIn(outFolder), mixing);
    return 0;
}

// The split run of the window: the source listed, method 1 with pieces of one page,
// the outputs <source name>01.pdf, <source name>02.pdf, ... in `outFolder`.
int splitRun(const std::string& file, const fs::path& outFolder) {
    MergeWindow window;
    window.form.add_fisier_split(fs::absolute(file).string());
    fs::create_directories(outFolder);
    // A trailing separator: the run puts the base name straight after the folder.
    window.form.txt_split_dest.text = (fs::absolute(outFolder) / "").string();
    window.form.r_split_method1.value = true;
    window.form.txt_split_meth1.text = "1";
    // Listing the source must not have complained either.
    const std::string listing = window.shown();
    window.ui.boxes.clear();
    const auto start = std::chrono::steady_clock::now();
    window.form.cmd_split_run_Click();
    const double splitting = MergeWindow::secondsSince(start);
    if (!listing.empty() ||
        window.ui.boxTexts() != std::vector<std::string>{"Split process done!"}) {
        std::cerr << "pagemeld_bench: the split run did not finish cleanly" << listing
                  << window.shown() << "\n";
        return 1;
    }
    std::printf("split-run: %ld files written in %.2f s\n", filesIn(outFolder), splitting);
    return 0;
}

int run(const std::vector<std::string>& args) {
    if (args.empty()) return usage();
    const std::string& job = args[0];
    if (args.size() == 3 &&
        (job == "make-split-input" || job == "make-merge-inputs" || job == "make-encrypted")) {
        const int number = positive(args[2]);
        if (number < 0) return usage();
        if (job == "make-split-input") return makeSplitInput(args[1], number);
        if (job == "make-merge-inputs") return makeMergeInputs(args[1], number, 0);
        return makeEncrypted(args[1], number);
    }
    if (job == "make-merge-inputs" && args.size() == 4) {
        const int count = positive(args[2]);
        const int pages = positive(args[3]);
        if (count < 0 || pages < 0) return usage();
        return makeMergeInputs(args[1], count, pages);
    }
    if (job == "split" && args.size() == 3) return split(args[1], args[2]);
    if (job == "merge" && args.size() == 4) {
        const int count = positive(args[2]);
        if (count < 0) return usage();
        return merge(args[1], count, args[3]);
    }
    if (job == "decrypt" && args.size() == 4) return decrypt(args[1], args[2], args[3]);
    if (job == "merge-list-add" && args.size() == 3) {
        const int count = positive(args[2]);
        if (count < 0) return usage();
        return mergeListAdd(args[1], count);
    }
    if (job == "merge-run" && args.size() == 4) {
        const int count = positive(args[2]);
        if (count < 0) return usage();
        return mergeRun(args[1], count, args[3]);
    }
    if (job == "make-mix-input" && args.size() == 4) {
        const int pages = positive(args[2]);
        if (pages < 0) return usage();
        return makeMixInput(args[1], pages, args[3]);
    }
    if (job == "mix" && args.size() == 4) return mix(args[1], args[2], args[3]);
    if (job == "split-run" && args.size() == 3) return splitRun(args[1], args[2]);
    if (job == "make-scan" && args.size() == 4) {
        const int pages = positive(args[2]);
        const int megabytes = positive(args[3]);
        if (pages < 0 || megabytes < 0) return usage();
        return makeScan(args[1], pages, megabytes);
    }
    if (job == "make-scans" && args.size() == 3) {
        const int count = positive(args[2]);
        if (count < 0) return usage();
        return makeScans(args[1], count);
    }
    return usage();
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& error) {
        std::cerr << "pagemeld_bench: " << error.what() << "\n";
        return 1;
    }
}
