#pragma once

#include "model/CompetTables.h"
#include "model/NodeTree.h"
#include "model/Triage.h"

#include <cstdint>
#include <string>

namespace tavlor {

// Numbers the rows of FiltreJoueurs once the statistics are in: the rank in
// the pool under the pool's formula, the rank in the phase, and for the whole
// competition the general rank, merging each player's rows into one.
class TRankings {
public:
    TRankings(TCompetTables& tables, const TNodeTree& tree);
    TRankings(const TRankings&) = delete;
    TRankings& operator=(const TRankings&) = delete;

    // Leaves FiltreJoueurs without filter, in the view's display order: CPO for
    // a pool, CPH for a phase, (CG, RGA) for the competition, IDPHASE for a player.
    void CalcClassements(std::uint8_t kind, std::int32_t id, const TListTri& phaseList, const TListTri& poolList);
    void RankPoule(std::int32_t idPoule);
    void RankPhase(std::int32_t idPhase);
    // "IDXCPHASES" (match points count) when every pool of the phase has the
    // same number of members, "IDXCPHASES2" (averages only) otherwise.
    std::string GetIndexPhase(std::int32_t idPhase) const;

private:
    void RankGeneral();
    void Number(const char* field);

    TCompetTables& Tables_;
    const TNodeTree& Tree_;
};

}  // namespace tavlor
