// The program's start: the services, the window model, the languages, the command
// line, then the window.
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#ifdef _WIN32
#include <shellapi.h>
#include <windows.h>
#endif

#include "app/settings_store.h"
#include "app/system_info.h"
#include "batch/command_line.h"
#include "batch/quiet_program.h"
#include "errors/error_handler.h"
#include "errors/runtime_error.h"
#include "gui/main_window.h"
#include "gui/qt_http.h"
#include "gui/qt_ui.h"
#include "gui/window_program.h"
#include "gui/window_thread_ui.h"
#include "pdf/qpdf_engine.h"

namespace {

// The program's arguments as UTF-8, read before any Qt object exists: a quiet
// request must run without one.
std::vector<std::string> programArguments(int argc, char** argv) {
    std::vector<std::string> args;
#ifdef _WIN32
    // argv is in the ANSI code page there; the wide command line holds every character.
    (void)argc;
    (void)argv;
    int count = 0;
    if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i)
            args.push_back(QString::fromWCharArray(wide[i]).toStdString());
        LocalFree(wide);
    }
#else
    // File names are bytes there: taken as they come, a name that is no UTF-8 still
    // reaches the file it names (decoding would turn its bytes into U+FFFD).
    for (int i = 0; i < argc; ++i) args.emplace_back(argv[i]);
#endif
    return args;
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
    const std::string commandLine = joinArguments(programArguments(argc, argv));
    // Quiet requests run on servers and in scripts: no window, no display needed.
    if (isQuietRequest(commandLine)) {
        attachToParentConsole();
        return runQuietProgram(commandLine);
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ombrix Pagemeld"));

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
        return form.state.exit_status;
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
