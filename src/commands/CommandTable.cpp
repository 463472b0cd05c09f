#include "commands/CommandTable.h"

#include "commands/Commands.h"
#include "commands/CommandsMessages.h"

namespace tavlor {

namespace {

using K = TFocusKind;
using C = TCommandId;
using I = TCommandImage;
using E = TEnabling;
namespace m = msg::commands;

// The focus rules of the commands that follow the focus.
bool OnPhase(K kind, K) {
    return kind == K::Phase;
}
bool OnPool(K kind, K) {
    return kind == K::Pool;
}
bool OnRegistrant(K kind, K) {
    return kind == K::Registrant;
}
bool OnMember(K kind, K) {
    return kind == K::Member;
}
bool OnMatch(K kind, K) {
    return kind == K::Matches;
}
bool PouleOwner(K kind, K node) {
    return kind == K::Phase || kind == K::Pool || kind == K::Member || node == K::Pool;
}
bool InPool(K, K node) {
    return node == K::Pool || node == K::Member;
}
// A player is put in the focused pool too, not only beside a member: a new pool has none.
bool InPoolOrMember(K kind, K) {
    return kind == K::Pool || kind == K::Member;
}

constexpr std::array<TCommandDef, CommandCount> Table{{
    {C::LoadFromDbLocal, "LoadFromDbLocal", m::CategoryFichiers, "Ouvrir une base locale",
     "ouvre une compétition de la base locale, sans serveur", I::None, "", E::Always, nullptr,
     &TCommands::LoadFromDbLocal, false},
    {C::LoadFromInternet, "LoadFromInternet", m::CategoryFichiers, "Ouvrir sur internet",
     "charge une compétition sur internet", I::Internet, "", E::Always, nullptr, &TCommands::LoadFromInternet, false},
    {C::AddPhase, "AddPhase", m::CategoryPhases, "Ajouter une phase", "Ajouter une phase", I::AddPhase, "Ctrl+H",
     E::Loaded, nullptr, &TCommands::AddPhase, false},
    {C::DelPhase, "DelPhase", m::CategoryPhases, "Supprimer la phase", "supprimer la phase", I::Delete, "Del", E::Focus,
     OnPhase, &TCommands::DelPhase, false},
    {C::Separator, "Separator", "", "", "", I::None, "", E::Never, nullptr, &TCommands::Separator, false},
    {C::AddInscrit, "AddInscrit", m::CategoryInscrits, "Inscrire un joueur", "inscrire un joueur", I::AddPlayer,
     "Ctrl+I", E::Loaded, nullptr, &TCommands::AddInscrit, false},
    {C::DelInscrit, "DelInscrit", m::CategoryInscrits, "Supprimer inscription", "supprimer l'inscription d'un joueur",
     I::Delete, "Del", E::Focus, OnRegistrant, &TCommands::DelInscrit, false},
    {C::AddPoule, "AddPoule", m::CategoryPoules, "Ajouter une poule", "ajouter une poule", I::AddPoule, "Ctrl+N",
     E::Focus, PouleOwner, &TCommands::AddPoule, false},
    {C::DelPoule, "DelPoule", m::CategoryPoules, "Supprimer la poule", "supprimer la poule", I::Delete, "Del", E::Focus,
     OnPool, &TCommands::DelPoule, false},
    {C::DelJoueur, "DelJoueur", m::CategoryJoueurs, "Supprimer le joueur", "supprimer ce joueur de la poule", I::Delete,
     "Del", E::Focus, OnMember, &TCommands::DelJoueur, false},
    {C::AddJoueur, "AddJoueur", m::CategoryJoueurs, "Ajouter un joueur", "ajouter un joueur à la poule courante",
     I::AddPlayer, "Ctrl+J", E::Focus, InPoolOrMember, &TCommands::AddJoueur, false},
    {C::AddMatch, "AddMatch", m::CategoryMatchs, "Ajouter un match", "ajouter un match", I::AddMatch, "Ctrl+M",
     E::Focus, InPool, &TCommands::AddMatch, false},
    {C::DelMatch, "DelMatch", m::CategoryMatchs, "Supprimer le match", "supprimer le match", I::Delete, "Del", E::Focus,
     OnMatch, &TCommands::DelMatch, false},
    {C::EditMatch, "EditMatch", m::CategoryMatchs, "Modifier le match", "modifier le match", I::Edit, "", E::Focus,
     OnMatch, &TCommands::EditMatch, false},
    {C::EditPhase, "EditPhase", m::CategoryPhases, "Renommer la phase", "renommer la phase", I::Edit, "F2", E::Focus,
     OnPhase, &TCommands::EditPhase, false},
    {C::EditPoule, "EditPoule", m::CategoryPoules, "Renommer la poule", "renommer la poule", I::Edit, "F2", E::Focus,
     OnPool, &TCommands::EditPoule, false},
    {C::LoginWww, "LoginWww", m::CategoryFichiers, "Identification", "nécessaire pour modifier les données du serveur",
     I::None, "Ctrl+L", E::Internet, nullptr, &TCommands::LoginWww, false},
    {C::TriAlphaJoueurs, "TriAlphaJoueurs", m::CategoryOutils, "tri alpha des inscrits",
     "afficher les joueurs  dans l'ordre alphabétique", I::None, "", E::Loaded, nullptr, &TCommands::TriAlphaJoueurs,
     true},
    {C::EditInscrit, "EditInscrit", m::CategoryInscrits, "Modifier rang d'inscription",
     "modifier le rang d'inscription du joueur sélectionné", I::Edit, "F2", E::Focus, OnRegistrant,
     &TCommands::EditInscrit, false},
    {C::EditJoueur, "EditJoueur", m::CategoryJoueurs, "Modifier le rang d'arrivée en poule",
     "modifier le rang d'arrivée dans la poule", I::Edit, "F2", E::Focus, OnMember, &TCommands::EditJoueur, false},
    {C::ExportXls, "ExportXls", m::CategoryOutils, "Exporter vers Excel",
     "exporte les données affichées dans un classeur Excel", I::Spreadsheet, "Ctrl+E", E::Loaded, nullptr,
     &TCommands::ExportXls, false},
    {C::ExportHtml, "ExportHtml", m::CategoryOutils, "Exporter vers HTML",
     "exporte les données affichées dans une page HTML", I::None, "", E::Loaded, nullptr, &TCommands::ExportHtml,
     false},
    {C::OpenSynthesePoule, "OpenSynthesePoule", m::CategoryOutils, "Synthèse de poule",
     "ouvrir synthèse de poule pour impression", I::Printer, "", E::Focus, OnPool, &TCommands::OpenSynthesePoule,
     false},
    {C::SetFclasstPoule0, "SetFclasstPoule0", m::CategoryPoules, "Tournois KVL",
     "pts matchs - moyenne - moy part - série", I::FormulaT, "", E::Focus, OnPool, &TCommands::SetFclasstPoule0, false},
    {C::SetFClasstPoule1, "SetFClasstPoule1", m::CategoryPoules, "Double KO", "% de victoires - moyenne", I::Formula2K,
     "", E::Focus, OnPool, &TCommands::SetFClasstPoule1, false},
    {C::SetFClasstPoule2, "SetFClasstPoule2", m::CategoryPoules, "Triple KO", "% de victoires - moyenne", I::Formula3K,
     "", E::Focus, OnPool, &TCommands::SetFClasstPoule2, false},
    {C::ReloadCompet, "ReloadBtn", "", "Recharger la compétition", "recharger la competition", I::Reload, "F5",
     E::Loaded, nullptr, &TCommands::ReloadCompet, false},
    {C::Quit, "Quitter", "", "Quitter", "", I::None, "Ctrl+Q", E::Always, nullptr, &TCommands::Quit, false},
    {C::Version, "Version", "", "Version", "", I::None, "", E::Always, nullptr, &TCommands::Version, false},
    {C::ExportInscrits, "ExportInscrits", "", "Exporter les inscrits", "", I::None, "", E::Always, nullptr,
     &TCommands::ExportInscrits, false},
    {C::ImportInscrits, "ImportInscrits", "", "Importer les inscrits", "", I::None, "", E::Always, nullptr,
     &TCommands::ImportInscrits, false},
    {C::PrintLists, "PrintLists", "", "Imprimer...", "imprime les données affichées", I::None, "Ctrl+P", E::Loaded,
     nullptr, &TCommands::PrintLists, false},
    {C::ExportPdf, "ExportPdf", "", "Exporter vers PDF", "exporte les données affichées dans un document PDF", I::None,
     "", E::Loaded, nullptr, &TCommands::ExportPdf, false},
}};

constexpr bool InOrder() {
    for (std::size_t i = 0; i < Table.size(); ++i) {
        if (static_cast<std::size_t>(Table[i].Id) != i) return false;
    }
    return true;
}
static_assert(InOrder(), "the command table lists the commands in the order of TCommandId");

TMenuEntry Item(C id) {
    return {TMenuEntry::TKind::Command, id, {}};
}
TMenuEntry Separator() {
    return {TMenuEntry::TKind::Separator, C::Separator, {}};
}

}  // namespace

const std::array<TCommandDef, CommandCount>& CommandTable() {
    return Table;
}

const TCommandDef& Command(TCommandId id) {
    return Table[static_cast<std::size_t>(id)];
}

const std::vector<TMenuBarEntry>& MainMenu() {
    using T = TMenuEntry::TKind;
    static const std::vector<TMenuBarEntry> menu = {
        {m::MenuFichier,
         "MenuFichier",
         {Item(C::LoadFromDbLocal), Item(C::LoadFromInternet), Item(C::ReloadCompet), Separator(), Item(C::Quit)},
         C::Separator},
        {{}, "LoginWww", {}, C::LoginWww},
        {m::MenuEdition,
         "MenuEdition",
         {Item(C::AddInscrit),
          Item(C::EditInscrit),
          Item(C::DelInscrit),
          Separator(),
          Item(C::AddPhase),
          Item(C::EditPhase),
          Item(C::DelPhase),
          Separator(),
          Item(C::AddPoule),
          Item(C::EditPoule),
          {T::SubMenu, C::Separator, m::MenuFormule},
          Item(C::SetFclasstPoule0),
          Item(C::SetFClasstPoule1),
          Item(C::SetFClasstPoule2),
          {T::SubMenuEnd, C::Separator, {}},
          Item(C::DelPoule),
          Separator(),
          Item(C::AddJoueur),
          Item(C::EditJoueur),
          Item(C::DelJoueur),
          Separator(),
          Item(C::AddMatch),
          Item(C::EditMatch),
          Item(C::DelMatch)},
         C::Separator},
        {m::MenuOutils,
         "MenuOutils",
         {Item(C::TriAlphaJoueurs), Item(C::ExportInscrits), Item(C::ImportInscrits), Separator(), Item(C::ExportHtml),
          Item(C::ExportXls), Item(C::OpenSynthesePoule), Separator(), Item(C::PrintLists), Item(C::ExportPdf)},
         C::Separator},
        {{}, "Version", {}, C::Version},
    };
    return menu;
}

const std::vector<TToolButtonDef>& MainToolBar() {
    static const std::vector<TToolButtonDef> bar = {
        {C::LoadFromInternet, "LoadFromInternetBtn"},
        {C::ReloadCompet, "ReloadBtn"},
        {C::Separator, "Blank1"},
        {C::AddInscrit, "AddInscritBtn"},
        {C::AddPhase, "AddPhaseBtn"},
        {C::AddPoule, "AddPouleBtn"},
        {C::AddMatch, "AddMatchBtn"},
        {C::Separator, "Blank2"},
        {C::EditPhase, "EditBtn", TButtonSlot::Edit},
        {C::DelPhase, "DelBtn", TButtonSlot::Delete},
        {C::Separator, "Blank3"},
        {C::OpenSynthesePoule, "SyntheseBtn", TButtonSlot::Synthese},
    };
    return bar;
}

}  // namespace tavlor
