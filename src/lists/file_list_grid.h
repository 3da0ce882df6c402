// The file-list grid shared by the merge, split and mix lists: row 0 is the header,
// rows 1..count hold one file each with the columns below. Column 0 numbers the
// rows and never moves with its file. Grid errors (a row beyond the table) are
// raised as the grid raises them.
#pragma once

#include <cstdint>
#include <string>

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

// True when the last three characters of `file`, lower-cased, are "pdf": the only
// test a name gets before it is listed.
bool endsInPdf(const std::string& file);

// The merge and mix lists' refusal of a name that is no PDF: tells the user and
// returns true; returns false for a PDF name.
bool refuseNonPdf(ErrorReporter& errors, Ui& ui, const Catalogue& texts, const std::string& file);

// The file name less its last four characters (".pdf"): the base name the split and
// mix lists offer for their outputs. Characters, not bytes, so a name such as
// "日本語pdf" keeps whole characters; a name of four characters or fewer leaves "".
std::string nameLessExtension(const std::string& name);

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

// Sorts rows 1..count by the text of `col` without regard to letter case:
// dir -1 ascending, 1 descending; rows with equal texts keep their order.
void sortRows(Grid& grid, int count, int col, int dir);

}  // namespace pagemeld::filelist
