#pragma once

// The texts of the program's boxes and file dialogs.
namespace tavlor::msg::platform {

inline constexpr const char* SaveFileTitle = "Enregistrer le fichier";
inline constexpr const char* OpenFileTitle = "Ouvrir un fichier";

}  // namespace tavlor::msg::platform
