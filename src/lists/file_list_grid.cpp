#include "lists/file_list_grid.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <utility>
#include <vector>

#include "app/dialog_folders.h"
#include "app/key_codes.h"
#include "app/shared_routines.h"
#include "base/file_names.h"
#include "base/product.h"
#include "base/text_encoding.h"
#include "lang/catalogue.h"

namespace pagemeld::filelist {

namespace {

std::string lowered(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

void writeRow(Grid& grid, int row, const std::string& name, const std::string& folder,
              PageCount pages) {
    grid.setTextMatrix(row, kColNumber, std::to_string(row));
    grid.setTextMatrix(row, kColName, name);
    grid.setTextMatrix(row, kColFolder, folder);
    grid.setTextMatrix(row, kColPages, std::to_string(pages.pages) + (pages.guessed ? "?" : ""));
}

std::string pathOfRow(const Grid& grid, int row) {
    return grid.textMatrix(row, kColFolder) + grid.textMatrix(row, kColName);
}

void removeRow(Grid& grid, int row, int count) {
    for (int r = row; r <= count - 1; ++r) {
        for (int c = 1; c < grid.cols(); ++c) grid.setTextMatrix(r, c, grid.textMatrix(r + 1, c));
        grid.setTextMatrix(r, kColNumber, std::to_string(r));
    }
    for (int c = 0; c < grid.cols(); ++c) grid.setTextMatrix(count, c, {});
}

void swapRows(Grid& grid, int a, int b) {
    for (int c = 1; c < grid.cols(); ++c) {
        std::string first = grid.textMatrix(a, c);
        grid.setTextMatrix(a, c, grid.textMatrix(b, c));
        grid.setTextMatrix(b, c, first);
    }
}

void selectRow(Grid& grid, int row) {
    grid.setHighlighted(row, true);
    grid.row = row;
    grid.rowSel = row;
}

void clearRow(Grid& grid, int row) {
    if (row < grid.rows()) grid.row = row;
    grid.rowSel = row;
    grid.setHighlighted(row, false);
}

void clearRows(Grid& grid, int count) {
    // Only highlighted rows need repainting; the current row ends on the last one,
    // as clearing every row in turn leaves it. This keeps adding to a long list cheap.
    for (int r = 1; r <= count; ++r) {
        if (grid.highlighted(r)) grid.setHighlighted(r, false);
    }
    if (count >= 1) clearRow(grid, count);
}

void sortRows(Grid& grid, int count, int col, int dir) {
    if (count < 2) return;
    struct Entry {
        std::string key;
        std::vector<std::string> cells;  // columns 1..last
    };
    std::vector<Entry> entries;
    entries.reserve(static_cast<std::size_t>(count));
    for (int r = 1; r <= count; ++r) {
        Entry entry{lowered(grid.textMatrix(r, col)), {}};
        for (int c = 1; c < grid.cols(); ++c) entry.cells.push_back(grid.textMatrix(r, c));
        entries.push_back(std::move(entry));
    }
    // A stable sort keeps equal names in place, as exchanging neighbours only when
    // they compare strictly in the wrong order does.
    if (dir == 1) {
        std::stable_sort(entries.begin(), entries.end(),
                         [](const Entry& a, const Entry& b) { return a.key > b.key; });
    } else if (dir == -1) {
        std::stable_sort(entries.begin(), entries.end(),
                         [](const Entry& a, const Entry& b) { return a.key < b.key; });
    } else {
        return;
    }
    for (int r = 1; r <= count; ++r) {
        auto& cells = entries[static_cast<std::size_t>(r - 1)].cells;
        for (int c = 1; c < grid.cols(); ++c)
            grid.setTextMatrix(r, c, std::move(cells[static_cast<std::size_t>(c - 1)]));
    }
}

int rowToSwapWith(const Grid& grid, int count, int step) {
    const int row = grid.row;
    const int other = row + step;
    if (row < 1 || row > count || other < 1 || other > count) return 0;
    return other;
}

bool removesSelected(std::int16_t key, std::int16_t shift) {
    return key == keycode::kDelete && shift == shiftkey::kNone;
}

bool movesSelection(std::int16_t key) {
    switch (key) {
        case keycode::kUp:
        case keycode::kDown:
        case keycode::kPageUp:
        case keycode::kPageDown:
        case keycode::kHome:
        case keycode::kEnd:
            return true;
        default:
            return false;
    }
}

int rowAfterKey(const Grid& grid, int count, std::int16_t key) {
    if (count < 1 || !movesSelection(key)) return 0;
    // The file rows below the header that the grid's height holds.
    const int rowHeight = grid.rows() > 1 ? grid.rowHeight(1) : 0;
    const int page = rowHeight > 0 ? std::max(1, (grid.height - grid.rowHeight(0)) / rowHeight) : 1;
    // A current row off the files (the header, an empty row) counts as just before
    // the first one.
    const int from = grid.row >= 1 && grid.row <= count ? grid.row : 0;
    int to = from;
    switch (key) {
        case keycode::kUp:
            to = from - 1;
            break;
        case keycode::kDown:
            to = from + 1;
            break;
        case keycode::kPageUp:
            to = from - page;
            break;
        case keycode::kPageDown:
            to = from + page;
            break;
        case keycode::kHome:
            to = 1;
            break;
        default:  // End
            to = count;
            break;
    }
    return std::clamp(to, 1, count);
}

int rowAfterClick(Grid& grid, int count, int mouseRow) {
    // A click on a cell makes its row current; the header row is no file.
    if (mouseRow >= 1 && mouseRow < grid.rows()) grid.row = mouseRow;
    const int clicked = grid.row;
    if (clicked >= 1 && clicked <= count) return clicked;
    return count > 0 ? count : 1;
}

int rowOfButton(const Grid& grid, int count, int index) {
    const int top = grid.topRow;
    const int target = top >= 1 && top <= count ? index + top - 1 : index;
    return target >= 1 && target <= count ? target : 0;
}

void askPassword(Ui& ui, const Catalogue& texts, Grid& grid) {
    grid.col = kColPassword;
    const std::optional<std::string> answer =
        ui.inputBox(texts.MsgEnterPassw, kProductName, grid.text(), InputEcho::Masked);
    // Cancel keeps the stored password: erasing it would leave the file out of the
    // next run.
    if (answer) grid.setText(*answer);
}

bool refuseNonPdf(ErrorReporter& errors, Ui& ui, const Catalogue& texts, const std::string& file) {
    if (endsInPdf(file)) return false;
    MsgBoxEx(errors, ui, texts.MsgErrMergeOnlyPDF1 + " " + file + " " + texts.MsgErrMergeOnlyPDF2,
             msgbox::kCritical);
    return true;
}

void moveCurrent(const FileList& list, int step) {
    const int other = rowToSwapWith(list.grid, list.count, step);
    if (other == 0) return;
    swapRows(list.grid, list.grid.row, other);
    list.reselect(other);
}

void removeCurrent(const FileList& list, const std::function<void(int row)>& rowEmptied,
                   const std::function<void()>& afterRemoval) {
    int row = list.grid.row;
    // Only a selected file can be removed; the header or an empty row is no file.
    if (list.count == 0 || row < 1 || row > list.count) return;
    removeRow(list.grid, row, list.count);
    rowEmptied(list.count);
    --list.count;
    if (row > list.count) {
        list.clearOne(row);
        row = list.count;
    }
    if (afterRemoval) afterRemoval();
    list.select(row > 0 ? row : 1);
}

std::vector<std::string> choosePdfFiles(Ui& ui, Settings& settings, const char* folderValue,
                                        bool multiple) {
    const std::vector<std::string> files =
        ui.openFileDialog(parseDialogFilter("All PDF Files (*.pdf)|*.pdf"), multiple,
                          dialogStartFolder(settings, folderValue));
    if (!files.empty()) rememberDialogFolder(settings, folderValue, files.front());
    return files;
}

void takeKey(const FileList& list, std::int16_t& key, std::int16_t shift,
             const std::function<void()>& remove) {
    if (removesSelected(key, shift)) {
        key = 0;
        remove();
    } else if (movesSelection(key)) {
        const int row = rowAfterKey(list.grid, list.count, key);
        key = 0;
        if (row != 0) list.reselect(row);
    }
}

void askPasswordOfRow(const FileList& list, Ui& ui, const Catalogue& texts, int row) {
    if (row == 0) return;
    list.grid.row = row;
    askPassword(ui, texts, list.grid);
    list.grid.hasFocus = true;
    list.reselect(row);
}

void chooseOption(OptionButton& chosen, OptionButton& other, CommandButton& browse,
                  bool browseEnabled) {
    chosen.value = true;
    other.value = false;
    browse.enabled = browseEnabled;
}

}  // namespace pagemeld::filelist
