#pragma once

#include <string>

// The texts of the printing of the shown lists and of their PDF file.
namespace tavlor::ui::printmsg {

inline constexpr const char* ItemPrint = "Imprimer...";
inline constexpr const char* HintPrint = "imprime les données affichées";
inline constexpr const char* ItemExportPdf = "Exporter vers PDF";
inline constexpr const char* HintExportPdf = "exporte les données affichées dans un document PDF";
inline constexpr const char* PdfFilter = "documents PDF|*.pdf|tous fichiers|*.*";
inline constexpr const char* PreviewTitle = "Aperçu avant impression";
inline constexpr const char* PrintedOn = "Imprimé le %1 à %2";
inline constexpr const char* PageOf = "Page %1 / %2";
inline constexpr const char* Continued = " (suite)";
inline constexpr const char* ElementSeparator = " - ";
inline std::string NoPdfReader(const std::string& file) {
    return "Aucun lecteur de documents PDF ne semble installé\r\nOuverture de " + file +
           " impossible, le document est dans ce fichier";
}

}  // namespace tavlor::ui::printmsg
