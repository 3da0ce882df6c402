// The window's layout: the minimum size, and every position and size that follows
// the window's width and height. Only the properties named here change; every
// other position and size keeps its design value.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <span>

#include "app/form1.h"
#include "base/runtime_error.h"
#include "errors/trap.h"

namespace pagemeld {
namespace {

// A size or position that does not fit the control is a run-time error that the
// layout's trap receives.
int twips(std::int64_t value) {
    return checkedTwips(value);
}

int size(std::int64_t value) {
    if (value < 0) throwInvalidPropertyValue();
    return twips(value);
}

// numerator / denominator to the nearest whole number, halves to the even one.
std::int64_t roundedQuotient(std::int64_t numerator, std::int64_t denominator) {
    std::int64_t quotient = numerator / denominator;
    std::int64_t remainder = numerator % denominator;
    if (remainder < 0) {
        remainder += denominator;
        --quotient;
    }
    const std::int64_t twice = 2 * remainder;
    if (twice > denominator || (twice == denominator && quotient % 2 != 0)) ++quotient;
    return quotient;
}

// The merge list's rows at start-up (header and six files), and the design distance
// between its bottom edge and the output options below.
constexpr int kMergeGridShapedRows = 7;
constexpr int kMergeOutputGap = 2040 - (120 + kMergeGridShapedRows * Grid::kDefaultRowHeight - 20);

// The layout in named parts over the window's controls; each part is a list of steps
// under the one trap of Form_Resize.
class WindowLayout {
public:
    WindowLayout(Form1& form, Trap& trap) : f_(form), trap_(trap) {}

    void run() {
        if (!windowAndFrames()) return;
        if (!listsAndOptions()) return;
        if (!barsAndButtons()) return;
        if (!passwordButtons()) return;
        aboutAndBanner();
    }

private:
    struct TabParts {
        Frame& frame;
        PictureBox& pict;
        Grid& grid;
        ProgressBar& bar;
        CommandButton& run;
    };

    static void widths(Grid& grid, std::span<const int> base) {
        for (std::size_t c = 0; c < base.size(); ++c) {
            grid.setColWidth(static_cast<int>(c),
                             size(roundedQuotient(static_cast<std::int64_t>(grid.width) * base[c],
                                                  kGridBaseWidth)));
        }
    }
    static int centredLeft(int frameWidth, int leftWidth, int rightWidth) {
        return twips(
            roundedQuotient(static_cast<std::int64_t>(frameWidth) - leftWidth - rightWidth, 2));
    }

    bool windowAndFrames();
    bool listsAndOptions();
    bool barsAndButtons();
    bool passwordButtons();
    void aboutAndBanner();

    Form1& f_;
    Trap& trap_;
    TabParts parts_[3] = {
        {f_.fraSplit, f_.fra_split_pict, f_.split_grid, f_.splitpb, f_.cmd_split_run},
        {f_.fraMerge, f_.pict_merge, f_.merge_grid, f_.mergepb, f_.cmd_merge},
        {f_.fraMix, f_.fra_mix_pict, f_.mix_grid, f_.mixpb, f_.cmd_mix_run},
    };
    Frame* tabFrames_[5] = {&f_.fraSplit, &f_.fraMerge, &f_.fraMix, &f_.fraAbout, &f_.fraExtras};
};

bool WindowLayout::windowAndFrames() {
    return trap_.run({
        [&] {
            if (f_.windowHeight < kMinWindowHeight || f_.windowWidth < kMinWindowWidth) {
                f_.windowHeight = kResetWindowHeight;
                f_.windowWidth = kResetWindowWidth;
            }
        },
        [&] { f_.tabOptions.height = size(std::int64_t{f_.windowHeight} - 2175); },
        [&] { f_.tabOptions.width = size(std::int64_t{f_.windowWidth} - 200); },
        [&] { f_.cmb_languages.left = twips(std::int64_t{f_.windowWidth} - 2050); },
        [&] {
            for (Frame* frame : tabFrames_)
                frame->width = size(std::int64_t{f_.tabOptions.width} - 150);
        },
        [&] {
            for (Frame* frame : tabFrames_)
                frame->height = size(std::int64_t{f_.windowHeight} - 2745);
        },
        [&] {
            for (TabParts& p : parts_) p.pict.width = size(std::int64_t{p.frame.width} - 150);
        },
        [&] {
            for (TabParts& p : parts_) p.pict.height = size(std::int64_t{p.frame.height} - 250);
        },
        [&] {
            const auto leftOf = [](const Frame& frame) {
                return twips(std::int64_t{frame.left} + frame.width - 760);
            };
            for (CommandButton* b : {&f_.split_add_but, &f_.split_rem_but})
                b->left = leftOf(f_.fraSplit);
            for (CommandButton* b : {&f_.mbut_add, &f_.mbut_rem, &f_.mbut_up, &f_.mbut_down})
                b->left = leftOf(f_.fraMerge);
            for (CommandButton* b : {&f_.x_but_add, &f_.x_but_rem, &f_.x_but_up, &f_.x_but_down})
                b->left = leftOf(f_.fraMix);
        },
    });
}

bool WindowLayout::listsAndOptions() {
    return trap_.run({
        [&] {
            for (TabParts& p : parts_) p.grid.width = size(std::int64_t{p.frame.width} - 950);
        },
        [&] {
            widths(f_.split_grid, kSplitMixGridBaseWidths);
            widths(f_.merge_grid, kMergeGridBaseWidths);
            widths(f_.mix_grid, kSplitMixGridBaseWidths);
        },
        [&] {
            f_.frm_split_method.width = size(std::int64_t{f_.fraSplit.width} - 300);
            f_.frm_split_dest.width = size(std::int64_t{f_.fraSplit.width} - 300);
            f_.merge_output.width = size(std::int64_t{f_.fraMerge.width} - 300);
            f_.frm_mix_method.width = size(std::int64_t{f_.fraMix.width} - 300);
            f_.frm_mix_dest.width = size(std::int64_t{f_.fraMix.width} - 300);
        },
        [&] { f_.frm_mix_method_pict.width = size(std::int64_t{f_.frm_mix_method.width} - 300); },
        [&] {
            f_.frm_mix_meth_doc1.width = size(std::int64_t{f_.frm_mix_method.width} - 325);
            f_.frm_mix_meth_doc2.width = size(std::int64_t{f_.frm_mix_method.width} - 325);
        },
    });
}

bool WindowLayout::barsAndButtons() {
    return trap_.run({
        [&] {
            for (TabParts& p : parts_)
                p.run.left = twips(std::int64_t{p.frame.width} - kRunButtonInset);
        },
        [&] {
            for (TabParts& p : parts_) p.bar.width = size(std::int64_t{p.frame.width} - 265);
        },
        [&] {
            for (TabParts& p : parts_)
                p.bar.top = twips(std::int64_t{p.frame.top} + p.frame.height - 2415);
        },
        [&] {
            for (TabParts& p : parts_) p.run.top = twips(std::int64_t{p.bar.top} - 420);
            // The mix's way of writing stands on its run button's row.
            f_.chk_mix_onefile.top = twips(std::int64_t{f_.cmd_mix_run.top} + 45);
        },
        [&] {
            // The merge list takes the height the window has beyond its design size;
            // the output options keep their distance below it.
            Grid& grid = f_.merge_grid;
            const std::int64_t extra = std::max<std::int64_t>(
                0, std::int64_t{f_.fraMerge.height} - (kDesignWindowHeight - 2745));
            std::int64_t rows = 0;
            for (int r = 0; r < kMergeGridShapedRows; ++r) rows += grid.rowHeight(r);
            grid.height = size(rows - 20 + extra);
            f_.merge_output.top = twips(std::int64_t{grid.top} + grid.height + kMergeOutputGap);
        },
    });
}

bool WindowLayout::passwordButtons() {
    return trap_.run({
        [&] { placeOnGridRow(f_.but_passw, f_.split_grid, 1, kSplitKeyInset); },
        [&] {
            const int last = std::min<std::int32_t>(f_.state.mgrid_count, f_.mbut_key.last());
            for (int i = f_.mbut_key.first(); i <= last; ++i) {
                placeOnGridRow(f_.mbut_key(i), f_.merge_grid, i, kListKeyInset);
            }
        },
        [&] {
            // The mix list never holds more files than it has buttons.
            const int last = std::min<std::int32_t>(f_.state.xgrid_count, f_.xbut_key.last());
            for (int i = f_.xbut_key.first(); i <= last; ++i) {
                placeOnGridRow(f_.xbut_key(i), f_.mix_grid, i, kListKeyInset);
            }
        },
    });
}

void WindowLayout::aboutAndBanner() {
    trap_.run({
        [&] {
            f_.lblabout.width = size(std::int64_t{f_.fraAbout.width} - 235);
            f_.ab_lb3.width = size(std::int64_t{f_.fraAbout.width} - 235);
        },
        [&] {
            f_.ab_lb4a.left = centredLeft(f_.fraAbout.width, f_.ab_lb4a.width, f_.ab_lb4b.width);
        },
        [&] { f_.ab_lb4b.left = twips(std::int64_t{f_.ab_lb4a.left} + f_.ab_lb4a.width + 100); },
        [&] {
            f_.ab_lb5a.left = centredLeft(f_.fraAbout.width, f_.ab_lb5a.width, f_.ab_lb6b.width);
        },
        [&] { f_.ab_lb6b.left = twips(std::int64_t{f_.ab_lb5a.left} + f_.ab_lb5a.width + 100); },
        [&] {
            if (f_.windowWidth >= kFundalMinWindowWidth) {
                f_.pict_fundal.left = kFundalLeft;
                f_.pict_fundal.width = size(std::int64_t{f_.windowWidth} - 100 - kFundalLeft);
            }
        },
    });
}

}  // namespace

void Form1::Form_Resize() {
    // A minimised window is not laid out and never resized.
    if (minimised) return;
    Trap trap(errors_, kFormName, "Form_Resize");
    WindowLayout(*this, trap).run();
}

}  // namespace pagemeld
