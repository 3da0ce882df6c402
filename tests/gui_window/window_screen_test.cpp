// The window on a common laptop screen, 1366 x 768 pixels, at the scale the test
// is run with (100, 125 or 150 %): it fits the screen's free area, the run button of
// every tab is reached with Tab and shown whole, and a window made smaller by the
// user comes back to the smallest size that fits.
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

#include "window_harness.h"

namespace pagemeld::testing {
namespace {

class WindowScreenTest : public WindowHarness {
protected:
    // `widget`'s rectangle on the screen.
    static QRect onScreen(const QWidget* widget) {
        return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
    }
};

TEST_F(WindowScreenTest, TheWindowFitsALaptopScreenAndEveryRunButtonIsReached) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    // The screen's pixels, give or take the rounding of its size in the scale's units.
    const QSizeF pixels = QSizeF(screen->geometry().size()) * screen->devicePixelRatio();
    ASSERT_TRUE(std::abs(pixels.width() - 1366) <= 1 && std::abs(pixels.height() - 768) <= 1)
        << "runs on the offscreen platform with the laptop screen's configuration, not on "
        << pixels.width() << " x " << pixels.height();
    start();
    const QRect room = screen->availableGeometry();
    EXPECT_TRUE(room.contains(window->frameGeometry()))
        << "the window " << window->frameGeometry().height() << " px high, the screen's room "
        << room.height();

    // What the window shows of its content: all of it, or the part scrolled to.
    const QWidget* shown = window->centralWidget();
    if (auto* scroll = qobject_cast<QScrollArea*>(window->centralWidget())) {
        shown = scroll->viewport();
    }
    const std::pair<int, std::string> runs[] = {
        {1, "cmd_split_run"}, {2, "cmd_merge"}, {3, "cmd_mix_run"}};
    for (const auto& [tab, name] : runs) {
        SCOPED_TRACE(name);
        clickTab(tab);
        ASSERT_TRUE(tabTo(name));
        const QRect button = onScreen(find(name));
        EXPECT_TRUE(onScreen(shown).contains(button));
        EXPECT_TRUE(room.contains(button));
    }

    // The rule for the smallest window stays where the screen holds it; where it
    // does not, the window takes the screen's height and scrolls, its whole width
    // shown.
    const QMargins frame(window->geometry().left() - window->frameGeometry().left(),
                         window->geometry().top() - window->frameGeometry().top(),
                         window->frameGeometry().right() - window->geometry().right(),
                         window->frameGeometry().bottom() - window->geometry().bottom());
    const QSize fits = room.marginsRemoved(frame).size();
    const QSize smallest = window->clientSizeFor(kResetWindowWidth, kResetWindowHeight);
    window->resize(300, 200);
    const int height = std::min(smallest.height(), fits.height());
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->height() == height; }, 2000))
        << window->height() << " px high, not " << height;
    if (smallest.height() <= fits.height()) {
        EXPECT_EQ(window->size(), smallest);
    }
    EXPECT_GE(window->width(), smallest.width());
    EXPECT_TRUE(room.contains(window->frameGeometry()));
    if (auto* scroll = qobject_cast<QScrollArea*>(window->centralWidget())) {
        EXPECT_EQ(scroll->horizontalScrollBar()->maximum(), 0) << "part of the width hidden";
    }
}

}  // namespace
}  // namespace pagemeld::testing
