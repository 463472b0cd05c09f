#pragma once

#include <string>
#include <string_view>

// The French texts of the stand-in federation server: the error envelopes, the
// pool summary page and the command line.
namespace tavlor::msg::fedserver {

// Requests
inline constexpr std::string_view BadRequest = "Requête mal formée";
inline std::string UnknownAction(std::string_view text) {
    return std::string("Action inconnue : ") + std::string(text);
}
inline std::string MissingField(std::string_view text) {
    return std::string("Champ ") + std::string(text) + " absent";
}
inline std::string BadNumber(std::string_view a, std::string_view b) {
    return std::string("Valeur numérique invalide pour ") + std::string(a) + " : " + std::string(b);
}
inline std::string NegativeNumber(std::string_view a, std::string_view b) {
    return std::string("Valeur négative interdite pour ") + std::string(a) + " : " + std::string(b);
}
inline constexpr std::string_view SimulatedError = "Erreur simulée par le serveur de test";
inline constexpr std::string_view NoEnvelopeText = "Service momentanément indisponible";

// Lists
inline std::string UnknownCompetition(std::string_view text) {
    return std::string("Compétition inconnue : ") + std::string(text);
}
inline constexpr std::string_view NoSearchCriterion = "Critère de recherche absent : indiquez un nom ou une ville";

// Login
inline constexpr std::string_view LoginNotNumeric = "L'identifiant doit être numérique";
inline constexpr std::string_view BadLogin = "Identifiant ou mot de passe incorrect";
inline constexpr std::string_view NotIdentified =
    "Identification nécessaire : connectez-vous avant de modifier la base";

// Pools
inline std::string UnknownPool(std::string_view text) {
    return std::string("Poule inconnue : ") + std::string(text);
}
inline std::string UnknownFormula(std::string_view text) {
    return std::string("Formule de classement inconnue : ") + std::string(text);
}
inline constexpr std::string_view EmptyPoolName = "Le nom de la poule est vide";
inline std::string PoolNameTooLong(std::string_view text) {
    return std::string("Nom de poule trop long (") + std::string(text) + " caractères au plus)";
}
inline constexpr std::string_view NoPoolChange = "Aucune modification de poule demandée";
inline constexpr std::string_view SeveralPoolChanges = "Une seule modification de poule par requête";
inline std::string PoolHasMatches(std::string_view text) {
    return std::string("Suppression impossible : la poule ") + std::string(text) + " contient des matchs";
}

// Matches
inline std::string UnknownMatch(std::string_view text) {
    return std::string("Match inconnu : ") + std::string(text);
}
inline std::string SamePlayers(std::string_view text) {
    return std::string("Les deux joueurs du match sont identiques (licence ") + std::string(text) + ")";
}
inline std::string UnknownBillard(std::string_view text) {
    return std::string("Taille de billard inconnue : ") + std::string(text);
}
inline std::string BadDate(std::string_view text) {
    return std::string("Date de match invalide : ") + std::string(text);
}
inline std::string BadMatchPoints(std::string_view a, std::string_view b) {
    return std::string("Points de match incohérents : ") + std::string(a) + " et " + std::string(b);
}
inline std::string PoolOfOtherCompetition(std::string_view text) {
    return std::string("La poule ") + std::string(text) + " n'appartient pas à la compétition du match";
}

// Pool summary page
inline constexpr std::string_view PageTitle = "Synthèse de poule";
inline constexpr std::string_view PageUnknownPool = "Poule inconnue";
inline constexpr std::string_view PagePhase = "Phase";
inline constexpr std::string_view PageFormula = "Formule de classement";
inline constexpr std::string_view PagePlayers = "Joueurs";
inline constexpr std::string_view PageMatches = "Matchs";
inline constexpr std::string_view PageNoMatch = "Aucun match joué";
inline constexpr std::string_view ColLicence = "Licence";
inline constexpr std::string_view ColName = "Nom";
inline constexpr std::string_view ColPlayed = "Matchs";
inline constexpr std::string_view ColPoints = "Points";
inline constexpr std::string_view ColInnings = "Reprises";
inline constexpr std::string_view ColAverage = "Moyenne";
inline constexpr std::string_view ColBestRun = "Meilleure série";
inline constexpr std::string_view ColMatchPoints = "Points de match";
inline constexpr std::string_view ColNumber = "No";
inline constexpr std::string_view ColDate = "Date";
inline constexpr std::string_view ColBillard = "Billard";
inline constexpr std::string_view ColPlayer1 = "Joueur 1";
inline constexpr std::string_view ColPlayer2 = "Joueur 2";
inline constexpr std::string_view ColScore = "Score";
inline constexpr std::string_view FormulaNames[] = {"Tournois KVL", "Double KO", "Triple KO"};

// Column titles of the grid lists
inline constexpr std::string_view CompetitionTitles[] = {"Saison", "Niveau", "Catégorie", "Compétition", "No", "Lieu"};
inline constexpr std::string_view PlayerTitles[] = {"Licence", "Nom", "Club", "Ville"};

// Command line
inline constexpr std::string_view Usage =
    "usage : tavlor-fedserver --port N [--large]\n"
    "  --port N   port d'écoute sur 127.0.0.1 (0 : un port libre, affiché sur la sortie)\n"
    "  --large    sert aussi la grande compétition (5 000 inscrits, 20 000 matchs)\n";
inline std::string BadPort(std::string_view text) {
    return std::string("Port invalide : ") + std::string(text);
}
inline std::string UnknownOption(std::string_view text) {
    return std::string("Option inconnue : ") + std::string(text);
}
inline std::string CannotListen(std::string_view text) {
    return std::string("Impossible d'écouter sur 127.0.0.1 port ") + std::string(text);
}

}  // namespace tavlor::msg::fedserver
