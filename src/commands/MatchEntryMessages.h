#pragma once

#include <string>

// The texts of the match entry.
namespace tavlor::msg::matchentry {

inline constexpr const char* AddMatchCaption = "Ajouter un match";
inline constexpr const char* EditMatchCaption = "Editer un match";
inline std::string UnknownPool(const std::string& number) {
    return "No Poule inconnu : " + number;
}
inline constexpr const char* NoBilliards =
    "aucune liste de billard en cours, vous ne pouvez pas ajouter ou modifier des matchs";
inline std::string MustBePositive(const std::string& label) {
    return label + " doit être positif ou nul";
}
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
inline constexpr const char* ConfirmDiscard = "Abandonner la saisie de ce match ?";
inline std::string RequiredField(const std::string& label) {
    return "Le champ '" + label + "' doit avoir une valeur";
}

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

}  // namespace tavlor::msg::matchentry
