// Runs work off the window's thread: the window keeps answering and shows the bar
// moving, Cancel stops a run between files or pieces without losing anything, and
// closing the window during a run asks first.
#include <QProgressBar>
#include <QTimer>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "window_harness.h"

namespace pagemeld::testing {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

class WindowJobsTest : public WindowHarness {
protected:
    // `count` one-page files in the merge list, and the engine slowed down so that
    // the run takes a while.
    std::vector<std::string> listForMerge(int count, int delayMs) {
        std::vector<std::string> files;
        for (int i = 1; i <= count; ++i) {
            files.push_back(file("in" + std::to_string(100 + i) + ".pdf"));
            writeTestPdf(files.back(), 1, "F" + std::to_string(i));
        }
        start();
        clickTab(2);
        drop("merge_grid", files);
        type("moutput_file", file("out.pdf"));
        pdf.delayMs = delayMs;
        return files;
    }

    // Every file of the test folder with its bytes.
    std::map<std::string, std::string> folderContents() const {
        std::map<std::string, std::string> contents;
        for (const auto& entry : fs::directory_iterator(dir.path())) {
            std::ostringstream bytes;
            bytes << std::ifstream(entry.path(), std::ios::binary).rdbuf();
            contents[entry.path().filename().string()] = bytes.str();
        }
        return contents;
    }
};

TEST_F(WindowJobsTest, TheWindowAnswersAndTheBarMovesWhileAMergeRuns) {
    listForMerge(30, 15);
    auto* bar = find<QProgressBar>("mergepb");
    int ticksDuringRun = 0;
    bool lockedWithCancelShown = true;
    std::set<int> barValues;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        if (!window->jobRunning()) return;
        ++ticksDuringRun;
        if (bar->value() > 0 && bar->value() < 100) barValues.insert(bar->value());
        lockedWithCancelShown = lockedWithCancelShown && !find("mbut_add")->isEnabled() &&
                                !find("merge_grid")->isEnabled() &&
                                !find("cmd_split_run")->isEnabled() &&
                                find("cmd_cancel")->isVisible();
    });
    sampler.start(10);

    QTest::mouseClick(find("cmd_merge"), Qt::LeftButton);
    EXPECT_TRUE(window->jobRunning());
    // The tabs stay usable: the click takes effect as soon as the run lets go.
    clickTab(4);
    waitForJob();
    sampler.stop();

    EXPECT_GE(ticksDuringRun, 5);
    EXPECT_GE(barValues.size(), 2u);
    EXPECT_TRUE(lockedWithCancelShown);
    EXPECT_FALSE(find("cmd_cancel")->isVisible());
    EXPECT_TRUE(find("mbut_add")->isEnabled());
    EXPECT_EQ(form.tabOptions.selectedItem, 4);
    EXPECT_EQ(ui.boxTexts(), Texts{"Merge process done!"});
    EXPECT_EQ(pageCount(file("out.pdf")), 30);
}

TEST_F(WindowJobsTest, CancelStopsAMergeWithoutTouchingTheEarlierOutput) {
    listForMerge(30, 25);
    writeTestPdf(file("out.pdf"), 1, "Earlier");
    const auto before = folderContents();
    choose("chk_merge_ovr");

    QTest::mouseClick(find("cmd_merge"), Qt::LeftButton);
    QTRY_VERIFY(find<QProgressBar>("mergepb")->value() > 0);
    click("cmd_cancel");

    EXPECT_EQ(ui.boxTexts(), Texts{"The merge was stopped. No output file was written."});
    EXPECT_TRUE(folderContents() == before) << "a file of the folder changed";
}

TEST_F(WindowJobsTest, CancelStopsASplitAndKeepsThePiecesWritten) {
    writeTestPdf(file("long.pdf"), 20, "P");
    start();
    drop("split_grid", {file("long.pdf")});
    type("txt_split_filename", "part");
    pdf.delayMs = 30;

    QTest::mouseClick(find("cmd_split_run"), Qt::LeftButton);
    QTRY_VERIFY(find<QProgressBar>("splitpb")->value() > 0);
    click("cmd_cancel");

    int pieces = 0;
    for (const auto& [name, bytes] : folderContents()) {
        if (name.rfind("part", 0) != 0) continue;
        ++pieces;
        EXPECT_EQ(pageTexts(file(name)), Texts{"P " + std::to_string(pieces)}) << name;
    }
    EXPECT_GT(pieces, 0);
    EXPECT_LT(pieces, 20);
    EXPECT_EQ(ui.boxTexts(),
              Texts{"The run was stopped. Files written: " + std::to_string(pieces)});
}

TEST_F(WindowJobsTest, ClosingTheWindowDuringARunAsksThenStopsTheRun) {
    listForMerge(30, 25);
    QTest::mouseClick(find("cmd_merge"), Qt::LeftButton);

    ui.boxAnswers = {msgbox::kAnswerNo};
    window->close();
    EXPECT_TRUE(window->isVisible());
    ui.boxAnswers = {msgbox::kAnswerYes};
    window->close();
    QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 10000);

    // Asked twice; the run then said it stopped.
    const Texts shown = ui.boxTexts();
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(Texts(shown.begin(), shown.begin() + 2), Texts(2, form.catalogue.MsgCloseDuringRun));
    EXPECT_FALSE(fs::exists(file("out.pdf")));
    EXPECT_EQ(ui.quitCalls, 1);
}

}  // namespace
}  // namespace pagemeld::testing
