#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tavlor {

// A grid of texts, addressed (column, row) from 0, as the list dialogs show
// them; row 0 is the title row of the server's lists. Resizing keeps the
// cells that stay inside and gives new cells an empty text.
//
// Each row holds only the cells up to its last one set: a reply of many short
// records and one long one costs what its texts cost, not rows x columns.
class TTextGrid {
public:
    int ColCount() const { return Cols_; }
    int RowCount() const { return static_cast<int>(Rows_.size()); }
    void SetColCount(int cols);
    void SetRowCount(int rows);
    // An address outside the grid reads an empty text.
    const std::string& Cell(int col, int row) const;
    // Grows the grid when the address lies outside it.
    void SetCell(int col, int row, std::string text);
    // Cells that hold storage of their own (the others read empty).
    std::size_t StoredCells() const;

private:
    int Cols_ = 0;
    std::vector<std::vector<std::string>> Rows_;  // each no longer than Cols_
};

}  // namespace tavlor
