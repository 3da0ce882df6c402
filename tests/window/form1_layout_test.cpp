#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/form1.h"
#include "window_fixture.h"

namespace pagemeld::testing {
namespace {

std::vector<int> columnWidths(const Grid& grid) {
    std::vector<int> widths;
    for (int c = 0; c < grid.cols(); ++c) widths.push_back(grid.colWidth(c));
    return widths;
}

void resize(Form1& form, int width, int height) {
    form.windowWidth = width;
    form.windowHeight = height;
    form.Form_Resize();
}

bool isTabFrame(const std::string& name) {
    static const std::set<std::string> frames = {"fraSplit", "fraMerge", "fraMix", "fraAbout",
                                                 "fraExtras"};
    return frames.count(name) != 0;
}

// Pairs that share room on purpose: the tab frames lie on the tab strip and on one
// another (one shows at a time); password buttons lie over their grid's cells.
bool mayOverlap(const Control& a, const Control& b) {
    const auto onStrip = [](const Control& x, const Control& y) {
        return x.name == "tabOptions" && isTabFrame(y.name);
    };
    if (onStrip(a, b) || onStrip(b, a)) return true;
    if (isTabFrame(a.name) && isTabFrame(b.name)) return true;
    static const std::set<std::pair<std::string, std::string>> overGrid = {
        {"but_passw", "split_grid"}, {"mbut_key", "merge_grid"}, {"xbut_key", "mix_grid"}};
    return overGrid.count({a.name, b.name}) != 0 || overGrid.count({b.name, a.name}) != 0;
}

bool overlap(const Control& a, const Control& b) {
    return a.left < b.right() && b.left < a.right() && a.top < b.bottom() && b.top < a.bottom();
}

// Every problem of the geometry: controls of one container that overlap, and
// controls that reach beyond their container.
std::vector<std::string> layoutProblems(Form1& form, int clientWidth, int clientHeight) {
    std::vector<std::string> problems;
    std::map<std::string, std::vector<const Control*>> byContainer;
    std::map<std::string, const Control*> byName;
    for (const Control* control : form.controls()) {
        byName.emplace(control->name, control);
        // Timers and the dialog take no room on the window.
        if (control->width > 0 && control->height > 0) {
            byContainer[control->container].push_back(control);
        }
    }
    for (const auto& [container, members] : byContainer) {
        int width = clientWidth;
        int height = clientHeight;
        if (container != "Form1") {
            width = byName.at(container)->width;
            height = byName.at(container)->height;
        }
        for (std::size_t i = 0; i < members.size(); ++i) {
            const Control& a = *members[i];
            // The background strip runs to 100 twips short of the outer edge, so it
            // may reach under the window's right border, where it is clipped.
            const int rightLimit = a.name == "pict_fundal" ? width + 100 : width;
            if (a.left < 0 || a.top < 0 || a.right() > rightLimit || a.bottom() > height) {
                problems.push_back(a.name + " reaches beyond " + container);
            }
            for (std::size_t j = i + 1; j < members.size(); ++j) {
                const Control& b = *members[j];
                if (overlap(a, b) && !mayOverlap(a, b)) {
                    problems.push_back(a.name + " overlaps " + b.name + " in " + container);
                }
            }
        }
    }
    return problems;
}

TEST_F(WindowTest, DesignLayoutHasNoOverlapsAndStaysInsideContainers) {
    EXPECT_EQ(layoutProblems(form, kDesignClientWidth, kDesignClientHeight),
              std::vector<std::string>{});
}

TEST_F(WindowTest, LayoutAtTheDesignSizeHasNoOverlaps) {
    form.Form_Load("");
    form.state.mgrid_count = 6;
    form.state.xgrid_count = 2;
    resize(form, kDesignWindowWidth, kDesignWindowHeight);
    EXPECT_EQ(layoutProblems(form, kDesignWindowWidth - 120, kDesignWindowHeight - 465),
              std::vector<std::string>{});
}

TEST_F(WindowTest, OverlapCheckCatchesControlsOnTopOfEachOther) {
    form.cmd_merge.top = form.mergepb.top - 100;
    form.cmd_merge.left = form.mergepb.left + 100;
    const std::vector<std::string> problems =
        layoutProblems(form, kDesignClientWidth, kDesignClientHeight);
    EXPECT_EQ(problems, std::vector<std::string>{"cmd_merge overlaps mergepb in pict_merge"});
}

TEST_F(WindowTest, TooSmallWindowIsSetBackToTheResetSize) {
    form.Form_Load("");
    resize(form, 9000, 12000);
    EXPECT_EQ(form.windowWidth, 10300);
    EXPECT_EQ(form.windowHeight, 9620);
    // The rest of the layout follows the new size.
    EXPECT_EQ(form.tabOptions.width, 10300 - 200);
    EXPECT_EQ(form.tabOptions.height, 9620 - 2175);

    resize(form, 14000, 9000);
    EXPECT_EQ(form.windowWidth, 10300);
    EXPECT_EQ(form.windowHeight, 9620);

    resize(form, 10000, 9520);
    EXPECT_EQ(form.windowWidth, 10000);
    EXPECT_EQ(form.windowHeight, 9520);
    EXPECT_EQ(form.fraSplit.width, 10000 - 350);
    EXPECT_EQ(form.fraSplit.height, 9520 - 2745);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(WindowTest, MinimisedWindowIsLeftAlone) {
    form.Form_Load("");
    resize(form, kDesignWindowWidth, kDesignWindowHeight);
    const int tabWidth = form.tabOptions.width;
    form.minimised = true;
    resize(form, 2000, 400);
    EXPECT_EQ(form.windowWidth, 2000);
    EXPECT_EQ(form.windowHeight, 400);
    EXPECT_EQ(form.tabOptions.width, tabWidth);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(WindowTest, ColumnsKeepTheirBaseWidthsAtTheDesignSizeAndGrowInProportion) {
    form.Form_Load("");
    resize(form, kDesignWindowWidth, kDesignWindowHeight);
    for (const Grid* grid : {&form.split_grid, &form.merge_grid, &form.mix_grid}) {
        EXPECT_EQ(grid->width, 9050) << grid->name;
    }
    EXPECT_EQ(columnWidths(form.merge_grid), (std::vector<int>{540, 3050, 3410, 800, 1300}));
    EXPECT_EQ(columnWidths(form.split_grid), (std::vector<int>{200, 3050, 3750, 800, 1300}));
    EXPECT_EQ(columnWidths(form.mix_grid), (std::vector<int>{200, 3050, 3750, 800, 1300}));

    resize(form, kDesignWindowWidth + 905, kDesignWindowHeight);
    for (const Grid* grid : {&form.split_grid, &form.merge_grid, &form.mix_grid}) {
        EXPECT_EQ(grid->width, 9050 + 905) << grid->name;
    }
    EXPECT_EQ(columnWidths(form.merge_grid), (std::vector<int>{594, 3355, 3751, 880, 1430}));
    EXPECT_EQ(columnWidths(form.split_grid), (std::vector<int>{220, 3355, 4125, 880, 1430}));
    EXPECT_EQ(columnWidths(form.mix_grid), (std::vector<int>{220, 3355, 4125, 880, 1430}));

    // Widths round to the nearest twip: 9140 x 800 / 9050 is 807.96, so 808.
    resize(form, 10440, kDesignWindowHeight);
    EXPECT_EQ(columnWidths(form.merge_grid), (std::vector<int>{545, 3080, 3444, 808, 1313}));
    EXPECT_EQ(columnWidths(form.split_grid), (std::vector<int>{202, 3080, 3787, 808, 1313}));
}

TEST_F(WindowTest, BackgroundPictureFollowsOnlyWideWindows) {
    form.Form_Load("");
    const int designLeft = form.pict_fundal.left;
    const int designWidth = form.pict_fundal.width;
    resize(form, 10344, 9700);
    EXPECT_EQ(form.pict_fundal.left, designLeft);
    EXPECT_EQ(form.pict_fundal.width, designWidth);

    resize(form, 10345, 9700);
    EXPECT_EQ(form.pict_fundal.left, 10000);
    EXPECT_EQ(form.pict_fundal.width, 245);

    resize(form, 12000, 9700);
    EXPECT_EQ(form.pict_fundal.width, 1900);
    resize(form, 10100, 9700);  // narrower again: keeps its last place and size
    EXPECT_EQ(form.pict_fundal.left, 10000);
    EXPECT_EQ(form.pict_fundal.width, 1900);
}

TEST_F(WindowTest, LayoutPlacesFramesButtonsBarsAndLabels) {
    form.Form_Load("");
    form.state.mgrid_count = 2;
    form.state.xgrid_count = 1;
    const int keyThreeLeft = form.mbut_key(3).left;
    const int keyThreeTop = form.mbut_key(3).top;
    resize(form, 11350, 10675);  // 1000 wider and higher than the design size

    EXPECT_EQ(form.tabOptions.width, 11150);
    EXPECT_EQ(form.tabOptions.height, 8500);
    EXPECT_EQ(form.cmb_languages.left, 9300);
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(form.tabFrame(i)->width, 11000);
        EXPECT_EQ(form.tabFrame(i)->height, 7930);
    }
    for (const PictureBox* pict : {&form.fra_split_pict, &form.pict_merge, &form.fra_mix_pict}) {
        EXPECT_EQ(pict->width, 10850) << pict->name;
        EXPECT_EQ(pict->height, 7680) << pict->name;
    }
    for (const CommandButton* b :
         {&form.split_add_but, &form.split_rem_but, &form.mbut_add, &form.mbut_rem, &form.mbut_up,
          &form.mbut_down, &form.x_but_add, &form.x_but_rem, &form.x_but_up, &form.x_but_down}) {
        EXPECT_EQ(b->left, 120 + 11000 - 760) << b->name;
    }
    for (const Frame* f : {&form.frm_split_method, &form.frm_split_dest, &form.merge_output,
                           &form.frm_mix_method, &form.frm_mix_dest}) {
        EXPECT_EQ(f->width, 10700) << f->name;
    }
    EXPECT_EQ(form.frm_mix_method_pict.width, 10400);
    EXPECT_EQ(form.frm_mix_meth_doc1.width, 10375);
    EXPECT_EQ(form.frm_mix_meth_doc2.width, 10375);
    EXPECT_EQ(form.cmd_split_run.left, 11000 - 265 - kRunButtonWidth);
    EXPECT_EQ(form.cmd_mix_run.left, 11000 - 265 - kRunButtonWidth);
    EXPECT_EQ(form.cmd_merge.left, 11000 - 265 - kRunButtonWidth);
    for (const ProgressBar* bar : {&form.splitpb, &form.mergepb, &form.mixpb}) {
        EXPECT_EQ(bar->width, 11000 - 265) << bar->name;
        EXPECT_EQ(bar->top, 1800 + 7930 - 2415) << bar->name;
    }
    for (const CommandButton* run : {&form.cmd_split_run, &form.cmd_merge, &form.cmd_mix_run}) {
        EXPECT_EQ(run->top, 1800 + 7930 - 2415 - 420) << run->name;
    }

    // Password buttons: 15 twips in on the split list, 270 on the others; only as
    // many merge and mix buttons as files.
    const int columns = form.split_grid.sumColWidths();
    EXPECT_EQ(form.but_passw.left, form.split_grid.left + columns - form.but_passw.width - 15);
    EXPECT_EQ(form.but_passw.top, form.split_grid.top + 255 + 15);
    for (int i = 1; i <= 2; ++i) {
        EXPECT_EQ(form.mbut_key(i).left, form.merge_grid.left + form.merge_grid.sumColWidths() -
                                             form.mbut_key(i).width - 270);
        EXPECT_EQ(form.mbut_key(i).top, form.merge_grid.top + 255 * i + 15);
    }
    EXPECT_EQ(form.mbut_key(3).left, keyThreeLeft);
    EXPECT_EQ(form.mbut_key(3).top, keyThreeTop);
    EXPECT_EQ(form.xbut_key(1).left,
              form.mix_grid.left + form.mix_grid.sumColWidths() - form.xbut_key(1).width - 270);

    EXPECT_EQ(form.lblabout.width, 11000 - 235);
    EXPECT_EQ(form.ab_lb3.width, 11000 - 235);
    EXPECT_EQ(form.ab_lb4a.left, 11000 / 2 - (form.ab_lb4a.width + form.ab_lb4b.width) / 2);
    EXPECT_EQ(form.ab_lb4b.left, form.ab_lb4a.left + form.ab_lb4a.width + 100);
    EXPECT_EQ(form.ab_lb5a.left, 11000 / 2 - (form.ab_lb5a.width + form.ab_lb6b.width) / 2);
    EXPECT_EQ(form.ab_lb6b.left, form.ab_lb5a.left + form.ab_lb5a.width + 100);
}

TEST_F(WindowTest, PasswordButtonsStayWithinTheirArrays) {
    form.Form_Load("");
    form.state.mgrid_count = 40;
    form.state.xgrid_count = 5;
    resize(form, 12000, 10000);
    for (int i = 1; i <= 6; ++i) {
        EXPECT_EQ(form.mbut_key(i).top, form.merge_grid.top + 255 * i + 15);
    }
    for (int i = 1; i <= 2; ++i) EXPECT_EQ(form.xbut_key(i).top, form.mix_grid.top + 255 * i + 15);
    // The layout got to its last rule.
    EXPECT_EQ(form.pict_fundal.width, 1900);
    EXPECT_TRUE(ui.boxes.empty());
}

}  // namespace
}  // namespace pagemeld::testing
