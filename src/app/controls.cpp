#include "app/controls.h"

#include <limits>
#include <numeric>

#include "base/runtime_error.h"

namespace pagemeld {

void throwInvalidPropertyValue() {
    throw RuntimeError(errcode::kInvalidPropertyValue, "Invalid property value");
}

int checkedTwips(std::int64_t value) {
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        throw RuntimeError(errcode::kOverflow, "Overflow");
    return static_cast<int>(value);
}

void placeOnGridRow(Control& button, const Grid& grid, int row, int inset) {
    constexpr int kFileColumns = 5;
    constexpr int kDrop = 15;  // twips between the row's top and the button's
    std::int64_t columns = 0;
    for (int c = 0; c < kFileColumns && c < grid.cols(); ++c) columns += grid.colWidth(c);
    button.left = checkedTwips(std::int64_t{grid.left} + columns - button.width - inset);
    button.top =
        checkedTwips(std::int64_t{grid.top} + std::int64_t{grid.rowHeight(1)} * row + kDrop);
}

void throwNoSuchArrayElement(int index) {
    throw RuntimeError(errcode::kNoSuchArrayElement,
                       "Control array element '" + std::to_string(index) + "' doesn't exist");
}

void Grid::setRows(int count) {
    // The fixed header row always stays.
    if (count < 1) throw RuntimeError(errcode::kInvalidGridRow, "Invalid Row value");
    const auto n = static_cast<std::size_t>(count);
    cells_.resize(n, std::vector<std::string>(colWidths_.size()));
    rowHeights_.resize(n, kDefaultRowHeight);
    highlighted_.resize(n, false);
    if (row >= count) row = count - 1;
    if (rowSel >= count) rowSel = count - 1;
    if (topRow >= count) topRow = std::max(1, count - 1);
}

void Grid::setCols(int count) {
    if (count < 1) throw RuntimeError(errcode::kInvalidGridCol, "Invalid Col value");
    const auto n = static_cast<std::size_t>(count);
    for (auto& cellsOfRow : cells_) cellsOfRow.resize(n);
    colWidths_.resize(n, kDefaultColWidth);
    if (col >= count) col = count - 1;
}

void Grid::checkRow(int r) const {
    if (r < 0 || r >= rows()) throw RuntimeError(errcode::kInvalidGridRow, "Invalid Row value");
}

void Grid::checkCol(int c) const {
    if (c < 0 || c >= cols()) throw RuntimeError(errcode::kInvalidGridCol, "Invalid Col value");
}

const std::string& Grid::textMatrix(int r, int c) const {
    checkRow(r);
    checkCol(c);
    return cells_[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
}

void Grid::setTextMatrix(int r, int c, const std::string& text) {
    checkRow(r);
    checkCol(c);
    cells_[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] = text;
}

int Grid::colWidth(int c) const {
    checkCol(c);
    return colWidths_[static_cast<std::size_t>(c)];
}

void Grid::setColWidth(int c, int w) {
    checkCol(c);
    if (w < 0) throwInvalidPropertyValue();
    colWidths_[static_cast<std::size_t>(c)] = w;
}

int Grid::rowHeight(int r) const {
    checkRow(r);
    return rowHeights_[static_cast<std::size_t>(r)];
}

void Grid::setRowHeight(int r, int h) {
    checkRow(r);
    if (h < 0) throwInvalidPropertyValue();
    rowHeights_[static_cast<std::size_t>(r)] = h;
}

int Grid::sumColWidths() const {
    return std::accumulate(colWidths_.begin(), colWidths_.end(), 0);
}

bool Grid::highlighted(int r) const {
    checkRow(r);
    return highlighted_[static_cast<std::size_t>(r)];
}

void Grid::setHighlighted(int r, bool on) {
    checkRow(r);
    highlighted_[static_cast<std::size_t>(r)] = on;
}

}  // namespace pagemeld
