// The command line carried out by the window model: preloading the lists, and refusing
// what it cannot read with a message while the window still opens.
#include <gtest/gtest.h>

#include "batch/command_line.h"
#include "pdf/qpdf_engine.h"
#include "support/form_harness.h"

namespace pagemeld::testing {
namespace {

using Texts = std::vector<std::string>;

class CommandLineRun : public ::testing::Test, protected FormHarness<QpdfEngine> {
protected:
    void load(const std::string& line) {
        // Names are taken from the work folder, whatever the current folder is.
        form.completeName = [this](const std::string& name) {
            return CompletedName{work(name), std::filesystem::is_regular_file(work(name))};
        };
        form.state.command_line.clear();
        ui.boxes.clear();
        form.Form_Load(line);
        EXPECT_TRUE(form.state.form_loaded) << line;
        EXPECT_EQ(ui.quitCalls, 0);
    }
};

TEST_F(CommandLineRun, RequestsPreloadTheirListsAndNameTheMissingFile) {
    writeTestPdf(work("my file.pdf"), 4);
    load("-s \"my file.pdf\"");
    EXPECT_EQ(form.split_grid.textMatrix(1, 1), "my file.pdf");
    EXPECT_EQ(form.split_grid.textMatrix(1, 3), "4");
    EXPECT_TRUE(form.fraSplit.visible);
    EXPECT_EQ(ui.boxTexts(), Texts{});

    pdfFile("a.pdf", 1);
    pdfFile("b.pdf", 2);
    pdfFile("c.pdf", 3);
    load("-m a.pdf|b.pdf gone.pdf c.pdf");
    EXPECT_EQ(form.state.mgrid_count, 3);
    EXPECT_EQ(form.merge_grid.textMatrix(3, 1), "c.pdf");
    EXPECT_EQ(ui.boxTexts(),
              Texts{form.catalogue.MsgErrCL3 + " " + work("gone.pdf") + " does not exist!"});
    EXPECT_TRUE(form.fraMerge.visible);
}

TEST_F(CommandLineRun, WhatCannotBeReadIsRefusedAndTheWindowOpens) {
    const std::pair<const char*, std::string> cases[] = {
        {"-s nothing.pdf|other.pdf", form.catalogue.MsgErrCL2},
        {"-QS a.pdf -o x", form.catalogue.MsgErrCL},
        {"-m \"a.pdf b.pdf", form.catalogue.MsgErrCL}};
    for (const auto& [line, message] : cases) {
        load(line);
        EXPECT_EQ(ui.boxTexts(), Texts{message}) << line;
        EXPECT_EQ(form.split_grid.textMatrix(1, 0), "") << line;
    }
}

}  // namespace
}  // namespace pagemeld::testing
