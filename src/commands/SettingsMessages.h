#pragma once

// The sections and keys of the settings file.
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

}  // namespace tavlor::msg::settings
