#pragma once

#include <string>
#include <string_view>

// French texts of the controller and its shared records.
namespace tavlor::msg::communs {

// Message shown while no competition is open.
inline constexpr std::string_view ChargezCompetition = "Chargez une compétition";

// Refusals of CanModify.
inline constexpr std::string_view AucuneBase = "Aucune base connectée";
inline constexpr std::string_view IdentificationNecessaire =
    "Identification nécessaire pour modifier la base sur serveur internet";

// The server and memory no longer agree after a half-done change.
inline constexpr std::string_view Desynchronise = "Serveur désynchronisé, rechargez la compétition";

// DelInscrit could not take the player out of every pool.
inline constexpr std::string_view JoueurEncoreEnPoule =
    "Impossible de supprimer le joueur, il reste des occurence dans certaines poules";

// Joins a refusal reason and the next line of a message.
inline constexpr std::string_view LineBreak = "\r\n";

// An operation was called while its handler or hook was not installed.
inline std::string OperationIndisponible(std::string_view operation) {
    std::string text = "Opération ";
    text += operation;
    text += " indisponible : aucun gestionnaire installé";
    return text;
}

}  // namespace tavlor::msg::communs
