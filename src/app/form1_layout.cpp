// The window's layout: the minimum size, and every position and size that follows
// the window's width and height. Only the properties named here change; every
// other position and size keeps its design value.
#include <algorithm>
#include <cstdint>
#include <limits>

#include "app/form1.h"
#include "errors/runtime_error.h"
#include "errors/trap.h"

namespace pagemeld {
namespace {

// A size or position that does not fit the control is a run-time error that the
// layout's trap receives.
int twips(std::int64_t value) {
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) {
        throw RuntimeError(errcode::kOverflow, "Overflow");
    }
    return static_cast<int>(value);
}

int size(std::int64_t value) {
    if (value < 0) throw RuntimeError(380, "Invalid property value");
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

int sumOfFiveColumns(const Grid& grid) {
    int sum = 0;
    for (int c = 0; c < 5; ++c) sum += grid.colWidth(c);
    return sum;
}

}  // namespace

void Form1::Form_Resize() {
    // A minimised window is not laid out and never resized.
    if (minimised) return;
    Trap trap(errors_, kFormName, "Form_Resize");

    const auto widths = [&](Grid& grid, const int(&base)[5]) {
        for (int c = 0; c < 5; ++c) {
            grid.setColWidth(c,
                             size(roundedQuotient(static_cast<std::int64_t>(grid.width) * base[c],
                                                  kGridBaseWidth)));
        }
    };
    const auto passwordButtonLeft = [](const Grid& grid, const Control& button, int inset) {
        return twips(static_cast<std::int64_t>(grid.left) + sumOfFiveColumns(grid) - button.width -
                     inset);
    };
    const auto centredLeft = [](int frameWidth, int leftWidth, int rightWidth) {
        return twips(
            roundedQuotient(static_cast<std::int64_t>(frameWidth) - leftWidth - rightWidth, 2));
    };

    struct TabParts {
        Frame& frame;
        PictureBox& pict;
        Grid& grid;
        ProgressBar& bar;
        CommandButton& run;
    };
    TabParts parts[3] = {
        {fraSplit, fra_split_pict, split_grid, splitpb, cmd_split_run},
        {fraMerge, pict_merge, merge_grid, mergepb, cmd_merge},
        {fraMix, fra_mix_pict, mix_grid, mixpb, cmd_mix_run},
    };
    Frame* tabFrames[5] = {&fraSplit, &fraMerge, &fraMix, &fraAbout, &fraExtras};

    const std::function<void()> steps[] = {
        [&] {
            if (windowHeight < kMinWindowHeight || windowWidth < kMinWindowWidth) {
                windowHeight = kResetWindowHeight;
                windowWidth = kResetWindowWidth;
            }
        },
        [&] { tabOptions.height = size(std::int64_t{windowHeight} - 2175); },
        [&] { tabOptions.width = size(std::int64_t{windowWidth} - 200); },
        [&] { cmb_languages.left = twips(std::int64_t{windowWidth} - 2050); },
        [&] {
            for (Frame* frame : tabFrames)
                frame->width = size(std::int64_t{tabOptions.width} - 150);
        },
        [&] {
            for (Frame* frame : tabFrames) frame->height = size(std::int64_t{windowHeight} - 2745);
        },
        [&] {
            for (TabParts& p : parts) p.pict.width = size(std::int64_t{p.frame.width} - 150);
        },
        [&] {
            for (TabParts& p : parts) p.pict.height = size(std::int64_t{p.frame.height} - 250);
        },
        [&] {
            const auto leftOf = [](const Frame& frame) {
                return twips(std::int64_t{frame.left} + frame.width - 760);
            };
            for (CommandButton* b : {&split_add_but, &split_rem_but}) b->left = leftOf(fraSplit);
            for (CommandButton* b : {&mbut_add, &mbut_rem, &mbut_up, &mbut_down})
                b->left = leftOf(fraMerge);
            for (CommandButton* b : {&x_but_add, &x_but_rem, &x_but_up, &x_but_down})
                b->left = leftOf(fraMix);
        },
        [&] {
            for (TabParts& p : parts) p.grid.width = size(std::int64_t{p.frame.width} - 950);
        },
        [&] {
            widths(split_grid, kSplitMixGridBaseWidths);
            widths(merge_grid, kMergeGridBaseWidths);
            widths(mix_grid, kSplitMixGridBaseWidths);
        },
        [&] {
            frm_split_method.width = size(std::int64_t{fraSplit.width} - 300);
            frm_split_dest.width = size(std::int64_t{fraSplit.width} - 300);
            merge_output.width = size(std::int64_t{fraMerge.width} - 300);
            frm_mix_method.width = size(std::int64_t{fraMix.width} - 300);
            frm_mix_dest.width = size(std::int64_t{fraMix.width} - 300);
        },
        [&] { frm_mix_method_pict.width = size(std::int64_t{frm_mix_method.width} - 300); },
        [&] {
            frm_mix_meth_doc1.width = size(std::int64_t{frm_mix_method.width} - 325);
            frm_mix_meth_doc2.width = size(std::int64_t{frm_mix_method.width} - 325);
        },
        [&] {
            for (TabParts& p : parts)
                p.run.left = twips(std::int64_t{p.frame.width} - kRunButtonInset);
        },
        [&] {
            for (TabParts& p : parts) p.bar.width = size(std::int64_t{p.frame.width} - 265);
        },
        [&] {
            for (TabParts& p : parts)
                p.bar.top = twips(std::int64_t{p.frame.top} + p.frame.height - 2415);
        },
        [&] {
            for (TabParts& p : parts) p.run.top = twips(std::int64_t{p.bar.top} - 420);
        },
        [&] {
            // The merge list takes the height the window has beyond its design size;
            // the output options keep their distance below it.
            const std::int64_t extra = std::max<std::int64_t>(
                0, std::int64_t{fraMerge.height} - (kDesignWindowHeight - 2745));
            std::int64_t rows = 0;
            for (int r = 0; r < kMergeGridShapedRows; ++r) rows += merge_grid.rowHeight(r);
            merge_grid.height = size(rows - 20 + extra);
            merge_output.top =
                twips(std::int64_t{merge_grid.top} + merge_grid.height + kMergeOutputGap);
        },
        [&] {
            but_passw.left = passwordButtonLeft(split_grid, but_passw, 15);
            but_passw.top = twips(std::int64_t{split_grid.top} + split_grid.rowHeight(1) + 15);
        },
        [&] {
            const int last = std::min<std::int32_t>(state.mgrid_count, mbut_key.last());
            for (int i = mbut_key.first(); i <= last; ++i) {
                CommandButton& key = mbut_key(i);
                key.left = passwordButtonLeft(merge_grid, key, 270);
                key.top = twips(std::int64_t{merge_grid.top} +
                                std::int64_t{merge_grid.rowHeight(1)} * i + 15);
            }
        },
        [&] {
            // The mix list never holds more files than it has buttons.
            const int last = std::min<std::int32_t>(state.xgrid_count, xbut_key.last());
            for (int i = xbut_key.first(); i <= last; ++i) {
                CommandButton& key = xbut_key(i);
                key.left = passwordButtonLeft(mix_grid, key, 270);
                key.top = twips(std::int64_t{mix_grid.top} +
                                std::int64_t{mix_grid.rowHeight(1)} * i + 15);
            }
        },
        [&] {
            lblabout.width = size(std::int64_t{fraAbout.width} - 235);
            ab_lb3.width = size(std::int64_t{fraAbout.width} - 235);
        },
        [&] { ab_lb4a.left = centredLeft(fraAbout.width, ab_lb4a.width, ab_lb4b.width); },
        [&] { ab_lb4b.left = twips(std::int64_t{ab_lb4a.left} + ab_lb4a.width + 100); },
        [&] { ab_lb5a.left = centredLeft(fraAbout.width, ab_lb5a.width, ab_lb6b.width); },
        [&] { ab_lb6b.left = twips(std::int64_t{ab_lb5a.left} + ab_lb5a.width + 100); },
        [&] {
            if (windowWidth >= kFundalMinWindowWidth) {
                pict_fundal.left = kFundalLeft;
                pict_fundal.width = size(std::int64_t{windowWidth} - 100 - kFundalLeft);
            }
        },
    };
    for (const auto& body : steps) {
        if (!trap.step(body)) return;
    }
}

}  // namespace pagemeld
