// The program's start: the services, the window model, the languages, the command
// line, then the window.
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "base/product.h"
#include "base/runtime_error.h"
#include "base/settings_store.h"
#include "base/system_info.h"
#include "batch/command_line.h"
#include "batch/program_arguments.h"
#include "batch/quiet_program.h"
#include "errors/error_handler.h"
#include "gui/main_window.h"
#include "gui/qt_http.h"
#include "gui/qt_ui.h"
#include "gui/window_program.h"
#include "gui/window_thread_ui.h"
#include "pdf/atomic_file.h"
#include "pdf/qpdf_engine.h"

namespace {

// Whether a window can be shown at all. Without one Qt ends the program in its
// platform plugin; a request that needs no window must not get that far.
bool displayAvailable() {
#if defined(_WIN32) || defined(__APPLE__)
    return true;
#else
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') return true;
    }
    return false;
#endif
}

// A program built for the window has no console of its own on Windows: a quiet
// request started from one writes its messages there.
void attachToParentConsole() {
#ifdef _WIN32
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stderr);
        std::freopen("CONOUT$", "w", stdout);
    }
#endif
}

// Hidden aids for making the documentation's screenshots: open on another tab,
// and save a picture of the window a second after it is shown, then end.
void prepareScreenshot(pagemeld::Form1& form, pagemeld::MainWindow& window) {
    const QByteArray tab = qgetenv("PAGEMELD_SCREENSHOT_TAB");
    if (!tab.isEmpty()) {
        bool ok = false;
        const int index = tab.toInt(&ok);
        if (ok && form.tabFrame(index) != nullptr) {
            form.tabOptions.selectedItem = index;
            window.invoke("tabOptions_Click");
        }
    }
    const QString file = QString::fromLocal8Bit(qgetenv("PAGEMELD_SCREENSHOT_FILE"));
    if (file.isEmpty()) return;
    QTimer::singleShot(1000, &window, [&window, file] {
        const bool saved = window.grab().save(file, "PNG");
        QCoreApplication::exit(saved ? 0 : 1);
    });
}

}  // namespace

int main(int argc, char** argv) {
    using namespace pagemeld;
    const std::vector<std::string> args = programArguments(argc, argv);
    const std::string commandLine = joinArguments(args);
    // Quiet requests run on servers and in scripts: no window, no display needed.
    if (answeredWithoutWindow(commandLine, displayAvailable())) {
        attachToParentConsole();
        return runQuietProgram(args, kWindowProgram);
    }

    // Ending the session in the middle of a run leaves no half-written temporary file.
    removeTemporaryFilesOnSignals();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(kProductName));

    SystemInfo system;
    SettingsStore settings;
    QtHttp http;
    QtUi qtUi;
    // Runs work off the window's thread; their boxes are shown by the window's.
    WindowThreadUi ui(qtUi);
    ErrorReporter errors(ui, system);
    QpdfEngine pdf;
    WindowProgram program(ui, settings, http, system, pdf, errors);
    Form1& form = program.form;
    try {
        form.Form_Load(commandLine);
    } catch (const ExitRequested&) {
        // The program was ended while loading; the window is never shown.
        return 0;
    }

    MainWindow window(form);
    qtUi.setParentWindow(&window);
    ui.setMarshal([&window](const std::function<void()>& call) { window.onWindowThread(call); });
    window.syncFromModel();
    window.show();
    prepareScreenshot(form, window);
    const int result = app.exec();
    ui.setMarshal(nullptr);
    qtUi.setParentWindow(nullptr);
    return result;
}
