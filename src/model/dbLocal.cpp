#include "model/dbLocal.h"

#include "model/ViewHost.h"
#include "model/dbLocalMessages.h"

namespace tavlor {

TdmLocal::TdmLocal(TCompetition& compet, IViewHost* viewHost) : Compet_(compet), ViewHost_(viewHost) {
    InscritsByLicence_ = Tables.Inscrits.Clone();
    InscritsByLicence_->SetIndexName("IDXLI");
    InstallHandlers();
}

TdmLocal::~TdmLocal() {
    // The controller may outlive the store: leave no handler pointing here.
    Compet_.Store = TStoreHandlers{};
}

void TdmLocal::InstallHandlers() {
    TStoreHandlers& s = Compet_.Store;
    s.AddInscrit = [this](TParamTable& p) { return AddInscrit(p); };
    s.EditInscrit = [this](TParamTable& p) { return EditInscrit(p); };
    s.DelInscrit = [this](TParamTable& p) { return DelInscrit(p); };
    s.AddPhase = [this](TParamTable& p) { return AddPhase(p); };
    s.EditPhase = [this](TParamTable& p) { return EditPhase(p); };
    s.DelPhase = [this](TParamTable& p) { return DelPhase(p); };
}

TNodeHandle TdmLocal::AddNode(TNodeHandle parent, std::int32_t id, std::uint8_t kind, std::int32_t imageIndex) {
    const TNodeHandle node = Tree.AddChild(parent);
    TNodeData& data = Tree.Data(node);
    data.Id = id;
    data.Kind = kind;
    data.ImageIndex = imageIndex;
    return node;
}

bool TdmLocal::TriAlphaJoueurs() const { return ViewHost_ != nullptr && ViewHost_->TriAlphaJoueurs(); }

std::string TdmLocal::GetNomElement(std::uint8_t kind, std::int32_t id, std::int32_t idParent) {
    switch (kind) {
        case NodePhase: {
            const TRowView phase = Tables.Phases.Data().Lookup("IDPHASE", {id});
            return phase ? phase.AsString("NOMPHASE") : dbmsg::Unknown;
        }
        case NodePool: {
            const TRowView pool = Tables.Poules.Data().Lookup("IDPOULE", {id});
            return pool ? pool.AsString("NOMPOULE") : dbmsg::Unknown;
        }
        case NodeRegistrants:
            return dbmsg::Registrants;
        case NodeRegistrant: {
            const TRowView reg = Tables.Inscrits.Data().Lookup("LICENCE", {id});
            if (!reg) {
                return dbmsg::Unknown;
            }
            return reg.AsString("RGA") + " - " + reg.AsString("NOM");
        }
        case NodeMember: {
            const TRowView reg = Tables.Inscrits.Data().Lookup("LICENCE", {id});
            const std::string name = reg ? reg.AsString("NOM") : dbmsg::Unknown;
            if (idParent == -1) {
                return name;
            }
            const TRowView member = Tables.Joueurs.Data().Lookup("IDPOULE;LICENCE", {idParent, id});
            return member ? member.AsString("RGA") + " - " + name : name;
        }
        default:
            return dbmsg::Unknown;
    }
}

}  // namespace tavlor
