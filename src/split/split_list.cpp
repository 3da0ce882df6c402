// The split list: one source file in row 1 of split_grid with its page count and
// password, the method options and the destination folder.
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

constexpr int kSourceRow = 1;
constexpr int kPasswordInset = 15;  // twips between the password button and the grid's edge

}  // namespace

void Form1::add_fisier_split(const std::string& file) {
    Trap trap(errors_, kFormName, "add_fisier_split");
    std::string name;
    bool stop = false;
    trap.run(
        {
            [&] { stop = file.empty(); },
            [&] {
                if (!endsInPdf(file)) {
                    // A fixed English text, joined without blanks.
                    MsgBoxEx(
                        errors_, ui_,
                        "Please add only PDF files. File:" + file + "- doesn't look to be a PDF.",
                        msgbox::kCritical);
                    stop = true;
                }
            },
            [&] {
                name = ParsePath(errors_, file, kPathName, true);
                const std::string folder = ParsePath(errors_, file, kPathFolder, true);
                // A source already listed is simply replaced. Its password belongs to
                // that file: another file must not be opened with it.
                if (split_grid.textMatrix(kSourceRow, filelist::kColName) != name ||
                    split_grid.textMatrix(kSourceRow, filelist::kColFolder) != folder)
                    split_grid.setTextMatrix(kSourceRow, filelist::kColPassword, "");
                filelist::writeRow(split_grid, kSourceRow, name, folder, getpagenumber(file, true));
            },
            [&] { txt_split_filename.text = nameLessExtension(name); },
            [&] {
                if (split_dest_source.value)
                    txt_split_dest.text = ParsePath(errors_, file, kPathFolder, true);
            },
            [&] {
                but_passw.visible = true;
                but_passw.left =
                    split_grid.left + split_grid.sumColWidths() - but_passw.width - kPasswordInset;
                but_passw.top = split_grid.top + split_grid.rowHeight(kSourceRow) + 15;
            },
            [&] {
                split_add_but.enabled = false;
                select_grid_row(kSourceRow);
            },
        },
        [&] { return stop; });
}

void Form1::split_add_but_Click() {
    Trap trap(errors_, kFormName, "split_add_but_Click");
    std::vector<std::string> chosen;
    if (!trap.step([&] {
            chosen = filelist::choosePdfFiles(ui_, settings_, kSplitAddFolderValue, false);
        }))
        return;
    add_fisier_split(chosen.empty() ? std::string() : chosen.front());
}

void Form1::split_grid_OLEDragDrop(const std::vector<std::string>& files) {
    // The list holds one source: the first dropped file; the others are ignored.
    if (!files.empty()) add_fisier_split(files.front());
}

void Form1::split_rem_but_Click() {
    Trap trap(errors_, kFormName, "split_rem_but_Click");
    trap.step([&] {
        for (int c = filelist::kColNumber; c <= filelist::kColPassword; ++c)
            split_grid.setTextMatrix(kSourceRow, c, "");
        split_add_but.enabled = true;
        but_passw.visible = false;
    });
}

void Form1::but_passw_Click() {
    Trap trap(errors_, kFormName, "but_passw_Click");
    trap.step([&] {
        split_grid.row = kSourceRow;
        filelist::askPassword(ui_, catalogue, split_grid);
        split_grid.hasFocus = true;
        select_grid_row(kSourceRow);
    });
}

void Form1::select_grid_row(int x) {
    Trap trap(errors_, kFormName, "select_grid_row");
    trap.step([&] { filelist::selectRow(split_grid, x); });
}

void Form1::split_grid_Click() {
    Trap trap(errors_, kFormName, "split_grid_Click");
    trap.step([&] {
        if (split_grid.row != kSourceRow) select_grid_row(kSourceRow);
    });
}

void Form1::split_grid_KeyDown(std::int16_t& KeyCode, std::int16_t Shift) {
    Trap trap(errors_, kFormName, "split_grid_KeyDown");
    trap.step([&] {
        if (filelist::removesSelected(KeyCode, Shift)) {
            KeyCode = 0;
            split_rem_but_Click();
        } else if (filelist::movesSelection(KeyCode)) {
            // Row 1 holds the source, when there is one; nothing clears its highlight.
            const int count =
                split_grid.textMatrix(kSourceRow, filelist::kColNumber).empty() ? 0 : 1;
            const int row = filelist::rowAfterKey(split_grid, count, KeyCode);
            KeyCode = 0;
            if (row != 0) select_grid_row(row);
        }
    });
}

namespace {

// One method chosen: the others are cleared, and the range box takes text only for the
// range method.
void chooseMethod(Form1& form, OptionButton& chosen) {
    for (OptionButton* option :
         {&form.r_split_method1, &form.r_split_method2, &form.r_split_method3,
          &form.r_split_method4, &form.r_split_method5, &form.r_split_method6})
        option->value = option == &chosen;
    form.txt_split_range.enabled = &chosen == &form.r_split_method2;
}

}  // namespace

void Form1::r_split_method1_Click() {
    Trap trap(errors_, kFormName, "r_split_method1_Click");
    trap.step([&] { chooseMethod(*this, r_split_method1); });
}

void Form1::r_split_method2_Click() {
    Trap trap(errors_, kFormName, "r_split_method2_Click");
    trap.step([&] { chooseMethod(*this, r_split_method2); });
}

void Form1::split_dest_source_Click() {
    Trap trap(errors_, kFormName, "split_dest_source_Click");
    trap.step([&] {
        filelist::chooseOption(split_dest_source, split_dest_other, cmd_split_dest, false);
    });
}

void Form1::split_dest_other_Click() {
    Trap trap(errors_, kFormName, "split_dest_other_Click");
    trap.step(
        [&] { filelist::chooseOption(split_dest_other, split_dest_source, cmd_split_dest, true); });
}

void Form1::cmd_split_dest_Click() {
    Trap trap(errors_, kFormName, "cmd_split_dest_Click");
    trap.step([&] {
        const std::string folder = OpenDirectoryTV(
            errors_, ui_, "",
            dialogStartFolder(settings_, kSplitDestFolderValue, txt_split_dest.text));
        rememberDialogFolder(settings_, kSplitDestFolderValue, folder, true);
        // The separator is always added, also after a root that already ends in one.
        if (!folder.empty()) txt_split_dest.text = folder + kPathSeparator;
    });
}

}  // namespace pagemeld
