// How long the window's event loop stands still while a run works through the real
// window: a timer on the window's thread notes every gap between its ticks.
//
//   pagemeld_window_bench merge|split <files or pages> job|inline <folder>
//
// "job" clicks the run button as a user does (the run works off the window's
// thread); "inline" calls the run's handler on the window's thread, as the program
// did before. Prints "<seconds for the run> <longest pause in ms>".
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <string>

#include "errors/error_handler.h"
#include "gui/main_window.h"
#include "gui/window_program.h"
#include "gui/window_thread_ui.h"
#include "pdf/qpdf_engine.h"
#include "support/fake_services.h"
#include "support/test_pdfs.h"

using namespace pagemeld;
using namespace pagemeld::testing;

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s merge|split <count> job|inline <folder>\n", argv[0]);
        return 2;
    }
    const std::string job = argv[1];
    const int count = std::stoi(argv[2]);
    const bool inline_ = std::string(argv[3]) == "inline";
    const std::filesystem::path folder = argv[4];
    std::filesystem::create_directories(folder);

    FakeUi fakeUi;
    WindowThreadUi ui(fakeUi);
    FakeSettings settings;
    FakeHttp http;
    FakeSystem system(folder.string());
    system.temp = folder.string();
    QpdfEngine pdf;
    ErrorReporter errors(ui, system);
    WindowProgram program(ui, settings, http, system, pdf, errors);
    Form1& form = program.form;
    form.Form_Load("");
    MainWindow window(form, 15.0);
    ui.setMarshal([&window](const std::function<void()>& call) { window.onWindowThread(call); });
    window.show();

    std::string button;
    if (job == "merge") {
        for (int i = 1; i <= count; ++i) {
            const std::string file = (folder / ("in" + std::to_string(i) + ".pdf")).string();
            if (!std::filesystem::exists(file)) writeTestPdf(file, 1 + i % 2, "F");
            form.mbut_fisier_add(file);
        }
        form.moutput_file.text = (folder / "merged.pdf").string();
        form.chk_merge_ovr.value = kChecked;
        button = "cmd_merge";
    } else {
        const std::string source = (folder / "source.pdf").string();
        if (!std::filesystem::exists(source)) writeTestPdf(source, count, "P");
        // The pieces of an earlier run would make the run ask before replacing them.
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (entry.path().filename().string().rfind("piece", 0) == 0)
                std::filesystem::remove(entry.path());
        }
        form.add_fisier_split(source);
        form.txt_split_filename.text = "piece";
        button = "cmd_split_run";
    }
    window.syncFromModel();

    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    clock.start();
    ticker.start(1);
    QTest::qWait(50);
    longest = 0;
    const qint64 started = clock.elapsed();
    last = started;
    if (inline_) {
        if (job == "merge") form.cmd_merge_Click();
        else form.cmd_split_run_Click();
    } else {
        QTest::mouseClick(window.findChild<QPushButton*>(QString::fromStdString(button)),
                          Qt::LeftButton);
    }
    while (window.jobRunning()) QTest::qWait(1);
    const qint64 finished = clock.elapsed();
    // The gap up to the end of an inline run counts too.
    longest = std::max(longest, finished - last);
    std::printf("%.3f %lld\n", (finished - started) / 1000.0, static_cast<long long>(longest));
    // One box, the run's "done": anything else means the run did not do its work.
    const std::vector<std::string> shown = fakeUi.boxTexts();
    const bool done = shown.size() == 1 && shown[0].find("done") != std::string::npos;
    if (!done) std::fprintf(stderr, "the run did not finish as expected\n");
    return done ? 0 : 1;
}
