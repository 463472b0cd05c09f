#pragma once

// Every French text of the dialogs: match entry, lists, filtered list,
// connection window and version dialog.
namespace tavlor::ui::dlgmsg {

// ---- match dialog
inline constexpr const char* AddMatchCaption = "Ajouter un match";
inline constexpr const char* EditMatchCaption = "Editer un match";
inline constexpr const char* UnknownPool = "No Poule inconnu : ";
inline constexpr const char* NoBilliards =
    "aucune liste de billard en cours, vous ne pouvez pas ajouter ou modifier des matchs";
inline constexpr const char* MustBePositive = " doit être positif ou nul";
inline constexpr const char* SameLicence = "Les joueurs 1 et 2 ont la même licence !";
inline constexpr const char* OneInning = "Il doit y avoir au minimum une reprise pour chaque joueur";
inline constexpr const char* MatchPoints = "Les points de match ne sont pas correctement assignés";
inline constexpr const char* ConfirmDraw =
    "pour le classement national l'égalité de point correspond obligatoirement à un match nul SAUF dans le cas de "
    "matchs par sets\r\nNe validez (OK) que Si cette partie était en sets, sinon annulez puis indiquez le nombre de "
    "points effectivement réalisés après d'éventuelles prolongations";
inline constexpr const char* ConfirmPlayer1 =
    "Le joueur 1 a réalisé plus de points que le joueur 2 mais n'est pas désigné vainqueur\r\nCette situation ne "
    "peut survenir que dans le cas de matchs par sets\r\nsi ce n'est pas les cas annulez puis rectifiez le champ "
    "erroné";
inline constexpr const char* ConfirmPlayer2 =
    "Le joueur 2 a réalisé plus de points que le joueur 1 mais n'est pas désigné vainqueur\r\nCette situation ne "
    "peut survenir que dans le cas de matchs par sets\r\nsi ce n'est pas les cas annulez puis rectifiez le champ "
    "erroné";
// %s: the field's label.
inline constexpr const char* RequiredField = "Le champ '%s' doit avoir une valeur";

// Labels of the entry's fields, used in the messages.
inline constexpr const char* LabelLicence1 = "Licence joueur 1";
inline constexpr const char* LabelPts1 = "Points joueur 1";
inline constexpr const char* LabelRep1 = "Reprises joueur 1";
inline constexpr const char* LabelSer1 = "Serie joueur 1";
inline constexpr const char* LabelPm1 = "Pts match joueur 1";
inline constexpr const char* LabelLicence2 = "Licence joueur 2";
inline constexpr const char* LabelPts2 = "Points joueur 2";
inline constexpr const char* LabelRep2 = "Reprises joueur 2";
inline constexpr const char* LabelSer2 = "Série joueur 2";
inline constexpr const char* LabelPm2 = "Pts match joueur 2";
inline constexpr const char* LabelDate = "Date match";
inline constexpr const char* LabelBd = "Format billard";

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

}  // namespace tavlor::ui::dlgmsg
