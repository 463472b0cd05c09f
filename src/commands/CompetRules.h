#pragma once

#include "model/Communs.h"
#include "model/Element.h"
#include "model/NodeTree.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tavlor {

struct TCompetTables;
class TdmLocal;
struct TLocalCompet;

// The small rules of the competition that the commands and the tree apply
// before they call the controller.

// The number of a new phase: the largest phase number plus 1 (1 without phases).
std::int32_t NextPhaseNumber(const TCompetTables& tables);
// "Phase " and the number.
std::string NewPhaseName(std::int32_t number);

// The phase node a new pool goes under, from the focused node: a phase, the
// phase of a pool, the phase of a pool member; 0 for anything else.
TNodeHandle OwningPhaseNode(const TNodeTree& tree, TNodeHandle focused);
// The name proposed for a new pool of the phase: its name, a space, and the
// letter after its pools ("A" for the first, "[" after "Z").
std::string ProposedPouleName(TdmLocal& dm, TNodeHandle phaseNode);

// The registrants who play in no pool of the phase, in registration order,
// each as "NAME (licence in six digits)".
struct TRegistrantChoice {
    std::vector<std::string> Items;
    std::vector<std::int32_t> Licences;
};
TRegistrantChoice RegistrantsNotInPhase(TdmLocal& dm, std::int32_t phase);

// Whether a drag of that kind may be dropped on an element of that kind: a
// pool on a phase; a registrant, a pool member or a ranking row on a pool.
bool DropAccepted(TNodeKind target, TDragKind drag);

// What a drop asks of the controller.
enum class TDropOperation : std::uint8_t { None, MovePoule, AddJoueur, MoveJoueur };
// The drop table: a pool onto another phase moves it, a registrant or a
// ranking row onto a pool puts the player in it, a pool member onto another
// pool moves him there. A pool onto its own phase or a member onto his own
// pool asks nothing, although it is accepted.
TDropOperation DropOperationFor(const TElement& target, const TDragParamTable& drag);
// Runs the drop's operation: false when there was none or the controller
// refused it (its reason is then in LastError, and refused is set).
bool RunDrop(TCompetition& compet, const TElement& target, const TDragParamTable& drag, bool& refused);

// The main window's title: where the competition comes from and who is
// identified; for one opened from the local base (fromBase: its record),
// whether it is a competition of this computer or a copy, only looked at,
// of a server's competition, and of when.
std::string WindowTitle(const TCompetition& compet, const TLocalCompet* fromBase);

}  // namespace tavlor
