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

}  // namespace pagemeld::testing

namespace pagemeld::testing {

// Documents with what a catalog carries besides pages: bookmarks, named
// destinations, links, a form and page labels. Pages are numbered from 1.
struct TestBookmark {
    enum class Target { None, Dest, NamedDest, GoTo, GoToNamed, Uri };
    std::string title;
    Target target = Target::Dest;
    int page = 1;           // for Dest and GoTo
    std::string name = {};  // for NamedDest and GoToNamed (also the /Dests entry's name)
    bool open = true;
    std::vector<TestBookmark> kids = {};
};

struct TestLink {
    enum class Target { Dest, NamedDest, GoTo, GoToNamed };
    int onPage = 1;
    Target target = Target::Dest;
    int page = 1;
    std::string name = {};
};

struct TestPageLabel {
    int firstPage = 1;
    std::string style = "D";  // D, r, R, a, A or empty (prefix only)
    std::string prefix = {};
    int start = 1;
};

struct RichPdfOptions {
    TestPdfOptions base;
    std::vector<TestBookmark> bookmarks = {};
    // Name -> page, in the /Names /Dests tree (or the catalog's /Dests when oldStyleDests).
    std::map<std::string, int> namedDestinations = {};
    bool oldStyleDests = false;
    std::vector<TestLink> links = {};
    // A form when not empty: text field "person.name" holding this text (page 1), check
    // box "agree" checked (page 2, or 1), radio group "choice" with widgets on page 1
    // ("One") and the last page ("Two"), "Two" chosen.
    std::string formText = {};
    std::vector<TestPageLabel> pageLabels = {};
};

void writeRichPdf(const std::string& path, const RichPdfOptions& options);

// What a reader finds, with pages named by their text ("A 3"); "?" for a target that
// leads to no page of the file, "" for none.
struct FoundBookmark {
    std::string title;
    bool open = false;
    std::string target;
    std::vector<FoundBookmark> kids;
};
struct FoundLink {
    std::string onPage;
    std::string target;
    std::string name;  // the named destination it uses, if any
};
std::vector<FoundBookmark> readBookmarks(const std::string& path);
std::vector<FoundLink> readLinks(const std::string& path);
// Named destination -> page text.
std::map<std::string, std::string> readNamedDestinations(const std::string& path);
// Fully qualified field name -> value ("/Yes", "/Two" for buttons), for every terminal field.
std::map<std::string, std::string> readFormFields(const std::string& path);
// Fully qualified field name -> texts of the pages holding its widgets.
std::map<std::string, std::vector<std::string>> readFieldPages(const std::string& path);
// The label a viewer shows for each page ("iii", "A-2", "7").
std::vector<std::string> readPageLabels(const std::string& path);

}  // namespace pagemeld::testing
