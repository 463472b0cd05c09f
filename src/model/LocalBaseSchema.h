#pragma once

#include "model/CompetTables.h"

#include <string_view>
#include <vector>

namespace tavlor {

// One step of the base's schema: the statements that bring a base from the
// version before to this one. A base records its version in PRAGMA
// user_version; opening it runs, in order and each in its own transaction,
// every step above that version. Steps are only ever added at the end, never
// changed once released: a base of any earlier version is brought forward.
struct TMigration {
    int Version = 0;
    std::string_view Sql;
};

// The program's steps, version 1 first; the last one is the schema the
// program reads and writes.
const std::vector<TMigration>& Migrations();

// The tables of a competition in the base, in the order in which they are
// written and read back: each holds the rows of one table of the open
// competition, in insertion order (SEQ from 0), one column per stored field
// of the memory table except NODE, the handle of a tree node, which the load
// gives anew. Every such table also has IDCOMPET, the competition's number.
enum TBaseTableId : int { BaseBillards, BasePhases, BasePoules, BaseInscrits, BaseJoueurs, BaseMatchs, BaseTableCount };

struct TBaseTable {
    const char* Name;              // SQL table
    TTable TCompetTables::*Table;  // the memory table
    std::vector<const char*> Columns;
};

const std::vector<TBaseTable>& BaseTables();
// The place of a column in its table's Columns; -1 when absent.
int BaseColumn(TBaseTableId table, std::string_view column);

}  // namespace tavlor
