#pragma once

#include <string>

// The sections and keys of the settings file, and what the user is told of it.
namespace tavlor::msg::settings {

inline constexpr const char* SectionUrls = "URLS";
inline constexpr const char* KeyNUrls = "nUrls";
inline constexpr const char* SectionRecent = "RECENT";
inline constexpr const char* KeyIdCompet = "IdCompet";
inline constexpr const char* KeyNomCompet = "NomCompet";
inline constexpr const char* KeyUrl = "url";
inline constexpr const char* NoName = "?";
// How the user left the windows.
inline constexpr const char* SectionLayout = "FENETRE";
inline constexpr const char* KeyTriAlpha = "TriAlpha";

// The settings file was made read-only: the program leaves it as it is.
inline std::string ReadOnlyFile(const std::string& path) {
    return "Le fichier des réglages " + path +
           " est en lecture seule : les réglages de cette session (adresses des serveurs, compétitions "
           "récentes, disposition des fenêtres) ne seront pas enregistrés.";
}

}  // namespace tavlor::msg::settings
