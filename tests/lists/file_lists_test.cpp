// What the three file lists share: a new row's password button stands where the
// layout keeps it, at the window's size of the moment; the moving keys select the
// row they lead to; the password box keeps the stored password when cancelled.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/key_codes.h"
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

TEST_F(FileListsTest, TheMovingKeysSelectTheRowTheyLeadToAndStopAtTheEnds) {
    using namespace keycode;
    struct Case {
        int from;
        std::int16_t key;
        std::int16_t shift;
        int to;
    };
    // Eight files; the grid shows five whole rows below its header.
    const Case cases[] = {
        {3, kUp, shiftkey::kNone, 2},       {1, kUp, shiftkey::kNone, 1},
        {8, kDown, shiftkey::kNone, 8},     {0, kDown, shiftkey::kNone, 1},
        {1, kPageDown, shiftkey::kNone, 6}, {7, kPageDown, shiftkey::kNone, 8},
        {7, kPageUp, shiftkey::kNone, 2},   {3, kHome, shiftkey::kNone, 1},
        {3, kEnd, shiftkey::kNone, 8},      {3, kDown, shiftkey::kShift, 4},
    };
    std::int16_t key = kDown;
    form.merge_grid_KeyDown(key, shiftkey::kNone);
    EXPECT_EQ(key, 0) << "taken in an empty list too, which has no row to select";
    EXPECT_EQ(form.merge_grid.rowSel, 0);

    for (int i = 1; i <= 8; ++i) form.mbut_fisier_add(pdfFile("f" + std::to_string(i) + ".pdf", 1));
    for (const Case& c : cases) {
        SCOPED_TRACE("from row " + std::to_string(c.from) + " key " + std::to_string(c.key));
        form.merge_grid.row = c.from;
        key = c.key;
        form.merge_grid_KeyDown(key, c.shift);
        EXPECT_EQ(key, 0);
        EXPECT_EQ(form.merge_grid.row, c.to);
        for (int r = 1; r <= 8; ++r) EXPECT_EQ(form.merge_grid.highlighted(r), r == c.to) << r;
    }

    // The split list's one source stays selected.
    form.add_fisier_split(pdfFile("source.pdf", 2));
    form.split_grid.row = 0;
    key = kEnd;
    form.split_grid_KeyDown(key, shiftkey::kNone);
    EXPECT_EQ(form.split_grid.row, 1);
    EXPECT_TRUE(form.split_grid.highlighted(1));
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(FileListsTest, ThePasswordBoxAsksMaskedAndItsCancelKeepsThePassword) {
    struct Entry {
        const char* name;
        std::function<void(Form1&)> ask;
        std::function<const std::string&(const Form1&)> password;
    };
    const Entry entries[] = {
        {"split button", [](Form1& f) { f.but_passw_Click(); },
         [](const Form1& f) -> const std::string& { return f.split_grid.textMatrix(1, 4); }},
        {"merge button", [](Form1& f) { f.mbut_key_Click(2); },
         [](const Form1& f) -> const std::string& { return f.merge_grid.textMatrix(2, 4); }},
        {"merge double click", [](Form1& f) { f.merge_grid_DblClick(1, 4); },
         [](const Form1& f) -> const std::string& { return f.merge_grid.textMatrix(1, 4); }},
        {"mix button", [](Form1& f) { f.xbut_key_Click(1); },
         [](const Form1& f) -> const std::string& { return f.mix_grid.textMatrix(1, 4); }},
    };
    const std::string file = pdfFile("locked.pdf", 1);
    form.add_fisier_split(file);
    form.mbut_fisier_add(file);
    form.mbut_fisier_add(file);
    form.xbut_fisier_add(file);
    for (const Entry& entry : entries) {
        SCOPED_TRACE(entry.name);
        ui.inputs.clear();
        ui.inputAnswers = {"s3cret", std::nullopt, ""};
        entry.ask(form);
        EXPECT_EQ(entry.password(form), "s3cret");
        entry.ask(form);
        EXPECT_EQ(entry.password(form), "s3cret") << "Cancel keeps what was stored";
        entry.ask(form);
        EXPECT_EQ(entry.password(form), "") << "OK on an empty box clears it";
        ASSERT_EQ(ui.inputs.size(), 3u);
        EXPECT_EQ(ui.inputs[1].prompt, form.catalogue.MsgEnterPassw);
        EXPECT_EQ(ui.inputs[1].title, "Ombrix Pagemeld");
        EXPECT_EQ(ui.inputs[1].defaultText, "s3cret");
        EXPECT_EQ(ui.inputs[1].echo, InputEcho::Masked);
    }
}

}  // namespace
}  // namespace pagemeld::testing
