#pragma once

#include "text/Numbers.h"

#include <cstdint>
#include <string>

// Every text of the server link: transport, exchange, download, login and updates.
namespace tavlor::msg::www {

// Connection states shown after "statut = ".
inline constexpr const char* StatusPrefix = "statut = ";
inline std::string Resolving(const std::string& host) {
    return "Résolution du nom d'hôte " + host + ".";
}
inline std::string Connecting(const std::string& address) {
    return "Connexion à " + address + ".";
}
inline constexpr const char* Connected = "Connecté.";
inline constexpr const char* Disconnecting = "Déconnexion.";
inline constexpr const char* Disconnected = "Déconnecté.";

// Transport.
inline constexpr const char* Cancelled = "Connexion annulée";
inline constexpr const char* ClosedGracefully = "La connexion s'est terminée proprement.";
inline constexpr const char* AlreadyExchanging = "Un échange avec le serveur est déjà en cours, attendez sa fin";
inline std::string SocketError(int code, const std::string& text) {
    return "Erreur de socket # " + text::IntToStr(code) + "\r\n" + text;
}
inline constexpr const char* HostNotFound = "Hôte introuvable.";
inline constexpr const char* ConnectionRefused = "Connexion refusée.";
inline constexpr const char* ConnectionReset = "Connexion réinitialisée par le correspondant.";
inline constexpr const char* CertificateRefused = "Le certificat du serveur n'est pas valide.";
inline constexpr const char* BadAddress = "Adresse du serveur incorrecte.";
// An address of another kind than http:// or https:// (a file, ftp...).
inline std::string NotAWebAddress(const std::string& url) {
    return "Adresse refusée : " + url +
           "\r\nSeules les adresses du serveur de la fédération en http:// ou https:// "
           "sont utilisées.";
}
inline constexpr const char* NoMemory = "Mémoire insuffisante.";

// What some technical texts mean for the volunteer, each on a line of its own after them.

// The server closed the connection before its reply was whole: a change sent may or may not be saved.
inline std::string ClosedWithoutReply() {
    return std::string(ClosedGracefully) +
           "\r\nLe serveur a interrompu l'échange avant d'avoir répondu : une modification envoyée n'a peut-être pas "
           "été enregistrée. Rechargez la compétition pour voir ce que le serveur contient.";
}
// The secure connection failed before any certificate was judged; the technical detail stays for support.
inline std::string SecureConnectionFailed(int code, const std::string& detail) {
    return "La connexion sécurisée (https) avec le serveur a échoué : à cette adresse, le serveur ne parle pas "
           "https, ou il a refusé la version du protocole.\r\nDétail technique (code " +
           text::IntToStr(code) + ") : " + detail;
}
// Why the certificate was refused, after CertificateRefused.
inline constexpr const char* CertificateExpired = "Il a expiré : vérifiez la date de l'ordinateur.";
inline constexpr const char* CertificateNotYetValid = "Il n'est pas encore valide : vérifiez la date de l'ordinateur.";
inline constexpr const char* CertificateUnknownAuthority =
    "Il a été délivré par une autorité de certification inconnue de cet ordinateur.";
inline constexpr const char* CertificateSelfSigned =
    "Il est auto-signé : aucune autorité de certification ne le garantit.";
inline std::string CertificateOtherName(const std::string& host) {
    return "Il a été délivré pour un autre nom que " + host + ".";
}
inline std::string TechnicalDetail(const std::string& detail) {
    return "Détail technique : " + detail;
}
// A reply other than 2xx: the status line, then what the status means.
inline constexpr const char* ServerFailure = "Le serveur de la fédération a rencontré une panne. Réessayez plus tard.";
inline constexpr const char* RequestRefused =
    "Le serveur de la fédération a refusé la demande : l'adresse de la discipline est probablement fausse.";
inline constexpr const char* AddressMoved = "L'adresse du serveur de la fédération a changé.";
inline std::string NewAddress(const std::string& address) {
    return "Nouvelle adresse : " + address;
}

// Record splitting.
inline std::string ListIndexOutOfBounds(int index) {
    return "Index de liste hors limites (" + text::IntToStr(index) + ")";
}
// The list and the record (from 1) that were short of fields, after the index error.
inline std::string ShortRecord(const std::string& indexError, const std::string& list, int line) {
    return indexError + "\r\nLa ligne " + text::IntToStr(line) + " de la liste des " + list +
           " envoyée par le serveur est incomplète.";
}
inline constexpr const char* ListBilliards = "billards";
inline constexpr const char* ListPools = "poules";
inline constexpr const char* ListMatches = "matchs";

// Lists and download.
inline constexpr const char* ProgressCompetitions = "Interrogation du serveur pour liste des compétitions ...";
inline constexpr const char* ProgressBilliards = "Interrogation du serveur pour liste des billards ...";
inline constexpr const char* ProgressPlayers = "Interrogation du serveur pour liste des joueurs ...";
inline constexpr const char* ProgressPools = "Interrogation du serveur : liste des poules ...";
inline constexpr const char* ProgressMatches = "Interrogation du serveur : liste des matchs ...";
inline constexpr const char* CompetitionsError = "erreur en chargement compétitions : ";
inline constexpr const char* CompetitionsNoReply = "chargement compétitions : aucune réponse du serveur";
inline constexpr const char* PlayersError = "erreur en chargement joueurs : ";
inline constexpr const char* PlayersNoReply = "chargement joueurs : aucune réponse du serveur";
inline constexpr const char* BilliardsError = "erreur en chargement des billards : ";
inline constexpr const char* BilliardsNoReply = "chargement billards : aucune réponse du serveur";
inline constexpr const char* PoolsError = "erreur en chargement des poules : ";
inline constexpr const char* PoolsNoReply = "chargement poules : aucune réponse du serveur";
inline constexpr const char* MatchesError = "erreur en chargement des matchs : ";
inline constexpr const char* MatchesNoReply = "chargement matchs : aucune réponse du serveur";
inline constexpr const char* SearchTooShort = "vous devez spécidier au moins un paramètre sur 3 caractères minimum";

// Login.
inline constexpr const char* ProgressLogin = "Interrogation du serveur pour identification ...";
inline constexpr const char* LoginNotNumeric = "L'identifiant de connexion doit être numérique";
inline constexpr const char* LoginNoReply = "Identification : aucune réponse du serveur";

// Server updates.
inline constexpr const char* ProgressAddPool = "insertion de poule sur le serveur ...";
inline constexpr const char* ProgressEditPool = "modification de poule sur le serveur ...";
inline constexpr const char* ProgressDeletePool = "suppression de poule sur le serveur ...";
inline constexpr const char* ProgressAddMatch = "insertion de match sur le serveur ...";
inline constexpr const char* ProgressEditMatch = "modification de match sur le serveur ...";
inline constexpr const char* ProgressDeleteMatch = "suppression de match sur le serveur ...";
inline constexpr const char* ServerError = "erreur serveur : ";
inline constexpr const char* BadReply = "mauvaise réponse du serveur, rechargez la compétition";
inline constexpr const char* NoReplyOf = "aucune réponse de serveur";
inline constexpr const char* NoReply = "aucune réponse serveur";
inline constexpr const char* NoPoolChange = "paramètres de modification poule absents";
inline std::string IllegalPhase(std::int32_t n) {
    return "No de phase : " + text::IntToStr(n) + " illégal";
}
inline std::string IllegalPool(std::int32_t n) {
    return "No de poule : " + text::IntToStr(n) + " illégal";
}
inline std::string IllegalMatch(std::int32_t n) {
    return "No de match : " + text::IntToStr(n) + " illégal";
}
inline constexpr const char* AddPoolImpossible = "Ajout de poule sur serveurt impossible";
inline constexpr const char* EditPoolImpossible = "modification poule sur serveur impossible";
inline constexpr const char* AddMatchImpossible = "Ajout de match sur serveurt impossible";
inline constexpr const char* EditMatchImpossible = "modif de match sur serveurt impossible";
inline constexpr const char* DeleteMatchImpossible = "suppression de match sur serveurt impossible";

}  // namespace tavlor::msg::www
