// The mix list: the two documents of a mix with their page counts and passwords,
// and the destination folder and base name of the outputs.
#include <functional>
#include <string>
#include <vector>

#include "app/dialog_folders.h"
#include "app/form1.h"
#include "app/shared_routines.h"
#include "app/system_info.h"
#include "errors/trap.h"
#include "lists/file_list_grid.h"

namespace pagemeld {

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
                    filelist::nameLessExtension(mix_grid.textMatrix(1, filelist::kColName));
            },
        },
        [&] { return stop; });
}

void Form1::x_but_add_Click() {
    Trap trap(errors_, kFormName, "x_but_add_Click");
    std::vector<std::string> files;
    if (!trap.step([&] {
            files = ui_.openFileDialog(parseDialogFilter("All PDF Files (*.pdf)|*.pdf"), true,
                                       dialogStartFolder(settings_, kMixAddFolderValue));
            if (!files.empty()) rememberDialogFolder(settings_, kMixAddFolderValue, files.front());
        }))
        return;
    for (const std::string& file : files) xbut_fisier_add(file);
}

void Form1::mix_grid_OLEDragDrop(const std::vector<std::string>& files) {
    // Each file goes through every check; a full list refuses each further file.
    for (const std::string& file : files) xbut_fisier_add(file);
}

void Form1::x_but_rem_Click() {
    Trap trap(errors_, kFormName, "x_but_rem_Click");
    int s = 0;
    bool stop = false;
    trap.run({
                 [&] {
                     s = mix_grid.row;
                     // Only a selected file can be removed; the header or an empty row is no file.
                     stop = state.xgrid_count == 0 || s < 1 || s > state.xgrid_count;
                 },
                 [&] { filelist::removeRow(mix_grid, s, state.xgrid_count); },
                 [&] { xbut_key(state.xgrid_count).visible = false; },
                 [&] { --state.xgrid_count; },
                 [&] {
                     if (s > state.xgrid_count) {
                         clear_xgrid_row(s);
                         s = state.xgrid_count;
                     }
                 },
                 [&] { select_xgrid_row(s > 0 ? s : 1); },
             },
             [&] { return stop; });
}

void Form1::x_but_up_Click() {
    Trap trap(errors_, kFormName, "x_but_up_Click");
    trap.step([&] {
        const int other = filelist::rowToSwapWith(mix_grid, state.xgrid_count, -1);
        if (other == 0) return;
        filelist::swapRows(mix_grid, mix_grid.row, other);
        clear_xgrid_rows();
        select_xgrid_row(other);
    });
}

void Form1::x_but_down_Click() {
    Trap trap(errors_, kFormName, "x_but_down_Click");
    trap.step([&] {
        const int other = filelist::rowToSwapWith(mix_grid, state.xgrid_count, 1);
        if (other == 0) return;
        filelist::swapRows(mix_grid, mix_grid.row, other);
        clear_xgrid_rows();
        select_xgrid_row(other);
    });
}

void Form1::mix_grid_Click(int mouseRow, int /*mouseCol*/) {
    Trap trap(errors_, kFormName, "mix_grid_Click");
    trap.step([&] {
        const int row = filelist::rowAfterClick(mix_grid, state.xgrid_count, mouseRow);
        clear_xgrid_rows();
        select_xgrid_row(row);
    });
}

void Form1::mix_grid_KeyDown(std::int16_t& KeyCode, std::int16_t Shift) {
    Trap trap(errors_, kFormName, "mix_grid_KeyDown");
    trap.step([&] {
        if (filelist::removesSelected(KeyCode, Shift)) {
            KeyCode = 0;
            x_but_rem_Click();
        } else if (filelist::movesSelection(KeyCode)) {
            const int row = filelist::rowAfterKey(mix_grid, state.xgrid_count, KeyCode);
            KeyCode = 0;
            if (row == 0) return;
            clear_xgrid_rows();
            select_xgrid_row(row);
        }
    });
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
        const int target = filelist::rowOfButton(mix_grid, state.xgrid_count, Index);
        if (target == 0) return;
        mix_grid.row = target;
        filelist::askPassword(ui_, catalogue, mix_grid);
        mix_grid.hasFocus = true;
        clear_xgrid_rows();
        select_xgrid_row(target);
    });
}

void Form1::mix_dest_other_Click() {
    Trap trap(errors_, kFormName, "mix_dest_other_Click");
    trap.step([&] {
        mix_dest_other.value = true;
        mix_dest_source.value = false;
        cmd_mix_dest.enabled = true;
    });
}

void Form1::mix_dest_source_Click() {
    Trap trap(errors_, kFormName, "mix_dest_source_Click");
    trap.step([&] {
        mix_dest_source.value = true;
        mix_dest_other.value = false;
        cmd_mix_dest.enabled = false;
    });
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
