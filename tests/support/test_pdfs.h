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
    // Page k shows the text "<label> <k>" (for example "A 3").
    std::string label = "Page";
    // Every page uses one shared embedded font and one shared image.
    bool sharedImage = true;
    int imageSide = 64;  // the image is imageSide x imageSide RGB pixels of noise
    // Document information entries (key without the slash, UTF-8 text); none when empty.
    std::map<std::string, std::string> info = {};
};

void writeTestPdf(const std::string& path, const TestPdfOptions& options);
inline void writeTestPdf(const std::string& path, int pages, const std::string& label = "Page") {
    writeTestPdf(path, TestPdfOptions{pages, label});
}
// Encrypted with the given user and owner passwords; an empty user password gives
// an owner-password-only file that opens without a password.
void writeEncryptedPdf(const std::string& path, const TestPdfOptions& options,
                       Encryption encryption, const std::string& userPassword,
                       const std::string& ownerPassword);
// A PDF whose cross-reference table is broken but which qpdf can recover.
void writeDamagedPdf(const std::string& path, int pages, const std::string& label = "Page");
// A file named like a PDF that holds plain text.
void writeNotPdf(const std::string& path);

// The page texts ("A 1", "A 2", ...) of a PDF, in page order, read back with qpdf.
std::vector<std::string> pageTexts(const std::string& path, const std::string& password = "");
// The document information entries (Author, Title, ...) as text.
std::map<std::string, std::string> infoEntries(const std::string& path);
std::map<std::string, std::string> infoEntries(const std::string& path,
                                               const std::string& password);
// True when qpdf's own check finds no error or warning in the file.
bool qpdfCheckClean(const std::string& path, std::string* report = nullptr);
bool qpdfCheckClean(const std::string& path, const std::string& password, std::string* report);
// The number of pages qpdf finds.
int pageCount(const std::string& path, const std::string& password = "");
// Whether the file is encrypted (opening it needs the password if it has a user password).
bool isEncrypted(const std::string& path, const std::string& password = "");
// "A 1".."A n" for convenience in expectations.
std::vector<std::string> labels(const std::string& label, int first, int last);

// A test PDF with more in it, written in PDF syntax where "#n" names new object n and
// "@k" page k. Each line is "#n <object>" (a dictionary followed by " stream <data>"
// makes a stream) or "root <dictionary>" / "@k <dictionary>", whose entries are added
// to the catalog or to page k (arrays already there are extended).
void writeRichPdf(const std::string& path, const TestPdfOptions& options,
                  const std::string& extras);

}  // namespace pagemeld::testing
