// Small widget classes the view needs beyond Qt's own: a label that reports
// clicks, and a grid that accepts dropped files.
#pragma once

#include <QLabel>
#include <QTableWidget>
#include <functional>
#include <string>
#include <vector>

namespace pagemeld {

class ClickableLabel : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> onClick;
    // Shown as a link: underlined in the link colour with a hand cursor.
    void setLinkStyle(bool on);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

class GridWidget : public QTableWidget {
public:
    explicit GridWidget(QWidget* parent);
    // Set when the model takes dropped files; the grid then accepts local files.
    void setDropHandler(std::function<void(const std::vector<std::string>&)> handler);
    // Set when the model follows the mouse over the file rows; `position` is in the
    // rows' area (below the header).
    std::function<void(Qt::MouseButtons buttons, Qt::KeyboardModifiers keys, QPoint position)>
        onMouseMove;
    // Set when the model takes the grid's keys; true when it took the key.
    std::function<bool(QKeyEvent* event)> onKeyDown;
    // Set when the model takes double clicks on cells; row and column from 0.
    std::function<void(int row, int col)> onDoubleClick;

    void keyboardSearch(const QString& search) override;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    std::function<void(const std::vector<std::string>&)> onDrop_;
};

}  // namespace pagemeld
