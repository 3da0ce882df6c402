// Shared inputs of the tests on what merged and split documents keep.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pdf/qpdf_engine.h"
#include "support/temp_dir.h"
#include "support/test_pdfs.h"

namespace pagemeld {

// "Title -> target" lines, indented two spaces a level, "(closed)" for closed items
// with kids: a whole outline in one comparable text.
inline std::string outlineText(const std::vector<testing::FoundBookmark>& items, int depth = 0) {
    std::string text;
    for (const auto& item : items) {
        text += std::string(static_cast<std::size_t>(depth) * 2, ' ') + item.title + " -> " +
                item.target;
        if (!item.kids.empty() && !item.open) text += " (closed)";
        text += "\n" + outlineText(item.kids, depth + 1);
    }
    return text;
}

// "on page -> target" per link, in page order.
inline std::vector<std::string> linkText(const std::vector<testing::FoundLink>& links) {
    std::vector<std::string> text;
    for (const auto& link : links) text.push_back(link.onPage + " -> " + link.target);
    return text;
}

class KeepTest : public ::testing::Test {
protected:
    using Bookmark = testing::TestBookmark;
    using Link = testing::TestLink;

    // A: 4 pages with nested bookmarks reaching every kind of destination, named
    // destinations, and links of every kind.
    std::string writeA() {
        testing::RichPdfOptions a;
        a.base.pages = 4;
        a.base.label = "A";
        a.bookmarks = {
            {"Chapter 1",
             Bookmark::Target::Dest,
             1,
             "",
             true,
             {{"Section 1.1", Bookmark::Target::GoTo, 2},
              {"Section 1.2", Bookmark::Target::NamedDest, 0, "sec12"}}},
            {"Chapter 2",
             Bookmark::Target::GoToNamed,
             0,
             "ch2",
             false,
             {{"Deep", Bookmark::Target::Dest, 4}}},
            {"Website", Bookmark::Target::Uri},
        };
        a.namedDestinations = {{"sec12", 3}, {"ch2", 4}};
        a.links = {{1, Link::Target::Dest, 3},
                   {2, Link::Target::NamedDest, 0, "ch2"},
                   {3, Link::Target::GoTo, 1},
                   {4, Link::Target::GoToNamed, 0, "sec12"}};
        const std::string path = dir.file("a.pdf");
        testing::writeRichPdf(path, a);
        return path;
    }

    // B: 3 pages whose destination name "ch2" is also one of A's.
    std::string writeB() {
        testing::RichPdfOptions b;
        b.base.pages = 3;
        b.base.label = "B";
        b.oldStyleDests = true;
        b.bookmarks = {{"Intro", Bookmark::Target::Dest, 1},
                       {"End", Bookmark::Target::NamedDest, 0, "ch2"}};
        b.namedDestinations = {{"ch2", 3}};
        b.links = {{1, Link::Target::NamedDest, 0, "ch2"}, {1, Link::Target::GoTo, 2}};
        const std::string path = dir.file("b.pdf");
        testing::writeRichPdf(path, b);
        return path;
    }

    void expectClean(const std::string& path) {
        std::string report;
        EXPECT_TRUE(testing::qpdfCheckClean(path, &report)) << report;
    }

    testing::TempDir dir;
    QpdfEngine engine;
};

}  // namespace pagemeld
