#include "gui/control_widgets.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <algorithm>

#include "app/form1.h"
#include "gui/artwork.h"
#include "gui/qt_text.h"
#include "gui/view_widgets.h"
#include "lists/file_list_grid.h"

namespace pagemeld {
namespace {

void setGeometryIfChanged(QWidget* widget, const QRect& rect) {
    if (widget->geometry() != rect) widget->setGeometry(rect);
}

QRect rectOf(const Control& c, const TwipsScale& scale) {
    return scale.toPixels(c.left, c.top, c.width, c.height);
}

void syncGrid(const Grid& grid, GridWidget* w, const TwipsScale& scale) {
    const int fileRows = std::max(0, grid.rows() - 1);
    if (w->columnCount() != grid.cols()) w->setColumnCount(grid.cols());
    if (w->rowCount() != fileRows) w->setRowCount(fileRows);

    // Row 0 is the header row; it stands in the table's own header.
    for (int c = 0; c < grid.cols(); ++c) {
        QTableWidgetItem* header = w->horizontalHeaderItem(c);
        if (!header) {
            header = new QTableWidgetItem;
            w->setHorizontalHeaderItem(c, header);
        }
        const QString text = toQt(grid.textMatrix(0, c));
        if (header->text() != text) header->setText(text);
        const int width = scale.toPixels(grid.colWidth(c));
        if (w->columnWidth(c) != width) w->setColumnWidth(c, width);
    }
    // The grid's own border lies inside its rows in twips; the header row gives up
    // the pixels that border takes, so rows that fill the grid fit without a scroll
    // bar.
    int fileRowsHeight = 0;
    for (int r = 1; r < grid.rows(); ++r) {
        fileRowsHeight += std::max(1, scale.toPixels(grid.rowHeight(r)));
    }
    const int fullHeader = std::max(1, scale.toPixels(grid.rowHeight(0)));
    const int room = rectOf(grid, scale).height() - 2 * w->frameWidth() - fileRowsHeight;
    const int headerHeight = std::clamp(room, std::max(1, fullHeader - 4), fullHeader);
    if (w->horizontalHeader()->height() != headerHeight) {
        w->horizontalHeader()->setFixedHeight(headerHeight);
    }

    const QPalette& palette = w->palette();
    for (int r = 1; r < grid.rows(); ++r) {
        const int height = std::max(1, scale.toPixels(grid.rowHeight(r)));
        if (w->rowHeight(r - 1) != height) w->setRowHeight(r - 1, height);
        const bool highlighted = grid.highlighted(r);
        for (int c = 0; c < grid.cols(); ++c) {
            QTableWidgetItem* item = w->item(r - 1, c);
            if (!item) {
                item = new QTableWidgetItem;
                item->setFlags(Qt::ItemIsEnabled);
                w->setItem(r - 1, c, item);
            }
            QString text = toQt(grid.textMatrix(r, c));
            // A password is shown as dots; the model keeps it as typed.
            if (c == filelist::kColPassword && !text.isEmpty())
                text = QString(text.size(), QChar(0x25CF));
            if (item->text() != text) item->setText(text);
            // Column 0 is the fixed column; the highlight covers columns 1 and up.
            QBrush background;
            QBrush foreground;
            // The colours of an enabled grid: cells painted while a job has the grid
            // disabled keep them once it ends.
            if (c == 0) {
                background = palette.brush(QPalette::Active, QPalette::Button);
                foreground = palette.brush(QPalette::Active, QPalette::ButtonText);
            } else if (highlighted) {
                background = palette.brush(QPalette::Active, QPalette::Highlight);
                foreground = palette.brush(QPalette::Active, QPalette::HighlightedText);
            }
            if (item->background() != background) item->setBackground(background);
            if (item->foreground() != foreground) item->setForeground(foreground);
        }
    }

    // The focus frame stands on the selected file's row; a key or click that moved it
    // along the row keeps its column.
    if (grid.row >= 1 && grid.row < grid.rows()) {
        const int col = w->currentColumn() >= 1 ? w->currentColumn() : 1;
        if (w->currentRow() != grid.row - 1 || w->currentColumn() != col)
            w->setCurrentCell(grid.row - 1, col, QItemSelectionModel::NoUpdate);
    }

    const QString tip = toQt(grid.toolTipText);
    if (w->toolTip() != tip) w->setToolTip(tip);
    // topRow is the first file row shown.
    const int firstShown = std::max(0, grid.topRow - 1);
    if (w->verticalScrollBar()->value() != firstShown) {
        w->verticalScrollBar()->setValue(firstShown);
    }
}

void syncTabStrip(const TabStrip& strip, QTabBar* bar, QFrame* pane, const TwipsScale& scale) {
    for (int i = 0; i < TabStrip::kTabs; ++i) {
        const QString text = toQt(strip.tabCaptions[i]);
        if (bar->tabText(i) != text) bar->setTabText(i, text);
    }
    if (strip.selectedItem >= 1 && strip.selectedItem <= TabStrip::kTabs &&
        bar->currentIndex() != strip.selectedItem - 1) {
        bar->setCurrentIndex(strip.selectedItem - 1);
    }
    const QRect area = rectOf(strip, scale);
    const int barHeight = std::min(area.height(), bar->sizeHint().height());
    setGeometryIfChanged(bar, QRect(area.left(), area.top(), area.width(), barHeight));
    if (pane) {
        // The page's border joins the tabs' bottom edge.
        setGeometryIfChanged(pane, QRect(area.left(), area.top() + barHeight - 1, area.width(),
                                         std::max(0, area.height() - barHeight + 1)));
        pane->setVisible(strip.visible);
        pane->setEnabled(strip.enabled);
    }
}

void syncTimer(const Timer& timer, QTimer* qtimer) {
    const bool run = timer.enabled && timer.interval > 0;
    if (!run) {
        if (qtimer->isActive()) qtimer->stop();
        return;
    }
    if (!qtimer->isActive() || qtimer->interval() != timer.interval) qtimer->start(timer.interval);
}

void syncOptionButton(const Control& c, QRadioButton* radio) {
    if (radio->text() != toQt(c.caption)) radio->setText(toQt(c.caption));
    // The model keeps its options exclusive; the button's group would
    // refuse to clear its checked button, so it lets go for the change.
    const bool checked = static_cast<const OptionButton&>(c).value;
    if (radio->isChecked() != checked) {
        QButtonGroup* group = radio->group();
        const bool exclusive = group ? group->exclusive() : radio->autoExclusive();
        if (group) {
            group->setExclusive(false);
        } else {
            radio->setAutoExclusive(false);
        }
        radio->setChecked(checked);
        if (group) {
            group->setExclusive(exclusive);
        } else {
            radio->setAutoExclusive(exclusive);
        }
    }
}

void syncCheckBox(const Control& c, QCheckBox* box) {
    if (box->text() != toQt(c.caption)) box->setText(toQt(c.caption));
    const int value = static_cast<const CheckBox&>(c).value;
    const Qt::CheckState state = value == kChecked     ? Qt::Checked
                                 : value == kUnchecked ? Qt::Unchecked
                                                       : Qt::PartiallyChecked;
    if (box->checkState() != state) box->setCheckState(state);
}

void syncComboBox(const ComboBox& model, QComboBox* combo) {
    QStringList items;
    for (const std::string& item : model.items) items << toQt(item);
    QStringList shown;
    for (int i = 0; i < combo->count(); ++i) shown << combo->itemText(i);
    if (items != shown) {
        combo->clear();
        combo->addItems(items);
    }
    const int index = model.listIndex < combo->count() ? model.listIndex : -1;
    if (combo->currentIndex() != index) combo->setCurrentIndex(index);
    // With no item selected the list still shows the model's text.
    combo->setPlaceholderText(index < 0 ? toQt(model.text) : QString());
}

void syncProgressBar(const ProgressBar& model, QProgressBar* bar) {
    const int value = std::clamp(model.value, 0, 100);
    if (bar->value() != value) bar->setValue(value);
    const QString style = toQt(progressBarStyle(model.colour));
    if (bar->styleSheet() != style) bar->setStyleSheet(style);
}

void syncStatusBar(const StatusBar& model, QStatusBar* bar) {
    const QString text = model.simpleStyle ? toQt(model.simpleText) : QString();
    if (bar->currentMessage() != text) {
        if (text.isEmpty()) {
            bar->clearMessage();
        } else {
            bar->showMessage(text);
        }
    }
}

// Puts the widget where the control is, and shows whether it is enabled and visible.
void placeWidget(const Control& c, QWidget* w, const TwipsScale& scale) {
    // The status bar lies along the window's foot wherever the window's size puts
    // it; the tab strip placed its own parts.
    // A control the status bar holds is placed by the bar's layout at its width.
    const bool laidOut = qobject_cast<QStatusBar*>(w->parentWidget()) != nullptr;
    if (laidOut) {
        const QSize size = rectOf(c, scale).size();
        if (w->minimumSize() != size) w->setMinimumSize(size);
    } else if (c.kind != ControlKind::StatusBar && c.kind != ControlKind::TabStrip) {
        setGeometryIfChanged(w, rectOf(c, scale));
    }
    if (c.kind == ControlKind::CommandButton && !static_cast<QPushButton*>(w)->icon().isNull()) {
        const int side = std::max(8, std::min(w->width(), w->height()) - 8);
        static_cast<QPushButton*>(w)->setIconSize(QSize(side, side));
    }
    if (w->testAttribute(Qt::WA_Disabled) == c.enabled) w->setEnabled(c.enabled);
    if (w->isHidden() == c.visible) w->setVisible(c.visible);
}

}  // namespace

std::string objectNameFor(const Control& control) {
    return control.index < 0 ? control.name : control.name + "_" + std::to_string(control.index);
}

std::string progressBarStyle(std::uint32_t colour) {
    if (colour == kDefaultBarColour) return {};
    const QColor chunk(static_cast<int>(colour & 0xFFu), static_cast<int>((colour >> 8) & 0xFFu),
                       static_cast<int>((colour >> 16) & 0xFFu));
    return QStringLiteral(
               "QProgressBar { border: 1px solid palette(mid); border-radius: 2px;"
               " background: palette(base); }"
               " QProgressBar::chunk { background-color: %1; }")
        .arg(chunk.name())
        .toStdString();
}

BoundControl createControlWidget(Control& control, QWidget* parent, QObject* owner) {
    BoundControl bound;
    bound.control = &control;
    QWidget* widget = nullptr;
    switch (control.kind) {
        case ControlKind::Label: {
            auto* label = new ClickableLabel(parent);
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            // The title lines of the About and Extras pages stand out.
            if (control.name == "lblabout" || control.name == "lbl_extras2") {
                QFont title = label->font();
                title.setBold(true);
                title.setPointSizeF(title.pointSizeF() * 1.25);
                label->setFont(title);
            }
            widget = label;
            break;
        }
        case ControlKind::CommandButton: {
            auto* button = new QPushButton(parent);
            button->setIcon(makeButtonIcon(buttonIconFor(control.name)));
            // Enter on a button that has the focus presses it, as Space does.
            button->setAutoDefault(true);
            widget = button;
            break;
        }
        case ControlKind::Frame:
            // The tab frames are pages on the tab strip; the others are group boxes
            // with their caption.
            if (control.container == kFormName) {
                auto* frame = new QFrame(parent);
                frame->setFrameShape(QFrame::NoFrame);
                widget = frame;
            } else {
                widget = new QGroupBox(parent);
            }
            break;
        case ControlKind::PictureBox:
            widget = new PictureWidget(artworkFor(control.name), parent);
            break;
        case ControlKind::TextBox: {
            auto* edit = new QLineEdit(parent);
            // The line stands at the top of the box, as in a Windows edit control. Centred,
            // Qt places it by the height the font engine gives the whole text, which for
            // a stand-in font with tall Windows metrics (Wine without its own fonts) is
            // twice the box's: the line would be drawn above it, out of sight. With the
            // usual fonts both places are the same.
            edit->setAlignment(Qt::AlignLeading | Qt::AlignTop);
            widget = edit;
            break;
        }
        case ControlKind::OptionButton:
            widget = new QRadioButton(parent);
            break;
        case ControlKind::CheckBox:
            widget = new QCheckBox(parent);
            break;
        case ControlKind::ComboBox:
            widget = new QComboBox(parent);
            break;
        case ControlKind::Grid:
            widget = new GridWidget(parent);
            break;
        case ControlKind::ProgressBar: {
            auto* bar = new QProgressBar(parent);
            bar->setRange(0, 100);
            bar->setTextVisible(false);
            widget = bar;
            break;
        }
        case ControlKind::TabStrip: {
            auto* pane = new QFrame(parent);
            pane->setFrameShape(QFrame::StyledPanel);
            pane->setFrameShadow(QFrame::Raised);
            pane->setAutoFillBackground(false);
            bound.pane = pane;
            auto* bar = new QTabBar(parent);
            bar->setExpanding(false);
            bar->setDrawBase(false);
            bar->setUsesScrollButtons(true);
            for (int i = 0; i < TabStrip::kTabs; ++i) bar->addTab(QString());
            widget = bar;
            break;
        }
        case ControlKind::StatusBar:
            widget = new QStatusBar(parent);
            break;
        case ControlKind::Timer: {
            auto* timer = new QTimer(owner);
            timer->setObjectName(toQt(objectNameFor(control)));
            timer->setProperty("pagemeldName", toQt(control.name));
            timer->setProperty("pagemeldIndex", control.index);
            bound.timer = timer;
            return bound;
        }
        case ControlKind::CommonDialog:
            return bound;
    }
    widget->setObjectName(toQt(objectNameFor(control)));
    widget->setProperty("pagemeldName", toQt(control.name));
    widget->setProperty("pagemeldIndex", control.index);
    bound.widget = widget;
    return bound;
}

void syncControlWidget(const BoundControl& bound, const TwipsScale& scale) {
    const Control& c = *bound.control;
    if (bound.timer) {
        syncTimer(static_cast<const Timer&>(c), bound.timer);
        return;
    }
    QWidget* w = bound.widget;
    if (!w) return;
    const QSignalBlocker blocker(w);

    switch (c.kind) {
        case ControlKind::Label: {
            auto* label = static_cast<QLabel*>(w);
            if (label->text() != toQt(c.caption)) label->setText(toQt(c.caption));
            break;
        }
        case ControlKind::CommandButton: {
            auto* button = static_cast<QPushButton*>(w);
            if (button->text() != toQt(c.caption)) button->setText(toQt(c.caption));
            break;
        }
        case ControlKind::Frame:
            if (auto* box = qobject_cast<QGroupBox*>(w); box && box->title() != toQt(c.caption)) {
                box->setTitle(toQt(c.caption));
            }
            break;
        case ControlKind::TextBox: {
            auto* edit = static_cast<QLineEdit*>(w);
            const QString text = toQt(static_cast<const TextBox&>(c).text);
            if (edit->text() != text) edit->setText(text);
            break;
        }
        case ControlKind::OptionButton:
            syncOptionButton(c, static_cast<QRadioButton*>(w));
            break;
        case ControlKind::CheckBox:
            syncCheckBox(c, static_cast<QCheckBox*>(w));
            break;
        case ControlKind::ComboBox:
            syncComboBox(static_cast<const ComboBox&>(c), static_cast<QComboBox*>(w));
            break;
        case ControlKind::Grid:
            syncGrid(static_cast<const Grid&>(c), static_cast<GridWidget*>(w), scale);
            break;
        case ControlKind::ProgressBar:
            syncProgressBar(static_cast<const ProgressBar&>(c), static_cast<QProgressBar*>(w));
            break;
        case ControlKind::TabStrip:
            syncTabStrip(static_cast<const TabStrip&>(c), static_cast<QTabBar*>(w), bound.pane,
                         scale);
            break;
        case ControlKind::StatusBar:
            syncStatusBar(static_cast<const StatusBar&>(c), static_cast<QStatusBar*>(w));
            break;
        case ControlKind::PictureBox:
        case ControlKind::Timer:
        case ControlKind::CommonDialog:
            break;
    }

    placeWidget(c, w, scale);
}

}  // namespace pagemeld
