#pragma once

#include "model/Element.h"
#include "model/ViewHost.h"
#include "model/dbLocal.h"
#include "ranking/Rankings.h"
#include "ranking/Statistics.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

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
    // element. Every temporary state (filters, suspended notifications,
    // cursor) is restored also when a step fails.
    void RefreshFiltres(const TElement& element);
    // Rows without figures for the members (or, for the competition, the
    // registrants) who have played no selected match.
    void AddJoueursSansMatch(const TElement& element);

    std::string GetNomElement(const TElement& element) { return Dm_.GetNomElement(element); }
    // The element's name after those of the elements above it, from the top:
    // phase, pool and member; the folder and a registrant.
    std::vector<std::string> ElementPath(const TElement& element);
    // Player count of a phase or pool, number of registrants, or a licence in six digits.
    std::string GetNbJoueurs(const TElement& element);
    // Number of matches of the element.
    std::string GetNbMatchs(const TElement& element);
    // Order of two members of a pool: by name (a-z ignoring case) when "tri
    // alpha des inscrits" is on, else by arrival rank; 0 when either is missing.
    int CompareJoueurs(std::int32_t idPoule, std::int32_t licence1, std::int32_t licence2);

    // The captions the last view gave the ranking grid and the match list.
    const std::string& RankingCaption() const { return RankingCaption_; }
    const std::string& MatchesCaption() const { return MatchesCaption_; }

    TStatistics& Statistics() { return Stats_; }
    TRankings& Rankings() { return Ranks_; }

private:
    void SetVisibility(TNodeKind kind);
    void SetCaptions(TNodeKind kind);

    TdmLocal& Dm_;
    TCompetTables& Tables_;
    IViewHost& Host_;
    TStatistics Stats_;
    TRankings Ranks_;
    std::string RankingCaption_, MatchesCaption_;
    // Private cursors: counting and reading never disturb the main cursors.
    std::unique_ptr<TTable> Joueurs_;      // IDPHPO
    std::unique_ptr<TTable> Matchs_;       // insertion order
    std::unique_ptr<TTable> InscritsNom_;  // IDXNOM
};

}  // namespace tavlor
