#include "support/test_pdfs.h"

#include <qpdf/Pl_Discard.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFLogger.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <qpdf/QUtil.hh>

#include <cstdio>
#include <functional>
#include <optional>
#include <random>
#include <regex>
#include <sstream>
#include <stdexcept>

namespace pagemeld::testing {

namespace {

using Configure = std::function<void(QPDFWriter&)>;
using QH = QPDFObjectHandle;

// Every glyph is a plain box: enough for text that a viewer shows and a parser reads back.
QH makeFont(QPDF& pdf) {
    auto space = pdf.newStream(std::string("600 0 d0\n"));
    auto tall = pdf.newStream(std::string("600 0 50 0 550 700 d1\n50 0 500 700 re f\n"));
    auto small = pdf.newStream(std::string("600 0 50 0 550 500 d1\n50 0 500 500 re f\n"));

    auto procs = QH::newDictionary();
    auto differences = QH::newArray();
    auto widths = QH::newArray();
    differences.appendItem(QH::newInteger(32));
    for (int c = 32; c <= 126; ++c) {
        std::string name = c == 32 ? "/space" : "/g" + std::to_string(c);
        differences.appendItem(QH::newName(name));
        widths.appendItem(QH::newInteger(600));
        procs.replaceKey(name, c == 32 ? space : (c >= 'a' && c <= 'z') ? small : tall);
    }
    auto font = QH::parse(
        "<< /Type /Font /Subtype /Type3 /Name /F1 /FontBBox [0 0 600 700] /FirstChar 32"
        " /LastChar 126 /FontMatrix [0.001 0 0 0.001 0 0] /Resources << >>"
        " /Encoding << /Type /Encoding >> >>");
    font.getKey("/Encoding").replaceKey("/Differences", differences);
    font.replaceKey("/CharProcs", procs);
    font.replaceKey("/Widths", widths);
    return pdf.makeIndirectObject(font);
}

// Noise does not compress, so every copy of the image costs its full size.
QH makeImage(QPDF& pdf, int side) {
    if (side < 1) throw std::invalid_argument("imageSide must be at least 1");
    std::string pixels(static_cast<size_t>(side) * static_cast<size_t>(side) * 3, '\0');
    std::mt19937 random(20240611u);  // mt19937's output is fixed by the standard
    for (auto& byte : pixels) byte = static_cast<char>(random() & 0xff);
    auto image = pdf.newStream(pixels);
    image.replaceDict(QH::parse(
        "<< /Type /XObject /Subtype /Image /ColorSpace /DeviceRGB /BitsPerComponent 8 /Width " +
        std::to_string(side) + " /Height " + std::to_string(side) + " >>"));
    return image;
}

void buildDocument(QPDF& pdf, const TestPdfOptions& options) {
    if (options.pages < 0) throw std::invalid_argument("page count must not be negative");
    pdf.emptyPDF();
    auto font = makeFont(pdf);
    QH image;
    if (options.sharedImage) image = makeImage(pdf, options.imageSide);

    // The page tree is filled in directly: adding pages one by one through the page
    // helper rechecks the tree each time, which is far too slow for tens of thousands.
    auto pages = pdf.getRoot().getKey("/Pages");
    auto kids = QH::newArray();
    const std::string resources =
        "/Resources << /Font << /F1 " + font.unparse() + " >>" +
        (options.sharedImage ? " /XObject << /Im1 " + image.unparse() + " >>" : "") + " >>";
    for (int k = 1; k <= options.pages; ++k) {
        std::string text = QH::newString(options.label + " " + std::to_string(k)).unparse();
        std::string content = "BT /F1 24 Tf 72 720 Td " + text + " Tj ET\n";
        if (options.sharedImage) content += "q 100 0 0 100 72 500 cm /Im1 Do Q\n";
        auto page = QH::parse(&pdf, "<< /Type /Page /MediaBox [0 0 612 792] " + resources + " >>");
        page.replaceKey("/Parent", pages);
        page.replaceKey("/Contents", pdf.newStream(content));
        kids.appendItem(pdf.makeIndirectObject(page));
    }
    pages.replaceKey("/Kids", kids);
    pages.replaceKey("/Count", QH::newInteger(options.pages));

    if (!options.info.empty()) {
        auto info = QH::newDictionary();
        for (const auto& [key, value] : options.info) {
            info.replaceKey("/" + key, QH::newUnicodeString(value));
        }
        pdf.getTrailer().replaceKey("/Info", pdf.makeIndirectObject(info));
    }
}

std::string writeToMemory(const TestPdfOptions& options, const Configure& configure = {},
                          const std::function<void(QPDF&)>& addTo = {}) {
    QPDF pdf;
    buildDocument(pdf, options);
    if (addTo) addTo(pdf);
    QPDFWriter writer(pdf);
    writer.setOutputMemory();
    writer.setStaticID(true);  // same input, same bytes: tests may compare files
    // Streams are stored Flate-compressed, as in PDFs found in the wild.
    writer.setCompressStreams(true);
    writer.setStreamDataMode(qpdf_s_compress);
    if (configure) configure(writer);
    writer.write();
    auto buffer = writer.getBufferSharedPointer();
    return std::string(reinterpret_cast<const char*>(buffer->getBuffer()), buffer->getSize());
}

void writeFile(const std::string& path, const std::string& bytes) {
    // QPDF opens paths through its own helper, which takes UTF-8 on every platform; the
    // same helper is used here so that names with accents behave alike when writing.
    FILE* file = QUtil::safe_fopen(path.c_str(), "wb");
    size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
    bool closed = std::fclose(file) == 0;
    if (written != bytes.size() || !closed) {
        std::remove(path.c_str());
        throw std::runtime_error("could not write " + path);
    }
}

void openQuietly(QPDF& pdf, const std::string& path, const std::string& password) {
    pdf.setSuppressWarnings(true);
    pdf.processFile(path.c_str(), password.c_str());
}

// Collects the string operand of the first Tj.
class FirstShownText : public QH::ParserCallbacks {
public:
    void handleObject(QH object) override {
        if (object.isOperator()) {
            if (object.getOperatorValue() == "Tj" && lastString_) {
                text = *lastString_;
                terminateParsing();
            }
            lastString_.reset();
        } else if (object.isString()) {
            lastString_ = object.getStringValue();
        } else {
            lastString_.reset();
        }
    }
    void handleEOF() override {}

    std::string text;

private:
    std::optional<std::string> lastString_;
};

class IgnoreContents : public QH::ParserCallbacks {
public:
    void handleObject(QH) override {}
    void handleEOF() override {}
};

}  // namespace

void writeTestPdf(const std::string& path, const TestPdfOptions& options) {
    writeFile(path, writeToMemory(options));
}

void writeEncryptedPdf(const std::string& path, const TestPdfOptions& options,
                       Encryption encryption, const std::string& userPassword,
                       const std::string& ownerPassword) {
    const char* user = userPassword.c_str();
    const char* owner = ownerPassword.c_str();
    // Everything is allowed: tests care about opening, not about permissions.
    auto configure = [&](QPDFWriter& writer) {
        switch (encryption) {
            case Encryption::Rc4_40:
                writer.setR2EncryptionParametersInsecure(user, owner, true, true, true, true);
                break;
            case Encryption::Rc4_128:
                writer.setR3EncryptionParametersInsecure(user, owner, true, true, true, true, true,
                                                         true, qpdf_r3p_full);
                break;
            case Encryption::Aes128:
                writer.setR4EncryptionParametersInsecure(user, owner, true, true, true, true, true,
                                                         true, qpdf_r3p_full, true, true);
                break;
            case Encryption::Aes256:
                writer.setR6EncryptionParameters(user, owner, true, true, true, true, true, true,
                                                 qpdf_r3p_full, true);
                break;
        }
    };
    writeFile(path, writeToMemory(options, configure));
}

void writeDamagedPdf(const std::string& path, int pages, const std::string& label) {
    std::string bytes = writeToMemory(TestPdfOptions{pages, label});

    // Point startxref at the header and blank every offset in the table, so a reader
    // has to rebuild the cross-references by scanning the file.
    auto start = bytes.rfind("startxref");
    auto table = bytes.rfind("\nxref\n", start);
    if (start == std::string::npos || table == std::string::npos) {
        throw std::logic_error("generated PDF has no cross-reference table");
    }
    // Entries are fixed-width lines "oooooooooo ggggg n": the offsets become zeros.
    const std::string entries = std::regex_replace(
        bytes.substr(table, start - table), std::regex("\\d{10}( \\d{5} n)"), "0000000000$1");
    bytes.replace(table, start - table, entries);
    bytes = bytes.substr(0, start) + "startxref\n1\n%%EOF\n";
    writeFile(path, bytes);

    // The file is only useful if it is really broken yet still recoverable.
    QPDF pdf;
    openQuietly(pdf, path, "");
    if (QPDFPageDocumentHelper(pdf).getAllPages().size() != static_cast<size_t>(pages) ||
        !pdf.anyWarnings()) {
        throw std::logic_error("damaged PDF did not come out as intended");
    }
}

void writeNotPdf(const std::string& path) {
    writeFile(path, "This is a plain text file.\nIt only has a name that ends in .pdf.\n");
}

std::vector<std::string> pageTexts(const std::string& path, const std::string& password) {
    QPDF pdf;
    openQuietly(pdf, path, password);
    std::vector<std::string> texts;
    for (auto& page : QPDFPageDocumentHelper(pdf).getAllPages()) {
        FirstShownText finder;
        page.parseContents(&finder);
        texts.push_back(finder.text);
    }
    return texts;
}

int pageCount(const std::string& path, const std::string& password) {
    QPDF pdf;
    openQuietly(pdf, path, password);
    return static_cast<int>(QPDFPageDocumentHelper(pdf).getAllPages().size());
}

bool isEncrypted(const std::string& path, const std::string& password) {
    QPDF pdf;
    openQuietly(pdf, path, password);
    return pdf.isEncrypted();
}

std::map<std::string, std::string> infoEntries(const std::string& path) {
    return infoEntries(path, "");
}

std::map<std::string, std::string> infoEntries(const std::string& path,
                                               const std::string& password) {
    QPDF pdf;
    openQuietly(pdf, path, password);
    std::map<std::string, std::string> entries;
    auto info = pdf.getTrailer().getKey("/Info");
    if (!info.isDictionary()) return entries;
    for (auto [key, value] : info.ditems()) {
        std::string text;
        if (value.isString()) {
            text = value.getUTF8Value();
        } else if (value.isName()) {
            text = value.getName().substr(1);
        } else {
            text = value.unparse();
        }
        entries[key.substr(1)] = text;
    }
    return entries;
}

bool qpdfCheckClean(const std::string& path, std::string* report) {
    return qpdfCheckClean(path, "", report);
}

bool qpdfCheckClean(const std::string& path, const std::string& password, std::string* report) {
    std::string problems;
    bool clean = true;
    QPDF pdf;
    // Linearization checks print their findings; they go to the report through warnings.
    auto logger = QPDFLogger::create();
    logger->setInfo(logger->discard());
    logger->setWarn(logger->discard());
    pdf.setLogger(logger);
    pdf.setSuppressWarnings(true);
    try {
        pdf.processFile(path.c_str(), password.c_str());
        if (pdf.isLinearized() && !pdf.checkLinearization()) {
            clean = false;
            problems += "linearization data are wrong\n";
        }
        // Writing to nowhere with every filter decoded visits every object and stream.
        Pl_Discard discard;
        QPDFWriter writer(pdf);
        writer.setOutputPipeline(&discard);
        writer.setDecodeLevel(qpdf_dl_all);
        writer.write();

        int number = 0;
        for (auto& page : QPDFPageDocumentHelper(pdf).getAllPages()) {
            ++number;
            try {
                IgnoreContents ignore;
                page.parseContents(&ignore);
            } catch (const std::exception& e) {
                clean = false;
                problems += "page " + std::to_string(number) + ": " + e.what() + "\n";
            }
        }
    } catch (const std::exception& e) {
        clean = false;
        problems += std::string(e.what()) + "\n";
    }
    for (const auto& warning : pdf.getWarnings()) {
        clean = false;
        problems += std::string("WARNING: ") + warning.what() + "\n";
    }
    if (report) *report = problems;
    return clean;
}

std::vector<std::string> labels(const std::string& label, int first, int last) {
    std::vector<std::string> result;
    for (int k = first; k <= last; ++k) result.push_back(label + " " + std::to_string(k));
    return result;
}

namespace {

// "#n" and "@k" replaced by references to new object n and page k.
std::string resolve(const std::string& text, const std::map<int, QH>& made, QH pages) {
    static const std::regex reference("([#@])(\\d+)");
    std::string out;
    auto last = text.cbegin();
    for (std::sregex_iterator it(text.begin(), text.end(), reference), end; it != end; ++it) {
        const int n = std::stoi((*it)[2]);
        auto object = (*it)[1] == "#" ? made.at(n) : pages.getArrayItem(n - 1);
        out.append(last, (*it)[0].first) += std::to_string(object.getObjectID()) + " " +
                                            std::to_string(object.getGeneration()) + " R";
        last = (*it)[0].second;
    }
    return out.append(last, text.cend());
}

void addExtras(QPDF& pdf, const std::string& extras) {
    auto pages = pdf.getRoot().getKey("/Pages").getKey("/Kids");
    std::vector<std::pair<std::string, std::string>> lines;
    std::istringstream in(extras);
    for (std::string line; std::getline(in, line);) {
        const auto space = line.find(' ', line.find_first_not_of(' '));
        if (space != std::string::npos) {
            lines.emplace_back(line.substr(line.find_first_not_of(' '), space), line.substr(space));
        }
    }
    // Every new object exists before any is filled in, so that each can refer to any other.
    std::map<int, QH> made;
    for (const auto& [where, body] : lines) {
        const auto stream = body.find(" stream ");
        if (where[0] == '#' && stream != std::string::npos) {
            made[std::stoi(where.substr(1))] = pdf.newStream(body.substr(stream + 8));
        }
    }
    static const std::regex newObject("#(\\d+)");
    for (std::sregex_iterator it(extras.begin(), extras.end(), newObject), end; it != end; ++it) {
        made.try_emplace(std::stoi((*it)[1]), QH::newReserved(&pdf));
    }
    for (const auto& [where, body] : lines) {
        auto object = QH::parse(&pdf, resolve(body.substr(0, body.find(" stream ")), made, pages));
        if (where[0] == '#') {
            auto& target = made.at(std::stoi(where.substr(1)));
            if (target.isStream()) {
                target.replaceDict(object);
            } else {
                pdf.replaceReserved(target, object);
            }
            continue;
        }
        auto target =
            where == "root" ? pdf.getRoot() : pages.getArrayItem(std::stoi(where.substr(1)) - 1);
        for (auto [key, value] : object.ditems()) {
            auto old = target.getKey(key);
            if (!old.isArray() || !value.isArray()) {
                target.replaceKey(key, value);
                continue;
            }
            for (auto& item : value.aitems()) old.appendItem(item);
        }
    }
}

}  // namespace

void writeRichPdf(const std::string& path, const TestPdfOptions& options,
                  const std::string& extras) {
    writeFile(path, writeToMemory(options, {}, [&](QPDF& pdf) { addExtras(pdf, extras); }));
}

}  // namespace pagemeld::testing
