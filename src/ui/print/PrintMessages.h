#pragma once

// The texts of the printing of the shown lists and of their PDF file.
namespace tavlor::msg::print {

inline constexpr const char* Creator = "Tavlor";
inline constexpr const char* PdfFilter = "documents PDF|*.pdf|tous fichiers|*.*";
inline constexpr const char* PreviewTitle = "Aperçu avant impression";
// %1: the day, %2: the time.
inline constexpr const char* PrintedOn = "Imprimé le %1 à %2";
// %1: the page, %2: the number of pages.
inline constexpr const char* PageOf = "Page %1 / %2";
inline constexpr const char* Continued = " (suite)";
inline constexpr const char* ElementSeparator = " - ";

}  // namespace tavlor::msg::print
