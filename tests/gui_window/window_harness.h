// The real main window over the program's parts with scripted services, driven as
// a user drives it: widgets found by object name, clicks, keys and drops on the
// offscreen platform.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMimeData>
#include <QTabBar>
#include <QTableWidget>
#include <QTest>
#include <QUrl>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/form1.h"
#include "errors/error_handler.h"
#include "gui/main_window.h"
#include "gui/window_program.h"
#include "gui/window_thread_ui.h"
#include "pdf/qpdf_engine.h"
#include "support/fake_services.h"
#include "support/temp_dir.h"
#include "support/test_pdfs.h"

namespace pagemeld::testing {

// The real engine, told to take its time over each file it opens or writes when a
// test must act while a run is under way.
class PacedEngine : public QpdfEngine {
public:
    OpenedDocument open(const std::string& fileName, const std::string& password) override {
        pause();
        return QpdfEngine::open(fileName, password);
    }
    PdfFailure write(const std::string& fileName, const std::vector<PageRef>& pages,
                     const DocumentInformation& information) override {
        pause();
        return QpdfEngine::write(fileName, pages, information);
    }
    std::atomic<int> delayMs{0};

private:
    void pause() const { std::this_thread::sleep_for(std::chrono::milliseconds(delayMs.load())); }
};

class WindowHarness : public ::testing::Test {
protected:
    WindowHarness()
        : threadUi(ui),
          system(dir.path().string()),
          errors(threadUi, system),
          program(threadUi, settings, http, system, pdf, errors),
          form(program.form) {
        system.temp = dir.folder();
    }

    // The shipped languages beside the program.
    void installLanguages() {
        std::filesystem::copy(PAGEMELD_LANGUAGES_DIR, dir.path() / "languages");
    }

    // Loads the model as the program does, then shows the window over it.
    void start(const std::string& commandLine = {}) {
        form.Form_Load(commandLine);
        window = std::make_unique<MainWindow>(form, 15.0);
        MainWindow* shown = window.get();
        threadUi.setMarshal(
            [shown](const std::function<void()>& call) { shown->onWindowThread(call); });
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    template <typename T = QWidget>
    T* find(const std::string& name) {
        T* widget = window->findChild<T*>(QString::fromStdString(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    // A click; a run or an addition of files it starts is waited for.
    void click(const std::string& name) {
        QTest::mouseClick(find(name), Qt::LeftButton);
        waitForJob();
    }
    void waitForJob() { QTRY_VERIFY_WITH_TIMEOUT(!window->jobRunning(), 60000); }

    // Clicks an option or check box on its mark: past a short caption a click does
    // not reach it.
    void choose(const std::string& name) {
        QWidget* box = find(name);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    }
    void clickTab(int tab) {
        auto* bar = find<QTabBar>("tabOptions");
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab - 1).center());
    }

    // A key pressed on the widget that has the focus.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr) << "nothing has the focus";
        QTest::keyClick(target, key, modifiers);
    }
    // Presses Tab until `name` has the focus; false when it never comes.
    bool tabTo(const std::string& name) {
        for (int presses = 0; presses < 80; ++presses) {
            QWidget* focus = QApplication::focusWidget();
            if (focus && focus->objectName().toStdString() == name) return true;
            press(Qt::Key_Tab);
        }
        return false;
    }

    // Replaces a text box's text by typing.
    void type(const std::string& name, const std::string& text) {
        auto* box = find<QLineEdit>(name);
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, QString::fromStdString(text));
    }

    // Drops files from a file manager onto a grid.
    void drop(const std::string& gridName, const std::vector<std::string>& files) {
        QWidget* viewport = find<QTableWidget>(gridName)->viewport();
        QMimeData mime;
        QList<QUrl> urls;
        for (const std::string& file : files)
            urls << QUrl::fromLocalFile(QString::fromStdString(file));
        mime.setUrls(urls);
        const QPoint at = viewport->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &enter);
        QDropEvent dropped(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &dropped);
        waitForJob();
    }

    // The texts of a grid's file rows, column `col`, as the window shows them.
    std::vector<std::string> column(const std::string& gridName, int col) {
        auto* grid = find<QTableWidget>(gridName);
        std::vector<std::string> texts;
        for (int r = 0; r < grid->rowCount(); ++r) {
            const QTableWidgetItem* item = grid->item(r, col);
            texts.push_back(item ? item->text().toStdString() : std::string());
        }
        return texts;
    }

    std::string file(const std::string& name) const { return dir.file(name); }

    TempDir dir;
    FakeUi ui;
    WindowThreadUi threadUi;  // boxes asked for by a job are shown on this thread
    FakeSettings settings;
    FakeHttp http;
    FakeSystem system;
    PacedEngine pdf;
    ErrorReporter errors;
    WindowProgram program;
    Form1& form;
    std::unique_ptr<MainWindow> window;
};

}  // namespace pagemeld::testing
