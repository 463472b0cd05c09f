// Store handlers of the phases.
#include "model/dbLocal.h"

#include "model/dbLocalMessages.h"
#include "text/Error.h"

namespace tavlor {

bool TdmLocal::AddPhase(TParamTable& p) {
    if (p.Id < 0) {
        throw Error(msg::dblocal::IllegalPhase(p.Id, msg::dblocal::AddImpossible));
    }
    if (p.Nom.empty()) {
        p.Nom = msg::dblocal::Unknown;
    }
    TTable& phases = Tables.Phases;
    if (phases.Data().Lookup("IDPHASE", {p.Id})) {
        Compet_.LastError = msg::dblocal::PhaseExists(PhaseLabel(p.Id));
        return false;
    }
    const TNodeHandle node = AddNode(0, p.Id, NodePhase);
    phases.Append();
    phases.SetInteger("IDPHASE", p.Id);
    phases.SetString("NOMPHASE", p.Nom);
    phases.SetInteger("NODE", node);
    phases.Post();
    return true;
}

bool TdmLocal::EditPhase(TParamTable& p) {
    if (p.Id < 0) {
        throw Error(msg::dblocal::IllegalPhase(p.Id, msg::dblocal::EditImpossible));
    }
    TTable& phases = Tables.Phases;
    if (!phases.Locate("IDPHASE", {p.Id})) {
        Compet_.LastError = msg::dblocal::EditUnknownPhase(p.Id);
        return false;
    }
    // The tree reads the name from the table: the node is left alone.
    phases.Edit();
    phases.SetString("NOMPHASE", p.Nom);
    phases.Post();
    return true;
}

bool TdmLocal::DelPhase(TParamTable& p) {
    if (p.Id < 0) {
        throw Error(msg::dblocal::IllegalPhase(p.Id, msg::dblocal::DeleteImpossible));
    }
    TTable& phases = Tables.Phases;
    if (!phases.Locate("IDPHASE", {p.Id})) {
        Compet_.LastError = msg::dblocal::DeleteUnknownPhase(p.Id);
        return false;
    }
    if (Tables.Poules.Data().Lookup("IDPHASE", {p.Id})) {
        Compet_.LastError = msg::dblocal::PhaseHasPools(phases.AsString("NOMPHASE"));
        return false;
    }
    DeleteRowAndNode(phases);
    return true;
}

}  // namespace tavlor
