#pragma once

#include "model/Table.h"

namespace tavlor {

// The tables of the open competition and the working tables of the views,
// with their fields, labels, display formats, indexes and current orders.
// Each member is the main cursor over its table's rows.
struct TCompetTables {
    TCompetTables();
    TCompetTables(const TCompetTables&) = delete;
    TCompetTables& operator=(const TCompetTables&) = delete;

    // The competition tables.
    TTable Phases;    // current order IDPHASE
    TTable Poules;    // index IDXIDPOULE
    TTable Inscrits;  // index IDXLI (IDXNOM while the registrants view is built)
    TTable Joueurs;   // index IDPHPO
    TTable Matchs;    // insertion order
    TTable Billards;  // index ParTaille

    // The working tables: what the two grids show, the general ranking's
    // scratch table, and the table files are read into.
    TTable FiltreJoueurs;
    TTable FiltreMatchs;
    TTable ClasstGal;
    TTable tmp;
};

// Display formats shared by the grids and the export.
inline constexpr const char* LicenceFormat = "000000";
inline constexpr const char* AverageFormat = "0.000";
inline constexpr const char* PointsFormat = "0.0";
inline constexpr const char* DateFormat = "dd/mm/yyyy";

}  // namespace tavlor
