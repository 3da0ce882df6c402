// The window without the mouse: the keys move the row the buttons act on, and a
// merge goes from Ctrl+O to "Merge files!" on the keyboard alone.
#include <QPushButton>
#include <QTabBar>

#include "window_harness.h"

namespace pagemeld::testing {
namespace {

using Texts = std::vector<std::string>;

class WindowKeyboardTest : public WindowHarness {
protected:
    // The rows (from 0) of a grid drawn in the highlight colours.
    std::vector<int> highlightedRows(const std::string& gridName) {
        auto* grid = find<QTableWidget>(gridName);
        std::vector<int> rows;
        for (int r = 0; r < grid->rowCount(); ++r) {
            const QTableWidgetItem* item = grid->item(r, 1);
            if (item &&
                item->background() == grid->palette().brush(QPalette::Active, QPalette::Highlight))
                rows.push_back(r);
        }
        return rows;
    }
    // The row (from 0) of the grid's focus frame.
    int focusRow(const std::string& gridName) {
        return find<QTableWidget>(gridName)->currentIndex().row();
    }
};

TEST_F(WindowKeyboardTest, TheKeysMoveTheHighlightedRowThatTheButtonsAndDeleteActOn) {
    for (const char* name : {"alpha", "gamma", "beta", "delta", "epsilon", "zeta", "eta", "theta"})
        writeTestPdf(file(std::string(name) + ".pdf"), 1);
    start();
    clickTab(2);
    ui.openAnswers.push_back({file("alpha.pdf"), file("gamma.pdf"), file("beta.pdf")});
    click("mbut_add");
    ASSERT_EQ(highlightedRows("merge_grid"), std::vector<int>{2});

    find("merge_grid")->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(focusRow("merge_grid"), 2) << "the focus frame starts on the highlighted row";
    press(Qt::Key_Up);
    press(Qt::Key_Up);
    EXPECT_EQ(highlightedRows("merge_grid"), std::vector<int>{0});
    EXPECT_EQ(focusRow("merge_grid"), 0);
    press(Qt::Key_Delete);
    EXPECT_EQ(column("merge_grid", 1), (Texts{"gamma.pdf", "beta.pdf", "", "", "", ""}));

    // End selects the last file of a list longer than the grid and scrolls it into
    // view; the buttons act on the row the keys left highlighted.
    ui.openAnswers.push_back({file("delta.pdf"), file("epsilon.pdf"), file("zeta.pdf"),
                              file("eta.pdf"), file("theta.pdf")});
    click("mbut_add");
    find("merge_grid")->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Home);
    press(Qt::Key_End);
    EXPECT_EQ(highlightedRows("merge_grid"), std::vector<int>{6});
    EXPECT_EQ(focusRow("merge_grid"), 6);
    auto* grid = find<QTableWidget>("merge_grid");
    EXPECT_TRUE(grid->viewport()->rect().contains(grid->visualRect(grid->currentIndex())));
    click("mbut_up");
    EXPECT_EQ(column("merge_grid", 1)[5], "theta.pdf");

    // The mix list's two documents the same way.
    clickTab(3);
    ui.openAnswers.push_back({file("alpha.pdf"), file("beta.pdf")});
    click("x_but_add");
    find("mix_grid")->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Up);
    EXPECT_EQ(focusRow("mix_grid"), 0);
    press(Qt::Key_Delete);
    EXPECT_EQ(column("mix_grid", 1), (Texts{"beta.pdf", ""}));
}

TEST_F(WindowKeyboardTest, AMergeFromCtrlOToMergeFilesWithoutTheMouse) {
    writeTestPdf(file("a.pdf"), 2, "A");
    writeTestPdf(file("b.pdf"), 1, "B");
    start();
    ASSERT_TRUE(tabTo("tabOptions"));
    press(Qt::Key_Right);
    ASSERT_TRUE(find("fraMerge")->isVisible());

    ui.openAnswers.push_back({file("a.pdf"), file("b.pdf")});
    press(Qt::Key_O, Qt::ControlModifier);
    waitForJob();
    ASSERT_EQ(column("merge_grid", 1), (Texts{"a.pdf", "b.pdf", "", "", "", ""}));

    // The output name is the first file's folder + "output.pdf".
    ASSERT_TRUE(tabTo("cmd_merge"));
    press(Qt::Key_Return);
    waitForJob();
    EXPECT_EQ(ui.boxTexts(), Texts{"Merge process done!"});
    EXPECT_EQ(pageTexts(file("output.pdf")), (Texts{"A 1", "A 2", "B 1"}));
}

}  // namespace
}  // namespace pagemeld::testing
