// The file-list grid shared by the merge, split and mix lists: row 0 is the header,
// rows 1..count hold one file each with the columns below. Column 0 numbers the
// rows and never moves with its file. Grid errors (a row beyond the table) are
// raised as the grid raises them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/controls.h"
#include "app/form1.h"
#include "base/platform.h"

namespace pagemeld {
class ErrorReporter;
struct Catalogue;
}  // namespace pagemeld

namespace pagemeld::filelist {

inline constexpr int kColNumber = 0;
inline constexpr int kColName = 1;
inline constexpr int kColFolder = 2;  // with a final separator
inline constexpr int kColPages = 3;
inline constexpr int kColPassword = 4;
inline constexpr int kColChosenPages = 5;  // the merge list's only: the pages it takes

// The merge and mix lists' refusal of a name that is no PDF: tells the user and
// returns true; returns false for a PDF name.
bool refuseNonPdf(ErrorReporter& errors, Ui& ui, const Catalogue& texts, const std::string& file);

// Writes file row `row`: its number, name, folder and page count, a guessed count
// followed by "?". The password cell is left as it is (empty in a fresh row).
void writeRow(Grid& grid, int row, const std::string& name, const std::string& folder,
              PageCount pages);

// The file's full path: folder followed by name.
std::string pathOfRow(const Grid& grid, int row);

// Removes file row `row` of `count`: the rows below move up one (their numbers
// follow the position) and row `count` is emptied.
void removeRow(Grid& grid, int row, int count);

// Exchanges every column but the number of two rows.
void swapRows(Grid& grid, int a, int b);

// Makes `row` current and the end of the row selection, and highlights it.
void selectRow(Grid& grid, int row);
// Makes `row` current (when it exists) and the end of the selection, and draws it
// in the grid's own colours.
void clearRow(Grid& grid, int row);
// clearRow for rows 1..count.
void clearRows(Grid& grid, int count);

// The row a move of the current row by `step` (-1 up, +1 down) exchanges it with,
// or 0 when the current row is no file or already at that end of the list.
int rowToSwapWith(const Grid& grid, int count, int step);

// Whether a key removes a list's selected file: Delete without a shift key.
bool removesSelected(std::int16_t key, std::int16_t shift);

// Whether `key` moves a list's selection: Up, Down, Page Up, Page Down, Home, End,
// whatever the shift keys (a list selects one row only). A list takes these keys:
// the grid's own moving would leave its focus frame on another row than the one
// selected, which the buttons act on.
bool movesSelection(std::int16_t key);

// The file row such a key leads to from the current row: Up and Down one row, Page
// Up and Page Down as many rows as the grid shows, Home and End the first and last
// file, never past either end. 0 in an empty list or for any other key.
int rowAfterKey(const Grid& grid, int count, std::int16_t key);

// The row a click leaves current: the file row clicked (a click on the header keeps
// the current row), else the last file row, or 1 in an empty list.
int rowAfterClick(Grid& grid, int count, int mouseRow);

// The file row a row's password button stands for: button `index` serves the
// index-th row shown. 0 when the button is over no file (a list scrolled past its end).
int rowOfButton(const Grid& grid, int count, int index);

// Asks for the password of the current row's file in a masked box that offers the
// stored one, and stores the answer in the password cell, which becomes the current
// cell. Cancel keeps what was stored; OK on an empty box clears it.
void askPassword(Ui& ui, const Catalogue& texts, Grid& grid);

// One of the window's file lists as its handlers work on it: its grid and its count of
// files, and its own routines that select a row and clear the highlight of every row.
struct FileList {
    Grid& grid;
    std::int32_t& count;
    std::function<void(int row)> select;
    std::function<void()> clearAll;
    std::function<void(int row)> clearOne;

    // Makes `row` the one selected and highlighted.
    void reselect(int row) const {
        clearAll();
        select(row);
    }
};

// Moves the current file one row up (step -1) or down (+1), and keeps it selected.
void moveCurrent(const FileList& list, int step);

// Removes the current file row, when a file row is current: the rows below move up and
// the list is one file shorter. `rowEmptied` is told the row left empty (it hides that
// row's password button) before `afterRemoval` may drop a grid row; the file now at that
// place, or else the last one, is selected.
void removeCurrent(const FileList& list, const std::function<void(int row)>& rowEmptied,
                   const std::function<void()>& afterRemoval = {});

// The PDF files chosen in the open dialog (several when `multiple`); it starts in the
// folder remembered under `folderValue`, which then remembers this one.
std::vector<std::string> choosePdfFiles(Ui& ui, Settings& settings, const char* folderValue,
                                        bool multiple);

// A key pressed on a list: Delete calls `remove`, the moving keys select the row they
// lead to; a key taken is set to 0.
void takeKey(const FileList& list, std::int16_t& key, std::int16_t shift,
             const std::function<void()>& remove);

// Asks for the password of file row `row` (0: none, nothing is asked) and selects it.
void askPasswordOfRow(const FileList& list, Ui& ui, const Catalogue& texts, int row);

// An option of a pair chosen: it is set, the other cleared, and `browse` enabled when it
// is the option that wants a folder picked.
void chooseOption(OptionButton& chosen, OptionButton& other, CommandButton& browse,
                  bool browseEnabled);

// Sorts rows 1..count by the text of `col` without regard to letter case:
// dir -1 ascending, 1 descending; rows with equal texts keep their order.
void sortRows(Grid& grid, int count, int col, int dir);

}  // namespace pagemeld::filelist
