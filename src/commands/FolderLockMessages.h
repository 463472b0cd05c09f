#pragma once

#include <string>

// What the copy of the program that finds its folder taken tells its user.
namespace tavlor::msg::folderlock {

// pid 0: not known; otherHost: empty when the holder runs on this computer;
// day and time empty when the start is not known.
inline std::string AlreadyOpen(const std::string& folder, long pid, const std::string& otherHost,
                               const std::string& day, const std::string& time) {
    std::string holder = pid > 0 ? "processus " + std::to_string(pid) : std::string("processus inconnu");
    if (!otherHost.empty()) holder += " sur l'ordinateur " + otherHost;
    if (!day.empty()) holder += ", ouvert le " + day + " à " + time;
    return "Tavlor est déjà ouvert sur ce dossier (" + holder + ") : " + folder +
           ".\nFermez-le avant de relancer Tavlor : cette copie s'arrête sans rien lire ni enregistrer dans ce "
           "dossier.";
}

}  // namespace tavlor::msg::folderlock
