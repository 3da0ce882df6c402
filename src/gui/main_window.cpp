#include "gui/main_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusBar>
#include <QTabBar>
#include <QThread>
#include <QTimer>

#include "app/form1.h"
#include "app/form1_event_table.h"
#include "app/key_codes.h"
#include "app/shared_routines.h"
#include "base/runtime_error.h"
#include "errors/error_handler.h"
#include "gui/artwork.h"
#include "gui/qt_text.h"
#include "gui/view_widgets.h"

namespace pagemeld {
namespace {

constexpr int kDialogFontPointSize = 8;

// Buttons and shift keys as the mouse events number them: 1 left, 2 right, 4 middle;
// the shift keys as app/key_codes.h.
int mouseButtons(Qt::MouseButtons buttons) {
    return (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0) |
           (buttons & Qt::MiddleButton ? 4 : 0);
}

int shiftKeys(Qt::KeyboardModifiers keys) {
    return (keys & Qt::ShiftModifier ? shiftkey::kShift : 0) |
           (keys & Qt::ControlModifier ? shiftkey::kCtrl : 0) |
           (keys & Qt::AltModifier ? shiftkey::kAlt : 0);
}

// A key as the key events number it; 0 for the keys the model has no use for.
std::int16_t keyCodeOf(int qtKey) {
    // Qt numbers letters and digits by their capital character too.
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return static_cast<std::int16_t>(qtKey);
    static const std::pair<int, std::int16_t> kKeys[] = {
        {Qt::Key_Delete, keycode::kDelete},     {Qt::Key_Up, keycode::kUp},
        {Qt::Key_Down, keycode::kDown},         {Qt::Key_PageUp, keycode::kPageUp},
        {Qt::Key_PageDown, keycode::kPageDown}, {Qt::Key_Home, keycode::kHome},
        {Qt::Key_End, keycode::kEnd},
    };
    for (const auto& [key, code] : kKeys) {
        if (key == qtKey) return code;
    }
    return 0;
}

}  // namespace

MainWindow::MainWindow(Form1& form, double twipsPerPixel)
    : form_(form),
      scale_(twipsPerPixel > 0 ? TwipsScale(twipsPerPixel)
                               : TwipsScale::forScreen(QGuiApplication::primaryScreen())) {
    setObjectName(toQt(kFormName));
    // The design sizes were made for an 8-point dialog font.
    QFont dialogFont = font();
    dialogFont.setPointSize(kDialogFontPointSize);
    setFont(dialogFont);
    build();
    form_.repaint = [this] {
        if (QThread::currentThread() == thread()) {
            syncFromModel();
            repaint();
        } else {
            showJobProgress();
        }
    };
    syncFromModel();
}

MainWindow::~MainWindow() {
    destroying_ = true;
    if (jobRunning_) {
        // The job may be waiting for this thread: serve it until it has stopped.
        form_.cancel_requested = true;
        while (jobRunning_) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    form_.repaint = nullptr;
}

void MainWindow::build() {
    // The controls stand on the client widget. On a screen too small for the
    // smallest window it keeps that size and the window shows part of it, scrolled;
    // Tab scrolls the control it reaches into view.
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("Form1_scroll"));
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setFocusPolicy(Qt::NoFocus);
    scroll_->setWidgetResizable(true);
    auto* client = new QWidget;
    client->setObjectName(QStringLiteral("Form1_client"));
    scroll_->setWidget(client);
    client_ = client;
    setCentralWidget(scroll_);
    containers_[kFormName] = client;

    // Containers come before the controls they hold.
    for (Control* control : form_.controls()) {
        const auto container = containers_.find(control->container);
        QWidget* parent = container != containers_.end() ? container->second : client;
        BoundControl bound = createControlWidget(*control, parent, this);
        if (control->kind == ControlKind::StatusBar) {
            setStatusBar(static_cast<QStatusBar*>(bound.widget.data()));
            containers_[control->name] = bound.widget;
        }
        // A control held by the status bar stands at its right end.
        if (auto* bar = qobject_cast<QStatusBar*>(parent); bar && bound.widget) {
            bar->addPermanentWidget(bound.widget);
        }
        if ((control->kind == ControlKind::Frame || control->kind == ControlKind::PictureBox) &&
            control->index < 0) {
            containers_[control->name] = bound.widget;
        }
        if (control->kind == ControlKind::OptionButton) {
            QButtonGroup*& group = optionGroups_[control->container];
            if (!group) group = new QButtonGroup(this);
            group->addButton(static_cast<QRadioButton*>(bound.widget.data()));
        }
        bound_.push_back(bound);
    }
    for (const BoundControl& bound : bound_) connectControl(bound);
    // The window's own events come from its resize and close events, and its keys
    // from the shortcut that adds files.
    eventOf("Form", "Resize");
    eventOf("Form", "QueryUnload");
    if (const EventBinding* key = eventOf("Form", "KeyDown")) {
        auto* addFiles = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_O), this);
        connect(addFiles, &QShortcut::activated, this, [this, key] {
            // The lists are locked while a job runs.
            if (jobRunning_) return;
            EventArgs args;
            args.keyCode = keyCodeOf(Qt::Key_O);
            args.shift = shiftKeys(Qt::ControlModifier);
            dispatchWith(*key, args);
        });
    }
}

const EventBinding* MainWindow::eventOf(const std::string& control, const char* event) {
    const EventBinding* binding = findForm1Event(control + "_" + event);
    if (binding) wired_.insert(binding);
    return binding;
}

std::vector<std::string> MainWindow::unwiredEvents() const {
    std::vector<std::string> names;
    for (const EventBinding& binding : form1Events()) {
        if (!wired_.contains(&binding)) names.push_back(binding.name());
    }
    return names;
}

void MainWindow::connectControl(const BoundControl& bound) {
    Control& control = *bound.control;
    const int index = control.index;

    if (bound.timer) {
        QTimer* timer = bound.timer;
        const EventBinding* tick = eventOf(control.name, "Timer");
        connect(timer, &QTimer::timeout, this, [this, timer, tick] {
            // One tick at a time: the timer starts again after its handler when the
            // model still wants it.
            timer->stop();
            withModel([this, tick] {
                if (!tick || !dispatch(*tick, {})) syncFromModel();
            });
        });
        return;
    }
    QWidget* widget = bound.widget;
    if (!widget) return;
    const EventBinding* click = eventOf(control.name, "Click");
    // A control's click with its array index; state was copied into the model first.
    const auto clicked = [this, click, index] {
        EventArgs args;
        args.index = index;
        if (!click || !dispatch(*click, args)) syncFromModel();
    };
    // What a widget's signal does to the model, once the model is free.
    const auto later = [this](std::function<void()> action) {
        return [this, action = std::move(action)] { withModel(action); };
    };

    switch (control.kind) {
        case ControlKind::CommandButton:
            // Cancel acts at once, also while a job holds the model.
            connect(static_cast<QPushButton*>(widget), &QPushButton::clicked, this,
                    click && click->thread == EventThread::Any ? std::function<void()>(clicked)
                                                               : later(clicked));
            break;
        case ControlKind::Label:
            if (click) {
                auto* label = static_cast<ClickableLabel*>(widget);
                label->setLinkStyle(true);
                label->onClick = later(clicked);
            }
            break;
        case ControlKind::OptionButton: {
            auto& option = static_cast<OptionButton&>(control);
            connect(static_cast<QRadioButton*>(widget), &QRadioButton::clicked, this,
                    later([this, &option, clicked] {
                        selectOption(option);
                        clicked();
                    }));
            break;
        }
        case ControlKind::CheckBox: {
            auto& box = static_cast<CheckBox&>(control);
            connect(static_cast<QCheckBox*>(widget), &QCheckBox::clicked, this,
                    [&box, clicked, later](bool checked) {
                        later([&box, clicked, checked] {
                            box.value = checked ? kChecked : kUnchecked;
                            clicked();
                        })();
                    });
            break;
        }
        case ControlKind::TextBox: {
            auto& text = static_cast<TextBox&>(control);
            const EventBinding* change = eventOf(control.name, "Change");
            connect(static_cast<QLineEdit*>(widget), &QLineEdit::textEdited, this,
                    [this, &text, change, index](const QString& edited) {
                        withModel([this, &text, change, index, typed = edited.toStdString()] {
                            text.text = typed;
                            EventArgs args;
                            args.index = index;
                            if (change) dispatch(*change, args);
                        });
                    });
            break;
        }
        case ControlKind::ComboBox: {
            auto& combo = static_cast<ComboBox&>(control);
            connect(static_cast<QComboBox*>(widget), &QComboBox::activated, this,
                    [&combo, clicked, later](int chosen) {
                        later([&combo, clicked, chosen] {
                            if (chosen >= 0 && chosen < static_cast<int>(combo.items.size())) {
                                combo.listIndex = chosen;
                                combo.text = combo.items[static_cast<std::size_t>(chosen)];
                            }
                            clicked();
                        })();
                    });
            break;
        }
        case ControlKind::Grid:
            connectGrid(static_cast<Grid&>(control), static_cast<GridWidget*>(widget), click);
            break;
        case ControlKind::TabStrip: {
            auto& strip = static_cast<TabStrip&>(control);
            connect(static_cast<QTabBar*>(widget), &QTabBar::currentChanged, this,
                    [&strip, clicked, later](int tab) {
                        if (tab < 0) return;
                        later([&strip, clicked, tab] {
                            strip.selectedItem = tab + 1;
                            clicked();
                        })();
                    });
            break;
        }
        default:
            break;
    }
}

void MainWindow::connectGrid(Grid& grid, GridWidget* table, const EventBinding* click) {
    // A click makes the cell current, as the grid control does, before the model's
    // handler sees it; a handler that takes the cell gets it with row 0 as the
    // header row.
    const auto clicked = [this, &grid, click](int row, int col) {
        if (row >= 1) {
            grid.row = row;
            grid.col = col;
            grid.rowSel = row;
        }
        EventArgs args;
        args.row = row;
        args.col = col;
        if (!click || !dispatch(*click, args)) syncFromModel();
    };
    connect(table, &QTableWidget::cellClicked, this, [this, clicked](int row, int col) {
        withModel([clicked, row, col] { clicked(row + 1, col); });
    });
    connect(table->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this, clicked](int col) { withModel([clicked, col] { clicked(0, col); }); });

    if (const EventBinding* mouseMove = eventOf(grid.name, "MouseMove")) {
        table->viewport()->setMouseTracking(true);
        table->onMouseMove = [this, &grid, mouseMove](Qt::MouseButtons buttons,
                                                      Qt::KeyboardModifiers keys, QPoint position) {
            EventArgs args;
            args.button = mouseButtons(buttons);
            args.shift = shiftKeys(keys);
            // Twips from the grid's top-left corner: the header row lies above the
            // rows' area.
            args.x = position.x() * scale_.twipsPerPixel();
            args.y = grid.rowHeight(0) + position.y() * scale_.twipsPerPixel();
            dispatch(*mouseMove, args);
        };
    }
    const EventBinding* scroll = eventOf(grid.name, "Scroll");
    connect(table->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this, &grid, scroll](int value) {
                withModel([this, &grid, scroll, value] {
                    if (grid.topRow == value + 1) return;
                    grid.topRow = value + 1;
                    if (scroll) dispatch(*scroll, {});
                });
            });
    if (const EventBinding* doubleClick = eventOf(grid.name, "DblClick")) {
        table->onDoubleClick = [this, doubleClick](int row, int col) {
            if (jobRunning_) return;
            EventArgs args;
            args.row = row + 1;
            args.col = col;
            dispatch(*doubleClick, args);
        };
    }
    if (const EventBinding* key = eventOf(grid.name, "KeyDown")) {
        table->onKeyDown = [this, key, table](QKeyEvent* event) {
            if (jobRunning_) return false;
            EventArgs args;
            args.keyCode = keyCodeOf(event->key());
            args.shift = shiftKeys(event->modifiers());
            if (args.keyCode == 0) return false;
            dispatchWith(*key, args);
            if (args.keyCode != 0) return false;
            // The row the key selected is shown; the scroll bar tells the model.
            if (!exiting_ && table->currentIndex().isValid())
                table->scrollTo(table->currentIndex());
            return true;
        };
    }
    if (const EventBinding* drop = eventOf(grid.name, "OLEDragDrop")) {
        table->setDropHandler([this, drop](const std::vector<std::string>& files) {
            EventArgs args;
            args.files = files;
            dispatch(*drop, args);
        });
    }
}

void MainWindow::selectOption(OptionButton& option) {
    // Options that share a container exclude each other.
    for (const BoundControl& bound : bound_) {
        Control* other = bound.control;
        if (other->kind == ControlKind::OptionButton && other->container == option.container) {
            static_cast<OptionButton*>(other)->value = (other == &option);
        }
    }
}

bool MainWindow::invoke(const std::string& event, int index) {
    const EventBinding* binding = findForm1Event(event);
    if (!binding) return false;
    EventArgs args;
    args.index = index;
    return dispatch(*binding, args);
}

bool MainWindow::dispatch(const EventBinding& binding, EventArgs args) {
    if (binding.thread == EventThread::Job) {
        // One job at a time: its inputs are locked while it runs.
        if (jobRunning_ || exiting_) return false;
        if (onEvent) onEvent(binding);
        startJob(binding, std::move(args));
        return true;
    }
    return dispatchWith(binding, args);
}

bool MainWindow::dispatchWith(const EventBinding& binding, EventArgs& args) {
    return run(binding.name(), [&] {
        if (onEvent) onEvent(binding);
        binding.call(form_, args);
    });
}

void MainWindow::withModel(std::function<void()> action) {
    if (jobRunning_ && !handedOver_) {
        deferred_.push_back(std::move(action));
        return;
    }
    action();
}

void MainWindow::runDeferred() {
    while (!deferred_.empty() && !exiting_) {
        const std::function<void()> action = std::move(deferred_.front());
        deferred_.erase(deferred_.begin());
        action();
    }
}

void MainWindow::startJob(const EventBinding& binding, EventArgs args) {
    jobRunning_ = true;
    form_.cancel_requested = false;
    applyJobState();
    lastProgress_ = {};
    job_ = std::thread([this, &binding, args]() mutable {
        const bool exitRequested = trapped(binding.name(), [&] { binding.call(form_, args); });
        QMetaObject::invokeMethod(
            this, [this, exitRequested] { finishJob(exitRequested); }, Qt::QueuedConnection);
    });
}

void MainWindow::finishJob(bool exitRequested) {
    job_.join();
    jobRunning_ = false;
    if (destroying_) return;
    if (exitRequested) {
        exitApplication();
        return;
    }
    runDeferred();
    syncFromModel();
    if (closeAfterJob_) close();
}

void MainWindow::onWindowThread(const std::function<void()>& call) {
    if (QThread::currentThread() == thread()) {
        call();
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [this, &call] {
            handedOver_ = true;
            if (!destroying_) {
                runDeferred();
                syncFromModel();
            }
            call();
            handedOver_ = false;
        },
        Qt::BlockingQueuedConnection);
}

void MainWindow::showJobProgress() {
    // Every piece need not be shown: the window repaints a few dozen times a second.
    const auto now = std::chrono::steady_clock::now();
    if (now - lastProgress_ < std::chrono::milliseconds(40)) return;
    lastProgress_ = now;
    onWindowThread([] {});
}

bool MainWindow::run(const std::string& procedure, const std::function<void()>& body) {
    if (exiting_) return false;
    if (trapped(procedure, body)) {
        exitApplication();
        return false;
    }
    if (exiting_) return false;
    syncFromModel();
    return true;
}

bool MainWindow::trapped(const std::string& procedure, const std::function<void()>& body) {
    try {
        try {
            body();
        } catch (const ExitRequested&) {
            throw;
        } catch (...) {
            // The handlers trap their own errors; one that escapes all the same goes
            // to the error handler like any other, rather than out of the event loop.
            const RuntimeError error = toRuntimeError(std::current_exception());
            const std::int16_t outcome = form_.errors().ErrorHandler(
                error.code(), error.what(), error.line(), kFormName, procedure);
            if (outcome == outcome::kExitProject) form_.errors().ExitProject();
        }
    } catch (const ExitRequested&) {
        return true;
    }
    return false;
}

void MainWindow::exitApplication() {
    exiting_ = true;
    for (const BoundControl& bound : bound_) {
        if (bound.timer) bound.timer->stop();
    }
    close();
    QCoreApplication::quit();
}

void MainWindow::syncFromModel() {
    // While a job holds the model it is shown only when the job hands it over.
    if (exiting_ || (jobRunning_ && !handedOver_)) return;
    const QString title = toQt(form_.caption);
    if (windowTitle() != title) setWindowTitle(title);
    if (auto* banner = findChild<PictureWidget*>(QStringLiteral("pict_logo"))) {
        banner->setSubtitle(toQt(form_.catalogue.BannerSubtitle));
    }
    for (const BoundControl& bound : bound_) syncControlWidget(bound, scale_);
    // A handler that gives a grid the focus leaves a request; it is carried out once.
    for (const BoundControl& bound : bound_) {
        if (bound.control->kind != ControlKind::Grid || !bound.widget) continue;
        auto& grid = static_cast<Grid&>(*bound.control);
        if (!grid.hasFocus) continue;
        grid.hasFocus = false;
        if (bound.widget->isVisible() && bound.widget->isEnabled()) {
            bound.widget->setFocus(Qt::OtherFocusReason);
        }
    }
    applyWindowSize();
    applyJobState();
}

bool MainWindow::lockedDuringJob(const Control& control) const {
    switch (control.kind) {
        case ControlKind::CommandButton:
        case ControlKind::TextBox:
        case ControlKind::OptionButton:
        case ControlKind::CheckBox:
        case ControlKind::Grid:
            break;
        default:
            return false;
    }
    // Whatever stands on the Split, Merge and Mix tabs is a job's input.
    for (const Control* up = &control; up;) {
        if (up == &form_.fraSplit || up == &form_.fraMerge || up == &form_.fraMix) return true;
        up = form_.findControl(up->container);
    }
    return false;
}

void MainWindow::applyJobState() {
    for (const BoundControl& bound : bound_) {
        if (!bound.widget) continue;
        if (bound.control == &form_.cmd_cancel) {
            bound.widget->setVisible(jobRunning_ || form_.cmd_cancel.visible);
            bound.widget->setEnabled(jobRunning_ || form_.cmd_cancel.enabled);
        } else if (jobRunning_ && lockedDuringJob(*bound.control)) {
            bound.widget->setEnabled(false);
        }
    }
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        withModel([this] { form_.minimised = isMinimized(); });
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (jobRunning_ && !exiting_) {
        // Stop the job after its current file, then close; or go on with it.
        event->ignore();
        if (closeAfterJob_) return;
        const int answer = form_.ui().messageBox(form_.catalogue.MsgCloseDuringRun, kProductName,
                                                 msgbox::kYesNo | msgbox::kQuestion);
        if (answer == msgbox::kAnswerYes && jobRunning_) {
            closeAfterJob_ = true;
            form_.cancel_requested = true;
        } else if (answer == msgbox::kAnswerYes) {
            close();
        }
        return;
    }
    if (!exiting_ && !closing_) {
        closing_ = true;
        invoke("Form_QueryUnload");
        // Closing always ends the program; nothing more is shown.
        exiting_ = true;
        for (const BoundControl& bound : bound_) {
            if (bound.timer) bound.timer->stop();
        }
    }
    event->accept();
}

}  // namespace pagemeld
