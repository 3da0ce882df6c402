// The real main window over a fresh window model, driven the way a user drives it:
// widgets found by object name, clicks, keys and resizes on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <filesystem>
#include <fstream>
#include <memory>

#include "app/form1_event_table.h"
#include "app/system_info.h"
#include "window_harness.h"

namespace pagemeld::testing {
namespace {

namespace fs = std::filesystem;

class MainWindowTest : public WindowHarness {
protected:
    void installShortcuts() {
        for (const char* name : {"website.url", "support.url", "website2.url"}) {
            std::ofstream(dir.file(name)) << "[InternetShortcut]\nURL=https://example.org/\n";
        }
    }

    std::vector<std::string> visibleTabFrames() {
        std::vector<std::string> shown;
        for (const char* name : {"fraSplit", "fraMerge", "fraMix", "fraAbout", "fraExtras"}) {
            if (find(name)->isVisible()) shown.push_back(name);
        }
        return shown;
    }

    QStringList headerTexts(const char* gridName) {
        auto* table = find<QTableWidget>(gridName);
        QStringList texts;
        for (int c = 0; c < table->columnCount(); ++c) {
            texts << table->horizontalHeaderItem(c)->text();
        }
        return texts;
    }
};

TEST_F(MainWindowTest, OpensOnTheSplitTabWithEveryControlAsOneNamedWidget) {
    installLanguages();
    start();
    EXPECT_EQ(window->windowTitle(), "Ombrix Pagemeld Professional");
    EXPECT_EQ(visibleTabFrames(), std::vector<std::string>{"fraSplit"});
    EXPECT_TRUE(find("split_grid")->isVisible());
    EXPECT_FALSE(find("merge_grid")->isVisible());

    for (const Control* control : form.controls()) {
        if (control->kind == ControlKind::CommonDialog) continue;
        const QString name = QString::fromStdString(
            control->index < 0 ? control->name
                               : control->name + "_" + std::to_string(control->index));
        const QList<QObject*> found = window->findChildren<QObject*>(name);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        EXPECT_EQ(found[0]->property("pagemeldName").toString().toStdString(), control->name);
        EXPECT_EQ(found[0]->property("pagemeldIndex").toInt(), control->index);
    }
    EXPECT_NE(window->findChild<QPushButton*>("mbut_key_6"), nullptr);
    EXPECT_NE(window->findChild<QTimer*>("updatetimer"), nullptr);

    // Controls stand inside their containers at the model's place.
    auto* run = find<QPushButton>("cmd_split_run");
    EXPECT_EQ(run->parentWidget()->objectName(), "fra_split_pict");
    EXPECT_EQ(run->text(), "Split this PDF!");
    EXPECT_EQ(run->geometry(), QRect(qRound(form.cmd_split_run.left / kTwipsPerPixel),
                                     qRound(form.cmd_split_run.top / kTwipsPerPixel),
                                     qRound(form.cmd_split_run.width / kTwipsPerPixel),
                                     qRound(form.cmd_split_run.height / kTwipsPerPixel)));
    EXPECT_EQ(find("r_split_method1")->parentWidget()->objectName(), "frm_split_method");
    EXPECT_TRUE(find<QRadioButton>("r_split_method1")->isChecked());
    EXPECT_FALSE(find<QRadioButton>("r_split_method2")->isChecked());
    EXPECT_EQ(find<QLineEdit>("txt_split_meth3")->text(), "3");
    EXPECT_EQ(find<QGroupBox>("frm_split_dest")->title(),
              "Destination folder and filename settings");
    // Buttons without a caption show a picture.
    EXPECT_FALSE(find<QPushButton>("mbut_add")->icon().isNull());
    EXPECT_FALSE(find<QPushButton>("mbut_key_1")->icon().isNull());

    // The grids: header row as the table's header, file rows below, base widths.
    const QStringList headers = {"#", "File name", "Path", "Pages", "Password"};
    EXPECT_EQ(headerTexts("merge_grid"), headers);
    EXPECT_EQ(headerTexts("split_grid"), headers);
    EXPECT_EQ(headerTexts("mix_grid"), headers);
    EXPECT_EQ(find<QTableWidget>("merge_grid")->rowCount(), 6);
    EXPECT_EQ(find<QTableWidget>("split_grid")->rowCount(), 1);
    EXPECT_EQ(find<QTableWidget>("mix_grid")->rowCount(), 2);
    auto* merge = find<QTableWidget>("merge_grid");
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(merge->columnWidth(c), qRound(form.merge_grid.colWidth(c) / kTwipsPerPixel));
    }
    EXPECT_EQ(find<QComboBox>("cmb_languages")->currentText(), "English");
}

TEST_F(MainWindowTest, TabClicksShowTheirFrameAndTheAboutTitle) {
    start();
    clickTab(4);
    EXPECT_EQ(form.tabOptions.selectedItem, 4);
    EXPECT_EQ(visibleTabFrames(), std::vector<std::string>{"fraAbout"});
    EXPECT_EQ(find<QLabel>("lblabout")->text(), "Ombrix Pagemeld Professional v2.1.22");

    clickTab(2);
    EXPECT_EQ(visibleTabFrames(), std::vector<std::string>{"fraMerge"});
    EXPECT_TRUE(find("merge_grid")->isVisible());
    clickTab(5);
    EXPECT_EQ(visibleTabFrames(), std::vector<std::string>{"fraExtras"});
}

TEST_F(MainWindowTest, LinkLabelsOpenTheirShortcutBesideTheProgram) {
    installShortcuts();
    start();
    clickTab(4);
    auto* website = find<QLabel>("ab_lb4b");
    EXPECT_EQ(website->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(website, Qt::LeftButton);
    QTest::mouseClick(find("ab_lb6b"), Qt::LeftButton);
    // A plain label is no link.
    QTest::mouseClick(find("ab_lb4a"), Qt::LeftButton);
    clickTab(5);
    QTest::mouseClick(find("Label1"), Qt::LeftButton);
    EXPECT_EQ(ui.opened, (std::vector<std::string>{dir.file("website.url"), dir.file("support.url"),
                                                   dir.file("website2.url")}));
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(MainWindowTest, ChoosingAnotherLanguageChangesTheCaptionsAtOnce) {
    installLanguages();
    start();
    auto* list = find<QComboBox>("cmb_languages");
    ASSERT_EQ(list->count(), 2);
    ASSERT_EQ(list->itemText(0), "Deutsch");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Up);  // from English to Deutsch

    EXPECT_EQ(form.cmb_languages.text, "Deutsch");
    EXPECT_EQ(list->currentText(), "Deutsch");
    EXPECT_EQ(find<QTabBar>("tabOptions")->tabText(0), "Teilen");
    EXPECT_EQ(find<QPushButton>("cmd_split_run")->text(), "Dieses PDF teilen!");
    EXPECT_EQ(headerTexts("split_grid").at(1), "Dateiname");
    EXPECT_EQ(settings.read("Software\\Ombrix\\OmbrixPagemeld", "Language"), "Deutsch");
}

TEST_F(MainWindowTest, ASizeBelowTheMinimumIsSetBack) {
    start();
    const QSize reset = window->clientSizeFor(kResetWindowWidth, kResetWindowHeight);
    window->resize(400, 300);
    QTRY_COMPARE_WITH_TIMEOUT(window->size(), reset, 5000);
    QTest::qWait(50);
    EXPECT_EQ(window->size(), reset);
    EXPECT_EQ(form.windowWidth, kResetWindowWidth);
    EXPECT_EQ(form.windowHeight, kResetWindowHeight);

    // A wider window widens the grids with it.
    auto* grid = find<QTableWidget>("split_grid");
    const int narrow = grid->width();
    window->resize(reset.width() + 150, reset.height() + 60);
    QTRY_VERIFY_WITH_TIMEOUT(form.windowWidth > kResetWindowWidth + 2000, 5000);
    EXPECT_EQ(grid->width(), qRound(form.split_grid.width / kTwipsPerPixel));
    EXPECT_GT(grid->width(), narrow + 140);
    EXPECT_EQ(find("splitpb")->y(), qRound(form.splitpb.top / kTwipsPerPixel));
}

TEST_F(MainWindowTest, TheUpdateTimerFiresOnceInInteractiveUse) {
    settings.values["Software\\Ombrix\\OmbrixPagemeld\\updatecheck"] = "1";
    http.result = HttpResult::CannotConnect;
    start();
    auto* timer = window->findChild<QTimer*>("updatetimer");
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(form.updatetimer.enabled);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 2000);

    QTRY_VERIFY_WITH_TIMEOUT(!form.updatetimer.enabled, 6000);
    EXPECT_EQ(http.requested.size(), 1u);
    EXPECT_FALSE(timer->isActive());
    EXPECT_EQ(ui.boxTexts(), std::vector<std::string>{
                                 "Unable to connect to the Internet and search for updates!"});
}

TEST_F(MainWindowTest, TheUpdateTimerStaysOffWithACommandLine) {
    form.process_parametrii = [] {};
    start("-s missing.pdf");
    EXPECT_FALSE(form.updatetimer.enabled);
    EXPECT_FALSE(window->findChild<QTimer*>("updatetimer")->isActive());
}

TEST_F(MainWindowTest, ModelStateReachesTheWidgetsAfterASync) {
    start();
    auto* bar = find<QProgressBar>("mergepb");
    EXPECT_TRUE(bar->styleSheet().isEmpty());
    form.mergepb.value = 40;
    form.mergepb.colour = kBarColourWorking;
    window->syncFromModel();
    EXPECT_EQ(bar->value(), 40);
    EXPECT_TRUE(bar->styleSheet().contains("#3166c5")) << bar->styleSheet().toStdString();
    form.mergepb.colour = kBarColourDone;
    form.mergepb.value = 100;
    window->syncFromModel();
    EXPECT_TRUE(bar->styleSheet().contains("#006600"));
    form.mergepb.colour = kDefaultBarColour;
    window->syncFromModel();
    EXPECT_TRUE(bar->styleSheet().isEmpty());

    // The highlighted row of a grid and its cells.
    form.merge_grid.setTextMatrix(1, 1, "a.pdf");
    form.merge_grid.setHighlighted(1, true);
    form.mbut_key(1).visible = true;
    form.merge_output.caption = "Ausgabe";
    window->syncFromModel();
    auto* grid = find<QTableWidget>("merge_grid");
    EXPECT_EQ(grid->item(0, 1)->text(), "a.pdf");
    EXPECT_EQ(grid->item(0, 1)->background().color(), grid->palette().highlight().color());
    EXPECT_NE(grid->item(1, 1)->background().color(), grid->palette().highlight().color());
    EXPECT_EQ(find<QGroupBox>("merge_output")->title(), "Ausgabe");
    clickTab(2);
    EXPECT_TRUE(find("mbut_key_1")->isVisible());
    EXPECT_FALSE(find("mbut_key_2")->isVisible());

    // A handler's request for the grid's focus is carried out once.
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    find("moutput_file")->setFocus();
    form.merge_grid.hasFocus = true;
    window->syncFromModel();
    EXPECT_EQ(QApplication::focusWidget(), grid);
    EXPECT_FALSE(form.merge_grid.hasFocus);
    find("moutput_file")->setFocus();
    window->syncFromModel();
    EXPECT_EQ(QApplication::focusWidget(), find("moutput_file"));
}

TEST_F(MainWindowTest, UserEditsReachTheModel) {
    start();
    auto* name = find<QLineEdit>("txt_split_filename");
    name->selectAll();
    QTest::keyClicks(name, "piece");
    EXPECT_EQ(form.txt_split_filename.text, "piece");

    // Options of one frame exclude each other in the model.
    QTest::mouseClick(find("r_split_method3"), Qt::LeftButton);
    EXPECT_TRUE(form.r_split_method3.value);
    EXPECT_FALSE(form.r_split_method1.value);
    EXPECT_TRUE(form.split_dest_source.value);  // another frame's options stay
    EXPECT_TRUE(find<QRadioButton>("r_split_method3")->isChecked());
    EXPECT_FALSE(find<QRadioButton>("r_split_method1")->isChecked());
    // A model that clears every option of a frame shows none checked.
    form.r_split_method3.value = false;
    window->syncFromModel();
    EXPECT_FALSE(find<QRadioButton>("r_split_method3")->isChecked());

    clickTab(2);
    auto* overwrite = find<QCheckBox>("chk_merge_ovr");
    QTest::mouseClick(overwrite, Qt::LeftButton);
    EXPECT_EQ(form.chk_merge_ovr.value, kChecked);
    QTest::mouseClick(overwrite, Qt::LeftButton);
    EXPECT_EQ(form.chk_merge_ovr.value, kUnchecked);
}

TEST_F(MainWindowTest, AnEndAskedForInAHandlerClosesTheWindowOnce) {
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

TEST_F(MainWindowTest, ClosingTheWindowEndsTheProgramWithoutAQuestion) {
    start();
    window->close();
    EXPECT_EQ(ui.quitCalls, 1);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_FALSE(window->isVisible());
}

}  // namespace
}  // namespace pagemeld::testing

namespace pagemeld::testing {
namespace {

using Texts = std::vector<std::string>;

class WindowHabitsTest : public MainWindowTest {};

TEST_F(WindowHabitsTest, DialogsOpenWhereTheUserLastWasAlsoInTheNextRun) {
    const std::string sep(1, kPathSeparator);
    const std::string many = file("many");
    const std::string out = file("out");
    fs::create_directories(many);
    fs::create_directories(out);
    writeTestPdf(many + "/a.pdf", 1, "A");
    writeTestPdf(many + "/b.pdf", 1, "B");
    start();
    clickTab(2);
    ui.openAnswers.push_back({many + "/a.pdf"});
    click("mbut_add");
    ui.openAnswers.push_back({many + "/b.pdf"});
    click("mbut_add");
    EXPECT_EQ(ui.openStarts, (Texts{"", many}));
    // The output dialog opens where the output lies, proposing its name.
    click("but_moutput");
    EXPECT_EQ(ui.saves.back().startFolder, many + sep + "output.pdf");

    clickTab(1);
    choose("split_dest_other");
    ui.folderAnswers.push_back(out);
    click("cmd_split_dest");
    EXPECT_EQ(form.txt_split_dest.text, out + sep);
    type("txt_split_dest", "");
    click("cmd_split_dest");
    EXPECT_EQ(ui.folderStarts.back(), out);

    // The next run opens the dialogs in the same folders.
    WindowProgram next(ui, settings, http, system, pdf, errors);
    next.form.Form_Load("");
    MainWindow again(next.form, kTwipsPerPixel);
    threadUi.setMarshal([&again](const std::function<void()>& call) { again.onWindowThread(call); });
    again.show();
    auto* tabs = again.findChild<QTabBar*>("tabOptions");
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    QTest::mouseClick(again.findChild<QWidget*>("mbut_add"), Qt::LeftButton);
    QTRY_VERIFY(!again.jobRunning());
    ASSERT_EQ(ui.openStarts.size(), 3u);
    EXPECT_EQ(ui.openStarts.back(), many);
    threadUi.setMarshal(nullptr);
}

TEST_F(WindowHabitsTest, ADamagedFileIsNamedAndPasswordsShowAsDots) {
    writeNotPdf(file("broken.pdf"));
    writeTestPdf(file("a.pdf"), 2, "A");
    start();
    clickTab(2);
    drop("merge_grid", {file("broken.pdf"), file("a.pdf")});
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text.rfind("This PDF file could not be opened. Error code: ", 0), 0u);
    EXPECT_NE(ui.boxes[0].text.find("\n" + file("broken.pdf")), std::string::npos);

    ui.inputAnswers.push_back("se cret");
    click("mbut_key_2");
    EXPECT_EQ(column("merge_grid", 4), (Texts{"", "●●●●●●●", "", "", "", ""}));
    EXPECT_EQ(form.merge_grid.textMatrix(2, 4), "se cret");
    // A double click on any file's password cell asks for that file's password.
    auto* grid = find<QTableWidget>("merge_grid");
    const QRect cell = grid->visualRect(grid->model()->index(0, 4));
    ui.inputAnswers.push_back("pw");
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(form.merge_grid.textMatrix(1, 4), "pw");
    EXPECT_EQ(column("merge_grid", 4).at(0), "●●");
}

// Measured with the fonts the desktop gives the window (see tests/CMakeLists.txt).
using WindowHostFontsTest = WindowHabitsTest;

TEST_F(WindowHostFontsTest, TheNumberColumnHolds5000AndTheMergeListTakesTheExtraHeight) {
    start();
    clickTab(2);
    auto* grid = find<QTableWidget>("merge_grid");
    const int margins =
        2 * (grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1);
    EXPECT_LE(QFontMetrics(grid->font()).horizontalAdvance("5000") + margins, grid->columnWidth(0));

    QWidget* output = find("merge_output");
    const int gridHeight = grid->height();
    const int outputTop = output->y();
    window->resize(window->width(), window->height() + 300);
    QTRY_VERIFY_WITH_TIMEOUT(grid->height() >= gridHeight + 290, 5000);
    EXPECT_NEAR(output->y(), outputTop + 300, 2);
    EXPECT_LT(output->geometry().bottom(), find("cmd_merge")->y());
}

TEST_F(WindowHabitsTest, DeleteRemovesTheSelectedRowAndCtrlOAddsToTheListShown) {
    for (const char* name : {"a.pdf", "b.pdf", "c.pdf"}) writeTestPdf(file(name), 1, name);
    start();
    ui.openAnswers.push_back({file("a.pdf")});
    QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(column("split_grid", 1), Texts{"a.pdf"});
    find("split_grid")->setFocus();
    QTest::keyClick(find("split_grid"), Qt::Key_Delete);
    EXPECT_EQ(column("split_grid", 1), Texts{""});

    clickTab(2);
    ui.openAnswers.push_back({file("a.pdf"), file("b.pdf"), file("c.pdf")});
    QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
    clickCell("merge_grid", 2, 1);
    QTest::keyClick(find("merge_grid"), Qt::Key_Delete);
    EXPECT_EQ(column("merge_grid", 1), (Texts{"a.pdf", "c.pdf", "", "", "", ""}));

    clickTab(3);
    ui.openAnswers.push_back({file("b.pdf"), file("c.pdf")});
    QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
    clickCell("mix_grid", 1, 1);
    QTest::keyClick(find("mix_grid"), Qt::Key_Delete);
    EXPECT_EQ(column("mix_grid", 1), (Texts{"c.pdf", ""}));
    EXPECT_TRUE(ui.boxes.empty());
}

}  // namespace
}  // namespace pagemeld::testing
