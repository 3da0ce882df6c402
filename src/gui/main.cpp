// The program's start: the services, the window model, the languages, the command
// line, then the window.
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#ifdef _WIN32
// shellapi.h needs the types windows.h declares.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on
#endif

#include "app/form1.h"
#include "app/settings_store.h"
#include "app/system_info.h"
#include "batch/command_line.h"
#include "batch/process_parametrii.h"
#include "batch/quiet_program.h"
#include "errors/error_handler.h"
#include "errors/runtime_error.h"
#include "gui/main_window.h"
#include "gui/qt_http.h"
#include "gui/qt_ui.h"
#include "gui/update_tick.h"
#include "lang/language_loader.h"
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
    QtUi ui;
    ErrorReporter errors(ui, system);
    QpdfEngine pdf;
    Form1 form(ui, settings, http, system, pdf, errors);
    LanguageLoader languages(form, form.catalogue, settings, ui, system, errors);
    form.load_languages = [&languages] { languages.load_languages(); };
    const std::function<void()> updateTick =
        makeUpdateTick(ui, settings, http, system, errors, form.catalogue);

    const NameCompleter complete = currentDirectoryCompleter();
    form.process_parametrii = [&form, &complete] { process_parametrii(form, complete); };
    try {
        form.Form_Load(commandLine);
    } catch (const ExitRequested&) {
        // The program was ended while loading; the window is never shown.
        return form.state.exit_status;
    }

    MainWindow window(form);
    ui.setParentWindow(&window);
    window.handlers().set("cmb_languages_Click",
                          std::function<void()>([&languages] { languages.cmb_languages_Click(); }));
    window.handlers().set("updatetimer_Timer", std::function<void()>([&form, &updateTick] {
                              // The check runs once per run.
                              form.updatetimer.enabled = false;
                              updateTick();
                          }));
    window.syncFromModel();
    window.show();
    prepareScreenshot(form, window);
    const int result = app.exec();
    ui.setParentWindow(nullptr);
    return result;
}
