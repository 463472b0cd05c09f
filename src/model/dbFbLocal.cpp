// A competition of this computer: the handlers that take the place of a
// server's, and the players the base knows for its registrations.
#include "model/Communs.h"
#include "model/LocalBaseMessages.h"
#include "model/TextGrid.h"
#include "model/dbFb.h"
#include "model/dbFbMessages.h"
#include "model/dbLocal.h"
#include "model/dbLocalMessages.h"
#include "text/Cp1252.h"
#include "text/Error.h"
#include "text/Numbers.h"

#include <algorithm>
#include <limits>

namespace tavlor {

namespace {

// The largest number of the field in the table plus 1 (1 for an empty
// table); 0 when the largest is the last number there is.
std::int32_t NextNumber(const TTable& table, const char* field) {
    const TTableData& data = table.Data();
    const int slot = data.FieldByName(field).StorageIndex;
    std::int32_t largest = 0;
    for (const TRow* row : data.RowsInInsertionOrder()) {
        largest = std::max(largest, ValueAsInteger(row->Values[slot]));
    }
    return largest == std::numeric_limits<std::int32_t>::max() ? 0 : largest + 1;
}

std::string AsciiUpper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

}  // namespace

void TdmFb::InstallLocalHandlers() {
    TServerHandlers& s = Compet_.Server;
    s.Local = true;
    s.AddPoule = [this](TParamTable& p) { return LocalAddPoule(p); };
    s.EditPoule = [this](TParamTable& p) { return LocalEditPoule(p); };
    s.DelPoule = [this](TParamTable& p) { return LocalDelPoule(p); };
    s.AddMatch = [this](TParamMatch& m) { return LocalAddMatch(m); };
    s.EditMatch = [this](TParamMatch& m) { return LocalEditMatch(m); };
    s.DelMatch = [this](TParamMatch& m) { return LocalDelMatch(m); };
}

bool TdmFb::LocalAddPoule(TParamTable& p) {
    if (!Compet_.CanModify()) return false;
    if (p.IdParent < 0) throw Error(msg::dblocal::IllegalPhase(p.IdParent, msg::dblocal::AddImpossible));
    // As a server names a pool given without a name.
    if (p.Nom.empty()) p.Nom = msg::dblocal::Unknown;
    p.Id = NextNumber(Dm_.Tables.Poules, "IDPOULE");
    if (p.Id == 0) {
        Compet_.LastError = msg::dbfb::NoNumberLeft;
        return false;
    }
    return true;
}

bool TdmFb::LocalEditPoule(TParamTable& p) {
    if (!Compet_.CanModify()) return false;
    if (p.Id < 0) throw Error(msg::dblocal::IllegalPool(p.Id, msg::dblocal::EditImpossible));
    return true;
}

bool TdmFb::LocalDelPoule(TParamTable& p) {
    if (!Compet_.CanModify()) return false;
    if (p.Id < 0) throw Error(msg::dblocal::IllegalPool(p.Id, msg::dblocal::DeleteImpossible));
    return true;
}

bool TdmFb::LocalBillard(TParamMatch& m) {
    if (!Dm_.Tables.Billards.Data().Lookup("TAILLE", {m.Bd})) {
        Compet_.LastError = msg::dbfb::UnknownBillard(m.Bd);
        return false;
    }
    // The weight a server gives this billiard, as the base learnt it from
    // the servers' matches; the same weight for every billiard otherwise.
    const std::optional<double> coefficient = Base_.IsOpen() ? Base_.ServerCoefficient(m.Bd) : std::nullopt;
    m.CoefBd = coefficient.value_or(1.0);
    return true;
}

bool TdmFb::LocalAddMatch(TParamMatch& m) {
    if (!Compet_.CanModify()) return false;
    if (m.IdPoule < 0) throw Error(msg::dblocal::IllegalPool(m.IdPoule, msg::dblocal::MatchAddImpossible));
    if (!LocalBillard(m)) return false;
    m.IdMatch = NextNumber(Dm_.Tables.Matchs, "IDMATCH");
    if (m.IdMatch == 0) {
        Compet_.LastError = msg::dbfb::NoNumberLeft;
        return false;
    }
    return true;
}

bool TdmFb::LocalEditMatch(TParamMatch& m) {
    if (!Compet_.CanModify()) return false;
    if (m.IdMatch < 0) throw Error(msg::dblocal::IllegalMatch(m.IdMatch, msg::dblocal::MatchNumberEditImpossible));
    if (m.IdPoule < 0) throw Error(msg::dblocal::IllegalPool(m.IdPoule, msg::dblocal::MatchEditImpossible));
    return LocalBillard(m);
}

bool TdmFb::LocalDelMatch(TParamMatch& m) {
    if (!Compet_.CanModify()) return false;
    if (m.IdMatch < 0) throw Error(msg::dblocal::IllegalMatch(m.IdMatch, msg::dblocal::DeleteImpossible));
    return true;
}

void TdmFb::ListJoueursDb(TTextGrid& grid) {
    if (!IsOpen()) throw Error(msg::localbase::NotOpen);
    const std::string wanted = AsciiUpper(grid.Cell(0, 0));
    std::vector<TKnownPlayer> found;
    for (TKnownPlayer& p : Base_.KnownPlayers()) {
        if (AsciiUpper(p.Name).find(wanted) != std::string::npos) found.push_back(std::move(p));
    }
    std::stable_sort(found.begin(), found.end(), [](const TKnownPlayer& a, const TKnownPlayer& b) {
        return text::CollateCompare(a.Name, b.Name) < 0;
    });
    grid.SetColCount(3);
    grid.SetRowCount(1 + static_cast<int>(found.size()));
    grid.SetCell(0, 0, msg::dbfb::ColumnLicence);
    grid.SetCell(1, 0, msg::dbfb::ColumnName);
    grid.SetCell(2, 0, msg::dbfb::ColumnLastCompet);
    int row = 1;
    for (const TKnownPlayer& p : found) {
        grid.SetCell(0, row, text::IntToStr(p.Licence));
        grid.SetCell(1, row, p.Name);
        grid.SetCell(2, row, p.Competition);
        ++row;
    }
}

}  // namespace tavlor
