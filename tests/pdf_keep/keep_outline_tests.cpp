// Bookmarks, named destinations and links after merging, splitting and mixing.
#include <gtest/gtest.h>

#include <qpdf/QPDFWriter.hh>

#include "keep_fixture.h"

namespace pagemeld {
namespace {

using testing::pageTexts;
using testing::readBookmarks;
using testing::readLinks;
using testing::readNamedDestinations;

const char* const kMergedOutline =
    "Chapter 1 -> A 1\n"
    "  Section 1.1 -> A 2\n"
    "  Section 1.2 -> A 3\n"
    "Chapter 2 -> A 4 (closed)\n"
    "  Deep -> A 4\n"
    "Website -> \n"
    "Intro -> B 1\n"
    "End -> B 3\n";

const std::vector<std::string> kMergedLinks = {"A 1 -> A 3", "A 2 -> A 4", "A 3 -> A 1",
                                               "A 4 -> A 3", "B 1 -> B 3", "B 1 -> B 2"};

TEST_F(KeepTest, MergedListKeepsEveryInputsBookmarksLinksAndNames) {
    const std::string a = writeA();
    const std::string b = writeB();
    engine.ClearFileList("");
    engine.AddToFileList("", a);
    engine.AddToFileList("", b);
    const std::string out = dir.file("out.pdf");
    ASSERT_EQ(engine.MergeFileList("", out), 2);
    expectClean(out);
    EXPECT_EQ(outlineText(readBookmarks(out)), kMergedOutline);
    EXPECT_EQ(linkText(readLinks(out)), kMergedLinks);
    // The name both inputs use leads to each one's own page.
    auto names = readNamedDestinations(out);
    EXPECT_EQ(names.size(), 3u);
    EXPECT_EQ(names["sec12"], "A 3");
    EXPECT_EQ(names["ch2"], "A 4");
    EXPECT_EQ(names["ch2_2"], "B 3");
    {
        // The website bookmark keeps its action. (The file is let go before it is
        // replaced below: Windows replaces no file a reader holds open.)
        QPDF pdf;
        pdf.processFile(out.c_str());
        auto website =
            pdf.getRoot().getKey("/Outlines").getKey("/First").getKey("/Next").getKey("/Next");
        EXPECT_EQ(website.getKey("/A").getKey("/URI").getUTF8Value(), "https://example.org/");
    }

    // The same file twice: the second copy's names are its own.
    engine.ClearFileList("");
    engine.AddToFileList("", b);
    engine.AddToFileList("", b);
    ASSERT_EQ(engine.MergeFileList("", out), 2);
    expectClean(out);
    EXPECT_EQ(linkText(readLinks(out)),
              (std::vector<std::string>{"B 1 -> B 3", "B 1 -> B 2", "B 1 -> B 3", "B 1 -> B 2"}));
    auto links = readLinks(out);
    EXPECT_EQ(links[0].name, "ch2");
    EXPECT_EQ(links[2].name, "ch2_2");
    // Each link leads into its own copy: the second copy's pages are 4..6.
    QPDF twice;
    twice.processFile(out.c_str());
    auto pages = twice.getAllPages();
    auto dest = [&](int page, int annotation) {
        auto link = pages[page].getKey("/Annots").getArrayItem(annotation);
        auto d = link.getKey("/Dest");
        if (d.isNull()) d = link.getKey("/A").getKey("/D");
        return d;
    };
    EXPECT_EQ(dest(0, 1).getArrayItem(0).getObjGen(), pages[1].getObjGen());
    EXPECT_EQ(dest(3, 1).getArrayItem(0).getObjGen(), pages[4].getObjGen());
    EXPECT_EQ(outlineText(readBookmarks(out)),
              "Intro -> B 1\nEnd -> B 3\nIntro -> B 1\nEnd -> B 3\n");
    auto top = twice.getRoot().getKey("/Outlines").getKey("/First");
    EXPECT_EQ(top.getKey("/Dest").getArrayItem(0).getObjGen(), pages[0].getObjGen());
    auto third = top.getKey("/Next").getKey("/Next");
    EXPECT_EQ(third.getKey("/Dest").getArrayItem(0).getObjGen(), pages[3].getObjGen());
}

TEST_F(KeepTest, MergedDocumentKeepsBothOutlines) {
    const std::int32_t a = engine.LoadFromFile(writeA());
    const std::int32_t b = engine.LoadFromFile(writeB());
    engine.SelectDocument(a);
    ASSERT_EQ(engine.MergeDocument(b), 1);
    const std::string out = dir.file("out.pdf");
    ASSERT_EQ(engine.SaveToFile(out), 1);
    expectClean(out);
    EXPECT_EQ(outlineText(readBookmarks(out)), kMergedOutline);
    EXPECT_EQ(linkText(readLinks(out)), kMergedLinks);
    // A document saved whole keeps all of it as well, open and closed items alike.
    engine.SelectDocument(b);
    ASSERT_EQ(engine.SaveToFile(out), 1);
    EXPECT_EQ(outlineText(readBookmarks(out)), "Intro -> B 1\nEnd -> B 3\n");
    EXPECT_EQ(readNamedDestinations(out), (std::map<std::string, std::string>{{"ch2", "B 3"}}));
}

TEST_F(KeepTest, PieceKeepsOnlyBookmarksAndLinksIntoItsPages) {
    engine.LoadFromFile(writeA());
    const std::int32_t whole = engine.SelectedDocument();
    const std::string out = dir.file("piece.pdf");

    // Pages 2 and 3: the chapters lead elsewhere and go; the sections stay in their place.
    ASSERT_NE(engine.ExtractPages(2, 2), 0);
    ASSERT_EQ(engine.SaveToFile(out), 1);
    expectClean(out);
    EXPECT_EQ(pageTexts(out), (std::vector<std::string>{"A 2", "A 3"}));
    EXPECT_EQ(outlineText(readBookmarks(out)), "Section 1.1 -> A 2\nSection 1.2 -> A 3\n");
    // A link to a page left out has no target rather than a broken one.
    EXPECT_EQ(linkText(readLinks(out)), (std::vector<std::string>{"A 2 -> ", "A 3 -> "}));
    EXPECT_EQ(readNamedDestinations(out), (std::map<std::string, std::string>{{"sec12", "A 3"}}));

    // Pages 4 and 1, reversed: the kept bookmarks point at the piece's own pages.
    engine.SelectDocument(whole);
    ASSERT_NE(engine.ExtractPageRanges("4,1"), 0);
    ASSERT_EQ(engine.SaveToFile(out), 1);
    expectClean(out);
    EXPECT_EQ(pageTexts(out), (std::vector<std::string>{"A 4", "A 1"}));
    EXPECT_EQ(outlineText(readBookmarks(out)),
              "Chapter 1 -> A 1\nChapter 2 -> A 4 (closed)\n  Deep -> A 4\n");
    EXPECT_EQ(linkText(readLinks(out)), (std::vector<std::string>{"A 4 -> ", "A 1 -> "}));
    EXPECT_EQ(readNamedDestinations(out), (std::map<std::string, std::string>{{"ch2", "A 4"}}));

    // One page with no bookmark into it: no outline at all.
    engine.SelectDocument(whole);
    ASSERT_NE(engine.ExtractPages(3, 1), 0);
    ASSERT_EQ(engine.SaveToFile(out), 1);
    expectClean(out);
    EXPECT_EQ(outlineText(readBookmarks(out)), "Section 1.2 -> A 3\n");
    QPDF pdf;
    pdf.processFile(out.c_str());
    EXPECT_EQ(pdf.getRoot().getKey("/Outlines").getKey("/Count").getIntValue(), 1);
}

TEST_F(KeepTest, MixedPiecesKeepBothPartsBookmarks) {
    const std::int32_t a = engine.LoadFromFile(writeA());
    const std::int32_t b = engine.LoadFromFile(writeB());
    engine.SelectDocument(b);
    const std::int32_t bPart = engine.ExtractPages(2, 2);  // B 2, B 3
    engine.SelectDocument(a);
    const std::int32_t aPart = engine.ExtractPageRanges("1-2");
    ASSERT_NE(bPart, 0);
    ASSERT_NE(aPart, 0);
    ASSERT_EQ(engine.MergeDocument(bPart), 1);
    const std::string out = dir.file("mix.pdf");
    ASSERT_EQ(engine.SaveToFile(out), 1);
    expectClean(out);
    EXPECT_EQ(pageTexts(out), (std::vector<std::string>{"A 1", "A 2", "B 2", "B 3"}));
    EXPECT_EQ(outlineText(readBookmarks(out)),
              "Chapter 1 -> A 1\n  Section 1.1 -> A 2\nEnd -> B 3\n");
    EXPECT_EQ(linkText(readLinks(out)), (std::vector<std::string>{"A 1 -> ", "A 2 -> "}));
}

TEST_F(KeepTest, OutlineCountsFollowOpenAndClosedItems) {
    testing::RichPdfOptions options;
    options.base.pages = 3;
    options.base.label = "C";
    options.bookmarks = {
        {"Open",
         Bookmark::Target::Dest,
         1,
         "",
         true,
         {{"Closed",
           Bookmark::Target::Dest,
           2,
           "",
           false,
           {{"Hidden 1", Bookmark::Target::Dest, 3}, {"Hidden 2", Bookmark::Target::Dest, 3}}},
          {"Leaf", Bookmark::Target::Dest, 3}}},
    };
    testing::writeRichPdf(dir.file("c.pdf"), options);
    engine.LoadFromFile(dir.file("c.pdf"));
    const std::string out = dir.file("out.pdf");
    ASSERT_EQ(engine.SaveToFile(out), 1);
    expectClean(out);
    QPDF pdf;
    pdf.processFile(out.c_str());
    auto root = pdf.getRoot().getKey("/Outlines");
    auto open = root.getKey("/First");
    auto closed = open.getKey("/First");
    EXPECT_EQ(root.getKey("/Count").getIntValue(), 3);     // Open, Closed, Leaf
    EXPECT_EQ(open.getKey("/Count").getIntValue(), 2);     // Closed, Leaf
    EXPECT_EQ(closed.getKey("/Count").getIntValue(), -2);  // two hidden kids
    EXPECT_EQ(closed.getKey("/Next").getKey("/Prev").getObjGen(), closed.getObjGen());
    EXPECT_EQ(open.getKey("/Last").getKey("/Parent").getObjGen(), open.getObjGen());
    EXPECT_EQ(closed.getKey("/Last").getKey("/Title").getUTF8Value(), "Hidden 2");
}

}  // namespace
}  // namespace pagemeld

namespace pagemeld {
namespace {

TEST_F(KeepTest, LoopingOutlineIsReadOnceAndTheMergeGoesOn) {
    // An outline whose last item leads back to the first, and a first item that is
    // its own child: read to the loop, never around it.
    const std::string a = writeA();
    {
        QPDF pdf;
        pdf.processFile(a.c_str());
        auto outlines = pdf.getRoot().getKey("/Outlines");
        auto first = outlines.getKey("/First");
        outlines.getKey("/Last").replaceKey("/Next", first);
        first.getKey("/Last").replaceKey("/First", first);
        // QPDFWriter keeps the name until write(): it must outlive the writer.
        const std::string written = dir.file("loop.pdf");
        QPDFWriter writer(pdf, written.c_str());
        writer.write();
    }
    engine.ClearFileList("");
    engine.AddToFileList("", dir.file("loop.pdf"));
    engine.AddToFileList("", writeB());
    const std::string out = dir.file("out.pdf");
    ASSERT_EQ(engine.MergeFileList("", out), 2);
    expectClean(out);
    EXPECT_EQ(outlineText(readBookmarks(out)), kMergedOutline);
}

}  // namespace
}  // namespace pagemeld

namespace pagemeld {
namespace {

TEST_F(KeepTest, InputThatFailsHalfwayLeavesNoBrokenObjectListed) {
    // A page whose resources nest deeper than the writer follows: it fails while
    // that page is being written, after part of it is out.
    testing::writeTestPdf(dir.file("deep.pdf"), 1, "D");
    {
        QPDF pdf;
        pdf.processFile(dir.file("deep.pdf").c_str());
        auto nested = QPDFObjectHandle::newArray();
        for (int i = 0; i < 450; ++i) nested = QPDFObjectHandle::newArray({nested});
        QPDFObjectHandle page = pdf.getAllPages().front();
        page.getKey("/Resources").replaceKey("/Deep", nested);
        // QPDFWriter keeps the name until write(): it must outlive the writer.
        const std::string written = dir.file("deep2.pdf");
        QPDFWriter writer(pdf, written.c_str());
        writer.write();
    }
    engine.ClearFileList("");
    engine.AddToFileList("", dir.file("deep2.pdf"));
    engine.AddToFileList("", writeB());
    const std::string out = dir.file("out.pdf");
    ASSERT_EQ(engine.MergeFileList("", out), 0);  // the first file is left out
    EXPECT_EQ(testing::pageTexts(out), testing::labels("B", 1, 3));
    expectClean(out);
    // Every object the cross-reference table lists reads without complaint.
    QPDF pdf;
    pdf.setSuppressWarnings(true);
    pdf.processFile(out.c_str());
    for (auto& object : pdf.getAllObjects()) object.isNull();
    EXPECT_TRUE(pdf.getWarnings().empty());
    EXPECT_EQ(outlineText(readBookmarks(out)), "Intro -> B 1\nEnd -> B 3\n");
}

}  // namespace
}  // namespace pagemeld
