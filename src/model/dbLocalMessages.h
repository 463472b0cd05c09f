#pragma once

#include "text/Numbers.h"

#include <cstdint>
#include <string>

// Every text of the store's handlers of registrants and phases.
namespace tavlor::dbmsg {

inline std::string N(std::int64_t n) { return text::IntToStr(n); }

inline constexpr const char* Registrants = "Inscrits";
inline constexpr const char* Unknown = "?";

// Registrants.
inline std::string LicenceExists(std::int32_t n) { return "Licence " + N(n) + " existe déjà"; }
inline std::string EditRankUnknownLicence(std::int32_t n) {
    return "Modification du rang d'arrivée impossible, Licence " + N(n) + " inexistante en mémoire";
}
inline constexpr const char* NoRegistrantsFolder = "catégorie Inscrits non enregistrée\r\nSuppression inscrit impossible";
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

}  // namespace tavlor::dbmsg
