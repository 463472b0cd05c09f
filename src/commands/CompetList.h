#pragma once

#include "model/TextGrid.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tavlor {

// The rules of the list dialogs: which competition of a list is chosen and
// under which title it is opened, which rows a filter keeps, and which
// player of a search is registered.

// Whether the list holds a competition to choose: a data row whose first cell
// is not empty.
bool HasCompetition(const TTextGrid& grid);
// The title a chosen competition is opened under, from the row's first four
// columns: "season level category - name" for the server's list,
// "season  level - category - name" for the local base's.
std::string CompetTitle(const TTextGrid& grid, int row, bool local);
// The competition's number (fifth column); throws tavlor::Error when it is
// not a whole number.
std::int32_t CompetNumber(const TTextGrid& grid, int row);

// Whether a cell holds the filter, the ASCII letters a to z compared as
// capitals; accented letters must match exactly.
bool FilterContains(const std::string& cell, const std::string& filter);
// The rows a filter keeps: the title row first, then every data row one of
// whose cells holds the filter.
std::vector<int> FilteredRows(const TTextGrid& grid, const std::string& filter);

// The player of a search's row: licence (first column; throws when it is not
// a whole number) and name (second column).
struct TFoundPlayer {
    std::int32_t Licence = 0;
    std::string Name;
};
TFoundPlayer FoundPlayer(const TTextGrid& grid, int row);

}  // namespace tavlor
