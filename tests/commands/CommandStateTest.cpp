// The command table and what it derives: which commands are enabled for a
// competition and a focus, the rebindable buttons, the pop-up menu, the menus.
#include "commands/CommandState.h"
#include "commands/CommandTable.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace tavlor {
namespace {

using C = TCommandId;
using K = TFocusKind;

std::vector<std::string> Captions(const std::vector<C>& ids) {
    std::vector<std::string> out;
    for (const C id : ids) out.emplace_back(Command(id).Caption);
    return out;
}

TEST(CommandTable, EveryRowIsInItsPlaceWithItsNameAndHandler) {
    std::set<std::string_view> names;
    for (std::size_t i = 0; i < CommandCount; ++i) {
        const TCommandDef& def = CommandTable()[i];
        EXPECT_EQ(static_cast<std::size_t>(def.Id), i);
        EXPECT_TRUE(names.insert(def.Name).second) << def.Name;
        EXPECT_NE(def.Handler, nullptr) << def.Name;
        EXPECT_EQ(def.Enabling == TEnabling::Focus, def.Rule != nullptr) << def.Name;
    }
    // The action list in its order.
    std::vector<std::string_view> list;
    for (const TCommandDef& def : CommandTable()) {
        if (InActionList(def.Id)) list.push_back(def.Name);
    }
    EXPECT_EQ(list.size(), 26u);
    EXPECT_EQ(list.front(), "LoadFromDbLocal");
    EXPECT_EQ(list[4], "Separator");
    EXPECT_EQ(list.back(), "SetFClasstPoule2");
    EXPECT_EQ(Command(C::AddJoueur).Hint, "ajouter un joueur à la poule courante");
    EXPECT_EQ(Command(C::TriAlphaJoueurs).Hint, "afficher les joueurs  dans l'ordre alphabétique");
    EXPECT_TRUE(Command(C::TriAlphaJoueurs).Checkable);
}

TEST(CommandTable, MenusAndToolbarUseEveryCommandOnceOrMore) {
    std::set<C> used;
    for (const TMenuBarEntry& bar : MainMenu()) {
        if (bar.Caption.empty()) used.insert(bar.Id);
        for (const TMenuEntry& e : bar.Entries) {
            if (e.Kind == TMenuEntry::TKind::Command) used.insert(e.Id);
        }
    }
    for (const TToolButtonDef& b : MainToolBar()) used.insert(b.Id);
    for (const TCommandDef& def : CommandTable()) EXPECT_TRUE(used.count(def.Id)) << def.Name;
    ASSERT_EQ(MainMenu().size(), 5u);
    EXPECT_EQ(MainMenu()[0].Caption, "&Fichier");
    EXPECT_EQ(MainMenu()[1].Id, C::LoginWww);
    EXPECT_EQ(MainMenu()[4].Id, C::Version);
    // The local base first in the file menu, as any other command.
    EXPECT_EQ(MainMenu()[0].Entries[0].Kind, TMenuEntry::TKind::Command);
    EXPECT_EQ(MainMenu()[0].Entries[0].Id, C::LoadFromDbLocal);
    EXPECT_EQ(MainToolBar().size(), 12u);
}

TEST(CommandState, NothingButOpeningWithoutACompetition) {
    TCommandState s;
    for (const C id :
         {C::LoadFromInternet, C::LoadFromDbLocal, C::Quit, C::Version, C::ExportInscrits, C::ImportInscrits}) {
        EXPECT_TRUE(s.Enabled(id)) << Command(id).Name;
    }
    for (const C id : {C::LoginWww, C::AddInscrit, C::AddPhase, C::ExportXls, C::TriAlphaJoueurs, C::DelPhase,
                       C::AddMatch, C::EditMatch, C::Separator, C::ReloadCompet, C::PrintLists, C::ExportPdf}) {
        EXPECT_FALSE(s.Enabled(id)) << Command(id).Name;
    }
    EXPECT_EQ(s.FocusKind(), K::Phase);
    EXPECT_EQ(s.Button(TButtonSlot::Edit), C::EditPhase);
    EXPECT_EQ(s.Button(TButtonSlot::Synthese), C::OpenSynthesePoule);
}

TEST(CommandState, OpeningEnablesTheCompetitionsCommandsAndTheNextFocusApplies) {
    TCommandState s;
    std::vector<C> changed;
    s.OnEnabledChanged = [&](C id) { changed.push_back(id); };
    s.CompetChanged(true, TConnexion::Internet);
    for (const C id : {C::LoginWww, C::AddInscrit, C::AddPhase, C::TriAlphaJoueurs, C::ExportXls, C::ExportHtml,
                       C::ReloadCompet, C::PrintLists, C::ExportPdf}) {
        EXPECT_TRUE(s.Enabled(id)) << Command(id).Name;
    }
    EXPECT_EQ(changed.size(), 9u) << "each change told once";
    EXPECT_EQ(s.FocusKind(), K::None);
    EXPECT_FALSE(s.Enabled(C::DelPhase)) << "what follows the focus waits for it";
    // A competition that is not the server's: no identification.
    s.CompetChanged(true, TConnexion::LocalBase);
    EXPECT_FALSE(s.Enabled(C::LoginWww));
    // Closed: back to opening only, the focus commands too.
    s.EnableActions(K::Phase, K::Phase);
    EXPECT_TRUE(s.Enabled(C::DelPhase));
    s.CompetChanged(false, TConnexion::None);
    EXPECT_FALSE(s.Enabled(C::DelPhase));
    EXPECT_FALSE(s.Enabled(C::AddPhase));
    EXPECT_TRUE(s.Enabled(C::LoadFromInternet));
}

TEST(CommandState, EnablingFollowsTheFocusKind) {
    TCommandState s;
    s.CompetChanged(true, TConnexion::Internet);
    int rebinds = 0;
    s.OnButtonsChanged = [&] { ++rebinds; };
    // The registrants folder.
    s.EnableActions(K::Registrants, K::Registrants);
    EXPECT_EQ(s.Button(TButtonSlot::Edit), C::Separator);
    EXPECT_FALSE(s.Enabled(C::AddMatch));
    EXPECT_TRUE(s.Enabled(C::AddInscrit));

    s.EnableActions(K::Phase, K::Phase);
    EXPECT_TRUE(s.Enabled(C::DelPhase) && s.Enabled(C::EditPhase) && s.Enabled(C::AddPoule));
    EXPECT_FALSE(s.Enabled(C::DelPoule) || s.Enabled(C::AddMatch) || s.Enabled(C::DelInscrit));
    EXPECT_EQ(s.Button(TButtonSlot::Edit), C::EditPhase);
    EXPECT_EQ(s.Button(TButtonSlot::Delete), C::DelPhase);
    EXPECT_EQ(s.Button(TButtonSlot::Synthese), C::Separator);

    s.EnableActions(K::Pool, K::Pool);
    for (const C id : {C::DelPoule, C::EditPoule, C::OpenSynthesePoule, C::SetFclasstPoule0, C::SetFClasstPoule1,
                       C::SetFClasstPoule2, C::AddPoule, C::AddMatch}) {
        EXPECT_TRUE(s.Enabled(id)) << Command(id).Name;
    }
    EXPECT_FALSE(s.Enabled(C::DelPhase));
    EXPECT_EQ(s.Button(TButtonSlot::Edit), C::EditPoule);
    EXPECT_EQ(s.Button(TButtonSlot::Synthese), C::OpenSynthesePoule);

    // A player is put in a pool from the pool too: a new pool has no member to start from.
    EXPECT_TRUE(s.Enabled(C::AddJoueur));
    EXPECT_FALSE(s.Enabled(C::EditJoueur) || s.Enabled(C::DelJoueur));

    s.EnableActions(K::Member, K::Member);
    for (const C id : {C::AddJoueur, C::EditJoueur, C::DelJoueur, C::AddPoule, C::AddMatch}) {
        EXPECT_TRUE(s.Enabled(id)) << Command(id).Name;
    }
    EXPECT_FALSE(s.Enabled(C::DelPoule));
    EXPECT_EQ(s.Button(TButtonSlot::Delete), C::DelJoueur);

    // The grid and the match list: the pool member stays the tree's focused
    // node, so AddMatch stays enabled, and AddPoule does not.
    s.EnableActions(K::Grid, K::Member);
    EXPECT_TRUE(s.Enabled(C::AddMatch));
    EXPECT_FALSE(s.Enabled(C::AddPoule) || s.Enabled(C::EditJoueur));
    EXPECT_EQ(s.Button(TButtonSlot::Edit), C::Separator);
    s.EnableActions(K::Matches, K::Member);
    EXPECT_TRUE(s.Enabled(C::EditMatch) && s.Enabled(C::DelMatch));
    EXPECT_EQ(s.Button(TButtonSlot::Edit), C::EditMatch);
    EXPECT_EQ(s.Button(TButtonSlot::Delete), C::DelMatch);

    // A pool focused in the tree keeps AddPoule enabled from the grid.
    s.EnableActions(K::Pool, K::Pool);
    s.EnableActions(K::Grid, K::Pool);
    EXPECT_TRUE(s.Enabled(C::AddPoule));
    // The same kind twice changes nothing.
    const int before = rebinds;
    s.EnableActions(K::Grid, K::Phase);
    EXPECT_TRUE(s.Enabled(C::AddPoule));
    EXPECT_EQ(rebinds, before);

    s.EnableActions(K::Registrant, K::Registrant);
    EXPECT_TRUE(s.Enabled(C::DelInscrit) && s.Enabled(C::EditInscrit));
    EXPECT_EQ(s.Button(TButtonSlot::Edit), C::EditInscrit);
}

TEST(CommandState, PopupMenusAreTheFocusedNodesEnabledCommands) {
    TCommandState s;
    s.CompetChanged(true, TConnexion::Internet);
    s.EnableActions(K::Phase, K::Phase);
    EXPECT_EQ(Captions(s.PopupCommands(NodePhase)),
              (std::vector<std::string>{"Ajouter une phase", "Supprimer la phase", "Renommer la phase"}));
    s.EnableActions(K::Pool, K::Pool);
    EXPECT_EQ(Captions(s.PopupCommands(NodePool)),
              (std::vector<std::string>{"Ajouter une poule", "Supprimer la poule", "Renommer la poule", "Tournois KVL",
                                        "Double KO", "Triple KO"}));
    s.EnableActions(K::Registrant, K::Registrant);
    EXPECT_EQ(Captions(s.PopupCommands(NodeRegistrant)),
              (std::vector<std::string>{"Inscrire un joueur", "Supprimer inscription", "Modifier rang d'inscription"}));
    s.EnableActions(K::Member, K::Member);
    EXPECT_EQ(
        Captions(s.PopupCommands(NodeMember)),
        (std::vector<std::string>{"Supprimer le joueur", "Ajouter un joueur", "Modifier le rang d'arrivée en poule"}));
    s.EnableActions(K::Registrants, K::Registrants);
    EXPECT_TRUE(s.PopupCommands(NodeRegistrants).empty());
    EXPECT_TRUE(s.PopupCommands(std::nullopt).empty());
}

TEST(CommandState, TicksAreToldOnce) {
    TCommandState s;
    int told = 0;
    s.OnCheckedChanged = [&](C id) {
        EXPECT_EQ(id, C::TriAlphaJoueurs);
        ++told;
    };
    s.SetChecked(C::TriAlphaJoueurs, true);
    s.SetChecked(C::TriAlphaJoueurs, true);
    EXPECT_TRUE(s.Checked(C::TriAlphaJoueurs));
    EXPECT_EQ(told, 1);
}

}  // namespace
}  // namespace tavlor
