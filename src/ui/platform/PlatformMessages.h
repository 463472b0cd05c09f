#pragma once

#include <string>

// The texts of the program's boxes, file dialogs and desktop shell.
namespace tavlor::msg::platform {

inline constexpr const char* SaveFileTitle = "Enregistrer le fichier";
inline constexpr const char* OpenFileTitle = "Ouvrir un fichier";

// ---- desktop shell
inline constexpr const char* FileNotFound = "Le fichier spécifié est introuvable.";
inline std::string BadAddress(const std::string& url) {
    return "Adresse incorrecte : " + url;
}
// The program that hands a file or an address to its application.
inline constexpr const char* OpenerMissing =
    "Le programme xdg-open, qui ouvre un fichier avec son application, est introuvable.";
inline constexpr const char* OpenerNotStarted = "Le programme xdg-open n'a pas pu être lancé.";

}  // namespace tavlor::msg::platform
