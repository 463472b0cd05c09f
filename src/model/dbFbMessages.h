#pragma once

#include <cstdint>
#include <string>

// The texts of the local-database module.
namespace tavlor::msg::dbfb {

inline constexpr const char* NoDataFolder = "Aucun dossier de données : la base locale n'est pas ouverte";

// The list of the base's competitions: the titles of its columns, and the
// origin of a competition created on this computer.
inline constexpr const char* ColumnTitle = "Titre";
inline constexpr const char* ColumnDiscipline = "Discipline";
inline constexpr const char* ColumnOrigin = "Origine";
inline constexpr const char* ColumnChanged = "Mise à jour";
inline constexpr const char* ColumnNumber = "No";
inline constexpr const char* ColumnRegistrants = "Inscrits";
inline constexpr const char* ColumnMatches = "Matchs";
inline constexpr const char* ColumnSeason = "Saison";
inline constexpr const char* LocalOrigin = "compétition locale";

// Every change of a copy of a server's competition opened from the base is
// refused with this text.
inline std::string ReadOnlyCopy(const std::string& address) {
    return "Cette compétition est une copie locale de la compétition du serveur " + address +
           " : les modifications se font sur le serveur. Pour la modifier, ouvrez-la depuis la liste des "
           "compétitions du serveur.";
}

// A competition whose rows the store does not take back.
inline std::string Inconsistent(std::int32_t id, const std::string& reason) {
    return "La compétition n° " + std::to_string(id) + " de la base locale n'a pas pu être ouverte : " + reason;
}
inline constexpr const char* RowsMissing = "des lignes n'ont pas été reprises";

}  // namespace tavlor::msg::dbfb
