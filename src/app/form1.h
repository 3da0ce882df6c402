// The main window as a model: every control's state, the shared program state and
// the window's own handlers. The Qt view draws the controls from here and calls the
// handlers; tests drive the handlers directly. No display is needed.
#pragma once

#include <atomic>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/controls.h"
#include "app/form1_events.h"
#include "base/platform.h"
#include "base/product.h"
#include "batch/command_line.h"
#include "errors/trap.h"
#include "lang/catalogue.h"
#include "lang/language_window.h"

namespace pagemeld {

class ErrorReporter;
class PdfEngine;

// The window's client area at design time, in twips.
inline constexpr int kDesignClientWidth = 10230;
inline constexpr int kDesignClientHeight = 9210;
// Its outer size at design time: the client area with a 60-twip border on every
// side and a 345-twip title bar. At this width the grids are 9050 wide after a
// layout, so their columns keep their base widths.
inline constexpr int kDesignWindowWidth = 10350;
inline constexpr int kDesignWindowHeight = 9675;
// The smallest normal window; a smaller one is set back to the reset size.
inline constexpr int kMinWindowWidth = 10000;
inline constexpr int kMinWindowHeight = 9520;
inline constexpr int kResetWindowWidth = 10300;
inline constexpr int kResetWindowHeight = 9620;
// The run buttons: wide enough for every shipped language's caption, their right
// edge 265 twips inside their tab's frame.
inline constexpr int kRunButtonWidth = 2400;
inline constexpr int kRunButtonInset = 265 + kRunButtonWidth;
// How far the password buttons stand in from the end of their list's password
// column: the split list's one button, and the merge and mix lists' row buttons.
inline constexpr int kSplitKeyInset = 15;
inline constexpr int kListKeyInset = 270;
// The grids' width at the design size: the column widths scale from it.
inline constexpr int kGridBaseWidth = 9050;
// pict_fundal fills the width beyond this point once the window is wide enough.
inline constexpr int kFundalLeft = 10000;
inline constexpr int kFundalMinWindowWidth = 10345;

inline constexpr int kUpdateTimerInterval = 2000;  // ms
inline constexpr int kBarTimerInterval = 500;      // ms

// Base column widths of the file-list grids. The merge list's "#" column holds
// numbers up to 5000; the path column gives it the room, and the room of the sixth
// column, the pages of each file the merge takes.
inline constexpr int kMergeGridBaseWidths[6] = {540, 2500, 2660, 800, 1300, 1300};
inline constexpr int kSplitMixGridBaseWidths[5] = {200, 3050, 3750, 800, 1300};

// A file's page count as the file lists show it. `guessed` when the file could not be
// read whole: the count is then the light reader's estimate, or 1 for a file it could
// not count either, and the row marks it.
struct PageCount {
    std::int32_t pages = 0;
    bool guessed = false;
};

class Form1 : public LanguageWindow {
public:
    Form1(Ui& ui, Settings& settings, Http& http, System& system, PdfEngine& pdf,
          ErrorReporter& errors);
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // ---- Services ----
    Ui& ui() { return ui_; }
    Settings& settings() { return settings_; }
    Http& http() { return http_; }
    System& system() { return system_; }
    PdfEngine& pdf() { return pdf_; }
    ErrorReporter& errors() { return errors_; }

    // ---- Steps other modules provide ----
    // Fills the language list, loads the saved language and calls refresh_objects.
    std::function<void()> load_languages;
    // Shows the controls' current state at once and lets the window repaint; a long
    // run calls it after moving its progress bar. Empty without a window.
    std::function<void()> repaint;
    // The language list's choice and the update timer's check, owned by the
    // language loader and the update check.
    std::function<void()> choose_language;
    std::function<void()> check_for_update;

    // ---- Event handlers ----
    // One per entry of PAGEMELD_FORM1_EVENTS, named control_event. Notes:
    // - Form_QueryUnload: closing asks nothing and saves nothing; Cancel stays 0.
    // - merge_grid_Click / mix_grid_Click: a click on cell (mouseRow, mouseCol); the
    //   merge list's "File name" header sorts, a file row becomes the selected one.
    // - merge_grid_MouseMove: `y` in twips from the grid's top edge sets the tool tip
    //   to the number of the file row under the mouse; merge_grid_Scroll follows a
    //   change of merge_grid.topRow.
    // - *_OLEDragDrop: files dropped on a grid, in the order given; the split list
    //   loads only the first.
    // - mbut_key_Click / xbut_key_Click: the password button of visible file row Index;
    //   merge_grid_DblClick on a file's password cell asks for that file's password.
    // - *_grid_KeyDown: Delete removes the selected file; the arrows, Page Up/Down,
    //   Home and End select another file; Form_KeyDown: Ctrl+O adds files to the
    //   list of the tab shown.
    // - x_but_up / x_but_down with two files exchange the documents.
    // - split_grid_Click: a click off row 1 selects row 1 again.
    // - The runs (cmd_split_run, cmd_merge, cmd_mix_run) call `repaint` after each
    //   move of their bar; the *_pb timers empty the bar half a second after a run.
    // - cmb_languages_Click and updatetimer_Timer hand over to `choose_language` and
    //   `check_for_update`, which the program sets.
    // - chk_updatecheck_Click stores the update check's switch as the box shows it.
    PAGEMELD_FORM1_EVENTS(PAGEMELD_DECLARE_FORM1_HANDLER)

    // ---- Window routines ----
    // Loads the window; `commandLine` is the text after the program's name.
    void Form_Load(const std::string& commandLine);
    // Carries out a command line (state.command_line) that asks for the window: "-s"
    // and "-m" preload a list (the Merge tab is shown), anything else not understood
    // is refused with a message. The requests that need no window never come here.
    void process_parametrii();
    // Makes full paths of the command line's names; tests put their own in its place.
    NameCompleter completeName = currentDirectoryCompleter();
    void refresh_objects() override;
    void hide_frames();
    // Ticks chk_updatecheck when the stored switch leaves the update check on.
    void show_update_switch();

    // ---- Merge list (merge/) ----
    // The page count of a PDF for every file list. A file that cannot be read whole
    // is still listed, with a guessed count; the user is told which file and why
    // (damaged, not a PDF, unreadable). `modmerge` is accepted and not used.
    PageCount getpagenumber(const std::string& file, bool modmerge);
    // Adds one file to the end of the merge list after its checks (full list,
    // PDF name); the first file also names the output.
    void mbut_fisier_add(const std::string& file);
    void select_mgrid_row(int x);
    void clear_mgrid_rows();
    void clear_mgrid_row(int x);
    // Sorts the file rows by column `col`: dir -1 A to Z, 1 Z to A; equal names keep
    // their order.
    void sort_mgrid_rows(int col, int dir);
    // Asks for the password of file row `target` (0: none) and selects that row.
    void askMergePassword(int target);
    // The last mouse position over merge_grid in whole rows, and the row under it.
    std::int32_t hover_row_offset = 0;
    std::int32_t hover_row = 0;

    // ---- Split list and run (split/) ----
    // Makes `file` the split source in row 1 of split_grid, replacing the one before;
    // a name not ending in "pdf" is refused.
    void add_fisier_split(const std::string& file);
    void select_grid_row(int x);

    // ---- Mix list (mix/) ----
    // Adds one file to the two-document mix list after its checks (PDF name, list
    // full); the first file also sets the destination folder and base name.
    void xbut_fisier_add(const std::string& file);
    void select_xgrid_row(int x);
    void clear_xgrid_rows();
    void clear_xgrid_row(int x);

    // ---- The window itself ----
    std::string caption;
    // Outer size in twips. The view sets it before calling Form_Resize and applies
    // it to the real window afterwards (the minimum-size rule may change it).
    int windowWidth = kDesignWindowWidth;
    int windowHeight = kDesignWindowHeight;
    // While minimised the layout leaves everything alone.
    bool minimised = false;

    // Every control in window order; members of a control array in index order.
    std::vector<Control*> controls();
    std::vector<const Control*> controls() const;
    // The first control of that name (and array index, -1 outside arrays), or null.
    Control* findControl(const std::string& name, int index = -1);
    // The tab frame of tab 1..5, or null.
    Frame* tabFrame(int tabIndex);

    // ---- LanguageWindow ----
    std::vector<std::string> controlNames() const override;
    bool setCaption(const std::string& controlName, const std::string& caption) override;
    void clearLanguages() override;
    void addLanguage(const std::string& displayName) override;
    std::vector<std::string> languages() const override;
    int selectedLanguage() const override;
    void selectLanguage(int index) override;
    void setLanguageText(const std::string& text) override;
    bool formLoaded() const override { return state.form_loaded; }

    // ---- Shared state and texts ----
    AppState state;
    // Set by the Cancel button, possibly while a run works on another thread; the
    // runs stop after the current file, piece or pass. Whoever starts a run clears it.
    std::atomic<bool> cancel_requested{false};
    Catalogue catalogue;

    // ---- Controls held by the window ----
    PictureBox pict_logo;
    PictureBox pict_fundal;
    ComboBox cmb_languages;
    TabStrip tabOptions;
    Frame fraSplit;
    Frame fraMerge;
    Frame fraMix;
    Frame fraAbout;
    Frame fraExtras;
    StatusBar status;
    // Shown at the end of the status bar while a run or an addition of files goes on.
    CommandButton cmd_cancel;
    CommonDialog openfile;

    // Split tab.
    PictureBox fra_split_pict;
    Grid split_grid;
    CommandButton but_passw;
    CommandButton split_add_but;
    CommandButton split_rem_but;
    PictureBox pict_passw;
    Frame frm_split_dest;
    OptionButton split_dest_other;
    OptionButton split_dest_source;
    TextBox txt_split_filename;
    TextBox txt_split_dest;
    CommandButton cmd_split_dest;
    Label lbl_split_basefilename;
    Label lbl_split_dest;
    Frame frm_split_method;
    OptionButton r_split_method1;
    TextBox txt_split_meth1;
    Label lbl_split_pages;
    OptionButton r_split_method2;
    TextBox txt_split_range;
    Label lbl_split_demo;
    OptionButton r_split_method3;
    TextBox txt_split_meth3;
    TextBox txt_split_meth3_s;
    Label Label14;
    OptionButton r_split_method4;
    TextBox txt_split_meth4;
    TextBox txt_split_meth4_s;
    Label Label15;
    OptionButton r_split_method5;  // at bookmarks of a level
    TextBox txt_split_meth5;
    OptionButton r_split_method6;  // pieces of at most a size
    TextBox txt_split_meth6;
    Label lbl_split_mb;
    CommandButton cmd_split_run;
    ProgressBar splitpb;
    Timer tsplit_pb;

    // Merge tab.
    PictureBox pict_merge;
    Grid merge_grid;
    CommandButton mbut_add;
    CommandButton mbut_rem;
    CommandButton mbut_up;
    CommandButton mbut_down;
    ControlArray<CommandButton> mbut_key{1, 6};
    Frame merge_output;
    CommandButton but_moutput;
    CheckBox chk_merge_ovr;
    CheckBox chk_merge_bookmarks;
    CheckBox chk_merge_blank;
    TextBox moutput_file;
    Label lbl_mfile;
    CommandButton cmd_merge;
    ProgressBar mergepb;
    Timer tmerge_pb;
    Timer updatetimer;

    // Mix tab.
    PictureBox fra_mix_pict;
    Grid mix_grid;
    ControlArray<CommandButton> xbut_key{1, 2};
    CommandButton x_but_add;
    CommandButton x_but_rem;
    CommandButton x_but_up;
    CommandButton x_but_down;
    Frame frm_mix_method;
    PictureBox frm_mix_method_pict;
    Frame frm_mix_meth_doc1;
    OptionButton r_mix1_method1;
    TextBox r_mix1_method1_e1;
    TextBox r_mix1_method1_e2;
    Label r_mix1_method1_lbl2;
    OptionButton r_mix1_method2;
    TextBox r_mix1_method2_e1;
    TextBox r_mix1_method2_e2;
    Label r_mix1_method2_lbl2;
    CheckBox chk_mix1_backwards;
    Frame frm_mix_meth_doc2;
    OptionButton r_mix2_method1;
    TextBox r_mix2_method1_e1;
    TextBox r_mix2_method1_e2;
    Label r_mix2_method1_lbl2;
    OptionButton r_mix2_method2;
    TextBox r_mix2_method2_e1;
    TextBox r_mix2_method2_e2;
    Label r_mix2_method2_lbl2;
    CheckBox chk_mix2_backwards;
    Frame frm_mix_dest;
    OptionButton mix_dest_other;
    OptionButton mix_dest_source;
    TextBox txt_mix_dest;
    TextBox txt_mix_filename;
    CommandButton cmd_mix_dest;
    Label lbl_mix_dest;
    Label lbl_mix_basefilename;
    CommandButton cmd_mix_run;
    CheckBox chk_mix_onefile;
    ProgressBar mixpb;
    Timer tmix_pb;

    // About tab.
    Label lblabout;
    Label ab_lb3;
    Label ab_lb4a;
    Label ab_lb4b;
    Label ab_lb5a;
    Label ab_lb6b;

    // Extras tab.
    PictureBox pict_extras;
    Label lbl_extras2;
    Label Label2;
    Label Label3;
    Label Label4;
    Label Label5;
    Label Label6;
    Label Label7;
    Label Label8;
    Label Label9;
    Label Label10;
    Label Label11;
    Label Label12;
    Label Label1;
    CheckBox chk_updatecheck;

private:
    void design();
    void designSplit();
    void designMerge();
    void designMix();
    void designAboutAndExtras();
    // A tab's run button with its bar below and the bar's timer, at the same place on
    // the split, merge and mix tabs.
    void designRunRow(const char* tab, CommandButton& run, const char* runName, const char* caption,
                      ProgressBar& bar, const char* barName, Timer& timer, const char* timerName);
    Control& place(Control& control, const char* name, const char* container, int left, int top,
                   int width, int height, const std::string& caption = {});
    void shapeGrid(Grid& grid, int rows, std::span<const int> widths, int fixedHeight);
    // Column `col`'s header in the language shown ("#" over the numbers).
    void writeGridHeader(Grid& grid, int col);
    void writeTabCaptions();
    void openShortcut(const char* procedure, const char* fileName);

    Ui& ui_;
    Settings& settings_;
    Http& http_;
    System& system_;
    PdfEngine& pdf_;
    ErrorReporter& errors_;
    std::vector<Control*> order_;
};

}  // namespace pagemeld
