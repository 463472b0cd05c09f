#include "model/LocalBaseSchema.h"

namespace tavlor {

namespace {

// Version 1: the competitions and their six tables.
//
// Tables are STRICT: a value of the wrong kind is refused rather than turned
// into another. Doubles are declared ANY, which keeps each as it was given
// (a REAL column would turn -0.0 into 0). A competition's rows are keyed by
// (IDCOMPET, SEQ), SEQ being the row's place in its memory table, so that a
// competition read back holds its rows in the same order; deleting the
// competition deletes them.
constexpr std::string_view Version1 = R"sql(
CREATE TABLE COMPETITIONS (
    IDCOMPET INTEGER PRIMARY KEY,       -- federation number, or local number (FirstLocalCompet and up)
    TITRE TEXT NOT NULL,                -- the title shown, as the program names it
    DISCIPLINE TEXT NOT NULL,           -- "3Bandes", "Bande", "Cadre", "Libre"
    SAISON TEXT NOT NULL DEFAULT '',    -- "2025-2026"; empty when not known
    ORIGINE TEXT NOT NULL DEFAULT '',   -- address of the server it was downloaded from; empty: created here
    MAJ REAL NOT NULL,                  -- download or last change, days since 1899-12-30, local time
    NBINSCRITS INTEGER NOT NULL DEFAULT 0,
    NBMATCHS INTEGER NOT NULL DEFAULT 0
) STRICT;

-- Values of the base itself: PROCHAINLOCAL, the next local competition number.
CREATE TABLE PARAMETRES (
    CLE TEXT PRIMARY KEY,
    VALEUR ANY
) STRICT;
INSERT INTO PARAMETRES (CLE, VALEUR) VALUES ('PROCHAINLOCAL', 1000000000);

CREATE TABLE BILLARDS (
    IDCOMPET INTEGER NOT NULL REFERENCES COMPETITIONS (IDCOMPET) ON DELETE CASCADE,
    SEQ INTEGER NOT NULL,
    TAILLE INTEGER,
    NOMBD TEXT,
    PRIMARY KEY (IDCOMPET, SEQ)
) STRICT, WITHOUT ROWID;

CREATE TABLE PHASES (
    IDCOMPET INTEGER NOT NULL REFERENCES COMPETITIONS (IDCOMPET) ON DELETE CASCADE,
    SEQ INTEGER NOT NULL,
    IDPHASE INTEGER,
    NOMPHASE TEXT,
    PRIMARY KEY (IDCOMPET, SEQ)
) STRICT, WITHOUT ROWID;

CREATE TABLE POULES (
    IDCOMPET INTEGER NOT NULL REFERENCES COMPETITIONS (IDCOMPET) ON DELETE CASCADE,
    SEQ INTEGER NOT NULL,
    IDPOULE INTEGER,
    NOMPOULE TEXT,
    IDPHASE INTEGER,
    FCLASST INTEGER,
    PRIMARY KEY (IDCOMPET, SEQ)
) STRICT, WITHOUT ROWID;

CREATE TABLE INSCRITS (
    IDCOMPET INTEGER NOT NULL REFERENCES COMPETITIONS (IDCOMPET) ON DELETE CASCADE,
    SEQ INTEGER NOT NULL,
    LICENCE INTEGER,
    NOM TEXT,
    RGA INTEGER,
    PRIMARY KEY (IDCOMPET, SEQ)
) STRICT, WITHOUT ROWID;

CREATE TABLE JOUEURS (
    IDCOMPET INTEGER NOT NULL REFERENCES COMPETITIONS (IDCOMPET) ON DELETE CASCADE,
    SEQ INTEGER NOT NULL,
    IDPHASE INTEGER,
    IDPOULE INTEGER,
    LICENCE INTEGER,
    RGA INTEGER,
    PRIMARY KEY (IDCOMPET, SEQ)
) STRICT, WITHOUT ROWID;

CREATE TABLE MATCHS (
    IDCOMPET INTEGER NOT NULL REFERENCES COMPETITIONS (IDCOMPET) ON DELETE CASCADE,
    SEQ INTEGER NOT NULL,
    IDPHASE INTEGER,
    IDPOULE INTEGER,
    IDMATCH INTEGER,
    LICENCE1 INTEGER,
    PTS1 INTEGER,
    REP1 INTEGER,
    SER1 INTEGER,
    PM1 INTEGER,
    LICENCE2 INTEGER,
    PTS2 INTEGER,
    REP2 INTEGER,
    SER2 INTEGER,
    PM2 INTEGER,
    DATEMATCH ANY,
    BD INTEGER,
    COEFBD ANY,
    PRIMARY KEY (IDCOMPET, SEQ)
) STRICT, WITHOUT ROWID;
)sql";

}  // namespace

const std::vector<TMigration>& Migrations() {
    static const std::vector<TMigration> steps = {{1, Version1}};
    return steps;
}

const std::vector<TBaseTable>& BaseTables() {
    static const std::vector<TBaseTable> tables = {
        {"BILLARDS", &TCompetTables::Billards, {"TAILLE", "NOMBD"}},
        {"PHASES", &TCompetTables::Phases, {"IDPHASE", "NOMPHASE"}},
        {"POULES", &TCompetTables::Poules, {"IDPOULE", "NOMPOULE", "IDPHASE", "FCLASST"}},
        {"INSCRITS", &TCompetTables::Inscrits, {"LICENCE", "NOM", "RGA"}},
        {"JOUEURS", &TCompetTables::Joueurs, {"IDPHASE", "IDPOULE", "LICENCE", "RGA"}},
        {"MATCHS",
         &TCompetTables::Matchs,
         {"IDPHASE", "IDPOULE", "IDMATCH", "LICENCE1", "PTS1", "REP1", "SER1", "PM1", "LICENCE2", "PTS2", "REP2",
          "SER2", "PM2", "DATEMATCH", "BD", "COEFBD"}},
    };
    return tables;
}

int BaseColumn(TBaseTableId table, std::string_view column) {
    const std::vector<const char*>& columns = BaseTables()[table].Columns;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (column == columns[i]) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace tavlor
