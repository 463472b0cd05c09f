#include "model/dbLocal.h"

#include "model/dbLocalMessages.h"
#include "text/Cp1252.h"

namespace tavlor {

TdmLocal::TdmLocal(TCompetition& compet) : Compet_(compet) {
    InscritsByLicence_ = Tables.Inscrits.Clone();
    InscritsByLicence_->SetIndexName("IDXLI");
    JoueursWork_ = Tables.Joueurs.Clone();
    JoueursWork_->SetIndexName("IDPHPO");
    InstallHandlers();
}

TdmLocal::~TdmLocal() {
    // The controller may outlive the store: leave no handler pointing here.
    Compet_.Store = TStoreHandlers{};
    Compet_.OnAddBillard = nullptr;
    Compet_.OnClear = nullptr;
    Compet_.OnAfterLoad = nullptr;
}

void TdmLocal::InstallHandlers() {
    TStoreHandlers& s = Compet_.Store;
    s.AddInscrit = [this](TParamTable& p) { return AddInscrit(p); };
    s.EditInscrit = [this](TParamTable& p) { return EditInscrit(p); };
    s.DelInscrit = [this](TParamTable& p) { return DelInscrit(p); };
    s.AddPhase = [this](TParamTable& p) { return AddPhase(p); };
    s.EditPhase = [this](TParamTable& p) { return EditPhase(p); };
    s.DelPhase = [this](TParamTable& p) { return DelPhase(p); };
    s.AddPoule = [this](TParamTable& p) { return AddPoule(p); };
    s.UpdatePoule = [this](TParamTable& p) { return UpdatePoule(p); };
    s.DelPoule = [this](TParamTable& p) { return DelPoule(p); };
    s.AddJoueur = [this](TParamTable& p) { return AddJoueur(p); };
    s.UpdateJoueur = [this](TParamTable& p) { return UpdateJoueur(p); };
    s.DelJoueur = [this](TParamTable& p) { return DelJoueur(p); };
    s.AddMatch = [this](TParamMatch& m) { return AddMatch(m); };
    s.EditMatch = [this](TParamMatch& m) { return EditMatch(m); };
    s.DelMatch = [this](TParamMatch& m) { return DelMatch(m); };
    Compet_.OnAddBillard = [this](std::int32_t size, const std::string& label) { AddBillard(size, label); };
    Compet_.OnClear = [this] { ClearCompet(); };
    Compet_.OnAfterLoad = [this] { AfterLoadCompet(); };
}

std::string TdmLocal::MemberShortLabel(std::int32_t licence) {
    const TRowView reg = Tables.Inscrits.Data().Lookup("LICENCE", {licence});
    return reg ? reg.AsString("NOM") : msg::dblocal::Unknown;
}

TNodeHandle TdmLocal::AddNode(TNodeHandle parent, std::int32_t id, TNodeKind kind) {
    const TNodeHandle node = Tree.AddChild(parent);
    TNodeData& data = Tree.Data(node);
    data.Id = id;
    data.Kind = kind;
    return node;
}

TElement TdmLocal::ElementOf(TNodeHandle node) const {
    const TNodeData& data = Tree.Data(node);
    const TNodeHandle parent = Tree.Parent(node);
    return {data.Kind, data.Id, parent == 0 ? -1 : Tree.Data(parent).Id};
}

void TdmLocal::DeleteRowAndNode(TTable& table) {
    const TNodeHandle node = table.AsInteger("NODE");
    if (Tree.Exists(node)) {
        Tree.Delete(node);
    }
    table.Delete();
}

int TdmLocal::CompareJoueurs(std::int32_t idPoule, std::int32_t licence1, std::int32_t licence2) {
    if (TriAlphaJoueurs()) {
        TTableData& registrants = Tables.Inscrits.Data();
        const TRowView a = registrants.Lookup("LICENCE", {licence1});
        const TRowView b = registrants.Lookup("LICENCE", {licence2});
        if (!a || !b) {
            return 0;
        }
        return text::CompareTextAscii(a.AsString("NOM"), b.AsString("NOM"));
    }
    TTableData& members = Tables.Joueurs.Data();
    const TRowView a = members.Lookup("IDPOULE;LICENCE", {idPoule, licence1});
    const TRowView b = members.Lookup("IDPOULE;LICENCE", {idPoule, licence2});
    if (!a || !b) {
        return 0;
    }
    const std::int32_t ra = a.AsInteger("RGA"), rb = b.AsInteger("RGA");
    return ra < rb ? -1 : (rb < ra ? 1 : 0);
}

int TdmLocal::CompareNodes(TNodeHandle a, TNodeHandle b) {
    const TNodeData& da = Tree.Data(a);
    const TNodeData& db = Tree.Data(b);
    switch (da.Kind) {
        case NodePhase:
        case NodeRegistrants:
            return da.Id < db.Id ? -1 : (db.Id < da.Id ? 1 : 0);
        case NodePool: {
            const TNodeHandle parent = Tree.Parent(a);
            const std::int32_t phase = parent != 0 ? Tree.Data(parent).Id : -1;
            return text::CompareTextAscii(GetNomElement({NodePool, da.Id, phase}),
                                          GetNomElement({NodePool, db.Id, phase}));
        }
        case NodeRegistrant:
            return CompareInscrits(da.Id, db.Id);
        case NodeMember: {
            const TNodeHandle parent = Tree.Parent(a);
            return CompareJoueurs(parent != 0 ? Tree.Data(parent).Id : -1, da.Id, db.Id);
        }
        default:
            return 0;
    }
}

std::string TdmLocal::GetNomElement(const TElement& element) {
    const std::int32_t id = element.Id;
    const std::int32_t idParent = element.IdParent;
    switch (element.Kind) {
        case NodePhase: {
            const TRowView phase = Tables.Phases.Data().Lookup("IDPHASE", {id});
            return phase ? phase.AsString("NOMPHASE") : msg::dblocal::Unknown;
        }
        case NodePool: {
            const TRowView pool = Tables.Poules.Data().Lookup("IDPOULE", {id});
            return pool ? pool.AsString("NOMPOULE") : msg::dblocal::Unknown;
        }
        case NodeRegistrants:
            return msg::dblocal::Registrants;
        case NodeRegistrant: {
            const TRowView reg = Tables.Inscrits.Data().Lookup("LICENCE", {id});
            if (!reg) {
                return msg::dblocal::Unknown;
            }
            return reg.AsString("RGA") + " - " + reg.AsString("NOM");
        }
        case NodeMember: {
            const std::string name = MemberShortLabel(id);
            if (idParent == -1) {
                return name;
            }
            const TRowView member = Tables.Joueurs.Data().Lookup("IDPOULE;LICENCE", {idParent, id});
            return member ? member.AsString("RGA") + " - " + name : name;
        }
        default:
            return msg::dblocal::Unknown;
    }
}

}  // namespace tavlor
