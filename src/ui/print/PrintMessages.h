#pragma once

#include <string>

// The texts of the printing of the shown lists and of their PDF file.
namespace tavlor::msg::print {

inline constexpr const char* Creator = "Tavlor";
inline constexpr const char* PdfFilter = "documents PDF|*.pdf|tous fichiers|*.*";
inline constexpr const char* PreviewTitle = "Aperçu avant impression";
inline std::string PrintedOn(const std::string& day, const std::string& time) {
    return "Imprimé le " + day + " à " + time;
}
inline std::string PageOf(int page, int pages) {
    return "Page " + std::to_string(page) + " / " + std::to_string(pages);
}
inline constexpr const char* ProgressTitle = "Mise en page";
inline constexpr const char* Cancel = "Annuler";
inline std::string Progress(int page, int pages) {
    return "Mise en page : page " + std::to_string(page) + " sur " + std::to_string(pages);
}
inline constexpr const char* Continued = " (suite)";
inline constexpr const char* ElementSeparator = " - ";

}  // namespace tavlor::msg::print
