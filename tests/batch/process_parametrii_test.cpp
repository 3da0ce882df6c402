// The command line carried out by the window model: preloading the lists, refusing
// what it cannot read, and ending the program after a quiet request.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/form1.h"
#include "batch/process_parametrii.h"
#include "errors/error_handler.h"
#include "pdf/qpdf_engine.h"
#include "support/fake_services.h"
#include "support/temp_dir.h"
#include "support/test_pdfs.h"

namespace pagemeld {
namespace {

using testing::TempDir;

class CommandLineRun : public ::testing::Test {
protected:
    CommandLineRun()
        : system(dir.path().string()),
          errors(ui, system),
          form(ui, settings, http, system, pdf, errors) {
        system.userData = dir.file("data");
        // Names are taken from the test's folder, whatever the current folder is.
        complete = [this](const std::string& name) {
            const std::filesystem::path path = std::filesystem::path(name).is_absolute()
                                                   ? std::filesystem::path(name)
                                                   : dir.path() / name;
            return CompletedName{path.string(), std::filesystem::is_regular_file(path)};
        };
        form.process_parametrii = [this] { process_parametrii(form, complete); };
    }

    TempDir dir;
    testing::FakeUi ui;
    testing::FakeSettings settings;
    testing::FakeHttp http;
    testing::FakeSystem system;
    QpdfEngine pdf;
    ErrorReporter errors;
    Form1 form;
    NameCompleter complete;
};

TEST_F(CommandLineRun, SplitRequestPreloadsTheSplitSource) {
    testing::writeTestPdf(dir.file("my file.pdf"), 4);
    form.Form_Load("-s \"my file.pdf\"");
    EXPECT_EQ(form.split_grid.textMatrix(1, 1), "my file.pdf");
    EXPECT_EQ(form.split_grid.textMatrix(1, 3), "4");
    EXPECT_TRUE(form.fraSplit.visible);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_TRUE(form.state.form_loaded);
    EXPECT_FALSE(form.updatetimer.enabled);
}

TEST_F(CommandLineRun, MissingSplitSourceIsRefused) {
    form.Form_Load("-s nothing.pdf|other.pdf");
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, form.catalogue.MsgErrCL2);
    EXPECT_EQ(ui.boxes[0].style, msgbox::kOkOnly);
    EXPECT_EQ(form.split_grid.textMatrix(1, 0), "");
}

TEST_F(CommandLineRun, MergeRequestListsExistingFilesInOrderAndShowsTheMergeTab) {
    testing::writeTestPdf(dir.file("a.pdf"), 1);
    testing::writeTestPdf(dir.file("b.pdf"), 2);
    testing::writeTestPdf(dir.file("c.pdf"), 3);
    form.Form_Load("-m a.pdf|b.pdf gone.pdf c.pdf");
    EXPECT_EQ(form.state.mgrid_count, 3);
    EXPECT_EQ(form.merge_grid.textMatrix(1, 1), "a.pdf");
    EXPECT_EQ(form.merge_grid.textMatrix(2, 1), "b.pdf");
    EXPECT_EQ(form.merge_grid.textMatrix(3, 1), "c.pdf");
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text,
              form.catalogue.MsgErrCL3 + " " + dir.file("gone.pdf") + " does not exist!");
    EXPECT_TRUE(form.fraMerge.visible);
    EXPECT_FALSE(form.fraSplit.visible);
    EXPECT_EQ(form.tabOptions.selectedItem, 2);
}

TEST_F(CommandLineRun, UnknownSwitchesAndUnclosedQuotesAreRefusedAndTheWindowOpens) {
    for (const char* line : {"-QS a.pdf -o x", "/qs a.pdf -o x", "-m \"a.pdf b.pdf"}) {
        ui.boxes.clear();
        form.state.command_line.clear();
        form.Form_Load(line);
        ASSERT_EQ(ui.boxes.size(), 1u) << line;
        EXPECT_EQ(ui.boxes[0].text, form.catalogue.MsgErrCL) << line;
        EXPECT_TRUE(form.state.form_loaded) << line;
        EXPECT_EQ(ui.quitCalls, 0);
    }
}

}  // namespace
}  // namespace pagemeld
