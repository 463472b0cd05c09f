#pragma once

#include "text/Numbers.h"

#include <string>

// Texts of the export of the shown lists.
namespace tavlor::msg::exports {

inline constexpr const char* NothingToExport = "Aucune donnée à exporter";
inline constexpr const char* PlayersSheet = "Classement";
inline constexpr const char* MatchesSheet = "Matchs";
inline constexpr const char* PlayerRankingsSheet = "Classements ";
inline constexpr const char* PlayerMatchesSheet = "Matchs de ";
inline std::string NoApplication(const std::string& file) {
    return "Excel ne semple pas être installé, ou mal installé\r\nOuverture de " + file +
           " impossible, les données exportées sont dans ce fichier";
}
inline std::string SystemError(int code, const std::string& text) {
    return "Erreur système.  Code : " + text::IntToStr(code) + ".\r\n" + text;
}
// The file dialogs' filters of the formats.
inline constexpr const char* XlsFilter = "classeurs Excel 97-2003|*.xls|tous fichiers|*.*";
inline constexpr const char* HtmlFilter = "pages HTML|*.html;*.htm|tous fichiers|*.*";
inline constexpr const char* XmlFilter = "fichiers xml|*.xml|tous fichiers|*.*";
inline constexpr const char* SystemCallFailed = "Un appel à une fonction du système d'exploitation a échoué";

}  // namespace tavlor::msg::exports
