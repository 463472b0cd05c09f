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

// ---- folders
// The program's folder cannot be written: what is there is read, the changes go to the user's folders.
inline std::string ProgramFolderReadOnly(const std::string& folder, const std::string& settings,
                                         const std::string& data, const std::string& exports) {
    return "Le dossier du programme " + folder +
           " ne peut pas être modifié. Les réglages et les sauvegardes des compétitions qui s'y trouvent sont "
           "lus, mais ce qui change est enregistré dans vos dossiers : les réglages dans " +
           settings + ", les sauvegardes des compétitions dans " + data + " et les exports dans " + exports + ".";
}

}  // namespace tavlor::msg::platform
