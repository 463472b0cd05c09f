#pragma once

#include <string>

// The texts of the main window's commands: their captions and hints, the
// menus, and what the commands ask and answer.
namespace tavlor::msg::commands {

// ---- menus and categories
inline constexpr const char* MenuFichier = "&Fichier";
inline constexpr const char* MenuEdition = "&Edition";
inline constexpr const char* MenuOutils = "Outils";
inline constexpr const char* MenuFormule = "Formule classement";
inline constexpr const char* CategoryFichiers = "Fichiers";
inline constexpr const char* CategoryPhases = "Phases";
inline constexpr const char* CategoryPoules = "Poules";
inline constexpr const char* CategoryInscrits = "Inscrits";
inline constexpr const char* CategoryJoueurs = "Joueurs";
inline constexpr const char* CategoryMatchs = "Matchs";
inline constexpr const char* CategoryOutils = "Outils";
inline constexpr const char* NoCategory = "?";

// ---- the main window's title
inline constexpr const char* ProgramName = "Tavlor";
inline constexpr const char* TitleLocal = "Tavlor - base locale -";
inline constexpr const char* TitleInternet = "Tavlor - Internet -";
inline constexpr const char* NotIdentified = " (utilisateur non identifié)";
inline constexpr const char* TitleLocalCompet = "Tavlor - base locale - compétition locale";
// when: "09/12/2025 à 18:00"
inline std::string TitleLocalCopy(const std::string& when) {
    return "Tavlor - base locale - copie locale du " + when + " (lecture seule)";
}

// ---- what the commands ask and answer
inline std::string NotAnInteger(const std::string& typed) {
    return "'" + typed + "' n'est pas une valeur entière correcte";
}
inline constexpr const char* EditInscritCaption = "Modifier le rang d'inscription";
inline constexpr const char* EditJoueurCaption = "Modifier le rang d'arivée dans la poule";
inline constexpr const char* NewRank = "Nouveau rang";
inline constexpr const char* ConfirmDelInscrit = "Rayer l'inscription du joueur sélectionné ?";
inline constexpr const char* PhaseName = "Phase ";
inline constexpr const char* PhaseNotEmpty =
    "Suppression impossible : la phase doit être vide\r\nsupprimez d'abord les poules contenues";
inline constexpr const char* ConfirmDelPhase = "Supprimer la Phase sélectionnée ?";
inline constexpr const char* AddPouleCaption = "Ajouter une poule";
inline constexpr const char* AddPoulePrompt = "Nom";
inline constexpr const char* PouleNotEmpty =
    "Suppression impossible : la poule n'est pas vide\r\nsupprimez d'abord les joueurs et/ou matchs attachés";
inline constexpr const char* ConfirmDelPoule = "Supprimer la poule sélectionnée ?";
inline constexpr const char* ConfirmDelJoueur = "Supprimer le joueur sélectionné de la poule ?";
inline std::string ConfirmDelMatch(const std::string& nom1, const std::string& nom2) {
    return "Supprimer le match :\r\n" + nom1 + " vs " + nom2;
}
inline constexpr const char* InscritsEmpty = "Export impossible\rLa liste des inscrits est vide";
inline constexpr const char* InscritsFilePrefix = "inscrits_";
inline constexpr const char* ImportInscritsFilter = "fichiers xml|*.xml|tous les fichiers|*.*";
inline constexpr const char* ImportNone = "Le fichier ne contient aucun inscrit";
inline constexpr const char* ImportAllKnown = "Aucun inscrit ajouté : tous les joueurs du fichier sont déjà inscrits";
inline constexpr const char* AddJoueurCaption = "Ajouter un joueur";
inline constexpr const char* AddJoueurPrompt = "Licence du joueur inscrit à ajouter à la poule";
inline constexpr const char* AddJoueurNone = "Tous les inscrits jouent déjà dans cette phase";
inline constexpr const char* NotRenamable = "élément non renommable";
inline std::string NoPdfReader(const std::string& file) {
    return "Aucun lecteur de documents PDF ne semble installé\r\nOuverture de " + file +
           " impossible, le document est dans ce fichier";
}

}  // namespace tavlor::msg::commands
