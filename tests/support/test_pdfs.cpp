#include "support/test_pdfs.h"

#include <qpdf/Pl_Discard.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFOutlineDocumentHelper.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <qpdf/QUtil.hh>

#include <cstdio>
#include <functional>
#include <random>
#include <sstream>
#include <stdexcept>

namespace pagemeld::testing {

namespace {

using QH = QPDFObjectHandle;

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
    auto font = pdf.makeIndirectObject(QH::parse(
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>"));
    const bool image = options.sharedImage;
    const std::string resources =
        "/Resources << /Font << /F1 " + font.unparse() + " >>" +
        (image ? " /XObject << /Im1 " + makeImage(pdf, options.imageSide).unparse() + " >>" : "") +
        " >>";
    // The page tree is filled in directly: adding pages one by one through the page
    // helper rechecks the tree each time, which is far too slow for tens of thousands.
    auto pages = pdf.getRoot().getKey("/Pages");
    auto kids = QH::newArray();
    for (int k = 1; k <= options.pages; ++k) {
        const auto text = QH::newString(options.label + " " + std::to_string(k)).unparse();
        auto page = QH::parse(&pdf, "<< /Type /Page /MediaBox [0 0 612 792] " + resources + " >>");
        if (options.ownImages) {
            page.getKey("/Resources")
                .replaceKey(
                    "/XObject",
                    QH::parse(&pdf,
                              "<< /Im1 " + makeImage(pdf, options.imageSide).unparse() + " >>"));
        }
        page.replaceKey("/Parent", pages);
        page.replaceKey("/Contents", pdf.newStream("BT /F1 24 Tf 72 720 Td " + text + " Tj ET\n" +
                                                   (image || options.ownImages
                                                        ? "q 100 0 0 100 72 500 cm /Im1 Do Q\n"
                                                        : "")));
        kids.appendItem(pdf.makeIndirectObject(page));
    }
    pages.replaceKey("/Kids", kids);
    pages.replaceKey("/Count", QH::newInteger(options.pages));
    if (options.info.empty()) return;
    auto info = QH::newDictionary();
    for (const auto& [key, value] : options.info)
        info.replaceKey("/" + key, QH::newUnicodeString(value));
    pdf.getTrailer().replaceKey("/Info", pdf.makeIndirectObject(info));
}

// Same input, same bytes (tests may compare files); streams Flate-compressed as in PDFs
// found in the wild.
std::string bytesOf(const TestPdfOptions& options, const std::function<void(QPDF&)>& addTo = {},
                    const std::function<void(QPDFWriter&)>& configure = {}) {
    QPDF pdf;
    buildDocument(pdf, options);
    if (addTo) addTo(pdf);
    QPDFWriter writer(pdf);
    writer.setOutputMemory();
    writer.setStaticID(true);
    writer.setStreamDataMode(qpdf_s_compress);
    if (configure) configure(writer);
    writer.write();
    auto buffer = writer.getBufferSharedPointer();
    return {reinterpret_cast<const char*>(buffer->getBuffer()), buffer->getSize()};
}

void writeFile(const std::string& path, const std::string& bytes) {
    // QPDF opens paths through its own helper, which takes UTF-8 on every platform; the
    // same helper is used here so that names with accents behave alike when writing.
    FILE* file = QUtil::safe_fopen(path.c_str(), "wb");
    const size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
    if (std::fclose(file) != 0 || written != bytes.size()) {
        std::remove(path.c_str());
        throw std::runtime_error("could not write " + path);
    }
}

std::shared_ptr<QPDF> opened(const std::string& path, const std::string& password,
                             std::shared_ptr<QPDF> pdf = QPDF::create()) {
    pdf->setSuppressWarnings(true);
    pdf->processFile(path.c_str(), password.c_str());
    return pdf;
}

// Reads a page's content stream and keeps the string the first Tj shows.
struct FirstShownText : QH::ParserCallbacks {
    void handleObject(QH object) override {
        if (object.isOperator() && object.getOperatorValue() == "Tj" && !found) {
            text = last;
            found = true;
        }
        last = object.isString() ? object.getStringValue() : "";
    }
    void handleEOF() override {}
    std::string text, last;
    bool found = false;
};

// "#n" and "@k" in the extras of writeRichPdf become new object n and page k; every new
// object exists before any is filled in, so that each can refer to any other.
void addExtras(QPDF& pdf, const std::string& extras) {
    auto pages = pdf.getRoot().getKey("/Pages").getKey("/Kids");
    std::vector<std::pair<std::string, std::string>> lines;
    std::istringstream in(extras);
    for (std::string where, what; in >> where && std::getline(in, what);)
        lines.emplace_back(where, what);
    std::map<int, QH> made;
    for (const auto& [where, what] : lines) {
        const auto stream = what.find(" stream ");
        if (where[0] != '#') continue;
        made[std::stoi(where.substr(1))] = stream == std::string::npos
                                               ? QH::newReserved(&pdf)
                                               : pdf.newStream(what.substr(stream + 8));
    }
    for (const auto& [where, what] : lines) {
        // "#n" and "@k" followed by digits become references to object n or page k.
        const std::string body = what.substr(0, what.find(" stream "));
        std::string resolved;
        for (std::size_t i = 0; i < body.size(); ++i) {
            const std::size_t digits = body.find_first_not_of("0123456789", i + 1);
            const std::size_t end = digits == std::string::npos ? body.size() : digits;
            if ((body[i] != '#' && body[i] != '@') || end == i + 1) {
                resolved += body[i];
                continue;
            }
            const int n = std::stoi(body.substr(i + 1, end - i - 1));
            const auto object = body[i] == '#' ? made.at(n) : pages.getArrayItem(n - 1);
            resolved += object.getObjGen().unparse(' ') + " R";
            i = end - 1;
        }
        auto object = QH::parse(&pdf, resolved);
        if (where[0] == '#') {
            auto& target = made.at(std::stoi(where.substr(1)));
            target.isStream() ? target.replaceDict(object) : pdf.replaceReserved(target, object);
            continue;
        }
        auto target =
            where == "root" ? pdf.getRoot() : pages.getArrayItem(std::stoi(where.substr(1)) - 1);
        for (auto [key, value] : object.ditems()) {
            if (auto old = target.getKey(key); old.isArray() && value.isArray()) {
                for (auto& item : value.aitems()) old.appendItem(item);
            } else {
                target.replaceKey(key, value);
            }
        }
    }
}

}  // namespace

void writeTestPdf(const std::string& path, const TestPdfOptions& options) {
    writeFile(path, bytesOf(options));
}

void writeRichPdf(const std::string& path, const TestPdfOptions& options,
                  const std::string& extras) {
    writeFile(path, bytesOf(options, [&](QPDF& pdf) { addExtras(pdf, extras); }));
}

void writeChapteredPdf(const std::string& path) {
    writeRichPdf(path, {30, "P"},
                 "root << /Outlines #1 >>\n"
                 "#1 << /Type /Outlines /First #2 /Last #4 /Count 3 >>\n"
                 "#2 << /Title (1 Basics) /Parent #1 /Next #3 /First #5 /Last #6 /Count 2 "
                 "/Dest [@3 /Fit] >>\n"
                 "#3 << /Title (2 Methods) /Parent #1 /Prev #2 /Next #4 /Dest [@12 /Fit] >>\n"
                 "#4 << /Title (3 Results) /Parent #1 /Prev #3 /A << /S /GoTo /D [@20 /Fit] >> "
                 ">>\n"
                 "#5 << /Title (1.1 Terms) /Parent #2 /Next #6 /Dest [@4 /Fit] >>\n"
                 "#6 << /Title (1.2 Rules) /Parent #2 /Prev #5 /Dest [@8 /Fit] >>\n");
}

void writeManyPagesPdf(const std::string& path, int pages) {
    writeFile(path, bytesOf({0}, [&](QPDF& pdf) {
                  auto tree = pdf.getRoot().getKey("/Pages");
                  auto page = QH::parse(&pdf, "<< /Type /Page /MediaBox [0 0 612 792] >>");
                  page.replaceKey("/Parent", tree);
                  page.replaceKey("/Contents", pdf.newStream(std::string("0 0 9 9 re f\n")));
                  auto kids = QH::newArray();
                  for (int k = 0; k < pages; ++k)
                      kids.appendItem(pdf.makeIndirectObject(page.shallowCopy()));
                  tree.replaceKey("/Kids", kids);
                  tree.replaceKey("/Count", QH::newInteger(pages));
              }));
}

void writeEncryptedPdf(const std::string& path, const TestPdfOptions& options,
                       Encryption encryption, const std::string& userPassword,
                       const std::string& ownerPassword) {
    const char* user = userPassword.c_str();
    const char* owner = ownerPassword.c_str();
    // Everything is allowed: tests care about opening, not about permissions.
    writeFile(path, bytesOf(options, {}, [&](QPDFWriter& writer) {
                  if (encryption == Encryption::Rc4_40) {
                      writer.setR2EncryptionParametersInsecure(user, owner, true, true, true, true);
                  } else if (encryption == Encryption::Rc4_128) {
                      writer.setR3EncryptionParametersInsecure(user, owner, true, true, true, true,
                                                               true, true, qpdf_r3p_full);
                  } else if (encryption == Encryption::Aes128) {
                      writer.setR4EncryptionParametersInsecure(user, owner, true, true, true, true,
                                                               true, true, qpdf_r3p_full, true,
                                                               true);
                  } else {
                      writer.setR6EncryptionParameters(user, owner, true, true, true, true, true,
                                                       true, qpdf_r3p_full, true);
                  }
              }));
}

void writeDamagedPdf(const std::string& path, int pages, const std::string& label) {
    // startxref points at the header and every offset in the table is blanked, so a
    // reader has to rebuild the cross-references by scanning the file.
    std::string bytes = bytesOf({pages, label});
    const auto table = bytes.rfind("\nxref\n");
    std::string entries = bytes.substr(table, bytes.rfind("startxref") - table);
    // Entries in use read "oooooooooo ggggg n": their offsets become zeros.
    for (std::size_t at = 0; (at = entries.find(" n", at)) != std::string::npos; at += 2) {
        const auto isEntry = [&] {
            return at >= 16 && entries[at - 6] == ' ' &&
                   entries.find_first_not_of("0123456789", at - 16) == at - 6;
        };
        if (isEntry()) entries.replace(at - 16, 10, 10, '0');
    }
    writeFile(path, bytes.substr(0, table) + entries + "startxref\n1\n%%EOF\n");
    // The file is only useful if it is really broken yet still recoverable.
    const auto pdf = opened(path, "");
    if (pdf->getAllPages().size() != static_cast<size_t>(pages) || !pdf->anyWarnings()) {
        throw std::logic_error("damaged PDF did not come out as intended");
    }
}

void writeTruncatedPdf(const std::string& path, int pages, const std::string& label) {
    const std::string bytes = bytesOf({pages, label});
    writeFile(path, bytes.substr(0, bytes.rfind("\nxref\n") + 1));
    try {
        opened(path, "");
    } catch (const std::exception&) {
        return;
    }
    throw std::logic_error("truncated PDF could still be opened");
}

void writeNotPdf(const std::string& path) {
    writeFile(path, "This is a plain text file.\nIt only has a name that ends in .pdf.\n");
}

std::vector<std::string> pageTexts(const std::string& path, const std::string& password) {
    const auto pdf = opened(path, password);
    std::vector<std::string> texts;
    for (auto& page : QPDFPageDocumentHelper(*pdf).getAllPages()) {
        FirstShownText finder;
        page.parseContents(&finder);
        texts.push_back(finder.text);
    }
    return texts;
}

std::vector<std::string> pageBoxes(const std::string& path) {
    const auto pdf = opened(path, "");
    std::vector<std::string> boxes;
    for (auto& page : QPDFPageDocumentHelper(*pdf).getAllPages()) {
        QPDFObjectHandle rotate = page.getAttribute("/Rotate", false);
        boxes.push_back(page.getMediaBox().unparseResolved() +
                        (rotate.isInteger() ? " " + std::to_string(rotate.getIntValue()) : ""));
    }
    return boxes;
}

std::vector<std::string> bookmarks(const std::string& path) {
    const auto pdf = opened(path, "");
    std::map<QPDFObjGen, int> places;
    for (auto& page : pdf->getAllPages()) places.emplace(page.getObjGen(), places.size() + 1);
    std::vector<std::string> found;
    std::function<void(std::vector<QPDFOutlineObjectHelper>, const std::string&)> walk =
        [&](std::vector<QPDFOutlineObjectHelper> items, const std::string& indent) {
            for (auto& item : items) {
                const auto page = places.find(item.getDestPage().getObjGen());
                found.push_back(indent + item.getTitle() + " -> " +
                                (page == places.end() ? "?" : std::to_string(page->second)));
                walk(item.getKids(), indent + " ");
            }
        };
    QPDFOutlineDocumentHelper outline(*pdf);
    walk(outline.getTopLevelOutlines(), "");
    return found;
}

int pageCount(const std::string& path, const std::string& password) {
    return static_cast<int>(opened(path, password)->getAllPages().size());
}

bool isEncrypted(const std::string& path, const std::string& password) {
    return opened(path, password)->isEncrypted();
}

std::map<std::string, std::string> infoEntries(const std::string& path) {
    return infoEntries(path, "");
}

std::map<std::string, std::string> infoEntries(const std::string& path,
                                               const std::string& password) {
    std::map<std::string, std::string> entries;
    const auto pdf = opened(path, password);
    auto info = pdf->getTrailer().getKey("/Info");
    for (auto [key, value] : info.isDictionary() ? info.ditems() : QH::newDictionary().ditems()) {
        entries[key.substr(1)] = value.isString() ? value.getUTF8Value()
                                 : value.isName() ? value.getName().substr(1)
                                                  : value.unparse();
    }
    return entries;
}

bool qpdfCheckClean(const std::string& path, std::string* report) {
    return qpdfCheckClean(path, "", report);
}

bool qpdfCheckClean(const std::string& path, const std::string& password, std::string* report) {
    std::string problems;
    const auto pdf = QPDF::create();
    try {
        opened(path, password, pdf);
        // Every object the cross-reference table lists reads, also those no page uses.
        for (auto& object : pdf->getAllObjects()) object.isNull();
        // Writing to nowhere with every filter decoded visits every object and stream.
        Pl_Discard discard;
        QPDFWriter writer(*pdf);
        writer.setOutputPipeline(&discard);
        writer.setDecodeLevel(qpdf_dl_all);
        writer.write();
        for (auto& page : QPDFPageDocumentHelper(*pdf).getAllPages()) {
            FirstShownText contents;
            page.parseContents(&contents);
        }
    } catch (const std::exception& e) {
        problems += std::string(e.what()) + "\n";
    }
    for (const auto& warning : pdf->getWarnings())
        problems += std::string("WARNING: ") + warning.what() + "\n";
    if (report) *report = problems;
    return problems.empty();
}

std::vector<std::string> labels(const std::string& label, int first, int last) {
    std::vector<std::string> result;
    for (int k = first; k <= last; ++k) result.push_back(label + " " + std::to_string(k));
    return result;
}

}  // namespace pagemeld::testing
