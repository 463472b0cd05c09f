#pragma once

#include <string>
#include <string_view>

// Texts of the in-memory table facility. The table's name comes first, then ": ".
namespace tavlor::msg::table {

inline std::string Prefixed(std::string_view table, std::string_view text) {
    std::string s(table);
    s += ": ";
    s += text;
    return s;
}

inline std::string FieldNotFound(std::string_view table, std::string_view field) {
    return Prefixed(table, "Champ '" + std::string(field) + "' non trouvé");
}

inline std::string IndexNotFound(std::string_view table, std::string_view index) {
    return Prefixed(table, "Index '" + std::string(index) + "' non trouvé");
}

inline std::string NotEditing(std::string_view table) {
    return Prefixed(table, "L'ensemble de données n'est pas en mode édition ou insertion");
}

inline std::string AlreadyEditing(std::string_view table) {
    return Prefixed(table, "L'ensemble de données est déjà en mode édition ou insertion");
}

inline std::string EmptyDataSet(std::string_view table) {
    return Prefixed(table, "Impossible d'effectuer cette opération sur un ensemble de données vide");
}

inline std::string BadFilter(std::string_view table, std::string_view filter) {
    return Prefixed(table, "Expression de filtre incorrecte : '" + std::string(filter) + "'");
}

inline std::string NotAnIntegerField(std::string_view table, std::string_view field) {
    return Prefixed(table, "Le champ '" + std::string(field) + "' n'est pas un champ entier");
}

inline std::string NotADataField(std::string_view table, std::string_view field) {
    return Prefixed(table, "Le champ '" + std::string(field) + "' ne peut pas être modifié");
}

inline std::string WrongValueCount(std::string_view table) {
    return Prefixed(table, "Nombre de valeurs de recherche incorrect");
}

inline std::string NoIndex(std::string_view table) {
    return Prefixed(table, "Aucun index actif pour la recherche");
}

inline std::string DuplicateField(std::string_view table, std::string_view field) {
    return Prefixed(table, "Champ '" + std::string(field) + "' défini deux fois");
}

}  // namespace tavlor::msg::table
