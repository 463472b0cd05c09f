#pragma once

// The French texts of the dialogs: match dialog, lists, filtered list,
// connection window and version dialog (the match entry's own are with it).
namespace tavlor::msg::dialogs {

// ---- match dialog
// Headings of the entry grid.
inline constexpr const char* HeadDate = "Date match";
inline constexpr const char* HeadPlayers = "Joueurs";
inline constexpr const char* HeadPoints = "Points";
inline constexpr const char* HeadInnings = "Reprises";
inline constexpr const char* HeadRun = "Série";
inline constexpr const char* HeadMatchPoints = "Points match";
inline constexpr const char* HeadBilliard = "Billard";
inline constexpr const char* Ok = "OK";
inline constexpr const char* Cancel = "Annuler";

// ---- lists dialog
inline constexpr const char* TitleCompetWww = "Compétition disponibles sur le serveur internet";
inline constexpr const char* TitleCompetLocal = "Compétitions disponibles dans la base locale";
inline constexpr const char* TitleSearchWww = "Recherche joueur sur le serveur internet";
inline constexpr const char* TitleSearchLocal = "Recherche joueur dans la base locale";
inline constexpr const char* Filter = "Filtre";
inline constexpr const char* HintOpenFdb = "ouvrir une base locale";
inline constexpr const char* HintLoadCompet = "charger la compétition";
inline constexpr const char* HintFilter = "filtrer la liste";
inline constexpr const char* PlayerName = "Nom joueur";
inline constexpr const char* TownName = "Nom ville";
inline constexpr const char* HintPartOfName = "tapez une partie du nom";
inline constexpr const char* HintSearch = "rechercher";
inline constexpr const char* Register = "Inscrire";
inline constexpr const char* HintRegister = "Inscrire le joueur sélectionné";
inline constexpr const char* TypeAName = "Tapez un nom ou une partie du nom";
inline constexpr const char* NoPlayerFound = "Aucun joueur trouvé pour ces critères";
inline constexpr const char* NoConnection = "Aucune connexion ouverte, recherche impossible";
inline constexpr const char* NoCompetition = "Aucune compétition disponible sur ce serveur";
inline constexpr const char* NoLocalCompetition =
    "La base locale ne contient aucune compétition : ouvrez une compétition sur internet, elle y sera gardée, "
    "ou créez-en une (Fichier, Nouvelle compétition locale)";
inline constexpr const char* ListsAlreadyOpen =
    "La recherche de joueurs est ouverte : fermez-la avant d'ouvrir une autre liste de compétitions";

// ---- filtered list
inline constexpr const char* TitleFiltered = "Compétitions disponibles filtrées";
// Short hint next to the button | long hint for the status bar.
inline constexpr const char* HintSelect = "sélectionner|sélectionner compétition courante";
inline constexpr const char* HintClose = "fermer|fermer sans sélectionner de compétition";
inline constexpr const char* Select = "Sélectionner";
inline constexpr const char* Close = "Fermer";

// ---- connection window
inline constexpr const char* TitleConnection = "connection internet";
inline constexpr const char* LoginIdentifier = "Identifiant de connexion";
inline constexpr const char* Numeric = "(numérique)";
inline constexpr const char* Password = "Mot de passe";

// ---- version dialog
inline constexpr const char* TitleVersion = "informations de Version";
inline constexpr const char* ProductName = "Tavlor";
inline constexpr const char* Version = "Version";

}  // namespace tavlor::msg::dialogs
