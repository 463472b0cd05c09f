#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The French texts of the workbook writer.
namespace tavlor::msg::workbook {

// Name given to a sheet whose requested name is empty.
inline constexpr std::string_view DefaultSheetName = "Feuille";

// Shown by the HTML page for a number that is not finite (as the spreadsheet shows it).
inline constexpr std::string_view NumberError = "#NOMBRE!";

// A failure to create, write or rename the file; the old file, if any, is untouched.
inline std::string CannotWriteFile(const std::string& path) {
    return "Impossible d'écrire le fichier " + path;
}

inline std::string CellOutOfSheet(int row, int col) {
    return "Erreur interne : cellule ligne " + std::to_string(row) + ", colonne " + std::to_string(col) +
           " hors de la feuille (au plus 65536 lignes et 256 colonnes)";
}

inline std::string ColumnOutOfSheet(int col) {
    return "Erreur interne : colonne " + std::to_string(col) + " hors de la feuille (au plus 256 colonnes)";
}

inline std::string RowOutOfSheet(int row) {
    return "Erreur interne : ligne " + std::to_string(row) + " hors de la feuille (au plus 65536 lignes)";
}

inline std::string NoSuchSheet(std::size_t index) {
    return "Erreur interne : feuille " + std::to_string(index) + " inexistante";
}

// The workbook stream came out longer or shorter than planned.
inline constexpr std::string_view StreamSizeMismatch = "Erreur interne : taille du classeur incohérente";

// The file format holds a limited number of distinct cell formats.
inline std::string TooManyCellFormats(std::size_t limit) {
    return "Le classeur utilise trop de mises en forme de cellules différentes (au plus " + std::to_string(limit) + ")";
}

}  // namespace tavlor::msg::workbook
