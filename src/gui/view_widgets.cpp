#include "gui/view_widgets.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

namespace pagemeld {

void ClickableLabel::setLinkStyle(bool on) {
    QFont f = font();
    f.setUnderline(on);
    setFont(f);
    if (on) {
        QPalette p = palette();
        p.setColor(QPalette::WindowText, p.color(QPalette::Link));
        setPalette(p);
        setCursor(Qt::PointingHandCursor);
    } else {
        setPalette(QPalette());
        unsetCursor();
    }
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        onClick) {
        onClick();
    }
}

GridWidget::GridWidget(QWidget* parent) : QTableWidget(parent) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The model decides which row is highlighted; Qt's own selection stays off.
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::StrongFocus);
    // Tab goes on to the next control, as in any other list: walking the cells would
    // keep a keyboard user inside the grid for good.
    setTabKeyNavigation(false);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    // A click on the header row is a click on row 0 for the model.
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    // The focus frame follows the model's current row; the grid scrolls to it only
    // when a key moved it there, never while its state is being shown.
    setAutoScroll(false);
}

void GridWidget::keyboardSearch(const QString& /*search*/) {
    // Typing would move the focus frame to a matching name and leave the selection
    // behind.
}

void GridWidget::setDropHandler(std::function<void(const std::vector<std::string>&)> handler) {
    onDrop_ = std::move(handler);
    setAcceptDrops(static_cast<bool>(onDrop_));
    viewport()->setAcceptDrops(static_cast<bool>(onDrop_));
    setDragDropMode(onDrop_ ? QAbstractItemView::DropOnly : QAbstractItemView::NoDragDrop);
}

namespace {

std::vector<std::string> localFiles(const QMimeData* mime) {
    std::vector<std::string> files;
    if (!mime || !mime->hasUrls()) return files;
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile()) {
            files.push_back(QDir::toNativeSeparators(url.toLocalFile()).toStdString());
        }
    }
    return files;
}

}  // namespace

void GridWidget::dragEnterEvent(QDragEnterEvent* event) {
    if (onDrop_ && !localFiles(event->mimeData()).empty()) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void GridWidget::dragMoveEvent(QDragMoveEvent* event) {
    if (onDrop_ && !localFiles(event->mimeData()).empty()) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

bool GridWidget::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::MouseMove && onMouseMove) {
        const auto* move = static_cast<QMouseEvent*>(event);
        onMouseMove(move->buttons(), move->modifiers(), move->position().toPoint());
    }
    return QTableWidget::viewportEvent(event);
}

void GridWidget::keyPressEvent(QKeyEvent* event) {
    if (onKeyDown && onKeyDown(event)) {
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

void GridWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableWidget::mouseDoubleClickEvent(event);
    const QModelIndex cell = indexAt(event->position().toPoint());
    if (onDoubleClick && cell.isValid()) onDoubleClick(cell.row(), cell.column());
}

void GridWidget::dropEvent(QDropEvent* event) {
    const std::vector<std::string> files = localFiles(event->mimeData());
    if (!onDrop_ || files.empty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    onDrop_(files);
}

}  // namespace pagemeld
