// Opening a competition of the local base: read whole, then given to the
// store handlers in the manner of a download.
#include "model/Communs.h"
#include "model/LocalBaseMessages.h"
#include "model/dbFb.h"
#include "model/dbFbMessages.h"
#include "model/dbLocal.h"
#include "text/Error.h"

namespace tavlor {

namespace {

std::int32_t Int(const TValue& value) {
    return ValueAsInteger(value);
}

std::string Text(const TValue& value) {
    const auto* s = std::get_if<std::string>(&value);
    return s != nullptr ? *s : std::string();
}

}  // namespace

void TdmFb::LoadCompetDb(std::int32_t competition, const std::string& title) {
    if (!IsOpen()) throw Error(msg::localbase::NotOpen);
    // Read whole before the competition open is touched: a failure here
    // leaves the program as it was.
    const TStoredCompet stored = Base_.Read(competition, Dm_.Tables);
    // The snapshot of the competition left is saved, then the tables emptied.
    Compet_.DoClear();
    ForgetOpen();
    Compet_.ListsComplete = false;
    try {
        Replay(stored);
        RestoreValues(stored);
        Compet_.ListsComplete = true;
        // No server behind it: a copy's changes cannot reach one, and a
        // competition of this computer has its own handlers instead.
        Compet_.Server = TServerHandlers{};
        if (stored.Info.IsLocal()) InstallLocalHandlers();
        Compet_.OnShowLogin = nullptr;
        Compet_.OnListJoueurs = [this](TTextGrid& grid) { ListJoueursDb(grid); };
        Compet_.Connexion = TConnexion::LocalBase;
        // The copy of a server's competition is changed on its server only:
        // changed here, it would part from it for good.
        Compet_.ReadOnly = stored.Info.IsLocal() ? std::string() : msg::dbfb::ReadOnlyCopy(stored.Info.Origin);
        Shown_ = stored.Info;
        ++Opened_;
        Compet_.SetIdCompet(competition);
        Compet_.SetMessage(stored.Info.Title.empty() ? title : stored.Info.Title);
        Compet_.SetDiscipline(stored.Info.Discipline);
        Compet_.SetLogin("");
    } catch (...) {
        Compet_.AbandonLoad();
        throw;
    }
    // The tables hold the stored rows now; the snapshot of this competition
    // is merged into them. A failure of the merge reaches the caller with the
    // competition open, but it is no longer kept in the base.
    const TState loaded = State();
    Compet_.DoAfterLoad();
    OpenId_ = competition;
    OpenOrigin_ = stored.Info.Origin;
    OpenSeason_ = stored.Info.Season;
    // What the snapshot brought in that the base lacks is stored by the next store.
    if (State() == loaded || SameRows(stored)) Stored_ = State();
}

void TdmFb::Refused(std::int32_t competition) {
    throw Error(msg::dbfb::Inconsistent(competition, Compet_.LastError));
}

void TdmFb::Replay(const TStoredCompet& stored) {
    const std::int32_t id = stored.Info.Id;
    TStoreHandlers& store = Compet_.Store;
    {
        const int size = BaseColumn(BaseBillards, "TAILLE"), name = BaseColumn(BaseBillards, "NOMBD");
        for (const auto& row : stored.Rows[BaseBillards]) Compet_.DoAddBillard(Int(row[size]), Text(row[name]));
    }
    {
        const int phase = BaseColumn(BasePhases, "IDPHASE"), name = BaseColumn(BasePhases, "NOMPHASE");
        for (const auto& row : stored.Rows[BasePhases]) {
            TParamTable p;
            p.Id = Int(row[phase]);
            p.Nom = Text(row[name]);
            if (!store.AddPhase(p)) Refused(id);
        }
    }
    {
        const int pool = BaseColumn(BasePoules, "IDPOULE"), name = BaseColumn(BasePoules, "NOMPOULE");
        const int phase = BaseColumn(BasePoules, "IDPHASE"), formula = BaseColumn(BasePoules, "FCLASST");
        for (const auto& row : stored.Rows[BasePoules]) {
            TParamTable p;
            p.Id = Int(row[pool]);
            p.Nom = Text(row[name]);
            p.IdParent = Int(row[phase]);
            p.Valeur = Int(row[formula]);
            if (!store.AddPoule(p)) Refused(id);
        }
    }
    {
        const int licence = BaseColumn(BaseInscrits, "LICENCE"), name = BaseColumn(BaseInscrits, "NOM");
        const int rank = BaseColumn(BaseInscrits, "RGA");
        for (const auto& row : stored.Rows[BaseInscrits]) {
            TParamTable p;
            p.Id = Int(row[licence]);
            p.Nom = Text(row[name]);
            p.Valeur = Int(row[rank]);
            if (!store.AddInscrit(p)) Refused(id);
        }
    }
    {
        const int licence = BaseColumn(BaseJoueurs, "LICENCE"), pool = BaseColumn(BaseJoueurs, "IDPOULE");
        const int phase = BaseColumn(BaseJoueurs, "IDPHASE"), rank = BaseColumn(BaseJoueurs, "RGA");
        for (const auto& row : stored.Rows[BaseJoueurs]) {
            TParamTable p;
            p.Id = Int(row[licence]);
            p.IdParent = Int(row[pool]);
            p.IdDest = Int(row[phase]);
            p.Valeur = Int(row[rank]);
            if (!store.AddJoueur(p)) Refused(id);
        }
    }
    // The columns of a match, in the order of the record's fields.
    static const char* const fields[] = {"DATEMATCH", "IDMATCH", "IDPHASE", "IDPOULE",  "LICENCE1", "PTS1",
                                         "REP1",      "SER1",    "PM1",     "LICENCE2", "PTS2",     "REP2",
                                         "SER2",      "PM2",     "BD",      "COEFBD"};
    int c[16];
    for (int f = 0; f < 16; ++f) c[f] = BaseColumn(BaseMatchs, fields[f]);
    for (const auto& row : stored.Rows[BaseMatchs]) {
        TParamMatch m;
        m.DateMatch = ValueAsFloat(row[c[0]]);
        m.IdMatch = Int(row[c[1]]);
        m.IdPhase = Int(row[c[2]]);
        m.IdPoule = Int(row[c[3]]);
        m.Licence1 = Int(row[c[4]]);
        m.Pts1 = Int(row[c[5]]);
        m.Rep1 = Int(row[c[6]]);
        m.Ser1 = Int(row[c[7]]);
        m.Pm1 = Int(row[c[8]]);
        m.Licence2 = Int(row[c[9]]);
        m.Pts2 = Int(row[c[10]]);
        m.Rep2 = Int(row[c[11]]);
        m.Ser2 = Int(row[c[12]]);
        m.Pm2 = Int(row[c[13]]);
        m.Bd = Int(row[c[14]]);
        m.CoefBd = ValueAsFloat(row[c[15]]);
        if (!store.AddMatch(m)) Refused(id);
    }
}

void TdmFb::RestoreValues(const TStoredCompet& stored) {
    const std::vector<TBaseTable>& tables = BaseTables();
    for (std::size_t t = 0; t < tables.size(); ++t) {
        const TBaseTable& table = tables[t];
        const auto& rows = stored.Rows[t];
        TTableData& data = (Dm_.Tables.*table.Table).Data();
        const std::vector<TRow*> memory = data.RowsInInsertionOrder();
        if (memory.size() != rows.size()) {
            throw Error(msg::dbfb::Inconsistent(stored.Info.Id, msg::dbfb::RowsMissing));
        }
        for (std::size_t c = 0; c < table.Columns.size(); ++c) {
            const int slot = data.FieldByName(table.Columns[c]).StorageIndex;
            for (std::size_t r = 0; r < rows.size(); ++r) {
                if (!SameValue(memory[r]->Values[slot], rows[r][c])) data.UpdateValue(memory[r], slot, rows[r][c]);
            }
        }
    }
}

bool TdmFb::SameRows(const TStoredCompet& stored) const {
    const std::vector<TBaseTable>& tables = BaseTables();
    for (std::size_t t = 0; t < tables.size(); ++t) {
        const TBaseTable& table = tables[t];
        const auto& rows = stored.Rows[t];
        const TTableData& data = (Dm_.Tables.*table.Table).Data();
        const std::vector<TRow*> memory = data.RowsInInsertionOrder();
        if (memory.size() != rows.size()) return false;
        for (std::size_t c = 0; c < table.Columns.size(); ++c) {
            const int slot = data.FieldByName(table.Columns[c]).StorageIndex;
            for (std::size_t r = 0; r < rows.size(); ++r) {
                if (!SameValue(memory[r]->Values[slot], rows[r][c])) return false;
            }
        }
    }
    return true;
}

}  // namespace tavlor
