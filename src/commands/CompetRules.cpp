#include "commands/CompetRules.h"

#include "commands/CommandsMessages.h"
#include "model/LocalBase.h"
#include "model/dbLocal.h"
#include "text/Cp1252.h"
#include "text/DateTime.h"
#include "text/Numbers.h"

#include <algorithm>
#include <memory>
#include <set>

namespace tavlor {

std::int32_t NextPhaseNumber(const TCompetTables& tables) {
    std::int32_t number = 0;
    std::unique_ptr<TTable> phases = tables.Phases.Clone();
    for (phases->First(); !phases->Eof(); phases->Next()) number = std::max(number, phases->AsInteger("IDPHASE"));
    return number + 1;
}

std::string NewPhaseName(std::int32_t number) {
    return msg::commands::PhaseName + text::IntToStr(number);
}

TNodeHandle OwningPhaseNode(const TNodeTree& tree, TNodeHandle focused) {
    if (focused == 0 || !tree.Exists(focused)) return 0;
    TNodeHandle phase = 0;
    switch (tree.Data(focused).Kind) {
        case NodePhase:
            phase = focused;
            break;
        case NodePool:
            phase = tree.Parent(focused);
            break;
        case NodeMember:
            phase = tree.Parent(focused) != 0 ? tree.Parent(tree.Parent(focused)) : 0;
            break;
        default:
            return 0;
    }
    return phase != 0 && tree.Data(phase).Kind == NodePhase ? phase : 0;
}

std::string ProposedPouleName(TdmLocal& dm, TNodeHandle phaseNode) {
    const char32_t letter = U'A' + static_cast<char32_t>(dm.Tree.ChildCount(phaseNode));
    return dm.PhaseLabel(dm.Tree.Data(phaseNode).Id) + " " + text::CharacterText(letter);
}

TRegistrantChoice RegistrantsNotInPhase(TdmLocal& dm, std::int32_t phase) {
    std::set<std::int32_t> playing;
    std::unique_ptr<TTable> joueurs = dm.Tables.Joueurs.Clone();
    for (joueurs->First(); !joueurs->Eof(); joueurs->Next()) {
        if (joueurs->AsInteger("IDPHASE") == phase) playing.insert(joueurs->AsInteger("LICENCE"));
    }
    std::unique_ptr<TTable> inscrits = dm.Tables.Inscrits.Clone();
    inscrits->SetIndexFieldNames("RGA");
    TRegistrantChoice choice;
    for (inscrits->First(); !inscrits->Eof(); inscrits->Next()) {
        const std::int32_t licence = inscrits->AsInteger("LICENCE");
        if (playing.count(licence) != 0) continue;
        choice.Items.push_back(inscrits->AsString("NOM") + " (" + text::FormatFloat("000000", licence) + ")");
        choice.Licences.push_back(licence);
    }
    return choice;
}

bool DropAccepted(TNodeKind target, TDragKind drag) {
    switch (target) {
        case NodePhase:
            return drag == DragPool;
        case NodePool:
            return drag == DragRegistrant || drag == DragMember || drag == DragGridRow;
        default:
            return false;
    }
}

TDropOperation DropOperationFor(const TElement& target, const TDragParamTable& drag) {
    const auto kind = static_cast<TDragKind>(drag.DragKind);
    if (!DropAccepted(target.Kind, kind)) return TDropOperation::None;
    if (kind == DragPool && target.Kind == NodePhase) {
        return target.Id == drag.DragIdParent ? TDropOperation::None : TDropOperation::MovePoule;
    }
    if ((kind == DragRegistrant || kind == DragGridRow) && target.Kind == NodePool) return TDropOperation::AddJoueur;
    if (kind == DragMember && target.Kind == NodePool) {
        return target.Id == drag.DragIdParent ? TDropOperation::None : TDropOperation::MoveJoueur;
    }
    return TDropOperation::None;
}

bool RunDrop(TCompetition& compet, const TElement& target, const TDragParamTable& drag, bool& refused) {
    refused = false;
    bool done = false;
    switch (DropOperationFor(target, drag)) {
        case TDropOperation::None:
            return false;
        case TDropOperation::MovePoule:
            done = compet.MovePoule(drag.DragId, target.Id);
            break;
        case TDropOperation::AddJoueur:
            done = compet.AddJoueur(drag.DragId, -1, target.Id);
            break;
        case TDropOperation::MoveJoueur:
            done = compet.MoveJoueur(drag.DragId, drag.DragIdParent, target.Id);
            break;
    }
    refused = !done;
    return done;
}

std::string WindowTitle(const TCompetition& compet, const TLocalCompet* fromBase) {
    namespace m = msg::commands;
    if (compet.Connexion == TConnexion::LocalBase && compet.IdCompet() >= 0 && fromBase != nullptr &&
        fromBase->Id == compet.IdCompet()) {
        // Nobody is identified with the base: what is shown is said instead.
        if (fromBase->IsLocal()) return m::TitleLocalCompet;
        const text::TDateTimeParts p = text::DecodeDateTime(fromBase->Changed);
        const auto two = [](int n) { return std::string(n < 10 ? "0" : "") + text::IntToStr(n); };
        return m::TitleLocalCopy(text::FormatDateDMY(fromBase->Changed) + " à " + two(p.Hour) + ":" + two(p.Minute));
    }
    std::string title = compet.Connexion == TConnexion::LocalBase  ? m::TitleLocal
                        : compet.Connexion == TConnexion::Internet ? m::TitleInternet
                                                                   : m::ProgramName;
    title += compet.Login().empty() ? std::string(m::NotIdentified) : " (" + compet.Login() + ")";
    return title;
}

}  // namespace tavlor
