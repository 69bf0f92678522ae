#include "kernel/controls.h"

#include <stdexcept>

namespace saldorama {

void CheckBox::setChecked(bool value) {
    if (value == checked_) return;
    checked_ = value;
    if (onClick) onClick();
}

StringGrid::StringGrid(int colCount, int rowCount)
    : cols_(colCount), rows_(rowCount),
      cells_(static_cast<std::size_t>(colCount) * static_cast<std::size_t>(rowCount)) {}

void StringGrid::setRowCount(int rows) {
    if (rows < 0) rows = 0;
    rows_ = rows;
    cells_.resize(static_cast<std::size_t>(cols_) * static_cast<std::size_t>(rows_));
}

std::string& StringGrid::cell(int col, int row) {
    if (col < 0 || col >= cols_ || row < 0 || row >= rows_) throw std::out_of_range("grid cell");
    return cells_[static_cast<std::size_t>(row) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(col)];
}

const std::string& StringGrid::cell(int col, int row) const {
    return const_cast<StringGrid*>(this)->cell(col, row);
}

void StringGrid::clearRows(int first, int last) {
    if (first < 0) first = 0;
    if (last >= rows_) last = rows_ - 1;
    for (int r = first; r <= last; ++r)
        for (int c = 0; c < cols_; ++c) cell(c, r).clear();
}

} // namespace saldorama
