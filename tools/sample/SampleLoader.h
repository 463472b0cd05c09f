#pragma once

#include "model/dbLocal.h"
#include "sample/SampleCompetition.h"

namespace tavlor::sample {

// Fills the store with a competition's lists in the order and manner of the
// download, all while the controller's Chargement is set: the billiard sizes
// through OnAddBillard; per pool record its phase ("Phase " + number) and the
// pool; per match record both players' registration and membership, with
// Valeur reset to -1 before each call, then the match. Refusals are ignored as
// the download ignores them; errors are not caught.
void LoadLists(const TSampleCompetition& competition, TCompetition& compet);

}  // namespace tavlor::sample
