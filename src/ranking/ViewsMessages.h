#pragma once

// Texts of the views: the captions above the ranking grid and the match list.
namespace tavlor::msg::views {

inline constexpr const char* PhasePlayers = "Joueurs de la phase et classement";
inline constexpr const char* PhaseMatches = "Matchs de la phase";
inline constexpr const char* PoolPlayers = "Joueurs de la poule et classement";
inline constexpr const char* PoolMatches = "Matchs de la poule";
inline constexpr const char* GeneralRanking = "Classements général";
inline constexpr const char* CompetitionMatches = "Matchs de la compétition";
inline constexpr const char* RegistrantTotals = "Cumuls par poules pour ce joueur";
inline constexpr const char* MemberTotals = "Cumuls pour ce joueur";
inline constexpr const char* PlayerMatches = "Matchs du joueur";
inline constexpr const char* Unknown = "?";
inline constexpr const char* Percent = " %";

}  // namespace tavlor::msg::views
