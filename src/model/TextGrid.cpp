#include "model/TextGrid.h"

#include <algorithm>

namespace tavlor {

namespace {
const std::string Empty;
}

void TTextGrid::SetColCount(int cols) {
    const int previous = Cols_;
    Cols_ = std::max(cols, 0);
    if (Cols_ >= previous) {
        return;  // the new cells read empty without being stored
    }
    for (auto& row : Rows_) {
        if (row.size() > static_cast<std::size_t>(Cols_)) {
            row.resize(static_cast<std::size_t>(Cols_));
            row.shrink_to_fit();
        }
    }
}

void TTextGrid::SetRowCount(int rows) {
    Rows_.resize(static_cast<std::size_t>(std::max(rows, 0)));
}

const std::string& TTextGrid::Cell(int col, int row) const {
    if (col < 0 || row < 0 || col >= Cols_ || row >= RowCount()) {
        return Empty;
    }
    const auto& cells = Rows_[static_cast<std::size_t>(row)];
    return static_cast<std::size_t>(col) < cells.size() ? cells[static_cast<std::size_t>(col)] : Empty;
}

std::size_t TTextGrid::StoredCells() const {
    std::size_t n = 0;
    for (const auto& row : Rows_) {
        n += row.size();
    }
    return n;
}

void TTextGrid::SetCell(int col, int row, std::string text) {
    if (col < 0 || row < 0) {
        return;
    }
    if (col >= Cols_) {
        SetColCount(col + 1);
    }
    if (row >= RowCount()) {
        SetRowCount(row + 1);
    }
    auto& cells = Rows_[static_cast<std::size_t>(row)];
    if (static_cast<std::size_t>(col) >= cells.size()) {
        if (text.empty()) {
            return;  // reads empty already
        }
        cells.resize(static_cast<std::size_t>(col) + 1);
    }
    cells[static_cast<std::size_t>(col)] = std::move(text);
}

}  // namespace tavlor
