// Store handlers of the registrants (Inscrits) and their registration ranks.
#include "model/dbLocal.h"

#include "model/Triage.h"
#include "model/dbLocalMessages.h"
#include "text/Cp1252.h"
#include "text/Error.h"

#include <algorithm>
#include <limits>

namespace tavlor {

void TdmLocal::CreateNodeInscrits() {
    if (RegistrantsNode != 0) {
        return;
    }
    RegistrantsNode = AddNode(0, -1, NodeRegistrants);
}

bool TdmLocal::AddInscrit(TParamTable& p) {
    CreateNodeInscrits();
    TTable& inscrits = Tables.Inscrits;
    if (inscrits.Data().Lookup("LICENCE", {p.Id})) {
        Compet_.LastError = msg::dblocal::LicenceExists(p.Id);
        return false;
    }
    const TNodeHandle node = AddNode(RegistrantsNode, p.Id, NodeRegistrant);
    if (p.Nom.empty()) {
        p.Nom = msg::dblocal::Unknown;
    }
    if (p.Valeur == -1) {
        p.Valeur = static_cast<std::int32_t>(inscrits.Data().RowCount()) + 1;
    }
    inscrits.Append();
    inscrits.SetInteger("LICENCE", p.Id);
    inscrits.SetString("NOM", p.Nom);
    inscrits.SetInteger("NODE", node);
    inscrits.SetInteger("RGA", p.Valeur);
    inscrits.Post();
    return true;
}

bool TdmLocal::EditInscrit(TParamTable& p) {
    TTable& reg = *InscritsByLicence_;
    if (!reg.Locate("LICENCE", {p.Id})) {
        Compet_.LastError = msg::dblocal::EditRankUnknownLicence(p.Id);
        return false;
    }
    if (reg.AsInteger("RGA") == p.Valeur) {
        return true;
    }
    if (Compet_.Chargement) {
        // Ranks from the server or a file stay as they come until the user's next change.
        reg.Edit();
        reg.SetInteger("RGA", p.Valeur);
        reg.Post();
        return true;
    }
    RenumberInscrits(p.Id, p.Valeur);
    return true;
}

void TdmLocal::RenumberInscrits(std::int32_t licence, std::int32_t rank) {
    TTable& reg = *InscritsByLicence_;
    TListTri list;
    for (reg.First(); !reg.Eof(); reg.Next()) {
        list.Add(reg.AsInteger("LICENCE"), reg.AsInteger("RGA"));
    }
    list.Sort();
    if (licence >= 0) {
        // Computed wide: a rank of INT_MIN must clamp to the first place, not wrap.
        const std::int64_t position = std::clamp<std::int64_t>(
            static_cast<std::int64_t>(rank) - 1, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
        list.Place(licence, static_cast<int>(position));
    }
    for (int i = 1; i <= list.Count(); ++i) {
        const TItemTri& item = list[i - 1];
        if (item.Rang != i && reg.Locate("LICENCE", {item.Cle})) {
            reg.Edit();
            reg.SetInteger("RGA", i);
            reg.Post();
        }
    }
}

bool TdmLocal::DelInscrit(TParamTable& p) {
    if (RegistrantsNode == 0) {
        throw Error(msg::dblocal::NoRegistrantsFolder);
    }
    TTable& reg = *InscritsByLicence_;
    if (!reg.Locate("LICENCE", {p.Id})) {
        Compet_.LastError = msg::dblocal::UnregisterUnknownLicence(p.Id);
        return false;
    }
    TTableData& matchs = Tables.Matchs.Data();
    if (matchs.Lookup("LICENCE1", {p.Id}) || matchs.Lookup("LICENCE2", {p.Id})) {
        Compet_.LastError = msg::dblocal::UnregisterHasMatches(RegistrantLabel(p.Id));
        return false;
    }
    if (Tables.Joueurs.Data().Lookup("LICENCE", {p.Id})) {
        Compet_.LastError = msg::dblocal::UnregisterHasPools(RegistrantLabel(p.Id));
        return false;
    }
    DeleteRowAndNode(reg);
    RenumberInscrits(-1, 0);
    return true;
}

int TdmLocal::CompareInscrits(std::int32_t licence1, std::int32_t licence2) {
    TTableData& inscrits = Tables.Inscrits.Data();
    const TRowView a = inscrits.Lookup("LICENCE", {licence1});
    const TRowView b = inscrits.Lookup("LICENCE", {licence2});
    if (!a || !b) {
        return 0;
    }
    if (TriAlphaJoueurs()) {
        return text::CompareTextAscii(a.AsString("NOM"), b.AsString("NOM"));
    }
    const std::int32_t ra = a.AsInteger("RGA"), rb = b.AsInteger("RGA");
    return ra < rb ? -1 : (rb < ra ? 1 : 0);
}

}  // namespace tavlor
