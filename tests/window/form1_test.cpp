#include "app/form1.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "app/system_info.h"
#include "base/runtime_error.h"
#include "window_fixture.h"

namespace pagemeld::testing {
namespace {

std::vector<std::string> visibleTabFrames(Form1& form) {
    std::vector<std::string> names;
    for (int i = 1; i <= 5; ++i) {
        if (form.tabFrame(i)->visible) names.push_back(form.tabFrame(i)->name);
    }
    return names;
}

std::vector<std::string> row(const Grid& grid, int r) {
    std::vector<std::string> texts;
    for (int c = 0; c < grid.cols(); ++c) texts.push_back(grid.textMatrix(r, c));
    return texts;
}

std::vector<int> columnWidths(const Grid& grid) {
    std::vector<int> widths;
    for (int c = 0; c < grid.cols(); ++c) widths.push_back(grid.colWidth(c));
    return widths;
}

const std::vector<std::string> kEnglishHeader = {"#", "File name", "Path", "Pages", "Password"};

TEST_F(WindowTest, InteractiveStartOpensOnTheSplitFrameWithShapedGridsAndSetGlobals) {
    int processed = 0;
    form.process_parametrii = [&] { ++processed; };
    form.Form_Load("");

    EXPECT_EQ(form.caption, "Ombrix Pagemeld Professional");
    EXPECT_EQ(form.state.app_title, "Ombrix Pagemeld Professional");
    EXPECT_EQ(visibleTabFrames(form), std::vector<std::string>{"fraSplit"});

    EXPECT_EQ(form.merge_grid.cols(), 5);
    EXPECT_EQ(form.merge_grid.rows(), 7);
    EXPECT_EQ(columnWidths(form.merge_grid), (std::vector<int>{540, 3050, 3410, 800, 1300}));
    EXPECT_EQ(form.merge_grid.width, 9100);
    EXPECT_EQ(form.merge_grid.height, 7 * 255 - 20);
    EXPECT_EQ(form.split_grid.cols(), 5);
    EXPECT_EQ(form.split_grid.rows(), 2);
    EXPECT_EQ(columnWidths(form.split_grid), (std::vector<int>{200, 3050, 3750, 800, 1300}));
    EXPECT_EQ(form.split_grid.width, 9100);
    EXPECT_EQ(form.split_grid.height, 1160);
    EXPECT_EQ(form.mix_grid.cols(), 5);
    EXPECT_EQ(form.mix_grid.rows(), 3);
    EXPECT_EQ(columnWidths(form.mix_grid), (std::vector<int>{200, 3050, 3750, 800, 1300}));
    EXPECT_EQ(form.mix_grid.width, 9100);
    EXPECT_EQ(form.mix_grid.height, 255 * 5 - 20);
    for (const Grid* grid : {&form.merge_grid, &form.split_grid, &form.mix_grid}) {
        EXPECT_EQ(row(*grid, 0), kEnglishHeader) << grid->name;
        for (int r = 1; r < grid->rows(); ++r) {
            EXPECT_EQ(row(*grid, r), std::vector<std::string>(5)) << grid->name << " row " << r;
        }
    }

    EXPECT_EQ(form.state.mgrid_count, 0);
    EXPECT_EQ(form.state.mgrid_sort_dir, 1);
    EXPECT_EQ(form.state.mgrid_max, 5000);
    EXPECT_EQ(form.state.xgrid_count, 0);
    EXPECT_EQ(form.state.xgrid_max, 2);
    EXPECT_EQ(form.state.split_max_page, 999);
    EXPECT_EQ(form.state.mix_max_page, 999);
    EXPECT_TRUE(form.state.form_loaded);
    EXPECT_TRUE(form.formLoaded());
    EXPECT_TRUE(form.status.simpleStyle);

    EXPECT_TRUE(form.updatetimer.enabled);
    EXPECT_EQ(form.updatetimer.interval, 2000);
    for (const Timer* timer : {&form.tsplit_pb, &form.tmerge_pb, &form.tmix_pb}) {
        EXPECT_FALSE(timer->enabled) << timer->name;
        EXPECT_EQ(timer->interval, 500) << timer->name;
    }
    EXPECT_EQ(processed, 0);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(ui.quitCalls, 0);
}

TEST_F(WindowTest, LoadRunsTheLanguageLoaderFirstAndBuildsHeadersFromItsTexts) {
    bool loadedDuringLanguages = true;
    std::string titleDuringLanguages = "unset";
    form.load_languages = [&] {
        loadedDuringLanguages = form.state.form_loaded;
        titleDuringLanguages = form.state.app_title;
        form.catalogue.GridFilename = "Dateiname";
        form.catalogue.GridPassword = "Kennwort";
    };
    form.Form_Load("");

    EXPECT_FALSE(loadedDuringLanguages);
    EXPECT_EQ(titleDuringLanguages, "");
    for (const Grid* grid : {&form.merge_grid, &form.split_grid, &form.mix_grid}) {
        EXPECT_EQ(row(*grid, 0),
                  (std::vector<std::string>{"#", "Dateiname", "Path", "Pages", "Kennwort"}))
            << grid->name;
    }
}

TEST_F(WindowTest, CommandLineRunsTheBatchModeAndNeverStartsTheUpdateTimer) {
    std::string seen;
    bool loadedDuringBatch = true;
    form.process_parametrii = [&] {
        seen = form.state.command_line;
        loadedDuringBatch = form.state.form_loaded;
        // The batch mode may fill lists: the grids are shaped by now.
        form.merge_grid.setTextMatrix(1, 1, "a.pdf");
    };
    form.Form_Load("-m a.pdf b.pdf");

    EXPECT_EQ(seen, "-m a.pdf b.pdf");
    EXPECT_FALSE(loadedDuringBatch);
    EXPECT_FALSE(form.updatetimer.enabled);
    EXPECT_TRUE(form.state.form_loaded);
    EXPECT_EQ(form.merge_grid.textMatrix(1, 1), "a.pdf");
    EXPECT_EQ(visibleTabFrames(form), std::vector<std::string>{"fraSplit"});
}

TEST_F(WindowTest, LoadReportsAFailingStepAndGoesOnWhenTold) {
    form.load_languages = [] { throw RuntimeError(53, "File not found"); };
    ui.boxAnswers = {msgbox::kAnswerIgnore};
    form.Form_Load("");

    ASSERT_EQ(ui.boxes.size(), 1u);
    std::ifstream log(dir.file(ErrorReporter::LogFileName(2026, 12)));
    const std::string logged((std::istreambuf_iterator<char>(log)),
                             std::istreambuf_iterator<char>());
    EXPECT_NE(logged.find("Procedure ( Form_Load ) - Module ( Form1 )"), std::string::npos)
        << logged;
    EXPECT_TRUE(form.state.form_loaded);
    EXPECT_EQ(form.caption, "Ombrix Pagemeld Professional");
    EXPECT_EQ(row(form.merge_grid, 0), kEnglishHeader);
    EXPECT_TRUE(form.updatetimer.enabled);
}

TEST_F(WindowTest, QuietRequestEndsTheProgramInsideTheLoad) {
    form.process_parametrii = [&] { errors.ExitProject(); };
    EXPECT_THROW(form.Form_Load("-qs x.pdf"), ExitRequested);
    EXPECT_EQ(ui.quitCalls, 1);
    EXPECT_FALSE(form.state.form_loaded);
    EXPECT_FALSE(form.updatetimer.enabled);
}

TEST_F(WindowTest, AboutTabShowsTitleAndVersionTheSameEachTime) {
    form.Form_Load("");
    form.lblabout.caption = "something else";
    form.tabOptions.selectedItem = 2;
    form.tabOptions_Click();
    EXPECT_EQ(form.lblabout.caption, "something else");

    for (int i = 0; i < 2; ++i) {
        form.tabOptions.selectedItem = 4;
        form.tabOptions_Click();
        EXPECT_EQ(form.lblabout.caption, "Ombrix Pagemeld Professional v2.1.22");
        EXPECT_EQ(visibleTabFrames(form), std::vector<std::string>{"fraAbout"});
    }
}

TEST_F(WindowTest, RefreshObjectsPutsTheCatalogueOnGridHeadersAndTabs) {
    form.Form_Load("");
    form.merge_grid.setTextMatrix(1, 1, "kept.pdf");
    form.catalogue.GridFilename = "Nom";
    form.catalogue.GridPath = "Chemin";
    form.catalogue.GridPages = "Pages ";
    form.catalogue.GridPassword = "";
    form.catalogue.tabsplit = "Diviser";
    form.catalogue.tabmerge = "Fusionner";
    form.catalogue.tabmix = "Mélanger";
    form.catalogue.tababout = "À propos";
    form.catalogue.tabextras = "Plus...";
    form.refresh_objects();

    for (const Grid* grid : {&form.mix_grid, &form.split_grid, &form.merge_grid}) {
        EXPECT_EQ(row(*grid, 0), (std::vector<std::string>{"#", "Nom", "Chemin", "Pages ", ""}))
            << grid->name;
    }
    EXPECT_EQ(form.merge_grid.textMatrix(1, 1), "kept.pdf");
    const std::vector<std::string> tabs(std::begin(form.tabOptions.tabCaptions),
                                        std::end(form.tabOptions.tabCaptions));
    EXPECT_EQ(tabs, (std::vector<std::string>{"Diviser", "Fusionner", "Mélanger", "À propos",
                                              "Plus..."}));
}

TEST_F(WindowTest, MissingShortcutOpensNothingAndReportsNothing) {
    form.ab_lb4b_Click();
    form.ab_lb6b_Click();
    form.Label1_Click();
    EXPECT_TRUE(ui.opened.empty());
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(WindowTest, DesignCaptionsAndStartValues) {
    const std::map<std::string, std::string> captions = {
        {"frm_split_dest", "Destination folder and filename settings"},
        {"split_dest_other", "Select new folder"},
        {"split_dest_source", "Use source folder"},
        {"cmd_split_dest", "Browse"},
        {"lbl_split_basefilename", "Base Filename"},
        {"lbl_split_dest", "Destination folder"},
        {"frm_split_method", "Split method"},
        {"r_split_method1", "Into files of "},
        {"lbl_split_pages", "pages"},
        {"r_split_method2", "By page Range"},
        {"lbl_split_demo",
         "Page range separated by comma, semi-colon to separate files. Example: "
         "1-4,6,9-10;5,6;12;20-21,23;"},
        {"r_split_method3", "Every group of"},
        {"Label14", "pages, starting with page"},
        {"r_split_method4", "Each"},
        {"Label15", "page, starting with page"},
        {"cmd_split_run", "Split this PDF!"},
        {"merge_output", "Output file options"},
        {"but_moutput", "Select file"},
        {"chk_merge_ovr", "Overwrite file if exists"},
        {"lbl_mfile", "Output filename"},
        {"cmd_merge", "Merge files!"},
        {"frm_mix_method", "Mix method"},
        {"frm_mix_meth_doc1", "Use from first document (base file)"},
        {"frm_mix_meth_doc2", "Use from second document"},
        {"r_mix1_method1", "Every group of"},
        {"r_mix1_method1_lbl2", "pages, starting with page"},
        {"r_mix1_method2", "Each"},
        {"r_mix1_method2_lbl2", "page, starting with page"},
        {"r_mix2_method1", "Every group of"},
        {"r_mix2_method1_lbl2", "pages, starting with page"},
        {"r_mix2_method2", "Each"},
        {"r_mix2_method2_lbl2", "page, starting with page"},
        {"frm_mix_dest", "Destination folder and filename settings"},
        {"mix_dest_other", "Select new folder"},
        {"mix_dest_source", "Use source folder"},
        {"cmd_mix_dest", "Browse"},
        {"lbl_mix_dest", "Destination folder"},
        {"lbl_mix_basefilename", "Base Filename"},
        {"cmd_mix_run", "Mix files!"},
        {"ab_lb4a", "Website:"},
        {"ab_lb5a", "Support:"},
    };
    for (const auto& [name, caption] : captions) {
        const Control* control = form.findControl(name);
        ASSERT_NE(control, nullptr) << name;
        EXPECT_EQ(control->caption, caption) << name;
    }
    const std::map<std::string, std::string> texts = {
        {"txt_split_filename", "filename"}, {"txt_split_meth1", "1"},   {"txt_split_range", ""},
        {"txt_split_meth3", "3"},           {"txt_split_meth3_s", "1"}, {"txt_split_meth4", "3"},
        {"txt_split_meth4_s", "1"},         {"r_mix1_method1_e1", "3"}, {"r_mix1_method1_e2", "1"},
        {"r_mix1_method2_e1", "3"},         {"r_mix1_method2_e2", "1"}, {"r_mix2_method1_e1", "3"},
        {"r_mix2_method1_e2", "1"},         {"r_mix2_method2_e1", "3"}, {"r_mix2_method2_e2", "1"},
        {"txt_mix_filename", "filename"},
    };
    for (const auto& [name, text] : texts) {
        const Control* control = form.findControl(name);
        ASSERT_NE(control, nullptr) << name;
        ASSERT_EQ(control->kind, ControlKind::TextBox) << name;
        EXPECT_EQ(static_cast<const TextBox*>(control)->text, text) << name;
    }
    const std::string sep(1, kPathSeparator);
    EXPECT_EQ(form.moutput_file.text.substr(form.moutput_file.text.size() - 11),
              sep + "output.pdf");
    EXPECT_EQ(form.txt_split_dest.text.back(), kPathSeparator);
    EXPECT_EQ(form.txt_mix_dest.text, form.txt_split_dest.text);

    // Options selected at start, one per group.
    EXPECT_TRUE(form.split_dest_source.value);
    EXPECT_FALSE(form.split_dest_other.value);
    EXPECT_TRUE(form.r_split_method1.value);
    for (const OptionButton* o :
         {&form.r_split_method2, &form.r_split_method3, &form.r_split_method4, &form.r_mix1_method2,
          &form.r_mix2_method2, &form.mix_dest_other}) {
        EXPECT_FALSE(o->value) << o->name;
    }
    EXPECT_TRUE(form.r_mix1_method1.value);
    EXPECT_TRUE(form.r_mix2_method1.value);
    EXPECT_TRUE(form.mix_dest_source.value);
    EXPECT_EQ(form.chk_merge_ovr.value, kUnchecked);
    // Browsing and the range box wait for the option that uses them.
    EXPECT_FALSE(form.cmd_split_dest.enabled);
    EXPECT_FALSE(form.cmd_mix_dest.enabled);
    EXPECT_FALSE(form.txt_split_range.enabled);

    // Password buttons stay hidden until their list holds a file.
    EXPECT_FALSE(form.but_passw.visible);
    for (const CommandButton& key : form.mbut_key) EXPECT_FALSE(key.visible);
    for (const CommandButton& key : form.xbut_key) EXPECT_FALSE(key.visible);
    EXPECT_EQ(form.mbut_key(6).index, 6);
    EXPECT_THROW(form.mbut_key(7), RuntimeError);
    EXPECT_THROW(form.xbut_key(0), RuntimeError);
}

TEST_F(WindowTest, ControlNamesFollowTheWindowOrderWithArrayMembersRepeated) {
    const std::vector<std::string> names = form.controlNames();
    const std::vector<Control*> controls = form.controls();
    ASSERT_EQ(names.size(), controls.size());
    std::map<std::string, int> counts;
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(names[i], controls[i]->name);
        ++counts[names[i]];
    }
    EXPECT_EQ(counts["mbut_key"], 6);
    EXPECT_EQ(counts["xbut_key"], 2);
    for (const auto& [name, count] : counts) {
        if (name != "mbut_key" && name != "xbut_key") {
            EXPECT_EQ(count, 1) << name;
        }
    }
    for (const char* name :
         {"tabOptions", "cmb_languages", "status", "openfile", "pict_logo", "pict_fundal",
          "updatetimer", "Label1", "Label12", "pict_extras", "frm_mix_method_pict", "pict_passw"}) {
        EXPECT_EQ(counts.count(name), 1u) << name;
    }
    // Containers come before what they hold, so a view can build them in order.
    std::map<std::string, std::size_t> position;
    for (std::size_t i = 0; i < names.size(); ++i) position.emplace(names[i], i);
    for (const Control* control : controls) {
        if (control->container == "Form1") continue;
        ASSERT_EQ(position.count(control->container), 1u) << control->name;
        EXPECT_LT(position[control->container], position[control->name]) << control->name;
    }
}

TEST_F(WindowTest, LanguageCaptionsChangeOnlyControlsThatHaveOne) {
    EXPECT_TRUE(form.setCaption("cmd_merge", "Zusammenfügen!"));
    EXPECT_EQ(form.cmd_merge.caption, "Zusammenfügen!");
    EXPECT_TRUE(form.setCaption("lbl_split_pages", ""));
    EXPECT_EQ(form.lbl_split_pages.caption, "");

    EXPECT_TRUE(form.setCaption("mbut_key", "K"));
    for (const CommandButton& key : form.mbut_key) EXPECT_EQ(key.caption, "K");

    // A file naming a grid or a text box must not end the program: they are skipped.
    form.Form_Load("");
    EXPECT_FALSE(form.setCaption("merge_grid", "x"));
    EXPECT_EQ(row(form.merge_grid, 0), kEnglishHeader);
    EXPECT_FALSE(form.setCaption("txt_split_filename", "x"));
    EXPECT_EQ(form.txt_split_filename.text, "filename");
    EXPECT_EQ(form.txt_split_filename.caption, "");
    for (const char* name : {"tabOptions", "cmb_languages", "splitpb", "updatetimer", "pict_logo",
                             "status", "openfile", "no_such_control"}) {
        EXPECT_FALSE(form.setCaption(name, "x")) << name;
    }
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(ui.quitCalls, 0);
}

TEST_F(WindowTest, LanguageListSelectsAndShowsItsEntries) {
    form.addLanguage("stale");
    form.clearLanguages();
    EXPECT_TRUE(form.languages().empty());
    EXPECT_EQ(form.selectedLanguage(), -1);

    for (const char* name : {"English", "Deutsch", "Add your language"}) form.addLanguage(name);
    EXPECT_EQ(form.languages(),
              (std::vector<std::string>{"English", "Deutsch", "Add your language"}));
    form.selectLanguage(2);
    EXPECT_EQ(form.selectedLanguage(), 2);
    EXPECT_EQ(form.cmb_languages.text, "Add your language");

    form.setLanguageText("Deutsch");
    EXPECT_EQ(form.selectedLanguage(), 1);
    EXPECT_EQ(form.cmb_languages.text, "Deutsch");
    // A saved language whose file is gone is shown, with no entry selected.
    form.setLanguageText("Klingon");
    EXPECT_EQ(form.selectedLanguage(), -1);
    EXPECT_EQ(form.cmb_languages.text, "Klingon");

    EXPECT_THROW(form.selectLanguage(3), RuntimeError);
    EXPECT_EQ(form.cmb_languages.text, "Klingon");
    form.selectLanguage(-1);
    EXPECT_EQ(form.cmb_languages.text, "");
}

TEST_F(WindowTest, GridRejectsCellsOutsideItsTable) {
    Grid grid;
    grid.setCols(5);
    grid.setRows(3);
    grid.setTextMatrix(2, 4, "x");
    EXPECT_THROW(grid.setTextMatrix(3, 0, "y"), RuntimeError);
    EXPECT_THROW(grid.textMatrix(0, 5), RuntimeError);
    EXPECT_THROW(grid.setColWidth(-1, 10), RuntimeError);
    grid.setRows(4);
    EXPECT_EQ(grid.textMatrix(2, 4), "x");
    EXPECT_EQ(grid.textMatrix(3, 4), "");
    EXPECT_EQ(grid.rowHeight(3), Grid::kDefaultRowHeight);
    grid.row = 3;
    grid.setRows(2);
    EXPECT_EQ(grid.row, 1);
    EXPECT_THROW(grid.textMatrix(2, 4), RuntimeError);
    grid.setRows(4);
    EXPECT_EQ(grid.textMatrix(2, 4), "");  // cells of removed rows do not come back
}

}  // namespace
}  // namespace pagemeld::testing
