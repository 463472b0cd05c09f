#include "model/TextGrid.h"

#include <algorithm>

namespace tavlor {

namespace {
const std::string Empty;
}

void TTextGrid::SetColCount(int cols) {
    Cols_ = std::max(cols, 0);
    for (auto& row : Cells_) {
        row.resize(Cols_);
    }
}

void TTextGrid::SetRowCount(int rows) { Cells_.resize(std::max(rows, 0), std::vector<std::string>(Cols_)); }

const std::string& TTextGrid::Cell(int col, int row) const {
    if (col < 0 || row < 0 || col >= Cols_ || row >= RowCount()) {
        return Empty;
    }
    return Cells_[row][col];
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
    Cells_[row][col] = std::move(text);
}

}  // namespace tavlor
