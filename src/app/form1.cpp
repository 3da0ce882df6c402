#include "app/form1.h"

#include <numeric>

#include "app/shared_routines.h"
#include "errors/error_handler.h"
#include "errors/trap.h"

namespace pagemeld {

Form1::Form1(Ui& ui, Settings& settings, Http& http, System& system, PdfEngine& pdf,
             ErrorReporter& errors)
    : ui_(ui), settings_(settings), http_(http), system_(system), pdf_(pdf), errors_(errors) {
    design();
}

Control& Form1::place(Control& control, const char* name, const char* container, int left, int top,
                      int width, int height, const std::string& caption) {
    control.name = name;
    control.container = container;
    control.left = left;
    control.top = top;
    control.width = width;
    control.height = height;
    if (control.hasCaption()) control.caption = caption;
    order_.push_back(&control);
    return control;
}

// The design-time make-up of the window. Positions are relative to the container;
// the Split, Merge and Mix frames hold their controls in a picture box, whose
// inner size at design time is 9825 x 6725.
void Form1::design() {
    caption = kWindowTitle;

    place(pict_logo, "pict_logo", kFormName, 0, 0, 10000, 960);
    place(pict_fundal, "pict_fundal", kFormName, kFundalLeft, 0, kDesignClientWidth - kFundalLeft,
          960);
    place(cmb_languages, "cmb_languages", kFormName, kDesignWindowWidth - 2050, 1020, 1815, 315);
    place(tabOptions, "tabOptions", kFormName, 60, 1440, kDesignWindowWidth - 200,
          kDesignWindowHeight - 2175);
    writeTabCaptions();
    tabOptions.selectedItem = 1;
    place(fraSplit, "fraSplit", kFormName, 120, 1800, 9975, 6975);
    place(fraMerge, "fraMerge", kFormName, 120, 1800, 9975, 6975);
    place(fraMix, "fraMix", kFormName, 120, 1800, 9975, 6975);
    place(fraAbout, "fraAbout", kFormName, 120, 1800, 9975, 6975);
    place(fraExtras, "fraExtras", kFormName, 120, 1800, 9975, 6975);
    for (Frame* frame : {&fraMerge, &fraMix, &fraAbout, &fraExtras}) frame->visible = false;
    place(status, "status", kFormName, 0, kDesignClientHeight - 270, kDesignClientWidth, 270);
    place(cmd_cancel, "cmd_cancel", "status", 0, 0, 1215, 270, "Cancel");
    cmd_cancel.visible = false;
    place(openfile, "openfile", kFormName, 0, 0, 0, 0);
    openfile.visible = false;

    designSplit();
    designMerge();
    designMix();
    designAboutAndExtras();
}

namespace {

// The option column of the method rows holds every shipped language's caption; the
// number boxes and labels of each row stand that much further right.
constexpr int kOptionWidth = 2040;
constexpr int kRowShift = 420;

void designTimer(Timer& timer, int interval) {
    timer.interval = interval;
    timer.enabled = false;
    timer.visible = false;
}

void designText(TextBox& box, const std::string& text) {
    box.text = text;
}

// The grids' design shape; the load handler shapes them again and writes the headers.
void designGrid(Grid& grid, int rows, std::span<const int> widths) {
    grid.setCols(static_cast<int>(widths.size()));
    grid.setRows(rows);
    for (int c = 0; c < grid.cols(); ++c) grid.setColWidth(c, widths[static_cast<std::size_t>(c)]);
}

}  // namespace

void Form1::designSplit() {
    const char* pict = "fra_split_pict";
    place(fra_split_pict, pict, "fraSplit", 75, 180, 9825, 6725);
    place(split_grid, "split_grid", pict, 120, 120, 9100, 1160);
    designGrid(split_grid, 2, kSplitMixGridBaseWidths);
    place(but_passw, "but_passw", pict, 120 + 9100 - 255 - 15, 120 + 255 + 15, 255, 225);
    but_passw.visible = false;
    place(split_add_but, "split_add_but", pict, 9335, 120, 375, 375);
    place(split_rem_but, "split_rem_but", pict, 9335, 540, 375, 375);
    place(pict_passw, "pict_passw", pict, 120, 5960, 240, 240);

    const char* dest = "frm_split_dest";
    place(frm_split_dest, dest, pict, 120, 1400, 9675, 1215,
          "Destination folder and filename settings");
    place(split_dest_other, "split_dest_other", dest, 240, 720, 2385, 285, "Select new folder");
    place(split_dest_source, "split_dest_source", dest, 240, 330, 2385, 285, "Use source folder");
    split_dest_source.value = true;
    place(txt_split_filename, "txt_split_filename", dest, 4320, 720, 3495, 285);
    designText(txt_split_filename, "filename");
    place(txt_split_dest, "txt_split_dest", dest, 4320, 330, 3495, 285);
    designText(txt_split_dest, platformStartFolder("c:\\"));
    place(cmd_split_dest, "cmd_split_dest", dest, 7920, 315, 1335, 330, "Browse");
    // Browsing makes sense only once "Select new folder" is chosen.
    cmd_split_dest.enabled = false;
    place(lbl_split_basefilename, "lbl_split_basefilename", dest, 2640, 765, 1575, 255,
          "Base Filename");
    place(lbl_split_dest, "lbl_split_dest", dest, 2640, 375, 1575, 255, "Destination folder");

    const char* method = "frm_split_method";
    place(frm_split_method, method, pict, 120, 2760, 9675, 3045, "Split method");
    place(r_split_method1, "r_split_method1", method, 240, 330, kOptionWidth, 285,
          "Into files of ");
    r_split_method1.value = true;
    place(txt_split_meth1, "txt_split_meth1", method, 1920 + kRowShift, 330, 615, 285);
    designText(txt_split_meth1, "1");
    place(lbl_split_pages, "lbl_split_pages", method, 2640 + kRowShift, 375, 1095, 255, "pages");
    place(r_split_method2, "r_split_method2", method, 240, 780, kOptionWidth, 285, "By page Range");
    place(txt_split_range, "txt_split_range", method, 1920 + kRowShift, 780, 7335 - kRowShift, 285);
    txt_split_range.enabled = false;  // until "By page Range" is chosen
    place(lbl_split_demo, "lbl_split_demo", method, 1920 + kRowShift, 1125, 7335 - kRowShift, 435,
          "Page range separated by comma, semi-colon to separate files. Example: "
          "1-4,6,9-10;5,6;12;20-21,23;");
    place(r_split_method3, "r_split_method3", method, 240, 1740, kOptionWidth, 285,
          "Every group of");
    place(txt_split_meth3, "txt_split_meth3", method, 1920 + kRowShift, 1740, 615, 285);
    designText(txt_split_meth3, "3");
    place(txt_split_meth3_s, "txt_split_meth3_s", method, 5280 + kRowShift, 1740, 615, 285);
    designText(txt_split_meth3_s, "1");
    place(Label14, "Label14", method, 2640 + kRowShift, 1785, 2535, 255,
          "pages, starting with page");
    place(r_split_method4, "r_split_method4", method, 240, 2220, kOptionWidth, 285, "Each");
    place(txt_split_meth4, "txt_split_meth4", method, 1920 + kRowShift, 2220, 615, 285);
    designText(txt_split_meth4, "3");
    place(txt_split_meth4_s, "txt_split_meth4_s", method, 5280 + kRowShift, 2220, 615, 285);
    designText(txt_split_meth4_s, "1");
    place(Label15, "Label15", method, 2640 + kRowShift, 2265, 2535, 255,
          "page, starting with page");
    // The two methods that count no pages share the last row.
    place(r_split_method5, "r_split_method5", method, 240, 2660, 2700, 285,
          "At bookmarks of level");
    place(txt_split_meth5, "txt_split_meth5", method, 3000, 2660, 615, 285);
    designText(txt_split_meth5, "1");
    place(r_split_method6, "r_split_method6", method, 4020, 2660, 2400, 285, "Pieces of at most");
    place(txt_split_meth6, "txt_split_meth6", method, 6480, 2660, 615, 285);
    designText(txt_split_meth6, "10");
    place(lbl_split_mb, "lbl_split_mb", method, 7200, 2705, 600, 255, "MB");

    designRunRow(pict, cmd_split_run, "cmd_split_run", "Split this PDF!", splitpb, "splitpb",
                 tsplit_pb, "tsplit_pb");
}

void Form1::designRunRow(const char* tab, CommandButton& run, const char* runName,
                         const char* caption, ProgressBar& bar, const char* barName, Timer& timer,
                         const char* timerName) {
    place(run, runName, tab, 9975 - kRunButtonInset, 6360 - 420, kRunButtonWidth, 375, caption);
    place(bar, barName, tab, 60, 6360, 9710, 255);
    place(timer, timerName, tab, 0, 0, 0, 0);
    designTimer(timer, kBarTimerInterval);
}

void Form1::designMerge() {
    const char* pict = "pict_merge";
    place(pict_merge, pict, "fraMerge", 75, 180, 9825, 6725);
    place(merge_grid, "merge_grid", pict, 120, 120, 9100, 7 * Grid::kDefaultRowHeight - 20);
    designGrid(merge_grid, 7, kMergeGridBaseWidths);
    place(mbut_add, "mbut_add", pict, 9335, 120, 375, 375);
    place(mbut_rem, "mbut_rem", pict, 9335, 540, 375, 375);
    place(mbut_up, "mbut_up", pict, 9335, 960, 375, 375);
    place(mbut_down, "mbut_down", pict, 9335, 1380, 375, 375);
    for (CommandButton& key : mbut_key) {
        // Laid over the "Password" cell of visible file row `index`; shown per file.
        place(key, "mbut_key", pict, 120 + 9100 - 255 - 270,
              120 + Grid::kDefaultRowHeight * key.index + 15, 255, 225);
        key.visible = false;
    }

    const char* output = "merge_output";
    place(merge_output, output, pict, 120, 2040, 9675, 2055, "Output file options");
    place(but_moutput, "but_moutput", output, 7920, 315, 1335, 330, "Select file");
    place(chk_merge_ovr, "chk_merge_ovr", output, 1920, 780, 4095, 285, "Overwrite file if exists");
    chk_merge_ovr.value = kUnchecked;
    place(chk_merge_bookmarks, "chk_merge_bookmarks", output, 1920, 1140, 7335, 285,
          "A bookmark for each file");
    chk_merge_bookmarks.value = kUnchecked;
    place(chk_merge_blank, "chk_merge_blank", output, 1920, 1500, 7335, 285,
          "Blank page after odd page counts");
    chk_merge_blank.value = kUnchecked;
    place(moutput_file, "moutput_file", output, 1920, 330, 5895, 285);
    designText(moutput_file, platformStartFolder("c:\\output.pdf"));
    place(lbl_mfile, "lbl_mfile", output, 240, 375, 1575, 255, "Output filename");

    designRunRow(pict, cmd_merge, "cmd_merge", "Merge files!", mergepb, "mergepb", tmerge_pb,
                 "tmerge_pb");
    place(updatetimer, "updatetimer", pict, 0, 0, 0, 0);
    designTimer(updatetimer, kUpdateTimerInterval);
}

namespace {

struct MixMethodRow {
    OptionButton& option;
    TextBox& e1;
    TextBox& e2;
    Label& lbl2;
};

}  // namespace

void Form1::designMix() {
    const char* pict = "fra_mix_pict";
    place(fra_mix_pict, pict, "fraMix", 75, 180, 9825, 6725);
    place(mix_grid, "mix_grid", pict, 120, 120, 9100, 5 * Grid::kDefaultRowHeight - 20);
    designGrid(mix_grid, 3, kSplitMixGridBaseWidths);
    for (CommandButton& key : xbut_key) {
        place(key, "xbut_key", pict, 120 + 9100 - 255 - 270,
              120 + Grid::kDefaultRowHeight * key.index + 15, 255, 225);
        key.visible = false;
    }
    place(x_but_add, "x_but_add", pict, 9335, 120, 375, 375);
    place(x_but_rem, "x_but_rem", pict, 9335, 540, 375, 375);
    place(x_but_up, "x_but_up", pict, 9335, 960, 375, 375);
    place(x_but_down, "x_but_down", pict, 9335, 1380, 375, 375);

    const char* method = "frm_mix_method";
    place(frm_mix_method, method, pict, 120, 1860, 9675, 2415, "Mix method");
    const char* methodPict = "frm_mix_method_pict";
    place(frm_mix_method_pict, methodPict, method, 120, 240, 9675 - 300, 2070);

    struct Doc {
        Frame& frame;
        const char* frameName;
        const char* caption;
        int top;
        MixMethodRow rows[2];
        const char* names[2][4];
        CheckBox& backwards;
        const char* backwardsName;
    };
    Doc docs[2] = {
        {frm_mix_meth_doc1,
         "frm_mix_meth_doc1",
         "Use from first document (base file)",
         0,
         {{r_mix1_method1, r_mix1_method1_e1, r_mix1_method1_e2, r_mix1_method1_lbl2},
          {r_mix1_method2, r_mix1_method2_e1, r_mix1_method2_e2, r_mix1_method2_lbl2}},
         {{"r_mix1_method1", "r_mix1_method1_e1", "r_mix1_method1_e2", "r_mix1_method1_lbl2"},
          {"r_mix1_method2", "r_mix1_method2_e1", "r_mix1_method2_e2", "r_mix1_method2_lbl2"}},
         chk_mix1_backwards,
         "chk_mix1_backwards"},
        {frm_mix_meth_doc2,
         "frm_mix_meth_doc2",
         "Use from second document",
         1050,
         {{r_mix2_method1, r_mix2_method1_e1, r_mix2_method1_e2, r_mix2_method1_lbl2},
          {r_mix2_method2, r_mix2_method2_e1, r_mix2_method2_e2, r_mix2_method2_lbl2}},
         {{"r_mix2_method1", "r_mix2_method1_e1", "r_mix2_method1_e2", "r_mix2_method1_lbl2"},
          {"r_mix2_method2", "r_mix2_method2_e1", "r_mix2_method2_e2", "r_mix2_method2_lbl2"}},
         chk_mix2_backwards,
         "chk_mix2_backwards"},
    };
    const char* optionCaptions[2] = {"Every group of", "Each"};
    const char* labelCaptions[2] = {"pages, starting with page", "page, starting with page"};
    for (Doc& doc : docs) {
        place(doc.frame, doc.frameName, methodPict, 0, doc.top, 9675 - 325, 990, doc.caption);
        for (int r = 0; r < 2; ++r) {
            MixMethodRow& row = doc.rows[r];
            const int top = 270 + 360 * r;
            place(row.option, doc.names[r][0], doc.frameName, 120, top, kOptionWidth, 285,
                  optionCaptions[r]);
            row.option.value = (r == 0);
            place(row.e1, doc.names[r][1], doc.frameName, 1800 + kRowShift, top, 615, 285);
            designText(row.e1, "3");
            place(row.lbl2, doc.names[r][3], doc.frameName, 2520 + kRowShift, top + 45, 2535, 255,
                  labelCaptions[r]);
            place(row.e2, doc.names[r][2], doc.frameName, 5160 + kRowShift, top, 615, 285);
            designText(row.e2, "1");
        }
        place(doc.backwards, doc.backwardsName, doc.frameName, 6360, 270, 2850, 285,
              "Read backwards");
        doc.backwards.value = kUnchecked;
    }

    const char* dest = "frm_mix_dest";
    place(frm_mix_dest, dest, pict, 120, 4395, 9675, 1215,
          "Destination folder and filename settings");
    place(mix_dest_other, "mix_dest_other", dest, 240, 720, 2385, 285, "Select new folder");
    place(mix_dest_source, "mix_dest_source", dest, 240, 330, 2385, 285, "Use source folder");
    mix_dest_source.value = true;
    place(txt_mix_dest, "txt_mix_dest", dest, 4320, 330, 3495, 285);
    designText(txt_mix_dest, platformStartFolder("c:\\"));
    place(txt_mix_filename, "txt_mix_filename", dest, 4320, 720, 3495, 285);
    designText(txt_mix_filename, "filename");
    place(cmd_mix_dest, "cmd_mix_dest", dest, 7920, 315, 1335, 330, "Browse");
    cmd_mix_dest.enabled = false;  // until "Select new folder" is chosen
    place(lbl_mix_dest, "lbl_mix_dest", dest, 2640, 375, 1575, 255, "Destination folder");
    place(lbl_mix_basefilename, "lbl_mix_basefilename", dest, 2640, 765, 1575, 255,
          "Base Filename");

    designRunRow(pict, cmd_mix_run, "cmd_mix_run", "Mix files!", mixpb, "mixpb", tmix_pb,
                 "tmix_pb");
    // Beside the run button, on its row: how the passes are written.
    place(chk_mix_onefile, "chk_mix_onefile", pict, 240, cmd_mix_run.top + 45, 5000, 285,
          "Write one file");
    chk_mix_onefile.value = kUnchecked;
}

void Form1::designAboutAndExtras() {
    const char* about = "fraAbout";
    place(lblabout, "lblabout", about, 120, 480, 9975 - 235, 480, kWindowTitle);
    place(ab_lb3, "ab_lb3", about, 120, 1200, 9975 - 235, 495,
          "Split, merge and mix PDF documents, one page or a thousand at a time.");
    // Each caption pair stands centred; Form_Resize keeps it so.
    const int labelWidth = 1000;
    const int linkWidth = 3600;
    const int pairLeft = (9975 - labelWidth - linkWidth) / 2;
    place(ab_lb4a, "ab_lb4a", about, pairLeft, 2040, labelWidth, 255, "Website:");
    place(ab_lb4b, "ab_lb4b", about, pairLeft + labelWidth + 100, 2040, linkWidth, 255,
          "www.ombrix.com/pagemeld");
    place(ab_lb5a, "ab_lb5a", about, pairLeft, 2520, labelWidth, 255, "Support:");
    place(ab_lb6b, "ab_lb6b", about, pairLeft + labelWidth + 100, 2520, linkWidth, 255,
          "www.ombrix.com/support");

    const char* extras = "fraExtras";
    place(pict_extras, "pict_extras", extras, 240, 360, 2400, 2400);
    place(lbl_extras2, "lbl_extras2", extras, 2880, 360, 6855, 495, "More tools from Ombrix");
    struct Line {
        Label& label;
        const char* name;
        const char* caption;
    };
    const Line lines[] = {
        {Label2, "Label2", "Small desktop tools for everyday work with documents."},
        {Label3, "Label3", "Portable: copy the program's folder anywhere and run it."},
        {Label4, "Label4", "No installer and no background services."},
        {Label5, "Label5",
         "Only your language and the folders you last used are kept between runs."},
        {Label6, "Label6", "Every text comes from a language file in plain INI format,"},
        {Label7, "Label7", "so anyone can translate the tools and share the translation."},
        {Label8, "Label8", "Quiet command-line modes for scripts and batch jobs."},
        {Label9, "Label9", "A plain-text log of every batch request, when asked for."},
        {Label10, "Label10", "Your documents stay on your computer."},
        {Label11, "Label11", "Output files are written completely or not at all."},
        {Label12, "Label12", "See all the tools on the web:"},
    };
    int top = 960;
    for (const Line& line : lines) {
        place(line.label, line.name, extras, 2880, top, 6855, 315, line.caption);
        top += 360;
    }
    place(Label1, "Label1", extras, 2880, top + 240, 6855, 255, "www.ombrix.com");
    place(chk_updatecheck, "chk_updatecheck", extras, 2880, top + 840, 6855, 285,
          "Check for updates at start");
    chk_updatecheck.value = kChecked;
}

std::vector<Control*> Form1::controls() {
    return order_;
}

std::vector<const Control*> Form1::controls() const {
    return std::vector<const Control*>(order_.begin(), order_.end());
}

Control* Form1::findControl(const std::string& name, int index) {
    for (Control* control : order_) {
        if (control->name == name && control->index == index) return control;
    }
    return nullptr;
}

// ---- Start-up ----

void Form1::shapeGrid(Grid& grid, int rows, std::span<const int> widths, int fixedHeight) {
    grid.setCols(static_cast<int>(widths.size()));
    grid.setRows(rows);
    if (fixedHeight > 0) {
        grid.height = fixedHeight;
    } else if (&grid == &merge_grid) {
        int sum = 0;
        for (int r = 0; r < rows; ++r) sum += grid.rowHeight(r);
        grid.height = sum - 20;
    } else {
        grid.height = grid.rowHeight(0) * 5 - 20;
    }
    for (int c = 0; c < grid.cols(); ++c) grid.setColWidth(c, widths[static_cast<std::size_t>(c)]);
    grid.width = grid.sumColWidths();

    for (int c = 0; c < grid.cols(); ++c) writeGridHeader(grid, c);
}

void Form1::writeGridHeader(Grid& grid, int col) {
    const std::string* const headers[6] = {nullptr,
                                           &catalogue.GridFilename,
                                           &catalogue.GridPath,
                                           &catalogue.GridPages,
                                           &catalogue.GridPassword,
                                           &catalogue.GridChosenPages};
    grid.row = 0;
    grid.col = col;
    grid.setText(headers[col] ? *headers[col] : std::string("#"));
}

void Form1::writeTabCaptions() {
    const std::string* const captions[TabStrip::kTabs] = {&catalogue.tabsplit, &catalogue.tabmerge,
                                                          &catalogue.tabmix, &catalogue.tababout,
                                                          &catalogue.tabextras};
    for (int i = 0; i < TabStrip::kTabs; ++i) tabOptions.tabCaptions[i] = *captions[i];
}

void Form1::Form_Load(const std::string& commandLine) {
    Trap trap(errors_, kFormName, "Form_Load");
    bool commandLineGiven = false;
    trap.run({
        [&] {
            if (load_languages) load_languages();
        },
        [&] {
            state.command_line = commandLine;
            commandLineGiven = !commandLine.empty();
        },
        [&] { state.form_loaded = false; },
        [&] { hide_frames(); },
        [&] { fraSplit.visible = true; },
        [&] {
            state.mgrid_count = 0;
            state.mgrid_sort_dir = 1;
        },
        [&] { shapeGrid(mix_grid, 3, kSplitMixGridBaseWidths, 0); },
        [&] { shapeGrid(split_grid, 2, kSplitMixGridBaseWidths, 1160); },
        [&] { shapeGrid(merge_grid, 7, kMergeGridBaseWidths, 0); },
        [&] {
            state.mgrid_max = static_cast<std::int32_t>(kMergeRequestMax);
            state.xgrid_max = 2;
            state.app_title = kWindowTitle;
        },
        [&] { status.simpleStyle = true; },
        [&] { caption = state.app_title; },
        [&] { show_update_switch(); },
        [&] {
            if (commandLineGiven) {
                process_parametrii();
            } else {
                updatetimer.enabled = true;
            }
        },
        [&] { state.form_loaded = true; },
    });
}

void Form1::Form_QueryUnload(int& /*Cancel*/, int /*UnloadMode*/) {
    Trap trap(errors_, kFormName, "Form_QueryUnload");
    trap.step([&] { ui_.quit(); });
}

void Form1::refresh_objects() {
    Trap trap(errors_, kFormName, "refresh_objects");
    for (Grid* grid : {&mix_grid, &split_grid, &merge_grid}) {
        for (int c = 1; c < grid->cols(); ++c) {
            if (!trap.step([&] { writeGridHeader(*grid, c); })) return;
        }
    }
    trap.step([&] { writeTabCaptions(); });
}

// ---- LanguageWindow ----

std::vector<std::string> Form1::controlNames() const {
    std::vector<std::string> names;
    names.reserve(order_.size());
    for (const Control* control : order_) names.push_back(control->name);
    return names;
}

bool Form1::setCaption(const std::string& controlName, const std::string& text) {
    bool set = false;
    for (Control* control : order_) {
        if (control->name != controlName) continue;
        // A grid or a text box has no caption: the text is left alone.
        if (!control->hasCaption()) return false;
        control->caption = text;
        set = true;
    }
    return set;
}

void Form1::clearLanguages() {
    cmb_languages.items.clear();
    cmb_languages.listIndex = -1;
    cmb_languages.text.clear();
}

void Form1::addLanguage(const std::string& displayName) {
    cmb_languages.items.push_back(displayName);
}

std::vector<std::string> Form1::languages() const {
    return cmb_languages.items;
}

int Form1::selectedLanguage() const {
    return cmb_languages.listIndex;
}

void Form1::selectLanguage(int index) {
    if (index < -1 || index >= static_cast<int>(cmb_languages.items.size())) {
        throwInvalidPropertyValue();
    }
    cmb_languages.listIndex = index;
    cmb_languages.text =
        index < 0 ? std::string() : cmb_languages.items[static_cast<std::size_t>(index)];
}

void Form1::setLanguageText(const std::string& text) {
    // A drop-down list shows an item: the text selects the item it names, if any.
    cmb_languages.text = text;
    cmb_languages.listIndex = -1;
    for (std::size_t i = 0; i < cmb_languages.items.size(); ++i) {
        if (cmb_languages.items[i] == text) {
            cmb_languages.listIndex = static_cast<int>(i);
            break;
        }
    }
}

}  // namespace pagemeld
