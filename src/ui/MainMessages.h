#pragma once

// The texts of the main window and its commands.
namespace tavlor::ui::mainmsg {

inline constexpr const char* ProgramName = "Tavlor";
inline constexpr const char* TitleLocal = "Tavlor - base locale -";
inline constexpr const char* TitleInternet = "Tavlor - Internet -";
inline constexpr const char* NotIdentified = " (utilisateur non identifié)";

inline constexpr const char* MenuFichier = "&Fichier";
inline constexpr const char* MenuEdition = "&Edition";
inline constexpr const char* MenuOutils = "Outils";
inline constexpr const char* MenuFormule = "Formule classement";
inline constexpr const char* ItemQuitter = "Quitter";
inline constexpr const char* ItemVersion = "Version";
inline constexpr const char* ItemExportInscrits = "Exporter les inscrits";
inline constexpr const char* ItemImportInscrits = "Importer les inscrits";
inline constexpr const char* ReloadHint = "recharger la competition";

inline constexpr const char* CategoryFichiers = "Fichiers";
inline constexpr const char* CategoryPhases = "Phases";
inline constexpr const char* CategoryPoules = "Poules";
inline constexpr const char* CategoryInscrits = "Inscrits";
inline constexpr const char* CategoryJoueurs = "Joueurs";

// Ranking grid titles that are not the fields' labels.
inline constexpr const char* ColClasst = "Classt";
inline constexpr const char* ColPoule = "POULE";
inline constexpr const char* ColVict = "% Vict";
inline constexpr const char* ColMoy = "Moy";
inline constexpr const char* ColMatchs = "Matchs";

inline constexpr const char* NotRenamable = "élément non renommable";

// Settings file.
inline constexpr const char* SectionUrls = "URLS";
inline constexpr const char* KeyNUrls = "nUrls";
inline constexpr const char* SectionRecent = "RECENT";
inline constexpr const char* KeyIdCompet = "IdCompet";
inline constexpr const char* KeyNomCompet = "NomCompet";
inline constexpr const char* KeyUrl = "url";

}  // namespace tavlor::ui::mainmsg

namespace tavlor::ui::cmdmsg {

inline constexpr const char* NotAnInteger = "'%s' n'est pas une valeur entière correcte";
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
inline constexpr const char* ConfirmDelMatch = "Supprimer le match :\r\n";
inline constexpr const char* Versus = " vs ";
inline constexpr const char* InscritsEmpty = "Export impossible\rLa liste des inscrits est vide";
inline constexpr const char* InscritsFilePrefix = "inscrits_";
inline constexpr const char* ExportInscritsFilter = "fichiers xml|*.xml|tous fichiers|*.*";
inline constexpr const char* ImportInscritsFilter = "fichiers xml|*.xml|tous les fichiers|*.*";
inline constexpr const char* AddJoueurCaption = "Ajouter un joueur";
inline constexpr const char* AddJoueurPrompt = "Licence du joueur inscrit à ajouter à la poule";
inline constexpr const char* AddJoueurNone = "Tous les inscrits jouent déjà dans cette phase";

}  // namespace tavlor::ui::cmdmsg
