#include "hostile_pdfs.h"

#include <qpdf/Pl_Buffer.hh>
#include <qpdf/Pl_Flate.hh>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>

namespace pagemeld::testing {
namespace {

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string pageObject(int parent, const std::string& extra = {}) {
    return "<< /Type /Page /Parent " + std::to_string(parent) +
           " 0 R /MediaBox [0 0 200 200] /Resources << >> " + extra + ">>";
}

std::string streamObject(const std::string& dictionary, const std::string& data) {
    return "<< " + dictionary + " >>\nstream\n" + data + "\nendstream";
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

constexpr std::size_t kOneGiB = std::size_t{1} << 30;

// A sound two-page document with its objects laid out plainly.
std::vector<std::string> twoPages() {
    return {"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>",
            pageObject(2), pageObject(2)};
}

}  // namespace

std::string pdfText(const std::vector<std::string>& objects, const std::string& trailerExtra) {
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
    text += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R " +
            trailerExtra + ">>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return text;
}

std::string hostileTestName(const ::testing::TestParamInfo<HostileFile>& info) {
    std::string name;
    for (char c : info.param.name) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

std::vector<HostileFile> hostileFiles() {
    std::vector<HostileFile> files;

    // A page whose contents inflate to 1 GiB: copying pages must not inflate them.
    files.push_back({"compression bomb",
                     [](const std::string& path) {
                         const std::string bomb = deflatedZeros(kOneGiB);
                         writeBytes(path,
                                    pdfText({"<< /Type /Catalog /Pages 2 0 R >>",
                                             "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                                             pageObject(2, "/Contents 4 0 R "),
                                             streamObject("/Length " + std::to_string(bomb.size()) +
                                                              " /Filter /FlateDecode",
                                                          bomb)}));
                     },
                     1});

    // Arrays nested 100000 deep in a page's dictionary.
    files.push_back({"deep nesting",
                     [](const std::string& path) {
                         auto objects = twoPages();
                         const std::size_t depth = 100000;
                         objects[2] = pageObject(
                             2, "/Deep " + std::string(depth, '[') + std::string(depth, ']') + " ");
                         writeBytes(path, pdfText(objects));
                     },
                     -1});

    // A /Kids entry pointing back at the root of the page tree.
    files.push_back({"page tree loop",
                     [](const std::string& path) {
                         writeBytes(path,
                                    pdfText({"<< /Type /Catalog /Pages 2 0 R >>",
                                             "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>",
                                             "<< /Type /Pages /Parent 2 0 R /Kids [5 0 R 2 0 R] "
                                             "/Count 2 >>",
                                             pageObject(2), pageObject(3)}));
                     },
                     -1});

    // Objects that refer to each other in a ring, reached from a page and the trailer.
    files.push_back({"reference loops",
                     [](const std::string& path) {
                         auto objects = twoPages();
                         objects[2] = pageObject(2, "/Ring 5 0 R /Self 3 0 R ");
                         objects.push_back("<< /Next 6 0 R >>");
                         objects.push_back("<< /Next 7 0 R /Array [5 0 R 6 0 R] >>");
                         objects.push_back("7 0 R");
                         writeBytes(path, pdfText(objects, "/Info 5 0 R "));
                     },
                     -1});

    // A stream declaring a length of a terabyte, and one whose length refers to itself.
    files.push_back({"huge declared length",
                     [](const std::string& path) {
                         auto objects = twoPages();
                         objects[2] = pageObject(2, "/Contents 5 0 R ");
                         objects[3] = pageObject(2, "/Contents 6 0 R ");
                         objects.push_back(streamObject("/Length 1099511627776", "0 0 m S"));
                         objects.push_back(streamObject("/Length 6 0 R", "0 0 m S"));
                         writeBytes(path, pdfText(objects));
                     },
                     -1});

    files.push_back({"truncated",
                     [](const std::string& path) {
                         const std::string whole = pdfText(twoPages());
                         writeBytes(path, whole.substr(0, whole.size() / 2));
                     },
                     -1});

    files.push_back(
        {"folder", [](const std::string& path) { std::filesystem::create_directory(path); }, 0});

    files.push_back({"zero bytes", [](const std::string& path) { writeBytes(path, ""); }, 0});

    // More pages than a 16-bit count holds.
    files.push_back({"forty thousand pages",
                     [](const std::string& path) {
                         const int pages = 40000;
                         std::vector<std::string> objects{"<< /Type /Catalog /Pages 2 0 R >>", ""};
                         std::string kids;
                         for (int i = 0; i < pages; ++i) {
                             objects.push_back("<< /Type /Page /Parent 2 0 R >>");
                             kids += std::to_string(i + 3) + " 0 R ";
                         }
                         objects[1] = "<< /Type /Pages /Kids [" + kids + "] /Count " +
                                      std::to_string(pages) + " /MediaBox [0 0 100 100] >>";
                         writeBytes(path, pdfText(objects));
                     },
                     40000});
    return files;
}

}  // namespace pagemeld::testing
