// Store handlers of the pool members (Joueurs) and their arrival ranks.
#include "model/dbLocal.h"

#include "model/Triage.h"
#include "model/dbLocalMessages.h"
#include "text/Error.h"

#include <algorithm>
#include <limits>

namespace tavlor {

bool TdmLocal::HasMatchOf(std::string_view scopeField, std::int32_t scope, std::int32_t licence) {
    TTableData& matchs = Tables.Matchs.Data();
    const std::string field(scopeField);
    return matchs.Lookup(field + ";LICENCE1", {scope, licence}) || matchs.Lookup(field + ";LICENCE2", {scope, licence});
}

bool TdmLocal::AddJoueur(TParamTable& p) {
    if (p.IdParent < 0) {
        throw Error(msg::dblocal::IllegalPool(p.IdParent, msg::dblocal::AddPlayerImpossible));
    }
    if (!Tables.Inscrits.Data().Lookup("LICENCE", {p.Id})) {
        throw Error(msg::dblocal::UnregisteredLicence(p.Id));
    }
    const TRowView pool = Tables.Poules.Data().Lookup("IDPOULE", {p.IdParent});
    if (!pool) {
        throw Error(msg::dblocal::UnknownOwnerPool(p.IdParent, msg::dblocal::AddPlayerImpossible));
    }
    const TNodeHandle poolNode = pool.AsInteger("NODE");
    if (poolNode == 0 || !Tree.Exists(poolNode)) {
        throw Error(msg::dblocal::InternalError124);
    }
    p.IdDest = pool.AsInteger("IDPHASE");
    TTableData& joueurs = Tables.Joueurs.Data();
    // While loading, a player may sit in two pools of a phase as the server
    // has him; only the user is held to one pool per phase.
    const bool duplicate = Compet_.Chargement ? static_cast<bool>(joueurs.Lookup("IDPOULE;LICENCE", {p.IdParent, p.Id}))
                                              : static_cast<bool>(joueurs.Lookup("IDPHASE;LICENCE", {p.IdDest, p.Id}));
    if (duplicate) {
        Compet_.LastError = Compet_.Chargement
                                ? msg::dblocal::PlayerAlreadyInPool(RegistrantLabel(p.Id), PoolLabel(p.IdParent))
                                : msg::dblocal::PlayerAlreadyInPoolOrPhase(RegistrantLabel(p.Id), PoolLabel(p.IdParent),
                                                                           PhaseLabel(p.IdDest));
        return false;
    }
    const TNodeHandle node = AddNode(poolNode, p.Id, NodeMember);
    if (p.Valeur < 0) {
        p.Valeur = Tree.ChildCount(poolNode);
    }
    TTable& members = *JoueursWork_;
    members.Append();
    members.SetInteger("IDPHASE", p.IdDest);
    members.SetInteger("IDPOULE", p.IdParent);
    members.SetInteger("LICENCE", p.Id);
    members.SetInteger("RGA", p.Valeur);
    members.SetInteger("NODE", node);
    members.Post();
    if (!Compet_.Chargement) {
        RenumberPoule(p.Id, p.Valeur, p.IdParent);
    }
    return true;
}

bool TdmLocal::UpdateJoueur(TParamTable& p) {
    if (p.IdDest == p.IdParent) {
        return RenumberPoule(p.Id, p.Valeur, p.IdParent);
    }
    return TransferJoueur(p.Id, p.Valeur, p.IdDest, p.IdParent);
}

bool TdmLocal::TransferJoueur(std::int32_t licence, std::int32_t rank, std::int32_t toPool, std::int32_t fromPool) {
    if (fromPool < 0) {
        throw Error(msg::dblocal::IllegalFromPool(fromPool));
    }
    if (toPool < 0) {
        throw Error(msg::dblocal::IllegalToPool(toPool));
    }
    TTableData& poules = Tables.Poules.Data();
    const TRowView target = poules.Lookup("IDPOULE", {toPool});
    if (!target) {
        Compet_.LastError = msg::dblocal::UnknownTargetPool;
        return false;
    }
    const TNodeHandle targetNode = target.AsInteger("NODE");
    const std::int32_t toPhase = target.AsInteger("IDPHASE");
    const TRowView source = poules.Lookup("IDPOULE", {fromPool});
    if (!source) {
        Compet_.LastError = msg::dblocal::UnknownSourcePool;
        return false;
    }
    const std::int32_t fromPhase = source.AsInteger("IDPHASE");
    if (HasMatchOf("IDPHASE", fromPhase, licence)) {
        Compet_.LastError = msg::dblocal::MatchesInSourcePhase;
        return false;
    }
    if (HasMatchOf("IDPHASE", toPhase, licence)) {
        Compet_.LastError = msg::dblocal::MatchesInTargetPhase;
        return false;
    }
    TTableData& joueurs = Tables.Joueurs.Data();
    // Within one phase a player may still be in two pools after a load; he
    // must not end up twice in the same pool.
    if ((fromPhase != toPhase && joueurs.Lookup("IDPHASE;LICENCE", {toPhase, licence})) ||
        joueurs.Lookup("IDPOULE;LICENCE", {toPool, licence})) {
        Compet_.LastError = msg::dblocal::AlreadyInTargetPhase;
        return false;
    }
    TTable& members = *JoueursWork_;
    if (!members.Locate("IDPOULE;LICENCE", {fromPool, licence})) {
        Compet_.LastError = msg::dblocal::PlayerNotFound;
        return false;
    }
    if (rank < 0) {
        rank = Tree.Exists(targetNode) ? Tree.ChildCount(targetNode) + 1 : 1;
    }
    const TNodeHandle node = members.AsInteger("NODE");
    members.Edit();
    members.SetInteger("IDPHASE", toPhase);
    members.SetInteger("IDPOULE", toPool);
    members.SetInteger("RGA", rank);
    members.Post();
    if (Tree.Exists(node) && Tree.Exists(targetNode)) {
        Tree.MoveTo(node, targetNode);
    }
    RenumberPoule(-1, 1, fromPool);
    RenumberPoule(licence, rank, toPool);
    return true;
}

bool TdmLocal::DelJoueur(TParamTable& p) {
    if (p.IdParent < -1) {
        throw Error(msg::dblocal::IllegalPool(p.IdParent, msg::dblocal::DeletePlayerInPoolImpossible));
    }
    if (p.IdParent >= 0) {
        return RemoveJoueur(p.Id, p.IdParent);
    }
    // Every pool, lowest phase and pool first; what is removed before a
    // refusal stays removed.
    TTable& members = *JoueursWork_;
    while (members.Locate("LICENCE", {p.Id})) {
        p.IdParent = members.AsInteger("IDPOULE");
        if (!RemoveJoueur(p.Id, p.IdParent)) {
            return false;
        }
    }
    return true;
}

bool TdmLocal::RemoveJoueur(std::int32_t licence, std::int32_t pool) {
    if (pool < 0) {
        throw Error(msg::dblocal::IllegalPool(pool, msg::dblocal::RemovePlayerImpossible));
    }
    const TRowView poolRow = Tables.Poules.Data().Lookup("IDPOULE", {pool});
    if (!poolRow) {
        throw Error(msg::dblocal::UnknownOwnerPool(pool, msg::dblocal::RemovePlayerImpossible));
    }
    if (poolRow.AsInteger("NODE") == 0) {
        throw Error(msg::dblocal::InternalError124);
    }
    TTable& members = *JoueursWork_;
    if (!members.Locate("IDPOULE;LICENCE", {pool, licence})) {
        Compet_.LastError = msg::dblocal::NotInPool(RegistrantLabel(licence), PoolLabel(pool));
        return false;
    }
    if (HasMatchOf("IDPOULE", pool, licence)) {
        Compet_.LastError = msg::dblocal::CannotRemoveHasMatches(MemberShortLabel(licence), PoolLabel(pool));
        return false;
    }
    DeleteRowAndNode(members);
    return true;
}

bool TdmLocal::RenumberPoule(std::int32_t licence, std::int32_t rank, std::int32_t pool) {
    const TRowView poolRow = Tables.Poules.Data().Lookup("IDPOULE", {pool});
    if (!poolRow) {
        Compet_.LastError = msg::dblocal::RenumberUnknownPool(pool);
        return false;
    }
    const TNodeHandle poolNode = poolRow.AsInteger("NODE");
    const int k = Tree.Exists(poolNode) ? Tree.ChildCount(poolNode) : 0;
    const int target = (rank >= 1 && rank <= k) ? rank : k;

    TTable& members = *JoueursWork_;
    TFilterScope scope(members, "IDPOULE=" + msg::dblocal::N(pool));
    TListTri list;
    for (members.First(); !members.Eof(); members.Next()) {
        list.Add(members.AsInteger("LICENCE"), members.AsInteger("RGA"));
    }
    list.Sort();
    if (licence >= 0) {
        list.Place(licence, target - 1);
    }
    for (int i = 1; i <= list.Count(); ++i) {
        const TItemTri& item = list[i - 1];
        if (item.Rang != i && members.Locate("IDPOULE;LICENCE", {pool, item.Cle})) {
            members.Edit();
            members.SetInteger("RGA", i);
            members.Post();
        }
    }
    return true;
}

}  // namespace tavlor
