// What merged, split and mixed documents keep: bookmarks, named destinations, links,
// forms and page labels, each output described as text and compared whole.
#include <gtest/gtest.h>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFNameTreeObjectHelper.hh>
#include <qpdf/QPDFPageLabelDocumentHelper.hh>

#include <map>
#include <set>

#include "pdf/page_ranges.h"
#include "pdf/qpdf_engine.h"
#include "support/temp_dir.h"
#include "support/test_pdfs.h"

namespace pagemeld {
namespace {

using QH = QPDFObjectHandle;

// A text field "person.name" on page 1, a check box "agree" on page 2 and a radio group
// "choice" with widgets on page 1 and on the last page, whose one is chosen.
std::string form(const std::string& text, int last) {
    const std::string onLast = "@" + std::to_string(last);
    const std::string widget = "/Type /Annot /Subtype /Widget /Rect [72 500 92 520]";
    return "root << /AcroForm << /Fields [#30 #32 #33] /DA (/Helv 0 Tf 0 g) >> >>\n"
           "@1 << /Annots [#31 #34] >>\n@2 << /Annots [#32] >>\n" +
           onLast + " << /Annots [#35] >>\n#30 << /T (person) /Kids [#31] >>\n#31 << " + widget +
           " /P @1 /Parent #30 /FT /Tx /T (name) /V (" + text + ") >>\n#32 << " + widget +
           " /P @2 /FT /Btn /T (agree) /V /Yes /AS /Yes /AP << /N << /Yes #36 /Off #36 >> >> >>\n"
           "#33 << /FT /Btn /Ff 32768 /T (choice) /V /Two /Kids [#34 #35] >>\n#34 << " +
           widget + " /P @1 /Parent #33 /AS /Off /AP << /N << /One #36 /Off #36 >> >> >>\n#35 << " +
           widget + " /P " + onLast +
           " /Parent #33 /AS /Two /AP << /N << /Two #36 /Off #36 >> >> >>\n"
           "#36 << /Subtype /Form /BBox [0 0 20 20] >> stream 0 0 20 20 re S\n";
}

// Four pages: nested bookmarks, open and closed, reaching pages by every kind of
// destination, a name tree, links of every kind, page labels and a form.
const std::string kA =
    "root << /Outlines #1 /Names << /Dests #9 >> /PageLabels << /Nums [0 << /S /r >> 2 << /S /D "
    ">> 3 << /S /A /P (App-) /St 3 >>] >> >>\n"
    "#1 << /Type /Outlines /First #2 /Last #7 /Count 5 >>\n"
    "#2 << /Title (Chapter 1) /Parent #1 /Next #6 /First #3 /Last #4 /Count 2 /Dest [@1 /Fit] >>\n"
    "#3 << /Title (Section 1.1) /Parent #2 /Next #4 /A << /S /GoTo /D [@2 /XYZ 0 792 null] >> >>\n"
    "#4 << /Title (Section 1.2) /Parent #2 /Prev #3 /First #5 /Last #5 /Count -1 /Dest (sec12) >>\n"
    "#5 << /Title (Note) /Parent #4 /Dest [@3 /Fit] >>\n"
    "#6 << /Title (Chapter 2) /Parent #1 /Prev #2 /Next #7 /First #8 /Last #8 /Count -1 /A << /S "
    "/GoTo /D (ch2) >> >>\n"
    "#7 << /Title (Website) /Parent #1 /Prev #6 /A << /S /URI /URI (https://example.org/) >> >>\n"
    "#8 << /Title (Deep) /Parent #6 /Dest [@4 /Fit] >>\n"
    "#9 << /Names [(ch2) [@4 /Fit] (sec12) [@3 /Fit]] >>\n"
    "@1 << /Annots [#11] >>\n@2 << /Annots [#12] >>\n@3 << /Annots [#13] >>\n"
    "@4 << /Annots [#14] >>\n"
    "#11 << /Type /Annot /Subtype /Link /Rect [0 0 9 9] /Dest [@3 /Fit] >>\n"
    "#12 << /Type /Annot /Subtype /Link /Rect [0 0 9 9] /Dest (ch2) >>\n"
    "#13 << /Type /Annot /Subtype /Link /Rect [0 0 9 9] /A << /S /GoTo /D [@1 /Fit] >> >>\n"
    "#14 << /Type /Annot /Subtype /Link /Rect [0 0 9 9] /A << /S /GoTo /D (sec12) >> >>\n" +
    form("Ann", 4);

// Three pages whose destination name "ch2", in the catalog's old dictionary, is also A's.
const std::string kB =
    "root << /Outlines #1 /Dests << /ch2 [@3 /XYZ 0 792 null] >> >>\n"
    "#1 << /Type /Outlines /First #2 /Last #3 /Count 2 >>\n"
    "#2 << /Title (Intro) /Parent #1 /Next #3 /Dest [@1 /Fit] >>\n"
    "#3 << /Title (End) /Parent #1 /Prev #2 /Dest /ch2 >>\n"
    "@1 << /Annots [#11 #12] >>\n"
    "#11 << /Type /Annot /Subtype /Link /Rect [0 0 9 9] /Dest /ch2 >>\n"
    "#12 << /Type /Annot /Subtype /Link /Rect [0 0 9 9] /A << /S /GoTo /D [@2 /Fit] >> >>\n" +
    form("Bob", 3);

// A name, number or text as text; with a prefix only when there is something.
std::string textOf(QH object, const std::string& prefix = "") {
    if (object.isName()) return prefix + object.getName().substr(1);
    if (object.isInteger()) return prefix + std::to_string(object.getIntValue());
    return object.isString() ? prefix + object.getUTF8Value() : "";
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
}

// What a reader finds, one line per kind; pages are named by their place ("p3") and a
// target that leads to no page of the file is "?".
class Structure {
public:
    explicit Structure(const std::string& path) {
        pdf_.setSuppressWarnings(true);
        pdf_.processFile(path.c_str());
        const auto pages = pdf_.getAllPages();
        for (auto page : pages)
            places_[page.getObjGen()] = "p" + std::to_string(places_.size() + 1);
        auto root = pdf_.getRoot();
        if (root.getKey("/Dests").isDictionary()) {
            for (auto [key, value] : root.getKey("/Dests").ditems()) names_[key.substr(1)] = value;
        }
        if (auto tree = root.getKey("/Names"); tree.isDictionary() && tree.hasKey("/Dests")) {
            tree = tree.getKey("/Dests");
            for (auto [key, value] : QPDFNameTreeObjectHelper(tree, pdf_)) names_[key] = value;
        }
        text = "pages:";
        for (const auto& page : testing::pageTexts(path)) text += " " + page;
        if (QPDFPageLabelDocumentHelper labels(pdf_); labels.hasPageLabels()) {
            text += "\nlabels:";
            for (long long i = 0; i < static_cast<long long>(pages.size()); ++i) {
                auto label = labels.getLabelForPage(i);
                text += " " + textOf(label.getKey("/P")) + textOf(label.getKey("/S")) +
                        textOf(label.getKey("/St"));
            }
        }
        if (auto outline = root.getKey("/Outlines"); outline.isDictionary()) {
            text += "\noutline" + count(outline) + ":\n";
            std::set<QPDFObjGen> seen;
            addItems(outline, 1, seen);
            text.pop_back();
        }
        if (!names_.empty()) text += "\nnames:";
        for (const auto& [name, destination] : names_) text += " " + name + ">" + page(destination);
        std::string links;
        for (auto page : pages) {
            auto annotations = page.getKey("/Annots");
            for (int i = 0; annotations.isArray() && i < annotations.getArrayNItems(); ++i) {
                auto annotation = annotations.getArrayItem(i);
                annotationPlaces_[annotation.getObjGen()] = places_[page.getObjGen()];
                if (annotation.getKey("/Subtype").isNameAndEquals("/Link"))
                    links += " " + places_[page.getObjGen()] + ">" + target(annotation);
            }
        }
        if (!links.empty()) text += "\nlinks:" + links;
        if (auto form = root.getKey("/AcroForm"); form.isDictionary()) {
            text += "\nform " + textOf(form.getKey("/DA")) + ":";
            for (auto field : form.getKey("/Fields").aitems())
                addFields(field, "", QH::newNull(), 0);
        }
        text += "\n";
    }

    std::string text;

private:
    static std::string count(QH item) {
        auto count = item.getKey("/Count");
        return count.isInteger() ? " [" + std::to_string(count.getIntValue()) + "]" : "";
    }

    std::string page(QH destination) {
        if (destination.isDictionary()) destination = destination.getKey("/D");
        if (!destination.isArray() || destination.getArrayNItems() == 0) return "?";
        auto found = places_.find(destination.getArrayItem(0).getObjGen());
        return found == places_.end() ? "?" : found->second;
    }

    // "p3", "(name)p3" through a named destination, the address of a web link, "" for none.
    std::string target(QH item) {
        auto destination = item.getKey("/Dest");
        auto action = item.getKey("/A");
        if (action.isDictionary() && action.getKey("/S").isNameAndEquals("/URI"))
            return textOf(action.getKey("/URI"));
        if (action.isDictionary()) destination = action.getKey("/D");
        if (destination.isNull()) return "";
        if (!destination.isName() && !destination.isString()) return page(destination);
        const std::string name = textOf(destination);
        return "(" + name + ")" + (names_.count(name) ? page(names_[name]) : "?");
    }

    // One line per item, indented by level; a link between items that does not hold
    // (parent, previous, last) is marked, and an item met twice ends the walk.
    void addItems(QH parent, int depth, std::set<QPDFObjGen>& seen) {
        auto previous = QH::newNull();
        for (auto item = parent.getKey("/First");
             item.isDictionary() && seen.insert(item.getObjGen()).second;
             item = item.getKey("/Next")) {
            text += std::string(static_cast<size_t>(depth), ' ') + textOf(item.getKey("/Title")) +
                    " -> " + target(item) + count(item);
            if (item.getKey("/Parent").getObjGen() != parent.getObjGen() ||
                item.getKey("/Prev").getObjGen() != previous.getObjGen()) {
                text += " BADLY LINKED";
            }
            text += "\n";
            addItems(item, depth + 1, seen);
            previous = item;
        }
        if (parent.getKey("/Last").getObjGen() != previous.getObjGen()) text += "BAD LAST\n";
    }

    // " name=value/state@p1" per widget, the value inherited from the field above it.
    void addFields(QH field, std::string name, QH value, int depth) {
        if (field.getKey("/T").isString()) {
            name += (name.empty() ? "" : ".") + field.getKey("/T").getUTF8Value();
        }
        if (field.hasKey("/V")) value = field.getKey("/V");
        if (field.getKey("/Kids").isArray() && depth < 8) {
            for (auto kid : field.getKey("/Kids").aitems()) addFields(kid, name, value, depth + 1);
            return;
        }
        auto place = annotationPlaces_.find(field.getObjGen());
        text += " " + name + "=" + textOf(value) + textOf(field.getKey("/AS"), "/") + "@" +
                (place == annotationPlaces_.end() ? "?" : place->second);
    }

    QPDF pdf_;
    std::map<QPDFObjGen, std::string> places_;
    std::map<QPDFObjGen, std::string> annotationPlaces_;
    std::map<std::string, QH> names_;
};

struct Job {
    const char* what;
    // Files merged one by one ("+A" under a bookmark "A", "_" a blank page like the last
    // page before), or pages of documents ("A" opens the file anew, "A:2-3" takes pages
    // of the first opened copy) written at once.
    bool list;
    std::vector<std::string> parts;
    int merged;  // for a list: the files whose pages went in
    std::string expected;
};

const std::string kMergedAB = R"(pages: A 1 A 2 A 3 A 4 B 1 B 2 B 3
labels: r1 r2 D1 App-A3 D1 D2 D3
outline [7]:
 Chapter 1 -> p1 [2]
  Section 1.1 -> p2
  Section 1.2 -> p3 [-1]
   Note -> p3
 Chapter 2 -> p4 [-1]
  Deep -> p4
 Website -> https://example.org/
 Intro -> p5
 End -> p7
names: ch2>p4 ch2_2>p7 sec12>p3
links: p1>p3 p2>(ch2)p4 p3>p1 p4>(sec12)p3 p5>(ch2_2)p7 p5>p6
form /Helv 0 Tf 0 g: person.name=Ann@p1 agree=Yes/Yes@p2 choice=Two/Off@p1 choice=Two/Two@p4 person_2.name=Bob@p5 agree_2=Yes/Yes@p6 choice_2=Two/Off@p5 choice_2=Two/Two@p7
)";

const std::string kWholeB = R"(pages: B 1 B 2 B 3
outline [2]:
 Intro -> p1
 End -> p3
names: ch2>p3
links: p1>(ch2)p3 p1>p2
form /Helv 0 Tf 0 g: person.name=Bob@p1 agree=Yes/Yes@p2 choice=Two/Off@p1 choice=Two/Two@p3
)";

const std::string kTwiceB = R"(pages: B 1 B 2 B 3 B 1 B 2 B 3
outline [4]:
 Intro -> p1
 End -> p3
 Intro -> p4
 End -> p6
names: ch2>p3 ch2_2>p6
links: p1>(ch2)p3 p1>p2 p4>(ch2_2)p6 p4>p5
form /Helv 0 Tf 0 g: person.name=Bob@p1 agree=Yes/Yes@p2 choice=Two/Off@p1 choice=Two/Two@p3 person_2.name=Bob@p4 agree_2=Yes/Yes@p5 choice_2=Two/Off@p4 choice_2=Two/Two@p6
)";

const std::vector<Job> kJobs = {
    {"two files by list", true, {"A", "B"}, 2, kMergedAB},
    {"the same by documents", false, {"A", "B"}, 0, kMergedAB},
    {"an outline that loops, read to the loop", true, {"L", "B"}, 2, kMergedAB},
    {"a file failing halfway is left out", true, {"D", "B"}, 1, kWholeB},
    {"one file twice by list", true, {"B", "B"}, 2, kTwiceB},
    {"one file twice by documents", false, {"B", "B"}, 0, kTwiceB},
    {"a whole document", false, {"B"}, 0, kWholeB},
    {"a piece", false, {"A:2-3"}, 0, R"(pages: A 2 A 3
labels: r2 D1
outline [2]:
 Section 1.1 -> p1
 Section 1.2 -> p2 [-1]
  Note -> p2
names: sec12>p2
links: p1> p2>
form /Helv 0 Tf 0 g: agree=Yes/Yes@p1
)"},
    {"two pieces of one document, reversed", false, {"A:4", "A:3,1"}, 0, R"(pages: A 4 A 3 A 1
labels: App-A3 D1 r1
outline [3]:
 Chapter 1 -> p3 [1]
  Section 1.2 -> p2 [-1]
   Note -> p2
 Chapter 2 -> p1 [-1]
  Deep -> p1
names: ch2>p1 sec12>p2
links: p1>(sec12)p2 p2>p3 p3>p2
form /Helv 0 Tf 0 g: person.name=Ann@p3 choice=Two/Off@p3 choice=Two/Two@p1
)"},
    {"pieces of two", false, {"A:1-2", "B:2-3"}, 0, R"(pages: A 1 A 2 B 2 B 3
labels: r1 r2 D2 D3
outline [3]:
 Chapter 1 -> p1 [1]
  Section 1.1 -> p2
 End -> p4
names: ch2>p4
links: p1> p2>
form /Helv 0 Tf 0 g: person.name=Ann@p1 agree=Yes/Yes@p2 choice=Two/Off@p1 agree_2=Yes/Yes@p3 choice_2=Two/Two@p4
)"},
    {"labels between files without", true, {"P", "R", "P"}, 3, R"(pages: P 1 P 2 R 1 P 1 P 2
labels: D1 D2 r1 D1 D2
)"},
    {"nothing to keep", true, {"P", "P"}, 2, R"(pages: P 1 P 2 P 1 P 2
)"},
    {"a bookmark for each file, over its own",
     true,
     {"+A", "_", "+P", "+B"},
     3,
     R"(pages: A 1 A 2 A 3 A 4  P 1 P 2 B 1 B 2 B 3
labels: r1 r2 D1 App-A3 App-A4 D1 D2 D1 D2 D3
outline [3]:
 A -> p1 [-5]
  Chapter 1 -> p1 [2]
   Section 1.1 -> p2
   Section 1.2 -> p3 [-1]
    Note -> p3
  Chapter 2 -> p4 [-1]
   Deep -> p4
  Website -> https://example.org/
 P -> p6
 B -> p8 [-2]
  Intro -> p8
  End -> p10
names: ch2>p4 ch2_2>p10 sec12>p3
links: p1>p3 p2>(ch2)p4 p3>p1 p4>(sec12)p3 p8>(ch2_2)p10 p8>p9
form /Helv 0 Tf 0 g: person.name=Ann@p1 agree=Yes/Yes@p2 choice=Two/Off@p1 choice=Two/Two@p4 person_2.name=Bob@p8 agree_2=Yes/Yes@p9 choice_2=Two/Off@p8 choice_2=Two/Two@p10
)"},
};

TEST(KeepStructure, MergedSplitAndMixedOutputsKeepWhatTheirPagesHad) {
    testing::TempDir dir;
    const std::string deep = "@1 << /Deep " + std::string(450, '[') + std::string(450, ']') + " >>";
    const std::map<std::string, std::pair<testing::TestPdfOptions, std::string>> inputs = {
        {"A", {{4, "A"}, kA}},
        {"B", {{3, "B"}, kB}},
        {"L",
         {{4, "A"},
          replaced(replaced(kA, "(Website) /Parent #1", "(Website) /Next #2 /Parent #1"),
                   "(Note) /Parent", "(Note) /Next #2 /Parent")}},
        {"D", {{1, "D"}, deep}},
        {"P", {{2, "P"}, ""}},
        {"R", {{1, "R"}, "root << /PageLabels << /Nums [0 << /S /r >>] >> >>"}},
    };
    for (const auto& [name, input] : inputs) {
        testing::writeRichPdf(dir.file(name + ".pdf"), input.first, input.second);
    }
    for (const auto& job : kJobs) {
        SCOPED_TRACE(job.what);
        QpdfEngine engine;
        const std::string out = dir.file("out.pdf");
        if (job.list) {
            PdfFailure failure;
            auto writer = engine.startDocument(out, failure);
            ASSERT_TRUE(writer);
            int merged = 0;
            std::vector<PageRef> last;
            for (const auto& part : job.parts) {
                if (part == "_") {
                    ASSERT_FALSE(writer->appendBlankLike(last.back()));
                    continue;
                }
                const bool under = part[0] == '+';
                const std::string name = part.substr(under ? 1 : 0);
                last = engine.open(dir.file(name + ".pdf"), "").pages;
                if (!(under ? writer->appendUnder(name, last) : writer->append(last))) ++merged;
            }
            ASSERT_FALSE(writer->commit({}));
            ASSERT_EQ(merged, job.merged);
        } else {
            std::map<std::string, OpenedDocument> opened;
            std::vector<PageRef> pages;
            for (const auto& part : job.parts) {
                const std::string file = dir.file(part.substr(0, 1) + ".pdf");
                if (part.size() == 1) {
                    const OpenedDocument anew = engine.open(file, "");
                    pages.insert(pages.end(), anew.pages.begin(), anew.pages.end());
                    continue;
                }
                if (!opened.count(file)) opened[file] = engine.open(file, "");
                const auto chosen = opened[file].pagesNumbered(
                    parsePageRanges(part.substr(2), opened[file].pageCount()));
                pages.insert(pages.end(), chosen.begin(), chosen.end());
            }
            ASSERT_FALSE(engine.write(out, pages, {}));
        }
        std::string report;
        EXPECT_TRUE(testing::qpdfCheckClean(out, &report)) << report;
        EXPECT_EQ(Structure(out).text, job.expected);
    }
}

}  // namespace
}  // namespace pagemeld
