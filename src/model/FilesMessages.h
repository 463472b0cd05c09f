#pragma once

#include <string>

// Texts of the local files: reading and writing snapshots, registrant files and datapackets.
namespace tavlor::filemsg {

inline std::string CannotWrite(const std::string& path, const std::string& reason) {
    return "Impossible d'enregistrer le fichier " + path + " : " + reason;
}
inline std::string CannotRead(const std::string& path, const std::string& reason) {
    return "Impossible de lire le fichier " + path + " : " + reason;
}
inline std::string NotADataPacket(const std::string& path, const std::string& reason) {
    return "Le fichier " + path + " n'est pas un fichier de données valide : " + reason;
}
inline std::string BadValue(const std::string& path, const std::string& field, const std::string& value) {
    return "Le fichier " + path + " n'est pas un fichier de données valide : valeur '" + value +
           "' incorrecte pour le champ " + field;
}
inline constexpr const char* NoDataPacket = "élément DATAPACKET absent";
inline constexpr const char* NoFields = "description des champs absente";
inline constexpr const char* NoRowData = "élément ROWDATA absent";
inline constexpr const char* NoFieldName = "champ sans nom";
inline constexpr const char* XmlError = "XML mal formé";
inline constexpr const char* NoSnapshotFolder = "dossier des données non défini";

}  // namespace tavlor::filemsg
