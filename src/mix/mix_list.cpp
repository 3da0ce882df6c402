// The mix list: the two documents of a mix with their page counts and passwords,
// and the destination folder and base name of the outputs.
#include <functional>
#include <string>
#include <vector>

#include "app/dialog_folders.h"
#include "app/form1.h"
#include "app/shared_routines.h"
#include "base/file_names.h"
#include "base/system_info.h"
#include "errors/trap.h"
#include "lists/file_list_grid.h"

namespace pagemeld {

namespace {

filelist::FileList mixList(Form1& form) {
    return {form.mix_grid, form.state.xgrid_count, [&form](int row) { form.select_xgrid_row(row); },
            [&form] { form.clear_xgrid_rows(); }, [&form](int row) { form.clear_xgrid_row(row); }};
}

}  // namespace

void Form1::xbut_fisier_add(const std::string& file) {
    Trap trap(errors_, kFormName, "xbut_fisier_add");
    bool stop = false;
    bool added = false;
    trap.run(
        {
            [&] { stop = file.empty(); },
            [&] { stop = filelist::refuseNonPdf(errors_, ui_, catalogue, file); },
            [&] {
                if (state.xgrid_count >= state.xgrid_max || state.xgrid_count >= xbut_key.last()) {
                    MsgBoxEx(
                        errors_, ui_,
                        catalogue.MsgErrMixOnly21 + " " + file + " " + catalogue.MsgErrMixOnly22,
                        msgbox::kCritical);
                    stop = true;
                }
            },
            [&] {
                // The row is written before the count goes up, so a row that could not
                // be written is never counted.
                const int row = state.xgrid_count + 1;
                filelist::writeRow(mix_grid, row, ParsePath(errors_, file, kPathName),
                                   ParsePath(errors_, file, kPathFolder, true),
                                   getpagenumber(file, true));
                state.xgrid_count = row;
                added = true;
            },
            // A row that could not be written is not listed, and nothing else changes.
            [&] { stop = !added; },
            [&] {
                CommandButton& key = xbut_key(state.xgrid_count);
                key.visible = true;
                placeOnGridRow(key, mix_grid, state.xgrid_count, kListKeyInset);
            },
            [&] {
                clear_xgrid_rows();
                select_xgrid_row(state.xgrid_count);
            },
            [&] {
                // Only the first document names the destination and the outputs.
                if (state.xgrid_count != 1) return;
                txt_mix_dest.text = mix_grid.textMatrix(1, filelist::kColFolder);
                txt_mix_filename.text =
                    nameLessExtension(mix_grid.textMatrix(1, filelist::kColName));
            },
        },
        [&] { return stop; });
}

void Form1::x_but_add_Click() {
    Trap trap(errors_, kFormName, "x_but_add_Click");
    std::vector<std::string> files;
    if (!trap.step(
            [&] { files = filelist::choosePdfFiles(ui_, settings_, kMixAddFolderValue, true); }))
        return;
    for (const std::string& file : files) xbut_fisier_add(file);
}

void Form1::mix_grid_OLEDragDrop(const std::vector<std::string>& files) {
    // Each file goes through every check; a full list refuses each further file.
    for (const std::string& file : files) xbut_fisier_add(file);
}

void Form1::x_but_rem_Click() {
    Trap trap(errors_, kFormName, "x_but_rem_Click");
    trap.step([&] {
        filelist::removeCurrent(mixList(*this), [this](int row) { xbut_key(row).visible = false; });
    });
}

void Form1::x_but_up_Click() {
    Trap trap(errors_, kFormName, "x_but_up_Click");
    trap.step([&] { filelist::moveCurrent(mixList(*this), -1); });
}

void Form1::x_but_down_Click() {
    Trap trap(errors_, kFormName, "x_but_down_Click");
    trap.step([&] { filelist::moveCurrent(mixList(*this), 1); });
}

void Form1::mix_grid_Click(int mouseRow, int /*mouseCol*/) {
    Trap trap(errors_, kFormName, "mix_grid_Click");
    trap.step([&] {
        mixList(*this).reselect(filelist::rowAfterClick(mix_grid, state.xgrid_count, mouseRow));
    });
}

void Form1::mix_grid_KeyDown(std::int16_t& KeyCode, std::int16_t Shift) {
    Trap trap(errors_, kFormName, "mix_grid_KeyDown");
    trap.step(
        [&] { filelist::takeKey(mixList(*this), KeyCode, Shift, [this] { x_but_rem_Click(); }); });
}

void Form1::select_xgrid_row(int x) {
    Trap trap(errors_, kFormName, "select_xgrid_row");
    trap.step([&] { filelist::selectRow(mix_grid, x); });
}

void Form1::clear_xgrid_row(int x) {
    Trap trap(errors_, kFormName, "clear_xgrid_row");
    trap.step([&] { filelist::clearRow(mix_grid, x); });
}

void Form1::clear_xgrid_rows() {
    Trap trap(errors_, kFormName, "clear_xgrid_rows");
    trap.step([&] { filelist::clearRows(mix_grid, state.xgrid_count); });
}

void Form1::xbut_key_Click(int Index) {
    Trap trap(errors_, kFormName, "xbut_key_Click");
    trap.step([&] {
        filelist::askPasswordOfRow(mixList(*this), ui_, catalogue,
                                   filelist::rowOfButton(mix_grid, state.xgrid_count, Index));
    });
}

void Form1::mix_dest_other_Click() {
    Trap trap(errors_, kFormName, "mix_dest_other_Click");
    trap.step([&] { filelist::chooseOption(mix_dest_other, mix_dest_source, cmd_mix_dest, true); });
}

void Form1::mix_dest_source_Click() {
    Trap trap(errors_, kFormName, "mix_dest_source_Click");
    trap.step(
        [&] { filelist::chooseOption(mix_dest_source, mix_dest_other, cmd_mix_dest, false); });
}

void Form1::cmd_mix_dest_Click() {
    Trap trap(errors_, kFormName, "cmd_mix_dest_Click");
    trap.step([&] {
        std::string folder = OpenDirectoryTV(
            errors_, ui_, "", dialogStartFolder(settings_, kMixDestFolderValue, txt_mix_dest.text));
        if (folder.empty()) return;
        rememberDialogFolder(settings_, kMixDestFolderValue, folder, true);
        // A drive or file-system root comes back with its separator already.
        if (folder.back() != kPathSeparator) folder += kPathSeparator;
        txt_mix_dest.text = folder;
    });
}

}  // namespace pagemeld
