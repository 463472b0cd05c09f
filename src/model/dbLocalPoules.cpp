// Store handlers of the pools.
#include "model/dbLocal.h"

#include "model/dbLocalMessages.h"
#include "text/Error.h"

namespace tavlor {

bool TdmLocal::AddPoule(TParamTable& p) {
    if (p.Id < 0) {
        throw Error(msg::dblocal::IllegalPool(p.Id, msg::dblocal::AddImpossible));
    }
    if (p.IdParent < 0) {
        throw Error(msg::dblocal::IllegalOwnerPhase(p.IdParent));
    }
    const TRowView phase = Tables.Phases.Data().Lookup("IDPHASE", {p.IdParent});
    if (!phase) {
        throw Error(msg::dblocal::UnknownOwnerPhase(p.IdParent));
    }
    const TNodeHandle phaseNode = phase.AsInteger("NODE");
    if (phaseNode == 0 || !Tree.Exists(phaseNode)) {
        throw Error(msg::dblocal::InternalError123);
    }
    TTable& poules = Tables.Poules;
    if (poules.Data().Lookup("IDPOULE", {p.Id})) {
        Compet_.LastError = msg::dblocal::PoolExists(PoolLabel(p.Id));
        return false;
    }
    const TNodeHandle node = AddNode(phaseNode, p.Id, NodePool);
    poules.Append();
    poules.SetInteger("IDPOULE", p.Id);
    poules.SetString("NOMPOULE", p.Nom);
    poules.SetInteger("IDPHASE", p.IdParent);
    poules.SetInteger("FCLASST", p.Valeur);
    poules.SetInteger("NODE", node);
    poules.Post();
    return true;
}

bool TdmLocal::UpdatePoule(TParamTable& p) {
    if (p.Id < 0) {
        throw Error(msg::dblocal::IllegalPool(p.Id, msg::dblocal::EditImpossible));
    }
    TTable& poules = Tables.Poules;
    if (!poules.Locate("IDPOULE", {p.Id})) {
        Compet_.LastError = msg::dblocal::EditUnknownPool(p.Id);
        return false;
    }
    if (!p.Nom.empty()) {
        poules.Edit();
        poules.SetString("NOMPOULE", p.Nom);
        poules.Post();
        return true;
    }
    if (p.IdParent < 0) {
        if (p.Valeur < 0) {
            Compet_.LastError = msg::dblocal::PoolBadParameters(PoolLabel(p.Id));
            return false;
        }
        poules.Edit();
        poules.SetInteger("FCLASST", p.Valeur);
        poules.Post();
        return true;
    }
    const TRowView phase = Tables.Phases.Data().Lookup("IDPHASE", {p.IdParent});
    if (!phase) {
        Compet_.LastError = msg::dblocal::MoveToUnknownPhase(PoolLabel(p.Id));
        return false;
    }
    const TNodeHandle poolNode = poules.AsInteger("NODE");
    if (!TransferPoule(p.Id, poules.AsInteger("IDPHASE"), p.IdParent)) {
        return false;
    }
    const TNodeHandle phaseNode = phase.AsInteger("NODE");
    if (Tree.Exists(poolNode) && Tree.Exists(phaseNode)) {
        Tree.MoveTo(poolNode, phaseNode);
    }
    return true;
}

bool TdmLocal::TransferPoule(std::int32_t pool, std::int32_t fromPhase, std::int32_t toPhase) {
    // Every member is checked before anything changes.
    TTableData& joueurs = Tables.Joueurs.Data();
    {
        TTable& members = *JoueursWork_;
        TFilterScope scope(members, "IDPOULE=" + msg::dblocal::N(pool));
        for (members.First(); !members.Eof(); members.Next()) {
            if (joueurs.Lookup("IDPHASE;LICENCE", {toPhase, members.AsInteger("LICENCE")})) {
                Compet_.LastError = msg::dblocal::MovePoolPlayersInPhase;
                return false;
            }
        }
    }
    TTable& matchs = Tables.Matchs;
    while (matchs.Locate("IDPHASE;IDPOULE", {fromPhase, pool})) {
        matchs.Edit();
        matchs.SetInteger("IDPHASE", toPhase);
        matchs.Post();
    }
    TTable& members = *JoueursWork_;
    while (members.Locate("IDPHASE;IDPOULE", {fromPhase, pool})) {
        members.Edit();
        members.SetInteger("IDPHASE", toPhase);
        members.Post();
    }
    TTable& poules = Tables.Poules;
    if (!poules.Locate("IDPOULE", {pool})) {
        Compet_.LastError = msg::dblocal::Error221;
        return false;
    }
    poules.Edit();
    poules.SetInteger("IDPHASE", toPhase);
    poules.Post();
    return true;
}

bool TdmLocal::DelPoule(TParamTable& p) {
    if (p.Id < 0) {
        throw Error(msg::dblocal::IllegalPool(p.Id, msg::dblocal::DeleteImpossible));
    }
    if (Tables.Joueurs.Data().Lookup("IDPOULE", {p.Id})) {
        Compet_.LastError = msg::dblocal::DeletePoolHasPlayers(PoolLabel(p.Id));
        return false;
    }
    if (Tables.Matchs.Data().Lookup("IDPOULE", {p.Id})) {
        Compet_.LastError = msg::dblocal::DeletePoolHasMatches(PoolLabel(p.Id));
        return false;
    }
    TTable& poules = Tables.Poules;
    if (!poules.Locate("IDPOULE", {p.Id})) {
        Compet_.LastError = msg::dblocal::DeleteUnknownPool(p.Id);
        return false;
    }
    DeleteRowAndNode(poules);
    return true;
}

}  // namespace tavlor
