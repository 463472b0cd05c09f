#pragma once

#include "text/Numbers.h"

#include <cstdint>
#include <string>

// Every text of the store's handlers.
namespace tavlor::msg::dblocal {

inline std::string N(std::int64_t n) {
    return text::IntToStr(n);
}

inline constexpr const char* Registrants = "Inscrits";
inline constexpr const char* Unknown = "?";

// Registrants.
inline std::string LicenceExists(std::int32_t n) {
    return "Licence " + N(n) + " existe déjà";
}
inline std::string EditRankUnknownLicence(std::int32_t n) {
    return "Modification du rang d'arrivée impossible, Licence " + N(n) + " inexistante en mémoire";
}
inline constexpr const char* NoRegistrantsFolder =
    "catégorie Inscrits non enregistrée\r\nSuppression inscrit impossible";
inline std::string UnregisterUnknownLicence(std::int32_t n) {
    return "La licence " + N(n) + " n'existe pas dans les inscrits en mémoire, désinscription impossible";
}
inline std::string UnregisterHasMatches(const std::string& label) {
    return "Désinscription de " + label + " impossible, des matchs existent pour ce joueur";
}
inline std::string UnregisterHasPools(const std::string& label) {
    return "Désinscription de " + label + " impossible, des inscriptions en poules subistent pour ce joueur";
}

// Phases.
inline std::string IllegalPhase(std::int32_t n, const char* action) {
    return "No Phase illégal : " + N(n) + "\r\n" + action;
}
inline constexpr const char* AddImpossible = "Ajout impossible";
inline constexpr const char* EditImpossible = "modification impossible";
inline constexpr const char* DeleteImpossible = "suppression impossible";
inline std::string PhaseExists(const std::string& label) {
    return "Création phase impossible : " + label + " existe déjà";
}
inline std::string EditUnknownPhase(std::int32_t n) {
    return "Modification de la phase No " + N(n) + " impossible, ce numéro n'existe pas en mémoire";
}
inline std::string DeleteUnknownPhase(std::int32_t n) {
    return "Suppression phase No " + N(n) + " impossible, cette phase n'existe pas en mémoire";
}
inline std::string PhaseHasPools(const std::string& name) {
    return "Suppression " + name +
           " impossible, il y a encore des poules attachées en mémoire (si elles ne sont pas visibles essayez de "
           "recharger la compétition)";
}

// Pools.
inline std::string IllegalPool(std::int32_t n, const char* action) {
    return "No poule illégal : " + N(n) + "\r\n" + action;
}
inline std::string IllegalOwnerPhase(std::int32_t n) {
    return "No Phase propriétaire illégal : " + N(n) + "\r\nAjout poule impossible";
}
inline std::string UnknownOwnerPhase(std::int32_t n) {
    return "No Phase propriétaire inconnu : " + N(n) + "\r\nAjout poule impossible";
}
inline constexpr const char* InternalError123 = "Erreur interne 123, recharger la compétition entière";
inline constexpr const char* InternalError124 = "Erreur interne 124, rechargez la compétition entière";
inline std::string PoolExists(const std::string& label) {
    return "Impossible d'ajouter une poule : " + label + " existe déjà";
}
inline std::string EditUnknownPool(std::int32_t n) {
    return "Impossible de modifier la poule No : " + N(n) + ", No inconnu";
}
inline std::string PoolBadParameters(const std::string& label) {
    return "Impossible de modifier la poule No : " + label + ", paramètres invalides";
}
inline std::string MoveToUnknownPhase(const std::string& label) {
    return "Impossible de déplacer la poule : " + label + ", la phase de destination n'existe pas";
}
inline constexpr const char* MovePoolPlayersInPhase =
    "impossible de déplacer la poule, des joueurs sont déjà inscrits dans la phase de destination";
inline constexpr const char* Error221 = "Erreur 221, rechargez la compétition";
inline std::string DeletePoolHasPlayers(const std::string& label) {
    return "Impossible de supptimer la poule : " + label + " il y a des joueurs dans cette poule";
}
inline std::string DeletePoolHasMatches(const std::string& label) {
    return "Impossible de supptimer la poule : " + label + " il y a des matchs dans cette poule";
}
inline std::string DeleteUnknownPool(std::int32_t n) {
    return "Impossible de supprimer la poule No : " + N(n) + ", No inconnu";
}
inline constexpr const char* AddPlayerImpossible = "Ajout joueur impossible";
inline constexpr const char* DeletePlayerInPoolImpossible = "suppression joueur dans cette poule impossible";
inline constexpr const char* RemovePlayerImpossible = "Suppression joueur impossible";

// Pool members.
inline std::string UnregisteredLicence(std::int32_t n) {
    return "Le No licence : " + N(n) + " n'existe pas dans la liste des inscrits\r\nAjout joueur impossible";
}
inline std::string UnknownOwnerPool(std::int32_t n, const char* action) {
    return "No Poule propriétaire inconnu : " + N(n) + "\r\n" + action;
}
inline std::string PlayerAlreadyInPool(const std::string& player, const std::string& pool) {
    return "le joueur " + player + " existe déjà dans la poule " + pool + "\r\najout impossible";
}
inline std::string PlayerAlreadyInPoolOrPhase(const std::string& player, const std::string& pool,
                                              const std::string& phase) {
    return "le joueur " + player + " existe déjà dans la poule " + pool + " ou la phase " + phase +
           "\r\najout impossible";
}
inline std::string IllegalFromPool(std::int32_t n) {
    return "No poule de départ illégal : " + N(n) + "\r\ndéplacement joueur impossible";
}
inline std::string IllegalToPool(std::int32_t n) {
    return "No poule d'arrivée illégal : " + N(n) + "\r\ndéplacement joueur impossible";
}
inline constexpr const char* UnknownTargetPool = "Poule de destination inexistante, transfert joueur impossible";
inline constexpr const char* UnknownSourcePool = "No de poule de départ incorrecte, transfert joueur impossible";
inline constexpr const char* MatchesInSourcePhase =
    "Le joueur a des matchs dans la phase d'origine, transfert impossible";
inline constexpr const char* MatchesInTargetPhase =
    "Le joueur a déjà des matchs dans la phase de destination, transfert impossible";
inline constexpr const char* AlreadyInTargetPhase =
    "Le joueur est déjà dans une poule de la phase cible, transfert impossible";
inline constexpr const char* PlayerNotFound = "joueur introuvable, transfert impossible";
inline std::string NotInPool(const std::string& player, const std::string& pool) {
    return player + " n'existe pas dans la poule " + pool + "\r\nSuppression impossible";
}
inline std::string CannotRemoveHasMatches(const std::string& player, const std::string& pool) {
    return "Impossible de retirer " + player + " de la poule " + pool +
           "\r\nIl y a des matchs pour ce joueur dans cette poule";
}
inline std::string RenumberUnknownPool(std::int32_t n) {
    return "Poule No " + N(n) + " introuvable, reclassement impossible";
}

// Matches.
inline constexpr const char* MatchAddImpossible = "Ajout match impossible";
inline constexpr const char* MatchEditImpossible = "modif match impossible";
inline constexpr const char* MatchNumberEditImpossible = "modif impossible";
inline std::string IllegalMatch(std::int32_t n, const char* action) {
    return "No match illégal : " + N(n) + "\r\n" + action;
}
inline std::string UnknownPool(std::int32_t n, const char* action) {
    return "No poule inconnu : " + N(n) + "\r\n" + action;
}
inline std::string PlayerNotInPool(const std::string& player, const std::string& pool, const char* action) {
    return "Joueur " + player + " non présent dans la poule " + pool + "\r\n" + action;
}
inline std::string MatchExists(std::int32_t n) {
    return "Match No " + N(n) + " existe déjà, ajout impossible";
}
inline std::string AddMatchUnknownPool(std::int32_t n) {
    return "Impossible d'ajouter un match : poule " + N(n) + " inexistante";
}
inline std::string EditUnknownMatch(std::int32_t n) {
    return "Match No " + N(n) + " n'existe pas, modif impossible";
}
inline std::string EditMatchUnknownPool(std::int32_t n) {
    return "Impossible de modifier le match : poule " + N(n) + " inexistante";
}
inline std::string DeleteUnknownMatch(std::int32_t n) {
    return "Le match No : " + N(n) + " n'existe pas, suppression impossible";
}

}  // namespace tavlor::msg::dblocal
