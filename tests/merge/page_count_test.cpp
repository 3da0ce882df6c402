// The page count a file list shows for a file, also for one that cannot be read
// whole: the file is listed with a count marked as a guess, and one box names it and
// says what is wrong with it.
#include <functional>

#include "pdf/qpdf_engine.h"
#include "support/form_harness.h"

namespace pagemeld::testing {
namespace {

class PageCountTest : public ::testing::Test, protected FormHarness<QpdfEngine> {
protected:
    PageCountTest() { form.Form_Load(""); }
};

TEST_F(PageCountTest, AFileNotReadWholeIsNamedAndItsCountIsAGuess) {
    const Catalogue& t = form.catalogue;
    struct Case {
        const char* name;
        std::function<void(const std::string&)> make;
        PageCount count;
        std::string what;  // empty: no box
        int style;
    };
    const Case cases[] = {
        {"sound.pdf", [](const std::string& p) { writeTestPdf(p, 3); }, {3, false}, {}, 0},
        {"cut short.pdf",
         [](const std::string& p) { writeTruncatedPdf(p, 6); },
         {6, true},
         t.MsgErrFileDamaged,
         msgbox::kExclamation},
        {"notes.pdf",
         [](const std::string& p) { writeNotPdf(p); },
         {1, true},
         t.MsgErrFileNotPdf,
         msgbox::kCritical},
        {"missing.pdf",
         [](const std::string&) {},
         {1, true},
         t.MsgErrFileUnreadable,
         msgbox::kCritical},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = work(c.name);
        c.make(file);
        ui.boxes.clear();
        const PageCount count = form.getpagenumber(file, true);
        EXPECT_EQ(count.pages, c.count.pages);
        EXPECT_EQ(count.guessed, c.count.guessed);
        if (c.what.empty()) {
            EXPECT_TRUE(ui.boxes.empty());
        } else {
            ASSERT_EQ(ui.boxes.size(), 1u);
            EXPECT_EQ(ui.boxes[0].text, c.what + "\n" + file + "\n" + t.MsgPagesGuessed);
            EXPECT_EQ(ui.boxes[0].style, c.style);
        }
    }
}

}  // namespace
}  // namespace pagemeld::testing
