#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// French texts of the phase-tree node structure. They only show when a caller
// hands the tree a handle or a call sequence that cannot be right.
namespace tavlor::msg::nodetree {

// A handle that names no node: 0, deleted, cleared away or never created.
inline std::string NoeudInexistant(std::int32_t node) {
    return "Erreur interne : noeud " + std::to_string(node) + " inexistant";
}

// A node cannot become its own descendant.
inline std::string DeplacementImpossible(std::int32_t node, std::int32_t newParent) {
    return "Erreur interne : déplacement du noeud " + std::to_string(node) + " sous le noeud " +
           std::to_string(newParent) + " impossible, c'est lui-même ou un de ses descendants";
}

// EndUpdate without a matching BeginUpdate.
inline constexpr std::string_view FinMiseAJourSansDebut =
    "Erreur interne : fin de mise à jour de l'arbre sans début correspondant";

// Every handle the tree may hand out has been used.
inline constexpr std::string_view PlusDeNoeudDisponible = "Erreur interne : plus aucun numéro de noeud disponible";

}  // namespace tavlor::msg::nodetree
