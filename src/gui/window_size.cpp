// The window's size on the screen: the model's outer size in twips against the
// client size in pixels, the minimum-size rule of the model, and screens too small
// for the smallest window, where the window fits their free area and scrolls.
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QWindow>
#include <algorithm>

#include "app/form1.h"
#include "gui/main_window.h"

namespace pagemeld {
namespace {

// The window's border and title bar, in twips: the model's sizes are outer sizes,
// Qt's are those of the client area.
constexpr int kBorderWidth = kDesignWindowWidth - kDesignClientWidth;
constexpr int kBorderHeight = kDesignWindowHeight - kDesignClientHeight;

}  // namespace

void MainWindow::applyWindowSize() {
    // Where the screen is too small for the smallest window, the client keeps the
    // model's size and the window shows part of it; elsewhere it fills the window.
    const ScreenRoom room = screenRoom();
    QSize least(0, 0);
    if (room.narrow || room.low) {
        const QSize content = clientSizeFor(form_.windowWidth, form_.windowHeight);
        const int statusHeight = statusBar()->isHidden() ? 0 : statusBar()->sizeHint().height();
        least = QSize(content.width(), std::max(0, content.height() - statusHeight));
    }
    if (client_->minimumSize() != least) client_->setMinimumSize(least);

    if (isMinimized() || isMaximized() || isFullScreen()) return;
    const QSize wanted = shownSizeFor(form_.windowWidth, form_.windowHeight);
    if (size() == wanted || !wanted.isValid()) return;
    resize(wanted);
    keepOnScreen();
}

MainWindow::ScreenRoom MainWindow::screenRoom() const {
    ScreenRoom room;
    const QScreen* where = screen();
    if (!where) {
        room.client = QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        return room;
    }
    // The frame's thickness is known once the window is shown.
    const QSize frame = frameGeometry().size() - geometry().size();
    room.client = (where->availableGeometry().size() - frame).expandedTo(QSize(1, 1));
    const QSize outer = windowSizeFor(room.client);
    room.narrow = outer.width() < kMinWindowWidth;
    room.low = outer.height() < kMinWindowHeight;
    return room;
}

QSize MainWindow::scrollBarsFor(const ScreenRoom& room) const {
    return QSize(room.low ? scroll_->verticalScrollBar()->sizeHint().width() : 0,
                 room.narrow ? scroll_->horizontalScrollBar()->sizeHint().height() : 0);
}

QSize MainWindow::shownSizeFor(int windowWidth, int windowHeight) const {
    const ScreenRoom room = screenRoom();
    return (clientSizeFor(windowWidth, windowHeight) + scrollBarsFor(room)).boundedTo(room.client);
}

void MainWindow::keepOnScreen() {
    if (!isVisible() || isMinimized() || isMaximized() || isFullScreen() || !screen()) return;
    const QRect room = screen()->availableGeometry();
    const QRect frame = frameGeometry();
    if (room.contains(frame)) return;
    const int x = std::clamp(frame.left(), room.left(),
                             std::max(room.left(), room.right() + 1 - frame.width()));
    const int y = std::clamp(frame.top(), room.top(),
                             std::max(room.top(), room.bottom() + 1 - frame.height()));
    move(x, y);
}

QSize MainWindow::clientSizeFor(int windowWidth, int windowHeight) const {
    return QSize(scale_.toPixels(windowWidth - kBorderWidth),
                 scale_.toPixels(windowHeight - kBorderHeight));
}

QSize MainWindow::windowSizeFor(const QSize& clientSize) const {
    return QSize(scale_.toTwips(clientSize.width()) + kBorderWidth,
                 scale_.toTwips(clientSize.height()) + kBorderHeight);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (exiting_ || isMinimized()) return;
    withModel([this] {
        if (inResize_ || exiting_ || isMinimized()) return;
        inResize_ = true;
        // The model keeps its exact twips on a side whose pixels still match them.
        // On a side where the screen cannot hold the smallest window, the window
        // shows the smallest one scrolled; the rule for the smallest window holds on
        // every other side.
        const ScreenRoom room = screenRoom();
        const QSize shown = size() - scrollBarsFor(room);
        const QSize exact = clientSizeFor(form_.windowWidth, form_.windowHeight);
        const QSize outer = windowSizeFor(shown);
        if (room.narrow) {
            form_.windowWidth = kResetWindowWidth;
        } else if (shown.width() != exact.width()) {
            form_.windowWidth = outer.width();
        }
        if (room.low) {
            form_.windowHeight = kResetWindowHeight;
        } else if (shown.height() != exact.height()) {
            form_.windowHeight = outer.height();
        }
        form_.minimised = false;
        if (!invoke("Form_Resize")) syncFromModel();
        inResize_ = false;
    });
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The window's frame and screen are known now; on another screen the room
    // changes.
    if (!screenFollowed_ && windowHandle()) {
        screenFollowed_ = true;
        connect(windowHandle(), &QWindow::screenChanged, this,
                [this] { withModel([this] { applyWindowSize(); }); });
    }
    withModel([this] {
        applyWindowSize();
        keepOnScreen();
    });
}

}  // namespace pagemeld
