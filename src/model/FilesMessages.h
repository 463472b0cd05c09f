#pragma once

#include "text/TextMessages.h"

#include <cerrno>
#include <string>
#include <string_view>

// Texts of the local files: reading and writing snapshots, registrant files and datapackets.
namespace tavlor::msg::files {

// The reason of a failed file operation, from the system's error number.
inline std::string SystemReason(int error) {
    switch (error) {
        case ENOSPC:
            return "plus d'espace libre sur le disque";
        case EDQUOT:
            return "quota d'espace disque dépassé";
        case EFBIG:
            return "fichier trop volumineux";
        case EACCES:
        case EPERM:
            return "permission refusée";
        case EISDIR:
            return "est un dossier";
        case EROFS:
            return "système de fichiers en lecture seule";
        case ENOENT:
            return "fichier ou dossier introuvable";
        case ENOTDIR:
            return "un élément du chemin n'est pas un dossier";
        case ENAMETOOLONG:
            return "nom de fichier trop long";
        case ELOOP:
            return "trop de liens symboliques";
        case EIO:
            return "erreur d'entrée/sortie";
        case EMFILE:
        case ENFILE:
            return "trop de fichiers ouverts";
        case ENOMEM:
            return "mémoire insuffisante";
        case EBUSY:
        case ETXTBSY:
            return "fichier occupé";
        default:
            return "erreur système n° " + std::to_string(error);
    }
}
inline std::string CannotWrite(const std::string& path, const std::string& reason) {
    return "Impossible d'enregistrer le fichier " + path + " : " + reason;
}
inline std::string CannotRead(const std::string& path, const std::string& reason) {
    return "Impossible de lire le fichier " + path + " : " + reason;
}
inline std::string NotADataPacket(const std::string& path, const std::string& reason) {
    return "Le fichier " + path + " n'est pas un fichier de données valide : " + reason;
}
inline std::string BadValue(const std::string& path, const std::string& field, std::string_view value) {
    return "Le fichier " + path + " n'est pas un fichier de données valide : valeur '" + msg::text::Excerpt(value) +
           "' incorrecte pour le champ " + msg::text::Excerpt(field);
}
inline constexpr const char* NoDataPacket = "élément DATAPACKET absent";
inline constexpr const char* NoFields = "description des champs absente";
inline constexpr const char* NoRowData = "élément ROWDATA absent";
inline constexpr const char* NoFieldName = "champ sans nom";
inline constexpr const char* XmlError = "XML mal formé";
inline std::string DuplicateField(const std::string& field) {
    return "champ " + msg::text::Excerpt(field) + " en double";
}
inline constexpr const char* BadCharacterReference = "référence de caractère incorrecte";
inline constexpr const char* DuplicateAttribute = "attribut en double";
inline constexpr const char* BadTag = "balise incorrecte";
inline constexpr const char* LessThanInAttribute = "caractère < dans la valeur d'un attribut";
inline constexpr const char* ReadOnlyFile = "fichier en lecture seule";
inline constexpr const char* NoSnapshotFolder = "dossier des données non défini";

}  // namespace tavlor::msg::files
