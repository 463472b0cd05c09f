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
        case EEXIST:
            return "le fichier existe déjà";
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
inline constexpr const char* EmptyFile = "fichier vide";
inline std::string MissingField(const std::string& field) {
    return "champ " + msg::text::Excerpt(field) + " absent";
}

// The journal of a set of files written together.
inline std::string NotAJournal(const std::string& path) {
    return "Le fichier " + path + " n'est pas un journal d'enregistrement valide";
}
inline std::string OutsideFolderOfSet(const std::string& folder) {
    return "il n'est pas dans le dossier " + folder + " des fichiers enregistrés avec lui";
}
inline std::string CannotSetAside(const std::string& path, const std::string& reason) {
    return "Impossible de mettre de côté le fichier " + path + " : " + reason;
}

// The local snapshot of a competition, when the load merges it. Each text
// names the file; `problem` is the reading error, which names it already.
// Label of the name under which a file that cannot be read is kept.
inline constexpr const char* DamagedLabel = "endommagé";
// Label of the copy kept of a file of which some rows could not be merged.
inline constexpr const char* CopyLabel = "copie";
inline std::string SnapshotSetAside(const std::string& problem, const std::string& aside) {
    return problem + "\r\nSon contenu n'a pas été repris ; le fichier est conservé sous le nom " + aside;
}
// In a folder the program only reads, nothing is ever written over it.
inline std::string SnapshotLeftInPlace(const std::string& problem) {
    return problem + "\r\nSon contenu n'a pas été repris ; le fichier est laissé à sa place";
}
// A file that could neither be read nor kept aside must not be written over.
inline std::string SnapshotNotSaved(const std::string& problem) {
    return problem +
           "\r\nPour ne pas l'écraser, la sauvegarde locale de cette compétition ne sera pas enregistrée tant que ce "
           "fichier sera à sa place";
}
inline std::string SnapshotHeld(const std::string& path) {
    return "La sauvegarde locale de cette compétition n'est pas enregistrée tant que le fichier " + path +
           ", qui n'a pas pu être repris, est à sa place";
}
inline std::string SnapshotRowsRefused(const std::string& path, int refused, const std::string& firstReason) {
    return "Le fichier " + path + " n'a pas pu être repris entièrement : " + std::to_string(refused) +
           (refused > 1 ? " lignes refusées" : " ligne refusée") + ", la première pour la raison suivante :\r\n" +
           firstReason;
}
inline std::string SnapshotCopyKept(const std::string& problem, const std::string& copy) {
    return problem + "\r\nUne copie du fichier est conservée sous le nom " + copy;
}

}  // namespace tavlor::msg::files
