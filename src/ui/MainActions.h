#pragma once

#include <array>
#include <string_view>

namespace tavlor::ui {

// One command of the main window's action list. Image -1: none.
struct TActionDef {
    std::string_view Name;
    std::string_view Category;
    std::string_view Caption;
    std::string_view Hint;
    int Image;
};

// The action list, in its order: the order of the tree's pop-up menu too.
inline constexpr std::array<TActionDef, 26> ActionList{{
    {"LoadFromDbLocal", "Fichiers", "Ouvrir une base locale", "", -1},
    {"LoadFromInternet", "Fichiers", "Ouvrir sur internet", "charge une compétition sur internet", 4},
    {"AddPhase", "Phases", "Ajouter une phase", "Ajouter une phase", 0},
    {"DelPhase", "Phases", "Supprimer la phase", "supprimer la phase", 5},
    {"Separator", "", "", "", -1},
    {"AddInscrit", "Inscrits", "Inscrire un joueur", "inscrire un joueur", 2},
    {"DelInscrit", "Inscrits", "Supprimer inscription", "supprimer l'inscription d'un joueur", 5},
    {"AddPoule", "Poules", "Ajouter une poule", "ajouter une poule", 1},
    {"DelPoule", "Poules", "Supprimer la poule", "supprimer la poule", 5},
    {"DelJoueur", "Joueurs", "Supprimer le joueur", "supprimer ce joueur de la poule", 5},
    {"AddJoueur", "Joueurs", "Ajouter un joueur", "ajouter un joueur à la poule courante", 2},
    {"AddMatch", "Matchs", "Ajouter un match", "ajouter un match", 3},
    {"DelMatch", "Matchs", "Supprimer le match", "supprimer le match", 5},
    {"EditMatch", "Matchs", "Modifier le match", "modifier le match", 6},
    {"EditPhase", "Phases", "Renommer la phase", "renommer la phase", 6},
    {"EditPoule", "Poules", "Renommer la poule", "renommer la poule", 6},
    {"LoginWww", "Fichiers", "Identification", "nécessaire pour modifier les données du serveur", -1},
    {"TriAlphaJoueurs", "Outils", "tri alpha des inscrits", "afficher les joueurs  dans l'ordre alphabétique", -1},
    {"EditInscrit", "Inscrits", "Modifier rang d'inscription", "modifier le rang d'inscription du joueur sélectionné",
     6},
    {"EditJoueur", "Joueurs", "Modifier le rang d'arrivée en poule", "modifier le rang d'arrivée dans la poule", 6},
    {"ExportXls", "Outils", "Exporter vers Excel", "exporte les données affichées dans un classeur Excel", 7},
    {"ExportHtml", "Outils", "Exporter vers HTML", "exporte les données affichées dans une page HTML", -1},
    {"OpenSynthesePoule", "Outils", "Synthèse de poule", "ouvrir synthèse de poule pour impression", 8},
    {"SetFclasstPoule0", "Poules", "Tournois KVL", "pts matchs - moyenne - moy part - série", 9},
    {"SetFClasstPoule1", "Poules", "Double KO", "% de victoires - moyenne", 10},
    {"SetFClasstPoule2", "Poules", "Triple KO", "% de victoires - moyenne", 11},
}};

}  // namespace tavlor::ui
