#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// The French texts of the stand-in federation server: the error envelopes, the
// pool summary page and the command line.
namespace tavlor::fedserver::messages {

// Requests
inline constexpr std::string_view kBadRequest = "Requête mal formée";
inline constexpr std::string_view kUnknownAction = "Action inconnue : %s";
inline constexpr std::string_view kMissingField = "Champ %s absent";
inline constexpr std::string_view kBadNumber = "Valeur numérique invalide pour %s : %s";
inline constexpr std::string_view kNegativeNumber = "Valeur négative interdite pour %s : %s";
inline constexpr std::string_view kSimulatedError = "Erreur simulée par le serveur de test";
inline constexpr std::string_view kNoEnvelopeText = "Service momentanément indisponible";

// Lists
inline constexpr std::string_view kUnknownCompetition = "Compétition inconnue : %s";
inline constexpr std::string_view kNoSearchCriterion = "Critère de recherche absent : indiquez un nom ou une ville";

// Login
inline constexpr std::string_view kLoginNotNumeric = "L'identifiant doit être numérique";
inline constexpr std::string_view kBadLogin = "Identifiant ou mot de passe incorrect";
inline constexpr std::string_view kNotIdentified =
    "Identification nécessaire : connectez-vous avant de modifier la base";

// Pools
inline constexpr std::string_view kUnknownPool = "Poule inconnue : %s";
inline constexpr std::string_view kUnknownFormula = "Formule de classement inconnue : %s";
inline constexpr std::string_view kEmptyPoolName = "Le nom de la poule est vide";
inline constexpr std::string_view kPoolNameTooLong = "Nom de poule trop long (%s caractères au plus)";
inline constexpr std::string_view kNoPoolChange = "Aucune modification de poule demandée";
inline constexpr std::string_view kSeveralPoolChanges = "Une seule modification de poule par requête";
inline constexpr std::string_view kPoolHasMatches = "Suppression impossible : la poule %s contient des matchs";

// Matches
inline constexpr std::string_view kUnknownMatch = "Match inconnu : %s";
inline constexpr std::string_view kSamePlayers = "Les deux joueurs du match sont identiques (licence %s)";
inline constexpr std::string_view kUnknownBillard = "Taille de billard inconnue : %s";
inline constexpr std::string_view kBadDate = "Date de match invalide : %s";
inline constexpr std::string_view kBadMatchPoints = "Points de match incohérents : %s et %s";
inline constexpr std::string_view kPoolOfOtherCompetition = "La poule %s n'appartient pas à la compétition du match";

// Pool summary page
inline constexpr std::string_view kPageTitle = "Synthèse de poule";
inline constexpr std::string_view kPageUnknownPool = "Poule inconnue";
inline constexpr std::string_view kPagePhase = "Phase";
inline constexpr std::string_view kPageFormula = "Formule de classement";
inline constexpr std::string_view kPagePlayers = "Joueurs";
inline constexpr std::string_view kPageMatches = "Matchs";
inline constexpr std::string_view kPageNoMatch = "Aucun match joué";
inline constexpr std::string_view kColLicence = "Licence";
inline constexpr std::string_view kColName = "Nom";
inline constexpr std::string_view kColPlayed = "Matchs";
inline constexpr std::string_view kColPoints = "Points";
inline constexpr std::string_view kColInnings = "Reprises";
inline constexpr std::string_view kColAverage = "Moyenne";
inline constexpr std::string_view kColBestRun = "Meilleure série";
inline constexpr std::string_view kColMatchPoints = "Points de match";
inline constexpr std::string_view kColNumber = "No";
inline constexpr std::string_view kColDate = "Date";
inline constexpr std::string_view kColBillard = "Billard";
inline constexpr std::string_view kColPlayer1 = "Joueur 1";
inline constexpr std::string_view kColPlayer2 = "Joueur 2";
inline constexpr std::string_view kColScore = "Score";
inline constexpr std::string_view kFormulaNames[] = {"Tournois KVL", "Double KO", "Triple KO"};

// Column titles of the grid lists
inline constexpr std::string_view kCompetitionTitles[] = {"Saison", "Niveau", "Catégorie", "Compétition", "No", "Lieu"};
inline constexpr std::string_view kPlayerTitles[] = {"Licence", "Nom", "Club", "Ville"};

// Command line
inline constexpr std::string_view kUsage =
    "usage : tavlor-fedserver --port N [--large]\n"
    "  --port N   port d'écoute sur 127.0.0.1 (0 : un port libre, affiché sur la sortie)\n"
    "  --large    sert aussi la grande compétition (5 000 inscrits, 20 000 matchs)\n";
inline constexpr std::string_view kBadPort = "Port invalide : %s";
inline constexpr std::string_view kUnknownOption = "Option inconnue : %s";
inline constexpr std::string_view kCannotListen = "Impossible d'écouter sur 127.0.0.1 port %s";

// The message with its successive %s replaced by the texts, in order.
inline std::string Format(std::string_view message, std::initializer_list<std::string_view> texts) {
    std::string out;
    auto next = texts.begin();
    for (std::size_t i = 0; i < message.size(); ++i) {
        if (message[i] == '%' && i + 1 < message.size() && message[i + 1] == 's' && next != texts.end()) {
            out += *next++;
            ++i;
        } else {
            out += message[i];
        }
    }
    return out;
}

}  // namespace tavlor::fedserver::messages
