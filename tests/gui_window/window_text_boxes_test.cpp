// Every text box of the window shows its text whole, with the font the box draws it
// in: a font whose text box is taller than its line (as the stand-in fonts of a
// Windows system without its own have) must not push the line out of the box.
#include <QFontDatabase>
#include <QImage>
#include <QSignalBlocker>
#include <algorithm>

#include "gui/control_widgets.h"
#include "window_harness.h"

namespace pagemeld::testing {
namespace {

// The rectangle, in the image's pixels, where `drawn` differs from `empty`.
QRect inkBetween(const QImage& empty, const QImage& drawn) {
    QRect ink;
    for (int y = 0; y < std::min(empty.height(), drawn.height()); ++y) {
        for (int x = 0; x < std::min(empty.width(), drawn.width()); ++x) {
            if (empty.pixel(x, y) != drawn.pixel(x, y)) ink |= QRect(x, y, 1, 1);
        }
    }
    return ink;
}

using WindowTextBoxesTest = WindowHarness;

TEST_F(WindowTextBoxesTest, EveryTextBoxShowsItsTextWhole) {
    // Under Wine the offscreen platform finds no fonts and draws a box for every
    // letter; there the test runs on the minimal platform with Windows' own fonts.
    if (QFontDatabase::families().isEmpty()) GTEST_SKIP() << "no fonts on this platform";
    start();
    // Capitals with accents and letters with descenders: the full height of a line.
    const QString probe = QStringLiteral("Égj");
    int boxes = 0;
    for (Control* control : form.controls()) {
        if (control->kind != ControlKind::TextBox) continue;
        ++boxes;
        auto* box = find<QLineEdit>(objectNameFor(*control));
        ASSERT_NE(box, nullptr);
        SCOPED_TRACE(control->name);
        const QString kept = box->text();
        const QSignalBlocker quiet(box);
        box->setText(QString());
        const QImage empty = box->grab().toImage();
        box->setText(probe);
        const QImage drawn = box->grab().toImage();
        box->setText(kept);

        const QRect ink = inkBetween(empty, drawn);
        const double scale = drawn.devicePixelRatio();
        const QRectF letters = QFontMetricsF(box->font()).tightBoundingRect(probe);
        // Smoothed edges may fade a pixel at the top and the bottom.
        EXPECT_GE(ink.height() + 2, static_cast<int>(letters.height() * scale))
            << "the box, " << box->height() << " px high, shows "
            << (ink.isEmpty() ? 0 : ink.height()) << " px of letters " << letters.height()
            << " px high";
    }
    EXPECT_GT(boxes, 0);
}

}  // namespace
}  // namespace pagemeld::testing
