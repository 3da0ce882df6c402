// The merge list: adding files with their page counts, removing, moving, sorting,
// selecting, passwords, the hover tip and the output name.
#include <cmath>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/dialog_folders.h"
#include "app/form1.h"
#include "app/shared_routines.h"
#include "base/file_names.h"
#include "base/system_info.h"
#include "errors/trap.h"
#include "lists/file_list_grid.h"
#include "runs/page_choice.h"

namespace pagemeld {

namespace {

// Password buttons exist for the first six visible file rows only.
constexpr int kKeyedRows = 6;

// The tool tip names the file row under the mouse, from the stored row offset and
// the first row shown.
void showHoverTip(Form1& form) {
    form.hover_row = form.merge_grid.topRow + form.hover_row_offset - 1;
    if (form.hover_row >= 0 && form.hover_row <= form.state.mgrid_count &&
        form.hover_row < form.merge_grid.rows())
        form.merge_grid.toolTipText = form.merge_grid.textMatrix(form.hover_row, 0);
}

// Asks which pages of file row `row` the merge takes, offering the choice stored. A
// choice with an item that cannot be read is refused, quoting it, and the stored one
// stays; Cancel keeps it too.
void askChosenPages(Form1& form, int row) {
    Grid& grid = form.merge_grid;
    const std::string stored = grid.textMatrix(row, filelist::kColChosenPages);
    const std::optional<std::string> answer = form.ui().inputBox(
        form.catalogue.MsgEnterPageChoice, kProductName, stored, InputEcho::Plain);
    if (answer) {
        if (const std::optional<std::string> item = unclearPageChoiceItem(*answer)) {
            MsgBoxEx(form.errors(), form.ui(), form.catalogue.MsgErrPageChoice + " " + *item,
                     msgbox::kExclamation);
        } else {
            grid.setTextMatrix(row, filelist::kColChosenPages, trimBlanks(*answer));
        }
    }
    form.clear_mgrid_rows();
    form.select_mgrid_row(row);
}

filelist::FileList mergeList(Form1& form) {
    return {form.merge_grid, form.state.mgrid_count,
            [&form](int row) { form.select_mgrid_row(row); }, [&form] { form.clear_mgrid_rows(); },
            [&form](int row) { form.clear_mgrid_row(row); }};
}

}  // namespace

void Form1::mbut_fisier_add(const std::string& file) {
    Trap trap(errors_, kFormName, "mbut_fisier_add");
    bool stop = false;
    bool added = false;
    trap.run({
                 [&] {
                     // Comes before every other test: a full list takes nothing more.
                     if (state.mgrid_count >= state.mgrid_max) {
                         MsgBoxEx(errors_, ui_,
                                  catalogue.MsgErrMergeMax1 + " " +
                                      std::to_string(state.mgrid_max) + " " +
                                      catalogue.MsgErrMergeMax2 + file + " " +
                                      catalogue.MsgErrMergeMax3,
                                  msgbox::kInformation);
                         stop = true;
                     }
                 },
                 [&] { stop = file.empty(); },
                 [&] { stop = filelist::refuseNonPdf(errors_, ui_, catalogue, file); },
                 [&] {
                     // The row is written before the count goes up, so a row that could not
                     // be written is never counted.
                     const int row = state.mgrid_count + 1;
                     if (row == merge_grid.rows()) merge_grid.setRows(merge_grid.rows() + 1);
                     filelist::writeRow(merge_grid, row, ParsePath(errors_, file, kPathName),
                                        ParsePath(errors_, file, kPathFolder, true),
                                        getpagenumber(file, true));
                     state.mgrid_count = row;
                     added = true;
                 },
                 [&] { stop = !added; },
                 [&] {
                     if (state.mgrid_count <= kKeyedRows) {
                         CommandButton& key = mbut_key(state.mgrid_count);
                         key.visible = true;
                         placeOnGridRow(key, merge_grid, state.mgrid_count, kListKeyInset);
                     }
                 },
                 [&] {
                     clear_mgrid_rows();
                     select_mgrid_row(state.mgrid_count);
                 },
                 [&] {
                     // Only the first file names the output.
                     if (state.mgrid_count == 1)
                         moutput_file.text =
                             merge_grid.textMatrix(1, filelist::kColFolder) + "output.pdf";
                 },
             },
             [&] { return stop; });
}

void Form1::mbut_add_Click() {
    Trap trap(errors_, kFormName, "mbut_add_Click");
    std::vector<std::string> files;
    if (!trap.step(
            [&] { files = filelist::choosePdfFiles(ui_, settings_, kMergeAddFolderValue, true); }))
        return;
    for (const std::string& file : files) mbut_fisier_add(file);
}

void Form1::merge_grid_OLEDragDrop(const std::vector<std::string>& files) {
    // Each file goes through every check; a refusal stops only that file.
    for (const std::string& file : files) mbut_fisier_add(file);
}

void Form1::mbut_rem_Click() {
    Trap trap(errors_, kFormName, "mbut_rem_Click");
    trap.step([&] {
        filelist::removeCurrent(
            mergeList(*this),
            [this](int row) {
                if (row <= kKeyedRows) mbut_key(row).visible = false;
            },
            [this] {
                if (state.mgrid_count > kKeyedRows) merge_grid.setRows(merge_grid.rows() - 1);
            });
    });
}

void Form1::mbut_up_Click() {
    Trap trap(errors_, kFormName, "mbut_up_Click");
    trap.step([&] { filelist::moveCurrent(mergeList(*this), -1); });
}

void Form1::mbut_down_Click() {
    Trap trap(errors_, kFormName, "mbut_down_Click");
    trap.step([&] { filelist::moveCurrent(mergeList(*this), 1); });
}

void Form1::merge_grid_Click(int mouseRow, int mouseCol) {
    Trap trap(errors_, kFormName, "merge_grid_Click");
    trap.step([&] {
        if (mouseRow == 0 && mouseCol == filelist::kColName) {
            // The first click after start-up sorts A to Z.
            state.mgrid_sort_dir = state.mgrid_sort_dir != 1 ? 1 : -1;
            sort_mgrid_rows(filelist::kColName, state.mgrid_sort_dir);
            mergeList(*this).reselect(1);
            return;
        }
        mergeList(*this).reselect(filelist::rowAfterClick(merge_grid, state.mgrid_count, mouseRow));
    });
}

void Form1::merge_grid_KeyDown(std::int16_t& KeyCode, std::int16_t Shift) {
    Trap trap(errors_, kFormName, "merge_grid_KeyDown");
    trap.step(
        [&] { filelist::takeKey(mergeList(*this), KeyCode, Shift, [this] { mbut_rem_Click(); }); });
}

void Form1::sort_mgrid_rows(int col, int dir) {
    filelist::sortRows(merge_grid, state.mgrid_count, col, dir);
}

void Form1::select_mgrid_row(int x) {
    Trap trap(errors_, kFormName, "select_mgrid_row");
    trap.step([&] { filelist::selectRow(merge_grid, x); });
}

void Form1::clear_mgrid_row(int x) {
    Trap trap(errors_, kFormName, "clear_mgrid_row");
    trap.step([&] { filelist::clearRow(merge_grid, x); });
}

void Form1::clear_mgrid_rows() {
    Trap trap(errors_, kFormName, "clear_mgrid_rows");
    trap.step([&] { filelist::clearRows(merge_grid, state.mgrid_count); });
}

void Form1::mbut_key_Click(int Index) {
    Trap trap(errors_, kFormName, "mbut_key_Click");
    trap.step(
        [&] { askMergePassword(filelist::rowOfButton(merge_grid, state.mgrid_count, Index)); });
}

void Form1::merge_grid_DblClick(int mouseRow, int mouseCol) {
    Trap trap(errors_, kFormName, "merge_grid_DblClick");
    trap.step([&] {
        // A tall list shows more rows than there are password buttons: every file's
        // password cell takes a double click.
        if (mouseRow < 1 || mouseRow > state.mgrid_count) return;
        if (mouseCol == filelist::kColPassword) askMergePassword(mouseRow);
        // The pages of each file are typed the same way.
        if (mouseCol == filelist::kColChosenPages) askChosenPages(*this, mouseRow);
    });
}

void Form1::askMergePassword(int target) {
    Trap trap(errors_, kFormName, "askMergePassword");
    trap.step([&] { filelist::askPasswordOfRow(mergeList(*this), ui_, catalogue, target); });
}

void Form1::merge_grid_MouseMove(int /*Button*/, int /*Shift*/, double /*x*/, double y) {
    Trap trap(errors_, kFormName, "merge_grid_MouseMove");
    trap.step([&] {
        const int height = merge_grid.rowHeight(1);
        // Only positions over the grid mean a row.
        if (height <= 0 || !(y >= 0 && y < 1e9)) return;
        hover_row_offset = static_cast<std::int32_t>(std::floor(y / height));
        showHoverTip(*this);
    });
}

void Form1::merge_grid_Scroll() {
    Trap trap(errors_, kFormName, "merge_grid_Scroll");
    trap.step([&] { showHoverTip(*this); });
}

void Form1::but_moutput_Click() {
    Trap trap(errors_, kFormName, "but_moutput_Click");
    trap.step([&] {
        // The dialog opens where the output now lies, or where the last one went, with
        // the output's name proposed.
        const std::string current = moutput_file.text;
        std::string proposed = ParsePath(errors_, current, kPathName);
        if (!endsInPdf(proposed)) proposed = "output.pdf";
        std::string folder = dialogStartFolder(settings_, kMergeOutputFolderValue,
                                               ParsePath(errors_, current, kPathFolder, true));
        if (folder.empty()) folder = platformStartFolder("C:\\");
        if (folder.back() != kPathSeparator) folder += kPathSeparator;
        std::string name = ShowSaveDialog(ui_, catalogue.SaveDialogTitle, "PDF files (*.pdf)|*.pdf",
                                          folder + proposed);
        if (name.empty()) return;
        rememberDialogFolder(settings_, kMergeOutputFolderValue, name);
        if (!endsInPdf(name)) name += ".pdf";
        moutput_file.text = name;
    });
}

}  // namespace pagemeld
