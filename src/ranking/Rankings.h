#pragma once

#include "model/CompetTables.h"
#include "model/Element.h"
#include "model/NodeTree.h"
#include "model/Triage.h"
#include "ranking/Statistics.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tavlor {

// Numbers the rows of FiltreJoueurs once the statistics are in: the rank in
// the pool under the pool's formula, the rank in the phase, and for the whole
// competition the general rank, merging each player's rows into one.
//
// The rows are numbered in memory, in the orders the table's indexes define
// (ties kept in the order the rows came), and FiltreJoueurs is written once.
class TRankings {
public:
    TRankings(TCompetTables& tables, const TNodeTree& tree);
    TRankings(const TRankings&) = delete;
    TRankings& operator=(const TRankings&) = delete;

    // Leaves FiltreJoueurs without filter, in the view's display order: CPO for
    // a pool, CPH for a phase, (CG, RGA) for the competition, IDPHASE for a player.
    void CalcClassements(const TElement& element, const TListTri& phaseList, const TListTri& poolList);
    // The same for the rows CalcCumuls would have written (TStatistics::Cumuls),
    // FiltreJoueurs being empty: only the rows the view shows are written.
    // The rows are numbered in place.
    void Rank(const TElement& element, const TListTri& phaseList, const TListTri& poolList, TFigureRows& rows);
    // "IDXCPHASES" (match points count) when every pool of the phase has the
    // same number of members, "IDXCPHASES2" (averages only) otherwise.
    std::string GetIndexPhase(std::int32_t idPhase) const;

private:
    void RankPools(const TListTri& poolList, TFigureRows& rows);
    void RankPhases(const TListTri& phaseList, TFigureRows& rows);
    // One row per player into General_.
    void RankGeneral(const TFigureRows& rows);

    TCompetTables& Tables_;
    const TNodeTree& Tree_;
    TFigureRows General_;  // kept from one view to the next: its memory is reused
};

}  // namespace tavlor
