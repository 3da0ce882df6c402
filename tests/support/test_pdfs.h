// Test PDFs made by the tests themselves with qpdf: numbered pages whose text says
// which page they are, so a test can tell which source pages an output holds.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace pagemeld::testing {

enum class Encryption { Rc4_40, Rc4_128, Aes128, Aes256 };

struct TestPdfOptions {
    int pages = 1;
    std::string label = "Page";  // page k shows the text "<label> <k>" (for example "A 3")
    // Every page uses one shared font and one shared image of imageSide x imageSide RGB
    // pixels of noise.
    bool sharedImage = true;
    int imageSide = 64;
    std::map<std::string, std::string> info = {};  // document information, keys without slash
    // Every page has an image of its own instead (imageSide 590: about 1 MB each).
    bool ownImages = false;
};

void writeTestPdf(const std::string& path, const TestPdfOptions& options);
inline void writeTestPdf(const std::string& path, int pages, const std::string& label = "Page") {
    writeTestPdf(path, TestPdfOptions{pages, label});
}
// Blank pages that share one content stream: quick to make by the ten thousand.
void writeManyPagesPdf(const std::string& path, int pages);
// An empty user password gives an owner-password-only file that opens without one.
void writeEncryptedPdf(const std::string& path, const TestPdfOptions& options,
                       Encryption encryption, const std::string& userPassword,
                       const std::string& ownerPassword);
// A PDF whose cross-reference table is broken but which qpdf can recover.
void writeDamagedPdf(const std::string& path, int pages, const std::string& label = "Page");
// A PDF cut short before its cross-reference table and trailer, as an interrupted
// download leaves it: qpdf cannot open it, but every page object is there to count.
void writeTruncatedPdf(const std::string& path, int pages, const std::string& label = "Page");
// A file named like a PDF that holds plain text.
void writeNotPdf(const std::string& path);
// A test PDF with more in it, written in PDF syntax where "#n" names new object n and
// "@k" page k. Each line is "#n <object>" (a dictionary followed by " stream <data>"
// makes a stream) or "root <dictionary>" / "@k <dictionary>", whose entries are added
// to the catalog or to page k (arrays already there are extended).
void writeRichPdf(const std::string& path, const TestPdfOptions& options,
                  const std::string& extras);

// Thirty pages "P 1".."P 30" with three chapters and sections in the first:
// "1 Basics" p3 (sections "1.1 Terms" p4, "1.2 Rules" p8), "2 Methods" p12, "3 Results" p20.
void writeChapteredPdf(const std::string& path);

// What qpdf reads back: the page texts ("A 1", "A 2", ...) in page order, the document
// information as text, the number of pages, and whether the file is encrypted.
std::vector<std::string> pageTexts(const std::string& path, const std::string& password = "");
std::map<std::string, std::string> infoEntries(const std::string& path);
std::map<std::string, std::string> infoEntries(const std::string& path,
                                               const std::string& password);
int pageCount(const std::string& path, const std::string& password = "");
// Each page's media box as written ("[ 0 0 612 792 ]"), with its turn when it has one.
std::vector<std::string> pageBoxes(const std::string& path);
// The bookmarks as "title -> page" (1-based; "?" for none), each level one blank further in.
std::vector<std::string> bookmarks(const std::string& path);
bool isEncrypted(const std::string& path, const std::string& password = "");
// True when qpdf finds no error or warning in any object, stream or page content.
bool qpdfCheckClean(const std::string& path, std::string* report = nullptr);
bool qpdfCheckClean(const std::string& path, const std::string& password, std::string* report);
// "A 1".."A n" for convenience in expectations.
std::vector<std::string> labels(const std::string& label, int first, int last);

}  // namespace pagemeld::testing
