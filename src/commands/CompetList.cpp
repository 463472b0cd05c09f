#include "commands/CompetList.h"

#include "text/Numbers.h"

namespace tavlor {

namespace {

std::string AsciiUpper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

}  // namespace

bool HasCompetition(const TTextGrid& grid) {
    return grid.RowCount() > 1 && !grid.Cell(0, 1).empty();
}

std::string CompetTitle(const TTextGrid& grid, int row, bool local) {
    const char* first = local ? "  " : " ";
    const char* second = local ? " - " : " ";
    return grid.Cell(0, row) + first + grid.Cell(1, row) + second + grid.Cell(2, row) + " - " + grid.Cell(3, row);
}

std::int32_t CompetNumber(const TTextGrid& grid, int row) {
    return text::StrToInt(grid.Cell(4, row));
}

bool FilterContains(const std::string& cell, const std::string& filter) {
    // UTF-8 keeps every byte of an accented letter above 127, out of the folding's reach.
    return AsciiUpper(cell).find(AsciiUpper(filter)) != std::string::npos;
}

std::vector<int> FilteredRows(const TTextGrid& grid, const std::string& filter) {
    std::vector<int> rows{0};
    for (int r = 1; r < grid.RowCount(); ++r) {
        for (int c = 0; c < grid.ColCount(); ++c) {
            if (FilterContains(grid.Cell(c, r), filter)) {
                rows.push_back(r);
                break;
            }
        }
    }
    return rows;
}

TFoundPlayer FoundPlayer(const TTextGrid& grid, int row) {
    return {text::StrToInt(grid.Cell(0, row)), grid.Cell(1, row)};
}

}  // namespace tavlor
