#pragma once

#include <cstdint>
#include <string>

// The texts of the local base: the SQLite file that keeps the competitions on
// this computer. Each names the file.
namespace tavlor::msg::localbase {

// Why SQLite failed, from its primary result code (sqlite3.h).
inline std::string Reason(int code) {
    switch (code) {
        case 1:  // SQLITE_ERROR
            return "instruction refusée";
        case 3:  // SQLITE_PERM
            return "permission refusée";
        case 7:  // SQLITE_NOMEM
            return "mémoire insuffisante";
        case 8:  // SQLITE_READONLY
            return "le fichier ne peut pas être écrit";
        case 10:  // SQLITE_IOERR
            return "erreur d'entrée/sortie";
        case 11:  // SQLITE_CORRUPT
        case 26:  // SQLITE_NOTADB
            return "le fichier est endommagé";
        case 13:  // SQLITE_FULL
            return "plus d'espace libre sur le disque";
        case 14:  // SQLITE_CANTOPEN
            return "le fichier ne peut pas être ouvert";
        case 18:  // SQLITE_TOOBIG
            return "donnée trop volumineuse";
        case 19:  // SQLITE_CONSTRAINT
            return "une règle de la base n'est pas respectée";
        default:
            return "erreur SQLite n° " + std::to_string(code);
    }
}
inline std::string Failed(const std::string& path, const std::string& reason) {
    return "Base locale " + path + " : " + reason;
}
// Another program kept the base locked for longer than the program waits.
inline std::string Busy(const std::string& path) {
    return "La base locale " + path + " est occupée par un autre programme ; réessayez dans un moment";
}
inline std::string BadValue(const std::string& path, const std::string& column) {
    return "La base locale " + path + " est endommagée : valeur incorrecte dans la colonne " + column;
}

// Opening.
inline std::string SetAside(const std::string& path, const std::string& aside) {
    return "La base locale " + path + " était endommagée : elle a été mise de côté sous le nom " + aside +
           " et une nouvelle base locale vide a été créée";
}
inline std::string CannotSetAside(const std::string& path, const std::string& reason) {
    return "La base locale " + path + " est endommagée et n'a pas pu être mise de côté : " + reason;
}
// Label of the name under which a damaged base is kept.
inline constexpr const char* DamagedLabel = "endommagé";
inline std::string NewerSchema(const std::string& path, std::int64_t version) {
    return "La base locale " + path + " a été créée par une version plus récente de Tavlor (version " +
           std::to_string(version) + " de la base) : elle n'est pas ouverte";
}
inline std::string MigrationFailed(const std::string& path, int version, const std::string& reason) {
    return "La base locale " + path + " n'a pas pu être mise à la version " + std::to_string(version) + " : " + reason;
}

// Working with it.
inline constexpr const char* NotOpen = "Aucune base locale n'est ouverte";
inline std::string NotInBase(std::int32_t id) {
    return "La compétition n° " + std::to_string(id) + " n'est pas dans la base locale";
}
// A competition of the federation and one created here never replace each other.
inline std::string HoldsLocal(std::int32_t id) {
    return "La base locale contient une compétition locale n° " + std::to_string(id) +
           " : la compétition du serveur portant ce numéro ne peut pas y être enregistrée";
}
inline std::string HoldsServer(std::int32_t id, const std::string& origin) {
    return "La base locale contient la compétition n° " + std::to_string(id) + " du serveur " + origin +
           " : une compétition locale ne peut pas la remplacer";
}
inline constexpr const char* NoLocalNumber = "Plus aucun numéro libre pour une nouvelle compétition locale";

}  // namespace tavlor::msg::localbase
