#pragma once

#include "model/ViewHost.h"
#include "model/dbLocal.h"
#include "ranking/Rankings.h"
#include "ranking/Statistics.h"

#include <cstdint>
#include <memory>
#include <string>

namespace tavlor {

// What the right-hand side shows for the element selected in the phase tree,
// and the small read-only services the tree uses to label, count and order its
// elements. RefreshFiltres recomputes both lists whole for one selection.
class TViews {
public:
    TViews(TdmLocal& dm, IViewHost& host);
    TViews(const TViews&) = delete;
    TViews& operator=(const TViews&) = delete;

    // Statistics, ranks, players without match, captions and columns for the
    // element (kind, number, parent number). Every temporary state (filters,
    // suspended notifications, cursor) is restored also when a step fails.
    void RefreshFiltres(std::uint8_t kind, std::int32_t id, std::int32_t idParent);
    // Rows without figures for the members (or, for the competition, the
    // registrants) who have played no selected match.
    void AddJoueursSansMatch(std::uint8_t kind, std::int32_t id, std::int32_t idParent);

    std::string GetNomElement(std::uint8_t kind, std::int32_t id, std::int32_t idParent) {
        return Dm_.GetNomElement(kind, id, idParent);
    }
    // Player count of a phase or pool, number of registrants, or a licence in six digits.
    std::string GetNbJoueurs(std::uint8_t kind, std::int32_t id);
    // Number of matches of the element.
    std::string GetNbMatchs(std::uint8_t kind, std::int32_t id, std::int32_t idParent);
    // Order of two members of a pool: by name (a-z ignoring case) when "tri
    // alpha des inscrits" is on, else by arrival rank; 0 when either is missing.
    int CompareJoueurs(std::int32_t idPoule, std::int32_t licence1, std::int32_t licence2);

    TStatistics& Statistics() { return Stats_; }
    TRankings& Rankings() { return Ranks_; }

private:
    void SetVisibility(std::uint8_t kind);
    void SetCaptions(std::uint8_t kind);

    TdmLocal& Dm_;
    TCompetTables& Tables_;
    IViewHost& Host_;
    TStatistics Stats_;
    TRankings Ranks_;
    // Private cursors: counting and reading never disturb the main cursors.
    std::unique_ptr<TTable> Joueurs_;      // IDPHPO
    std::unique_ptr<TTable> Matchs_;       // insertion order
    std::unique_ptr<TTable> InscritsNom_;  // IDXNOM
};

}  // namespace tavlor
