#include "support/test_pdfs.h"

#include <qpdf/Pl_Discard.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFAcroFormDocumentHelper.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFLogger.hh>
#include <qpdf/QPDFNameTreeObjectHelper.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageLabelDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <qpdf/QUtil.hh>

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <stdexcept>

namespace pagemeld::testing {

namespace {

using Configure = std::function<void(QPDFWriter&)>;

// Every glyph is a plain box: enough for text that a viewer shows and a parser reads back.
QPDFObjectHandle makeFont(QPDF& pdf) {
    auto space = pdf.newStream(std::string("600 0 d0\n"));
    auto tall = pdf.newStream(std::string("600 0 50 0 550 700 d1\n50 0 500 700 re f\n"));
    auto small = pdf.newStream(std::string("600 0 50 0 550 500 d1\n50 0 500 500 re f\n"));

    auto procs = QPDFObjectHandle::newDictionary();
    auto differences = QPDFObjectHandle::newArray();
    auto widths = QPDFObjectHandle::newArray();
    differences.appendItem(QPDFObjectHandle::newInteger(32));
    for (int c = 32; c <= 126; ++c) {
        std::string name = c == 32 ? "/space" : "/g" + std::to_string(c);
        differences.appendItem(QPDFObjectHandle::newName(name));
        widths.appendItem(QPDFObjectHandle::newInteger(600));
        procs.replaceKey(name, c == 32 ? space : (c >= 'a' && c <= 'z') ? small : tall);
    }
    auto encoding = QPDFObjectHandle::newDictionary();
    encoding.replaceKey("/Type", QPDFObjectHandle::newName("/Encoding"));
    encoding.replaceKey("/Differences", differences);

    auto font = QPDFObjectHandle::newDictionary();
    font.replaceKey("/Type", QPDFObjectHandle::newName("/Font"));
    font.replaceKey("/Subtype", QPDFObjectHandle::newName("/Type3"));
    font.replaceKey("/Name", QPDFObjectHandle::newName("/F1"));
    font.replaceKey("/FontBBox", QPDFObjectHandle::parse("[0 0 600 700]"));
    font.replaceKey("/FontMatrix", QPDFObjectHandle::parse("[0.001 0 0 0.001 0 0]"));
    font.replaceKey("/CharProcs", procs);
    font.replaceKey("/Encoding", encoding);
    font.replaceKey("/FirstChar", QPDFObjectHandle::newInteger(32));
    font.replaceKey("/LastChar", QPDFObjectHandle::newInteger(126));
    font.replaceKey("/Widths", widths);
    font.replaceKey("/Resources", QPDFObjectHandle::newDictionary());
    return pdf.makeIndirectObject(font);
}

// Noise does not compress, so every copy of the image costs its full size.
QPDFObjectHandle makeImage(QPDF& pdf, int side) {
    if (side < 1) throw std::invalid_argument("imageSide must be at least 1");
    std::string pixels(static_cast<size_t>(side) * static_cast<size_t>(side) * 3, '\0');
    std::mt19937 random(20240611u);  // mt19937's output is fixed by the standard
    for (auto& byte : pixels) byte = static_cast<char>(random() & 0xff);
    auto image = pdf.newStream(pixels);
    auto dict = image.getDict();
    dict.replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
    dict.replaceKey("/Subtype", QPDFObjectHandle::newName("/Image"));
    dict.replaceKey("/Width", QPDFObjectHandle::newInteger(side));
    dict.replaceKey("/Height", QPDFObjectHandle::newInteger(side));
    dict.replaceKey("/ColorSpace", QPDFObjectHandle::newName("/DeviceRGB"));
    dict.replaceKey("/BitsPerComponent", QPDFObjectHandle::newInteger(8));
    return image;
}

void buildDocument(QPDF& pdf, const TestPdfOptions& options) {
    if (options.pages < 0) throw std::invalid_argument("page count must not be negative");
    pdf.emptyPDF();
    auto font = makeFont(pdf);
    QPDFObjectHandle image;
    if (options.sharedImage) image = makeImage(pdf, options.imageSide);

    // The page tree is filled in directly: adding pages one by one through the page
    // helper rechecks the tree each time, which is far too slow for tens of thousands.
    auto pages = pdf.getRoot().getKey("/Pages");
    auto kids = QPDFObjectHandle::newArray();
    auto mediaBox = QPDFObjectHandle::parse("[0 0 612 792]");
    for (int k = 1; k <= options.pages; ++k) {
        std::string text = options.label + " " + std::to_string(k);
        std::string content =
            "BT /F1 24 Tf 72 720 Td " + QPDFObjectHandle::newString(text).unparse() + " Tj ET\n";
        auto fonts = QPDFObjectHandle::newDictionary();
        fonts.replaceKey("/F1", font);
        auto resources = QPDFObjectHandle::newDictionary();
        resources.replaceKey("/Font", fonts);
        if (options.sharedImage) {
            content += "q 100 0 0 100 72 500 cm /Im1 Do Q\n";
            auto xobjects = QPDFObjectHandle::newDictionary();
            xobjects.replaceKey("/Im1", image);
            resources.replaceKey("/XObject", xobjects);
        }
        auto page = QPDFObjectHandle::newDictionary();
        page.replaceKey("/Type", QPDFObjectHandle::newName("/Page"));
        page.replaceKey("/Parent", pages);
        page.replaceKey("/MediaBox", mediaBox.shallowCopy());
        page.replaceKey("/Resources", resources);
        page.replaceKey("/Contents", pdf.newStream(content));
        kids.appendItem(pdf.makeIndirectObject(page));
    }
    pages.replaceKey("/Kids", kids);
    pages.replaceKey("/Count", QPDFObjectHandle::newInteger(options.pages));

    if (!options.info.empty()) {
        auto info = QPDFObjectHandle::newDictionary();
        for (const auto& [key, value] : options.info) {
            info.replaceKey("/" + key, QPDFObjectHandle::newUnicodeString(value));
        }
        pdf.getTrailer().replaceKey("/Info", pdf.makeIndirectObject(info));
    }
}

void configureWriter(QPDFWriter& writer) {
    // Same input, same bytes: tests may compare files.
    writer.setStaticID(true);
    // Streams are stored Flate-compressed, as in PDFs found in the wild.
    writer.setCompressStreams(true);
    writer.setStreamDataMode(qpdf_s_compress);
}

std::string writeToMemory(const TestPdfOptions& options, const Configure& configure = {}) {
    QPDF pdf;
    buildDocument(pdf, options);
    QPDFWriter writer(pdf);
    writer.setOutputMemory();
    configureWriter(writer);
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
class FirstShownText : public QPDFObjectHandle::ParserCallbacks {
public:
    void handleObject(QPDFObjectHandle object) override {
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

class IgnoreContents : public QPDFObjectHandle::ParserCallbacks {
public:
    void handleObject(QPDFObjectHandle) override {}
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
    auto digits = bytes.find_first_of("0123456789", start);
    auto digitsEnd = bytes.find_first_not_of("0123456789", digits);
    bytes.replace(digits, digitsEnd - digits, "1");
    // Entries are fixed-width lines "oooooooooo ggggg n": overwrite the offsets in place.
    for (auto pos = bytes.find(" n", table); pos != std::string::npos && pos < start;
         pos = bytes.find(" n", pos + 2)) {
        if (pos < 16 || bytes[pos - 6] != ' ') continue;
        auto offset = bytes.substr(pos - 16, 10);
        if (offset.find_first_not_of("0123456789") != std::string::npos) continue;
        bytes.replace(pos - 16, 10, "0000000000");
    }
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

}  // namespace pagemeld::testing

// Documents with bookmarks, destinations, links, a form and page labels.

namespace pagemeld::testing {
namespace {

QPDFObjectHandle name(const std::string& text) {
    return QPDFObjectHandle::newName("/" + text);
}

QPDFObjectHandle explicitDest(const std::vector<QPDFObjectHandle>& pages, int page) {
    auto dest = QPDFObjectHandle::newArray();
    dest.appendItem(pages.at(static_cast<size_t>(page - 1)));
    dest.appendItem(name("XYZ"));
    dest.appendItem(QPDFObjectHandle::newInteger(0));
    dest.appendItem(QPDFObjectHandle::newInteger(792));
    dest.appendItem(QPDFObjectHandle::newNull());
    return dest;
}

QPDFObjectHandle goTo(QPDFObjectHandle destination) {
    auto action = QPDFObjectHandle::newDictionary();
    action.replaceKey("/S", name("GoTo"));
    action.replaceKey("/D", destination);
    return action;
}

QPDFObjectHandle namedRef(const RichPdfOptions& options, const std::string& text) {
    return options.oldStyleDests ? name(text) : QPDFObjectHandle::newString(text);
}

// Writes `items` under `parent`; returns the number of items shown when parent is open.
int addBookmarks(QPDF& pdf, const RichPdfOptions& options,
                 const std::vector<QPDFObjectHandle>& pages, QPDFObjectHandle parent,
                 const std::vector<TestBookmark>& items) {
    std::vector<QPDFObjectHandle> made;
    int shown = 0;
    for (const auto& item : items) {
        auto dict = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
        dict.replaceKey("/Title", QPDFObjectHandle::newUnicodeString(item.title));
        dict.replaceKey("/Parent", parent);
        switch (item.target) {
            case TestBookmark::Target::None:
                break;
            case TestBookmark::Target::Dest:
                dict.replaceKey("/Dest", explicitDest(pages, item.page));
                break;
            case TestBookmark::Target::NamedDest:
                dict.replaceKey("/Dest", namedRef(options, item.name));
                break;
            case TestBookmark::Target::GoTo:
                dict.replaceKey("/A", goTo(explicitDest(pages, item.page)));
                break;
            case TestBookmark::Target::GoToNamed:
                dict.replaceKey("/A", goTo(namedRef(options, item.name)));
                break;
            case TestBookmark::Target::Uri: {
                auto action = QPDFObjectHandle::newDictionary();
                action.replaceKey("/S", name("URI"));
                action.replaceKey("/URI", QPDFObjectHandle::newString("https://example.org/"));
                dict.replaceKey("/A", action);
                break;
            }
        }
        if (!item.kids.empty()) {
            int below = addBookmarks(pdf, options, pages, dict, item.kids);
            dict.replaceKey("/Count", QPDFObjectHandle::newInteger(item.open ? below : -below));
            if (item.open) shown += below;
        }
        ++shown;
        made.push_back(dict);
    }
    for (size_t i = 0; i < made.size(); ++i) {
        if (i > 0) made[i].replaceKey("/Prev", made[i - 1]);
        if (i + 1 < made.size()) made[i].replaceKey("/Next", made[i + 1]);
    }
    if (!made.empty()) {
        parent.replaceKey("/First", made.front());
        parent.replaceKey("/Last", made.back());
    }
    return shown;
}

void addAnnotation(QPDFObjectHandle page, QPDFObjectHandle annotation) {
    auto annots = page.getKey("/Annots");
    if (!annots.isArray()) {
        annots = QPDFObjectHandle::newArray();
        page.replaceKey("/Annots", annots);
    }
    annots.appendItem(annotation);
}

QPDFObjectHandle widget(QPDF& pdf, QPDFObjectHandle page, int y) {
    auto dict = QPDFObjectHandle::newDictionary();
    dict.replaceKey("/Type", name("Annot"));
    dict.replaceKey("/Subtype", name("Widget"));
    dict.replaceKey("/Rect", QPDFObjectHandle::parse("[72 " + std::to_string(y) + " 272 " +
                                                     std::to_string(y + 20) + "]"));
    dict.replaceKey("/P", page);
    auto made = pdf.makeIndirectObject(dict);
    addAnnotation(page, made);
    return made;
}

QPDFObjectHandle stateAppearance(QPDF& pdf, const std::string& on) {
    auto box = pdf.newStream(std::string("0 0 20 20 re S\n"));
    box.getDict().replaceKey("/BBox", QPDFObjectHandle::parse("[0 0 20 20]"));
    box.getDict().replaceKey("/Subtype", name("Form"));
    auto states = QPDFObjectHandle::newDictionary();
    states.replaceKey("/" + on, box);
    states.replaceKey("/Off", box);
    auto appearance = QPDFObjectHandle::newDictionary();
    appearance.replaceKey("/N", states);
    return appearance;
}

void addForm(QPDF& pdf, const RichPdfOptions& options, const std::vector<QPDFObjectHandle>& pages) {
    auto fields = QPDFObjectHandle::newArray();
    // "person" holding the text field "name".
    auto person = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
    person.replaceKey("/T", QPDFObjectHandle::newString("person"));
    auto text = widget(pdf, pages.front(), 600);
    text.replaceKey("/FT", name("Tx"));
    text.replaceKey("/T", QPDFObjectHandle::newString("name"));
    text.replaceKey("/V", QPDFObjectHandle::newUnicodeString(options.formText));
    text.replaceKey("/Parent", person);
    person.replaceKey("/Kids", QPDFObjectHandle::newArray({text}));
    fields.appendItem(person);

    auto agree = widget(pdf, pages.at(pages.size() > 1 ? 1 : 0), 560);
    agree.replaceKey("/FT", name("Btn"));
    agree.replaceKey("/T", QPDFObjectHandle::newString("agree"));
    agree.replaceKey("/V", name("Yes"));
    agree.replaceKey("/AS", name("Yes"));
    agree.replaceKey("/AP", stateAppearance(pdf, "Yes"));
    fields.appendItem(agree);

    auto choice = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
    choice.replaceKey("/FT", name("Btn"));
    choice.replaceKey("/Ff", QPDFObjectHandle::newInteger(1 << 15));  // radio
    choice.replaceKey("/T", QPDFObjectHandle::newString("choice"));
    choice.replaceKey("/V", name("Two"));
    auto one = widget(pdf, pages.front(), 520);
    one.replaceKey("/Parent", choice);
    one.replaceKey("/AS", name("Off"));
    one.replaceKey("/AP", stateAppearance(pdf, "One"));
    auto two = widget(pdf, pages.back(), 480);
    two.replaceKey("/Parent", choice);
    two.replaceKey("/AS", name("Two"));
    two.replaceKey("/AP", stateAppearance(pdf, "Two"));
    choice.replaceKey("/Kids", QPDFObjectHandle::newArray({one, two}));
    fields.appendItem(choice);

    auto form = QPDFObjectHandle::newDictionary();
    form.replaceKey("/Fields", fields);
    form.replaceKey("/DA", QPDFObjectHandle::newString("/Helv 0 Tf 0 g"));
    pdf.getRoot().replaceKey("/AcroForm", form);
}

void addExtras(QPDF& pdf, const RichPdfOptions& options) {
    auto pages = QPDFPageDocumentHelper(pdf).getAllPages();
    std::vector<QPDFObjectHandle> handles;
    for (auto& page : pages) handles.push_back(page.getObjectHandle());
    auto root = pdf.getRoot();

    if (!options.namedDestinations.empty()) {
        if (options.oldStyleDests) {
            auto dests = QPDFObjectHandle::newDictionary();
            for (const auto& [text, page] : options.namedDestinations) {
                dests.replaceKey("/" + text, explicitDest(handles, page));
            }
            root.replaceKey("/Dests", pdf.makeIndirectObject(dests));
        } else {
            auto tree = QPDFNameTreeObjectHelper::newEmpty(pdf);
            for (const auto& [text, page] : options.namedDestinations) {
                tree.insert(text, explicitDest(handles, page));
            }
            auto names = QPDFObjectHandle::newDictionary();
            names.replaceKey("/Dests", tree.getObjectHandle());
            root.replaceKey("/Names", names);
        }
    }
    if (!options.bookmarks.empty()) {
        auto outlines = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
        outlines.replaceKey("/Type", name("Outlines"));
        int shown = addBookmarks(pdf, options, handles, outlines, options.bookmarks);
        outlines.replaceKey("/Count", QPDFObjectHandle::newInteger(shown));
        root.replaceKey("/Outlines", outlines);
    }
    int y = 300;
    for (const auto& link : options.links) {
        auto dict = QPDFObjectHandle::newDictionary();
        dict.replaceKey("/Type", name("Annot"));
        dict.replaceKey("/Subtype", name("Link"));
        dict.replaceKey("/Rect", QPDFObjectHandle::parse("[72 " + std::to_string(y) + " 272 " +
                                                         std::to_string(y + 20) + "]"));
        y -= 30;
        switch (link.target) {
            case TestLink::Target::Dest:
                dict.replaceKey("/Dest", explicitDest(handles, link.page));
                break;
            case TestLink::Target::NamedDest:
                dict.replaceKey("/Dest", namedRef(options, link.name));
                break;
            case TestLink::Target::GoTo:
                dict.replaceKey("/A", goTo(explicitDest(handles, link.page)));
                break;
            case TestLink::Target::GoToNamed:
                dict.replaceKey("/A", goTo(namedRef(options, link.name)));
                break;
        }
        addAnnotation(handles.at(static_cast<size_t>(link.onPage - 1)),
                      pdf.makeIndirectObject(dict));
    }
    if (!options.formText.empty()) addForm(pdf, options, handles);
    if (!options.pageLabels.empty()) {
        auto nums = QPDFObjectHandle::newArray();
        for (const auto& label : options.pageLabels) {
            auto dict = QPDFObjectHandle::newDictionary();
            if (!label.style.empty()) dict.replaceKey("/S", name(label.style));
            if (!label.prefix.empty()) {
                dict.replaceKey("/P", QPDFObjectHandle::newString(label.prefix));
            }
            if (label.start != 1) dict.replaceKey("/St", QPDFObjectHandle::newInteger(label.start));
            nums.appendItem(QPDFObjectHandle::newInteger(label.firstPage - 1));
            nums.appendItem(dict);
        }
        auto labels = QPDFObjectHandle::newDictionary();
        labels.replaceKey("/Nums", nums);
        root.replaceKey("/PageLabels", labels);
    }
}

// Page text of the page a destination leads to; "?" when it leads to no page.
class Targets {
public:
    explicit Targets(QPDF& pdf) : pdf_(pdf) {
        for (auto& page : QPDFPageDocumentHelper(pdf).getAllPages()) {
            FirstShownText finder;
            page.parseContents(&finder);
            texts_[page.getObjectHandle().getObjGen()] = finder.text;
        }
        auto root = pdf.getRoot();
        auto dests = root.getKey("/Dests");
        if (dests.isDictionary()) {
            for (auto& [key, value] : dests.ditems()) names_[key.substr(1)] = value;
        }
        auto tree = root.getKey("/Names").getKey("/Dests");
        if (tree.isDictionary()) {
            for (auto& [key, value] : QPDFNameTreeObjectHelper(tree, pdf, false)) {
                names_[key] = value;
            }
        }
    }
    std::string pageOf(QPDFObjectHandle destination) {
        if (destination.isName()) return named(destination.getName().substr(1));
        if (destination.isString()) return named(destination.getUTF8Value());
        if (destination.isDictionary()) destination = destination.getKey("/D");
        if (!destination.isArray() || destination.getArrayNItems() < 1) return "?";
        auto page = destination.getArrayItem(0);
        if (!page.isIndirect()) return "?";
        auto it = texts_.find(page.getObjGen());
        return it == texts_.end() ? "?" : it->second;
    }
    // Target of a /Dest or /A entry pair; "" when the item has neither.
    std::string of(QPDFObjectHandle dict, std::string* usedName = nullptr) {
        auto destination = dict.getKey("/Dest");
        auto action = dict.getKey("/A");
        if (destination.isNull() && action.isDictionary() && action.getKey("/S").isName() &&
            action.getKey("/S").getName() == "/GoTo") {
            destination = action.getKey("/D");
        }
        if (destination.isNull()) return "";
        if (usedName && (destination.isName() || destination.isString())) {
            *usedName =
                destination.isName() ? destination.getName().substr(1) : destination.getUTF8Value();
        }
        return pageOf(destination);
    }
    const std::map<std::string, QPDFObjectHandle>& names() const { return names_; }
    std::string text(QPDFObjGen page) { return texts_[page]; }

private:
    std::string named(const std::string& text) {
        auto it = names_.find(text);
        return it == names_.end() ? "?" : pageOf(it->second);
    }
    QPDF& pdf_;
    std::map<QPDFObjGen, std::string> texts_;
    std::map<std::string, QPDFObjectHandle> names_;
};

std::vector<FoundBookmark> readItems(Targets& targets, QPDFObjectHandle item,
                                     std::set<QPDFObjGen>& seen) {
    std::vector<FoundBookmark> found;
    for (; item.isDictionary(); item = item.getKey("/Next")) {
        if (!seen.insert(item.getObjGen()).second) throw std::logic_error("outline loops");
        FoundBookmark entry;
        entry.title = item.getKey("/Title").getUTF8Value();
        entry.open = item.getKey("/Count").isInteger() && item.getKey("/Count").getIntValue() > 0;
        entry.target = targets.of(item);
        entry.kids = readItems(targets, item.getKey("/First"), seen);
        found.push_back(entry);
    }
    return found;
}

std::string roman(int n, bool upper) {
    static const std::pair<int, const char*> parts[] = {
        {1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
        {40, "xl"},  {10, "x"},   {9, "ix"},  {5, "v"},    {4, "iv"},  {1, "i"}};
    std::string text;
    for (auto [value, digits] : parts) {
        for (; n >= value; n -= value) text += digits;
    }
    if (upper) {
        for (auto& c : text) c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

}  // namespace

void writeRichPdf(const std::string& path, const RichPdfOptions& options) {
    QPDF pdf;
    buildDocument(pdf, options.base);
    addExtras(pdf, options);
    QPDFWriter writer(pdf);
    writer.setOutputMemory();
    configureWriter(writer);
    writer.write();
    auto buffer = writer.getBufferSharedPointer();
    writeFile(path,
              std::string(reinterpret_cast<const char*>(buffer->getBuffer()), buffer->getSize()));
}

std::vector<FoundBookmark> readBookmarks(const std::string& path) {
    QPDF pdf;
    openQuietly(pdf, path, "");
    Targets targets(pdf);
    std::set<QPDFObjGen> seen;
    return readItems(targets, pdf.getRoot().getKey("/Outlines").getKey("/First"), seen);
}

std::vector<FoundLink> readLinks(const std::string& path) {
    QPDF pdf;
    openQuietly(pdf, path, "");
    Targets targets(pdf);
    std::vector<FoundLink> links;
    for (auto& page : QPDFPageDocumentHelper(pdf).getAllPages()) {
        for (auto& annotation : page.getAnnotations("/Link")) {
            FoundLink link;
            link.onPage = targets.text(page.getObjectHandle().getObjGen());
            link.target = targets.of(annotation.getObjectHandle(), &link.name);
            links.push_back(link);
        }
    }
    return links;
}

std::map<std::string, std::string> readNamedDestinations(const std::string& path) {
    QPDF pdf;
    openQuietly(pdf, path, "");
    Targets targets(pdf);
    std::map<std::string, std::string> found;
    for (const auto& [text, destination] : targets.names()) {
        found[text] = targets.pageOf(destination);
    }
    return found;
}

std::map<std::string, std::string> readFormFields(const std::string& path) {
    QPDF pdf;
    openQuietly(pdf, path, "");
    QPDFAcroFormDocumentHelper form(pdf);
    std::map<std::string, std::string> found;
    for (auto& field : form.getFormFields()) {
        auto value = field.getValue();
        found[field.getFullyQualifiedName()] =
            value.isName() ? value.getName() : field.getValueAsString();
    }
    return found;
}

std::map<std::string, std::vector<std::string>> readFieldPages(const std::string& path) {
    QPDF pdf;
    openQuietly(pdf, path, "");
    Targets targets(pdf);
    QPDFAcroFormDocumentHelper form(pdf);
    std::map<std::string, std::vector<std::string>> found;
    for (auto& page : QPDFPageDocumentHelper(pdf).getAllPages()) {
        for (auto& annotation : form.getWidgetAnnotationsForPage(page)) {
            auto field = form.getFieldForAnnotation(annotation);
            found[field.getFullyQualifiedName()].push_back(
                targets.text(page.getObjectHandle().getObjGen()));
        }
    }
    return found;
}

std::vector<std::string> readPageLabels(const std::string& path) {
    QPDF pdf;
    openQuietly(pdf, path, "");
    QPDFPageLabelDocumentHelper helper(pdf);
    std::vector<std::string> found;
    const auto count = QPDFPageDocumentHelper(pdf).getAllPages().size();
    for (size_t i = 0; i < count; ++i) {
        if (!helper.hasPageLabels()) {
            found.push_back(std::to_string(i + 1));
            continue;
        }
        auto label = helper.getLabelForPage(static_cast<long long>(i));
        std::string text = label.getKey("/P").isString() ? label.getKey("/P").getUTF8Value() : "";
        int start = label.getKey("/St").isInteger() ? label.getKey("/St").getIntValueAsInt() : 1;
        auto style = label.getKey("/S");
        std::string s = style.isName() ? style.getName() : "";
        if (s == "/D") text += std::to_string(start);
        if (s == "/r" || s == "/R") text += roman(start, s == "/R");
        if (s == "/a" || s == "/A") {
            char letter = static_cast<char>((s == "/a" ? 'a' : 'A') + (start - 1) % 26);
            text += std::string(static_cast<size_t>((start - 1) / 26 + 1), letter);
        }
        found.push_back(text);
    }
    return found;
}

}  // namespace pagemeld::testing
