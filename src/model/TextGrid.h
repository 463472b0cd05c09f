#pragma once

#include <string>
#include <vector>

namespace tavlor {

// A grid of texts, addressed (column, row) from 0, as the list dialogs show
// them; row 0 is the title row of the server's lists. Resizing keeps the
// cells that stay inside and gives new cells an empty text.
class TTextGrid {
public:
    int ColCount() const { return Cols_; }
    int RowCount() const { return static_cast<int>(Cells_.size()); }
    void SetColCount(int cols);
    void SetRowCount(int rows);
    // An address outside the grid reads an empty text.
    const std::string& Cell(int col, int row) const;
    // Grows the grid when the address lies outside it.
    void SetCell(int col, int row, std::string text);

private:
    int Cols_ = 0;
    std::vector<std::vector<std::string>> Cells_;  // by row
};

}  // namespace tavlor
