// What the merge and mix lists share when a file is added: the new row's password
// button stands where the layout keeps it, at the window's size of the moment.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "pdf/qpdf_engine.h"
#include "support/form_harness.h"

namespace pagemeld::testing {
namespace {

class FileListsTest : public FormHarness<QpdfEngine>, public ::testing::Test {
protected:
    FileListsTest() { form.Form_Load(""); }
};

struct ListUnderTest {
    const char* name;
    std::function<void(Form1&, const std::string&)> add;
    std::function<CommandButton&(Form1&, int)> key;
    std::function<int(const Form1&)> count;
};

TEST_F(FileListsTest, ANewRowsPasswordButtonStandsWhereTheLayoutKeepsIt) {
    const ListUnderTest lists[] = {
        {"merge", [](Form1& f, const std::string& p) { f.mbut_fisier_add(p); },
         [](Form1& f, int i) -> CommandButton& { return f.mbut_key(i); },
         [](const Form1& f) { return f.state.mgrid_count; }},
        {"mix", [](Form1& f, const std::string& p) { f.xbut_fisier_add(p); },
         [](Form1& f, int i) -> CommandButton& { return f.xbut_key(i); },
         [](const Form1& f) { return f.state.xgrid_count; }},
    };
    const std::string first = pdfFile("first file.pdf", 2);
    const std::string second = pdfFile("zweite Datei ä.pdf", 3);
    // A wider window than designed, so the columns no longer have their base widths.
    form.windowWidth = kDesignWindowWidth + 3000;
    form.Form_Resize();
    for (const auto& list : lists) {
        SCOPED_TRACE(list.name);
        list.add(form, first);
        list.add(form, second);
        ASSERT_EQ(list.count(form), 2);
        for (int row = 1; row <= 2; ++row) {
            const CommandButton& key = list.key(form, row);
            EXPECT_TRUE(key.visible) << "row " << row;
            const int left = key.left;
            const int top = key.top;
            form.Form_Resize();
            EXPECT_EQ(list.key(form, row).left, left) << "row " << row << " moved sideways";
            EXPECT_EQ(list.key(form, row).top, top) << "row " << row << " moved up or down";
        }
        EXPECT_EQ(ui.boxes.size(), 0u) << "no box while adding two sound files";
    }
}

}  // namespace
}  // namespace pagemeld::testing
