// Every event the window model declares is reached from the real window: the
// control's widget exists under its name, and sending it that event as a user would
// runs the model's handler. A control or a connection lost from the view fails
// here, whatever the model-level tests say.
#include <QAbstractButton>
#include <QComboBox>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>

#include "app/form1_event_table.h"
#include "window_harness.h"

namespace pagemeld::testing {
namespace {

class EventWiringTest : public WindowHarness {
protected:
    // The widgets (or timers) that stand for `control`: every member of an array.
    std::vector<QObject*> sourcesOf(const std::string& control) {
        std::vector<QObject*> found;
        for (QObject* object : window->findChildren<QObject*>()) {
            if (object->property("pagemeldName").toString().toStdString() == control) {
                found.push_back(object);
            }
        }
        return found;
    }

    // Lets the model show and enable `widget`, then shows the tab holding it, so the
    // event reaches it as it would reach a user's click.
    void makeReachable(QWidget* widget) {
        const std::string name = widget->property("pagemeldName").toString().toStdString();
        Control* control = form.findControl(name, widget->property("pagemeldIndex").toInt());
        ASSERT_NE(control, nullptr) << name;
        control->visible = true;
        control->enabled = true;
        window->syncFromModel();
        for (int tab = 1; tab <= TabStrip::kTabs && !widget->isVisible(); ++tab) clickTab(tab);
        ASSERT_TRUE(widget->isVisible()) << name;
    }

    // A click on a grid's header (row 0) or on its first file row.
    void clickCell(QTableWidget* grid, int row) {
        if (row == 0) {
            QHeaderView* header = grid->horizontalHeader();
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
        } else {
            const QRect cell = grid->visualRect(grid->model()->index(0, 1));
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        }
    }

    void send(const std::string& event, QObject* source) {
        if (event == "Timer") {
            auto* timer = qobject_cast<QTimer*>(source);
            ASSERT_NE(timer, nullptr);
            timer->start(0);
            QTest::qWait(20);
            return;
        }
        auto* widget = qobject_cast<QWidget*>(source);
        ASSERT_NE(widget, nullptr);
        makeReachable(widget);
        auto* grid = qobject_cast<QTableWidget*>(widget);
        if (event == "Click" && grid) {
            clickCell(grid, 0);
            clickCell(grid, 1);
        } else if (event == "Click" && qobject_cast<QComboBox*>(widget)) {
            widget->setFocus();
            QTest::keyClick(widget, Qt::Key_Up);
        } else if (event == "Click" && qobject_cast<QTabBar*>(widget)) {
            clickTab(form.tabOptions.selectedItem == 2 ? 3 : 2);
        } else if (event == "Click" && qobject_cast<QAbstractButton*>(widget) &&
                   qobject_cast<QAbstractButton*>(widget)->isCheckable()) {
            choose(widget->objectName().toStdString());
        } else if (event == "Click") {
            QTest::mouseClick(widget, Qt::LeftButton);
        } else if (event == "Change") {
            QTest::keyClicks(widget, "7");
        } else if (event == "MouseMove") {
            QTest::mouseMove(grid->viewport(), grid->viewport()->rect().center());
        } else if (event == "Scroll") {
            auto& model = static_cast<Grid&>(*form.findControl(grid->objectName().toStdString()));
            model.setRows(model.rows() + 40);
            window->syncFromModel();
            grid->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        } else if (event == "KeyDown") {
            widget->setFocus();
            QTest::keyClick(widget, Qt::Key_Delete);
        } else if (event == "DblClick") {
            const QRect cell = grid->visualRect(grid->model()->index(0, 4));
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        } else if (event == "OLEDragDrop") {
            drop(grid->objectName().toStdString(), {file("dropped.txt")});
        } else {
            FAIL() << "no way to send " << event;
        }
    }
};

TEST_F(EventWiringTest, EveryDeclaredEventReachesItsHandlerFromTheRealWindow) {
    installLanguages();
    start();
    EXPECT_EQ(window->unwiredEvents(), std::vector<std::string>{});

    std::vector<std::string> reached;
    window->onEvent = [&](const EventBinding& binding) { reached.push_back(binding.name()); };
    for (const EventBinding& binding : form1Events()) {
        const std::string name = binding.name();
        const std::string control = binding.control;
        if (control == "Form") continue;  // the window's own events: below
        const std::vector<QObject*> sources = sourcesOf(control);
        ASSERT_FALSE(sources.empty()) << "no widget named " << control;
        for (QObject* source : sources) {
            SCOPED_TRACE(name + " from " + source->objectName().toStdString());
            reached.clear();
            send(binding.event, source);
            waitForJob();
            EXPECT_TRUE(std::find(reached.begin(), reached.end(), name) != reached.end())
                << "the handler was not called";
        }
    }

    reached.clear();
    QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(reached, std::vector<std::string>{"Form_KeyDown"});

    reached.clear();
    window->resize(window->size() + QSize(30, 20));
    QTRY_VERIFY(std::find(reached.begin(), reached.end(), "Form_Resize") != reached.end());
    window->close();
    EXPECT_EQ(reached.back(), "Form_QueryUnload");
    EXPECT_EQ(ui.quitCalls, 1);
}

// The program's end asked for inside a handler closes the window, once.
TEST_F(EventWiringTest, AnEndAskedForInAHandlerClosesTheWindowOnce) {
    start();
    clickTab(2);
    window->onEvent = [this](const EventBinding& binding) {
        if (binding.name() == "mbut_rem_Click") errors.ExitProject();
    };
    QTest::mouseClick(find("mbut_rem"), Qt::LeftButton);
    EXPECT_TRUE(window->exiting());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(ui.quitCalls, 1);
}

// A keyboard user leaves every list with Tab, as from any other control.
TEST_F(EventWiringTest, TabLeavesEveryGrid) {
    writeTestPdf(file("a.pdf"), 1);
    start();
    const std::pair<int, std::string> grids[] = {
        {1, "split_grid"}, {2, "merge_grid"}, {3, "mix_grid"}};
    for (const auto& [tab, name] : grids) {
        clickTab(tab);
        drop(name, {file("a.pdf")});
        QWidget* grid = find(name);
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Tab);
        EXPECT_NE(QApplication::focusWidget(), grid) << name;
    }
}

}  // namespace
}  // namespace pagemeld::testing
