#pragma once

#include <string>

// The texts of the saving of the day's work: while the program runs, and
// before it ends.
namespace tavlor::msg::saving {

// ---- while the program runs
inline std::string AutoSaveFailed(const std::string& error) {
    return error +
           "\r\nLes modifications restent en mémoire ; Tavlor essaiera de nouveau à la prochaine modification et "
           "avant de se fermer.";
}

// ---- before the end
inline std::string SnapshotNotSaved(const std::string& error) {
    return error +
           "\r\n\r\nLes modifications de la compétition (noms des phases, inscrits, joueurs des poules) ne "
           "sont pas enregistrées.";
}
inline std::string SettingsNotSaved(const std::string& error) {
    return error +
           "\r\n\r\nLes réglages (adresses, compétitions récentes, disposition des fenêtres) ne sont pas "
           "enregistrés.";
}
inline constexpr const char* Retry = "Réessayer";
inline constexpr const char* SaveElsewhere = "Enregistrer ailleurs...";
inline constexpr const char* QuitWithoutSaving = "Quitter sans enregistrer";
inline constexpr const char* Stay = "Annuler";
inline constexpr const char* ChooseFolderCaption = "Dossier où enregistrer la compétition";
inline std::string SavedElsewhere(const std::string& folder, const std::string& usual) {
    return "La compétition a été enregistrée dans le dossier " + folder +
           ".\r\nPour la retrouver au prochain démarrage, copiez ces fichiers dans " + usual + ".";
}

}  // namespace tavlor::msg::saving
