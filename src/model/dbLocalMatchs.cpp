// Store handlers of the matches and billiard sizes.
#include "model/dbLocal.h"

#include "model/dbLocalMessages.h"
#include "text/Error.h"

namespace tavlor {

void TdmLocal::WriteMatch(TTable& matchs, const TParamMatch& m, bool withNumber) {
    matchs.SetInteger("IDPHASE", m.IdPhase);
    matchs.SetInteger("IDPOULE", m.IdPoule);
    if (withNumber) {
        matchs.SetInteger("IDMATCH", m.IdMatch);
    }
    matchs.SetInteger("LICENCE1", m.Licence1);
    matchs.SetInteger("PTS1", m.Pts1);
    matchs.SetInteger("REP1", m.Rep1);
    matchs.SetInteger("SER1", m.Ser1);
    matchs.SetInteger("PM1", m.Pm1);
    matchs.SetInteger("LICENCE2", m.Licence2);
    matchs.SetInteger("PTS2", m.Pts2);
    matchs.SetInteger("REP2", m.Rep2);
    matchs.SetInteger("SER2", m.Ser2);
    matchs.SetInteger("PM2", m.Pm2);
    matchs.SetDateTime("DATEMATCH", m.DateMatch);
    matchs.SetInteger("BD", m.Bd);
    matchs.SetFloat("COEFBD", m.CoefBd);
}

TRowView TdmLocal::CheckMatch(const TParamMatch& m, const char* numberAction, const char* action) {
    if (m.IdMatch < 0) {
        throw Error(msg::dblocal::IllegalMatch(m.IdMatch, numberAction));
    }
    if (m.IdPoule < 0) {
        throw Error(msg::dblocal::IllegalPool(m.IdPoule, action));
    }
    const TRowView pool = Tables.Poules.Data().Lookup("IDPOULE", {m.IdPoule});
    if (!pool) {
        throw Error(msg::dblocal::UnknownPool(m.IdPoule, action));
    }
    TTableData& joueurs = Tables.Joueurs.Data();
    for (std::int32_t licence : {m.Licence1, m.Licence2}) {
        if (!joueurs.Lookup("IDPOULE;LICENCE", {m.IdPoule, licence})) {
            throw Error(msg::dblocal::PlayerNotInPool(RegistrantLabel(licence), PoolLabel(m.IdPoule), action));
        }
    }
    return pool;
}

bool TdmLocal::AddMatch(TParamMatch& m) {
    const TRowView pool = CheckMatch(m, msg::dblocal::AddImpossible, msg::dblocal::MatchAddImpossible);
    TTable& matchs = Tables.Matchs;
    if (matchs.Data().Lookup("IDMATCH", {m.IdMatch})) {
        Compet_.LastError = msg::dblocal::MatchExists(m.IdMatch);
        return false;
    }
    if (pool.AsInteger("NODE") == 0) {
        throw Error(msg::dblocal::AddMatchUnknownPool(m.IdPoule));
    }
    matchs.Append();
    WriteMatch(matchs, m, true);
    matchs.Post();
    return true;
}

bool TdmLocal::EditMatch(TParamMatch& m) {
    const TRowView pool = CheckMatch(m, msg::dblocal::MatchNumberEditImpossible, msg::dblocal::MatchEditImpossible);
    TTable& matchs = Tables.Matchs;
    if (!matchs.Locate("IDMATCH", {m.IdMatch})) {
        Compet_.LastError = msg::dblocal::EditUnknownMatch(m.IdMatch);
        return false;
    }
    if (pool.AsInteger("NODE") == 0) {
        throw Error(msg::dblocal::EditMatchUnknownPool(m.IdPoule));
    }
    matchs.Edit();
    WriteMatch(matchs, m, false);
    matchs.Post();
    return true;
}

bool TdmLocal::DelMatch(TParamMatch& m) {
    TTable& matchs = Tables.Matchs;
    if (!matchs.Locate("IDMATCH", {m.IdMatch})) {
        Compet_.LastError = msg::dblocal::DeleteUnknownMatch(m.IdMatch);
        return false;
    }
    matchs.Delete();
    return true;
}

void TdmLocal::AddBillard(std::int32_t size, const std::string& label) {
    TTable& billards = Tables.Billards;
    billards.Append();
    billards.SetInteger("TAILLE", size);
    billards.SetString("NOMBD", label);
    billards.Post();
}

}  // namespace tavlor
