// The main window's commands, without a window, against the stand-in server;
// the user's answers given by a script.
#include "commands/CommandsWorld.h"
#include "model/DataPacket.h"
#include "text/Error.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace tavlor {
namespace {

using test::TCommandsWorld;
using Texts = std::vector<std::string>;
using C = TCommandId;

class Commands : public ::testing::Test {
protected:
    TCommandsWorld W;
    void SetUp() override { W.Load(1201); }
    TNodeHandle Registrant(int row) { return W.Dm.Tree.Child(W.Dm.RegistrantsNode, row); }
    std::int32_t RankOf(std::int32_t licence) {
        return W.Dm.Tables.Inscrits.Data().Lookup("LICENCE", {licence}).AsInteger("RGA");
    }
};

TEST_F(Commands, AddPhaseNumbersAfterTheLargest) {
    W.Run(C::AddPhase);
    ASSERT_NE(W.Find(NodePhase, 4), 0);
    EXPECT_EQ(W.Name(W.Find(NodePhase, 4)), "Phase 4");
    ASSERT_TRUE(W.Compet.AddPhase(5, "Cinq"));
    W.Run(C::AddPhase);
    EXPECT_EQ(W.Name(W.Find(NodePhase, 6)), "Phase 6");
    EXPECT_TRUE(W.Boxes.Errors.empty());
    EXPECT_TRUE(W.Boxes.Inputs.empty() && W.Boxes.Confirmations.empty());
}

TEST(CommandsAlone, AddPhaseWithoutPhasesStartsAtOne) {
    TCommandsWorld w;  // nothing loaded: no phase at all
    w.Run(C::AddPhase);
    ASSERT_NE(w.Find(NodePhase, 1), 0);
    EXPECT_EQ(w.Name(w.Find(NodePhase, 1)), "Phase 1");
}

TEST_F(Commands, AddPouleProposesTheNextLetter) {
    W.Login();
    // From a pool member: the member's phase, which holds 3 pools.
    const TNodeHandle pool = W.Find(NodePool, 101);
    W.Focus(W.Dm.Tree.Child(pool, 0));
    W.Boxes.Typed.push_back(std::nullopt);  // Cancel
    W.Run(C::AddPoule);
    EXPECT_EQ(W.Boxes.Inputs.back(), "Ajouter une poule|Nom");
    EXPECT_EQ(W.Boxes.Defaults.back(), "Phase 1 D");
    EXPECT_EQ(W.Dm.Tree.ChildCount(W.Find(NodePhase, 1)), 3);
    // OK adds it with the text as typed, on the server first.
    W.Focus(W.Find(NodePhase, 1));
    W.Boxes.Typed.push_back(std::string("Poule ajoutée"));
    W.Run(C::AddPoule);
    EXPECT_EQ(W.Dm.Tree.ChildCount(W.Find(NodePhase, 1)), 4);
    EXPECT_TRUE(W.Boxes.Errors.empty());
    // A phase of 26 pools proposes the character after Z.
    ASSERT_TRUE(W.Compet.AddPhase(7, "Phase 7"));
    for (int i = 0; i < 26; ++i) ASSERT_TRUE(W.Compet.AddPoule(7, 0, "P" + std::to_string(i)));
    W.Focus(W.Find(NodePhase, 7));
    W.Boxes.Typed.push_back(std::nullopt);
    W.Run(C::AddPoule);
    EXPECT_EQ(W.Boxes.Defaults.back(), "Phase 7 [");
    // Refused by the server without login: the text is shown, nothing added.
    W.Compet.SetLogin("");
    W.Boxes.Typed.push_back(std::string("Refusée"));
    W.Run(C::AddPoule);
    EXPECT_EQ(W.Boxes.Errors.size(), 1u);
    EXPECT_EQ(W.Dm.Tree.ChildCount(W.Find(NodePhase, 7)), 26);
}

TEST_F(Commands, EditInscritClampsAndSkipsAnUnchangedRank) {
    const TNodeHandle second = Registrant(1);
    const std::int32_t licence = W.Dm.Tree.Data(second).Id;
    const auto count = static_cast<std::int32_t>(W.Dm.Tables.Inscrits.Data().RowCount());
    W.Focus(second);
    W.Boxes.Typed.push_back(std::string("-4"));
    W.Run(C::EditInscrit);
    EXPECT_EQ(W.Boxes.Inputs.back(), "Modifier le rang d'inscription|Nouveau rang");
    EXPECT_EQ(W.Boxes.Defaults.back(), "2");
    EXPECT_EQ(RankOf(licence), 1);
    // The tree was sorted: he is now first.
    EXPECT_EQ(W.Dm.Tree.Data(Registrant(0)).Id, licence);
    W.Boxes.Typed.push_back(std::string("999"));
    W.Run(C::EditInscrit);
    EXPECT_EQ(RankOf(licence), count);
    EXPECT_EQ(W.Dm.Tree.Data(Registrant(count - 1)).Id, licence);
    // Unchanged: nothing is asked of the controller.
    W.Compet.LastError = "inchangé";
    W.Boxes.Typed.push_back(std::to_string(count));
    W.Run(C::EditInscrit);
    EXPECT_EQ(W.Compet.LastError, "inchangé");
    // Not a whole number.
    W.Boxes.Typed.push_back(std::string("2,5"));
    W.Run(C::EditInscrit);
    EXPECT_EQ(W.Boxes.TopErrors.back(), "'2,5' n'est pas une valeur entière correcte");
    EXPECT_EQ(RankOf(licence), count);
    // Cancel.
    W.Boxes.Typed.push_back(std::nullopt);
    W.Run(C::EditInscrit);
    EXPECT_EQ(RankOf(licence), count);
}

TEST_F(Commands, EditJoueurIsLimitedToThePool) {
    const TNodeHandle pool = W.Find(NodePool, 101);
    const TNodeHandle first = W.Dm.Tree.Child(pool, 0);
    const std::int32_t licence = W.Dm.Tree.Data(first).Id;
    W.Focus(first);
    W.Boxes.Typed.push_back(std::string("50"));
    W.Run(C::EditJoueur);
    EXPECT_EQ(W.Boxes.Inputs.back(), "Modifier le rang d'arivée dans la poule|Nouveau rang");
    EXPECT_EQ(W.Dm.Tables.Joueurs.Data().Lookup("IDPOULE;LICENCE", {101, licence}).AsInteger("RGA"),
              W.Dm.Tree.ChildCount(pool));
    EXPECT_EQ(W.Dm.Tree.Data(W.Dm.Tree.Child(pool, W.Dm.Tree.ChildCount(pool) - 1)).Id, licence);
}

TEST_F(Commands, DeletionsAskFirstAndCheckEmptinessBefore) {
    W.Focus(W.Find(NodePhase, 1));
    W.Run(C::DelPhase);
    EXPECT_EQ(W.Boxes.Errors, Texts{"Suppression impossible : la phase doit être vide\r\n"
                                    "supprimez d'abord les poules contenues"});
    EXPECT_TRUE(W.Boxes.Confirmations.empty());
    W.Focus(W.Find(NodePool, 101));
    W.Run(C::DelPoule);
    EXPECT_EQ(W.Boxes.Errors.back(),
              "Suppression impossible : la poule n'est pas vide\r\n"
              "supprimez d'abord les joueurs et/ou matchs attachés");
    EXPECT_TRUE(W.Boxes.Confirmations.empty());
    // An empty phase: the question, then No keeps it, Yes deletes it.
    ASSERT_TRUE(W.Compet.AddPhase(8, "Vide"));
    W.Focus(W.Find(NodePhase, 8));
    W.Boxes.Answers = {false, true};
    W.Run(C::DelPhase);
    EXPECT_EQ(W.Boxes.Confirmations.back(), "Supprimer la Phase sélectionnée ?");
    EXPECT_NE(W.Find(NodePhase, 8), 0);
    W.Run(C::DelPhase);
    EXPECT_EQ(W.Find(NodePhase, 8), 0);
    // A registrant with matches cannot be struck off: the store's text.
    W.Boxes.Clear();
    W.Focus(Registrant(0));
    W.Boxes.Answers = {true};
    W.Run(C::DelInscrit);
    EXPECT_EQ(W.Boxes.Confirmations.back(), "Rayer l'inscription du joueur sélectionné ?");
    ASSERT_EQ(W.Boxes.Errors.size(), 1u);
    EXPECT_EQ(W.Boxes.Errors[0], W.Compet.LastError);
}

TEST_F(Commands, DelMatch) {
    // An empty match list: nothing at all.
    ASSERT_TRUE(W.Compet.AddPhase(8, "Vide"));
    W.Focus(W.Find(NodePhase, 8));
    EXPECT_EQ(W.Dm.Tables.FiltreMatchs.RecordCount(), 0);
    W.Run(C::DelMatch);
    W.Run(C::EditMatch);
    EXPECT_TRUE(W.Boxes.Confirmations.empty() && W.Boxes.Errors.empty());
    EXPECT_TRUE(W.Dialogs.Asked.empty());
    // A pool's first match: refused without login, with the server's text.
    W.Focus(W.Find(NodePool, 101));
    TTable& matchs = W.Dm.Tables.FiltreMatchs;
    matchs.First();
    const std::int32_t number = matchs.AsInteger("IDMATCH");
    const std::string question =
        "Supprimer le match :\r\n" + matchs.AsString("NOM1") + " vs " + matchs.AsString("NOM2");
    W.Run(C::DelMatch, number);
    EXPECT_EQ(W.Boxes.Confirmations.back(), question);
    EXPECT_EQ(W.Boxes.Errors.size(), 1u);
    EXPECT_TRUE(W.Dm.Tables.Matchs.Data().Lookup("IDMATCH", {number}));
    // Logged in: deleted, and the view recomputed.
    W.Login();
    const int before = matchs.RecordCount();
    W.Run(C::DelMatch, number);
    EXPECT_EQ(W.Boxes.Errors.size(), 1u);
    EXPECT_FALSE(W.Dm.Tables.Matchs.Data().Lookup("IDMATCH", {number}));
    EXPECT_EQ(matchs.RecordCount(), before - 1);
    // A match that is not shown is not deleted.
    W.Run(C::DelMatch, number);
    EXPECT_EQ(W.Boxes.Confirmations.size(), 2u);
}

TEST_F(Commands, EditAndAddMatchOpenTheDialogOnTheirPoolAndRecomputeOnSave) {
    W.Focus(W.Find(NodePool, 101));
    const std::int32_t number = W.Selection().IdMatch;
    W.Dialogs.OnShowEditMatch = [&](std::int32_t id) {
        EXPECT_EQ(id, number);
        return true;
    };
    W.Host.BusyCount = 0;
    W.Run(C::EditMatch);
    EXPECT_EQ(W.Dialogs.Asked.back(), "ShowEditMatch " + std::to_string(number));
    EXPECT_EQ(W.Host.BusyCount, 1) << "the view is computed again";
    // From a pool member: his pool and himself as player 1; not saved, no view.
    const TNodeHandle member = W.Dm.Tree.Child(W.Find(NodePool, 101), 0);
    W.Focus(member);
    W.Host.BusyCount = 0;
    W.Run(C::AddMatch);
    EXPECT_EQ(W.Dialogs.Asked.back(), "ShowAddMatch 101 " + std::to_string(W.Dm.Tree.Data(member).Id));
    EXPECT_EQ(W.Host.BusyCount, 0);
    // From a phase: nothing.
    W.Focus(W.Find(NodePhase, 1));
    const auto asked = W.Dialogs.Asked.size();
    W.Run(C::AddMatch);
    EXPECT_EQ(W.Dialogs.Asked.size(), asked);
}

TEST_F(Commands, FormulasRepaintThePoolAndTheSummaryOpensInTheBrowser) {
    struct TChanged : ITreeListener {
        std::vector<TNodeHandle> Nodes;
        void NodeAboutToBeAdded(TNodeHandle, int) override {}
        void NodeAdded(TNodeHandle) override {}
        void NodeAboutToBeRemoved(TNodeHandle, TNodeHandle, int) override {}
        void NodeRemoved(TNodeHandle, int) override {}
        void NodeAboutToBeMoved(TNodeHandle, TNodeHandle, int, TNodeHandle, int) override {}
        void NodeMoved(TNodeHandle) override {}
        void TreeAboutToBeReset() override {}
        void TreeReset() override {}
        void TreeAboutToBeSorted() override {}
        void TreeSorted() override {}
        void NodeChanged(TNodeHandle node) override { Nodes.push_back(node); }
    } changed;
    W.Dm.Tree.AddListener(&changed);
    W.Login();
    const TNodeHandle pool = W.Find(NodePool, 101);
    W.Focus(pool);
    W.Run(C::SetFClasstPoule2);
    EXPECT_EQ(W.Dm.Tables.Poules.Data().Lookup("IDPOULE", {101}).AsInteger("FCLASST"), 2);
    EXPECT_EQ(changed.Nodes, std::vector<TNodeHandle>{pool});
    // Refused: shown, the node repainted all the same with what the tables hold.
    W.Compet.SetLogin("");
    W.Run(C::SetFClasstPoule1);
    EXPECT_EQ(W.Boxes.Errors.size(), 1u);
    EXPECT_EQ(W.Dm.Tables.Poules.Data().Lookup("IDPOULE", {101}).AsInteger("FCLASST"), 2);
    EXPECT_EQ(changed.Nodes.size(), 2u);
    W.Run(C::OpenSynthesePoule);
    EXPECT_EQ(W.Shell.Urls.back(), W.Server.BaseUrl("3bandes") + "/ranking/printpoules.php?param1=101");
    W.Dm.Tree.RemoveListener(&changed);
}

TEST_F(Commands, RegistrantFileNameAndExtension) {
    W.Compet.SetMessage("Coupe 1/2 : finale");
    W.Boxes.Chosen.push_back(W.Dir.File("mes inscrits.txt"));
    W.Run(C::ExportInscrits);
    EXPECT_EQ(W.Boxes.Files.back(),
              "fichiers xml|*.xml|tous fichiers|*.*|" + W.Dir.File("inscrits_Coupe 1_2 _ finale.xml"));
    EXPECT_TRUE(std::filesystem::exists(W.Dir.File("mes inscrits.xml")));
    EXPECT_FALSE(std::filesystem::exists(W.Dir.File("mes inscrits.txt")));
    // Read back by the program: the same registrants.
    const auto count = W.Dm.Tables.Inscrits.Data().RowCount();
    TTable back("tmp", {});
    LoadDataPacketFile(W.Dir.File("mes inscrits.xml"), back);
    EXPECT_EQ(static_cast<std::size_t>(back.RecordCount()), count);
    // Imported again: nothing doubles, and the user is told so.
    W.Boxes.Chosen.push_back(W.Dir.File("mes inscrits.xml"));
    W.Run(C::ImportInscrits);
    EXPECT_EQ(W.Boxes.Files.back().substr(0, 40), "fichiers xml|*.xml|tous les fichiers|*.*");
    EXPECT_EQ(W.Dm.Tables.Inscrits.Data().RowCount(), count);
    EXPECT_EQ(W.Boxes.Informations, Texts{"Aucun inscrit ajouté : tous les joueurs du fichier sont déjà inscrits"});
}

TEST(CommandsAlone, AnEmptyRegistrantListIsNotExportedAndNothingWithoutACompetition) {
    TCommandsWorld w;
    w.Run(C::ExportInscrits);
    w.Run(C::ImportInscrits);
    EXPECT_TRUE(w.Boxes.Files.empty() && w.Boxes.Errors.empty());
    w.Load(4202, "libre");
    w.Dm.Tables.Inscrits.EmptyTable();
    w.Run(C::ExportInscrits);
    EXPECT_EQ(w.Boxes.Errors, Texts{"Export impossible\rLa liste des inscrits est vide"});
    EXPECT_TRUE(w.Boxes.Files.empty());
}

TEST_F(Commands, ExportsWriteTheShownListsAndSayWhenThereIsNone) {
    W.Focus(W.Find(NodePool, 101));
    W.Run(C::ExportXls);
    W.Run(C::ExportHtml);
    EXPECT_EQ(W.Shell.Files, (Texts{W.Export.GetNomFichierExport(".xls"), W.Export.GetNomFichierExport(".html")}));
    // No PDF format without the windows: the command does nothing.
    W.Run(C::ExportPdf);
    EXPECT_EQ(W.Shell.Files.size(), 2u);
    // The print preview is asked for the shown element.
    W.Run(C::PrintLists);
    ASSERT_EQ(W.Dialogs.Printed.size(), 1u);
    EXPECT_EQ(W.Dialogs.Printed[0], (TElement{NodePool, 101, 1}));
    // An empty phase shows nothing: nothing to export or print.
    ASSERT_TRUE(W.Compet.AddPhase(8, "Vide"));
    W.Focus(W.Find(NodePhase, 8));
    W.Run(C::ExportXls);
    W.Run(C::PrintLists);
    EXPECT_EQ(W.Boxes.Errors, (Texts{"Aucune donnée à exporter", "Aucune donnée à exporter"}));
    EXPECT_EQ(W.Dialogs.Printed.size(), 1u);
}

TEST_F(Commands, ReloadDownloadsTheCompetitionAgainWithANumberAboveZero) {
    W.Login();
    const std::string title = W.Compet.Message();
    const auto requests = W.Server.Requests().size();
    W.Run(C::ReloadCompet);
    EXPECT_EQ(W.Server.Requests().size(), requests + 3) << "billiards, pools and matches";
    EXPECT_EQ(W.View.FirstNodeFocused, 2);
    EXPECT_EQ(W.Compet.Message(), title) << "not extended again";
    EXPECT_EQ(W.Compet.Login(), "Jean Dupont (12)");
    EXPECT_TRUE(W.Boxes.TopErrors.empty());
    W.Compet.SetIdCompet(0);
    const auto after = W.Server.Requests().size();
    W.Run(C::ReloadCompet);
    EXPECT_EQ(W.Server.Requests().size(), after);
    EXPECT_EQ(W.View.FirstNodeFocused, 2);
}

// "Annuler" during an exchange: its information box, and nothing after it,
// whichever command was waiting.
TEST_F(Commands, ACancelledExchangeShowsOneBoxOnly) {
    W.Login();
    W.Focus(W.Find(NodePool, 101));
    fedserver::TMisbehaviour slow;
    slow.Mode = fedserver::TMode::Delay;
    slow.DelayMs = 5000;
    int rounds = 0;
    W.Window.OnEvents = [&] {
        if (++rounds == 3) W.Www.CancelExchange();
    };
    const std::function<void()> commands[] = {
        [&] { W.Run(C::ReloadCompet); },
        [&] { W.Run(C::DelMatch); },
        [&] {
            TSelection s;
            s.AddressIndex = 4;  // the competition opened last
            W.Commands.Run(C::LoadFromInternet, s);
        },
    };
    W.Settings.AddRecentCompet(W.Server.BaseUrl("3bandes"), "Finale", 1201);
    for (std::size_t i = 0; i < std::size(commands); ++i) {
        SCOPED_TRACE(i);
        if (i == 1) {
            W.Load(1201);
            W.Login();
            W.Focus(W.Find(NodePool, 101));
        }
        slow.Count = 1;
        W.Server.SetMisbehaviour(slow);
        W.Boxes.Clear();
        rounds = 0;
        W.Boxes.DefaultAnswer = true;
        commands[i]();
        EXPECT_EQ(W.Boxes.Informations, (Texts{"Connexion annulée"}));
        EXPECT_EQ(W.Boxes.TopErrors, Texts{});
        EXPECT_EQ(W.Boxes.Errors, Texts{});
        EXPECT_FALSE(W.Window.Visible);
    }
    // A failure that is no cancel is still shown.
    W.Load(1201);
    W.Server.Stop();
    W.Boxes.Clear();
    W.Run(C::ReloadCompet);
    EXPECT_EQ(W.Boxes.TopErrors.size(), 1u);
}

TEST_F(Commands, OpeningFromTheAddressBox) {
    std::string asked;
    W.Dialogs.OnChooseCompetWww = [&](const std::string& url) {
        asked = url;
        W.Www.SetBaseUrl(url);
        W.Www.LoadCompet(1202, "Coupe régionale");
        return true;
    };
    TSelection s;
    s.AddressIndex = 0;
    s.AddressText = W.Settings.Entries()[0].Caption;
    ASSERT_TRUE(W.Commands.Run(C::LoadFromInternet, s));
    EXPECT_EQ(asked, W.Server.BaseUrl("3bandes"));
    EXPECT_TRUE(W.State.Enabled(C::ReloadCompet));
    EXPECT_EQ(W.Settings.RecentCompets()[0].IdCompet, 1202);
    EXPECT_EQ(W.Settings.RecentCompets()[0].url, W.Server.BaseUrl("3bandes"));
    EXPECT_EQ(W.Settings.Entries()[4].Caption, W.Compet.Message());
    EXPECT_EQ(W.State.FocusKind(), TFocusKind::Registrants);
    // The recent entry opens that competition directly, and is selected again at the head.
    W.Settings.AddRecentCompet(W.Server.BaseUrl("cadre"), "Cadre", 2201);
    s.AddressIndex = 5;
    ASSERT_TRUE(W.Commands.Run(C::LoadFromInternet, s));
    EXPECT_EQ(W.Compet.IdCompet(), 1202);
    EXPECT_EQ(W.View.SelectedAddress, 4);
    EXPECT_EQ(W.Settings.RecentCompets()[0].IdCompet, 1202);
    EXPECT_EQ(W.Settings.RecentCompets()[1].IdCompet, 2201);
    // The first node was focused, so the right-hand side shows this competition.
    EXPECT_EQ(W.View.Focused, W.Dm.Tree.FirstTopLevel());
    // A server that does not answer: the error, and without a competition the reload goes off.
    W.Server.Stop();
    W.Compet.SetIdCompet(-1);
    s.AddressIndex = 4;
    EXPECT_FALSE(W.Commands.Run(C::LoadFromInternet, s));
    EXPECT_EQ(W.Boxes.TopErrors.size(), 1u);
    EXPECT_FALSE(W.State.Enabled(C::ReloadCompet));
}

// A list cancelled or failed, on another server or a mistyped address, and a
// download that fails: the competition open keeps its own server for its
// changes and its reload, and the recent list only gains what was loaded.
TEST_F(Commands, TheOpenCompetitionKeepsItsServerWhateverTheListsAskedElsewhere) {
    W.Login();
    const auto recent = [&] {
        std::vector<std::pair<std::string, std::int32_t>> out;
        for (const TRecentCompet& r : W.Settings.RecentCompets()) out.emplace_back(r.url, r.IdCompet);
        return out;
    };
    const auto recentBefore = recent();
    const std::string own = W.Server.BaseUrl("3bandes");
    struct TAsked {
        std::string Url;
        bool Load;
    };
    for (const TAsked& asked : {TAsked{W.Server.BaseUrl("cadre"), false}, TAsked{"http://127.0.0.1:9/3bandes", false},
                                TAsked{W.Server.BaseUrl("cadre"), true}}) {
        SCOPED_TRACE(asked.Url);
        W.Boxes.Clear();
        W.Dialogs.OnChooseCompetWww = [&](const std::string& url) {
            // As the lists dialog does: a list of that address, then maybe a
            // download from it that the server cuts.
            TTextGrid grid;
            try {
                W.Www.ListCompets(url, grid);
            } catch (const Error&) {
                return false;
            }
            if (!asked.Load) return false;  // "Annuler"
            fedserver::TMisbehaviour cut;
            cut.Mode = fedserver::TMode::Drop;
            cut.Action = "listematchs";
            cut.Count = 1;
            W.Server.SetMisbehaviour(cut);
            try {
                W.Www.LoadCompet(url, 2201, "Cadre");
            } catch (const Error&) {
            }
            return false;
        };
        TSelection s;
        s.AddressText = asked.Url;
        W.Commands.Run(C::LoadFromInternet, s);
        EXPECT_EQ(W.Compet.IdCompet(), 1201);
        EXPECT_EQ(W.Www.BaseUrl(), own);
        EXPECT_EQ(W.Compet.Login(), "Jean Dupont (12)");
        EXPECT_EQ(recent(), recentBefore) << "nothing loaded, nothing recent";
        const auto requests = W.Server.Requests().size();
        ASSERT_TRUE(W.Compet.AddPoule(1, 0, "Après la liste")) << W.Compet.LastError;
        EXPECT_EQ(W.Server.Requests().back().Target, "/3bandes/execall/upd_poule.php");
        W.Run(C::ReloadCompet);
        EXPECT_GT(W.Server.Requests().size(), requests + 1);
        EXPECT_EQ(W.Server.Requests().back().Target, "/3bandes/execall/getlists.php");
        EXPECT_EQ(W.Compet.IdCompet(), 1201);
    }
}

// A competition opened whose snapshot cannot be merged is shown all the same,
// with the error, and heads the recent list with its own address.
TEST_F(Commands, ACompetitionOpenedWithASnapshotErrorIsShown) {
    W.Load(1202);
    const std::string members = W.Dm.SnapshotPath("Joueurs");
    W.Load(1201);  // the snapshot of 1202 written; then damaged
    {
        std::ofstream broken(members);
        broken << "<?xml version=\"1.0\"?><DATAPACKET><METADATA><FIELDS>";
    }
    W.Settings.AddRecentCompet(W.Server.BaseUrl("3bandes"), "Coupe", 1202);
    const int focused = W.View.FirstNodeFocused;
    W.Boxes.Clear();
    TSelection s;
    s.AddressIndex = 4;
    W.Commands.Run(C::LoadFromInternet, s);
    EXPECT_EQ(W.Compet.IdCompet(), 1202);
    EXPECT_EQ(W.View.FirstNodeFocused, focused + 1) << "the right-hand side shows the competition opened";
    EXPECT_EQ(W.View.Focused, W.Dm.Tree.FirstTopLevel());
    EXPECT_EQ(W.Boxes.TopErrors.size() + W.Boxes.Errors.size(), 1u) << "the snapshot's error told";
    EXPECT_EQ(W.Settings.RecentCompets()[0].IdCompet, 1202);
}

TEST_F(Commands, ABuiltInAddressThatNoRecentCompetitionTookOpensItsList) {
    // Fewer addresses in the file than built in: the entry after them shows an
    // address and must open that server's list, not an empty recent slot.
    W.Settings = TSettings(W.Dir.File("tavlor.ini"), W.Addresses());
    {
        std::ofstream ini(W.Dir.File("tavlor.ini"));
        ini << "[URLS]\nnUrls=1\n";
    }
    W.Settings.Load(W.Boxes);
    ASSERT_EQ(W.Settings.nUrls(), 1);
    TSelection s;
    s.AddressIndex = 2;
    s.AddressText = W.Settings.Entries()[2].Caption;
    W.Dialogs.OnChooseCompetWww = [](const std::string&) { return false; };
    EXPECT_TRUE(W.Commands.Run(C::LoadFromInternet, s));
    EXPECT_EQ(W.Dialogs.Asked.back(), "ChooseCompetWww " + W.Server.BaseUrl("bande"));
    EXPECT_EQ(W.Compet.IdCompet(), 1201) << "the open competition stays";
    EXPECT_TRUE(W.Boxes.TopErrors.empty());
}

TEST_F(Commands, AReloadFindsTheTreeAsTheUserLeftIt) {
    const TNodeHandle pool = W.Find(NodePool, 101);
    W.Focus(W.Dm.Tree.Child(pool, 1));
    const TElement member = W.Dm.ElementOf(W.View.Focused);
    W.Run(C::ReloadCompet);
    ASSERT_EQ(W.View.Restored.size(), 1u);
    EXPECT_EQ(W.View.Restored[0].Focused, member);
}

TEST_F(Commands, ASecondCommandWhileOneRunsIsRefused) {
    int inner = 0;
    EXPECT_TRUE(W.Commands.Run([&] { EXPECT_FALSE(W.Commands.Run([&] { ++inner; })); }));
    EXPECT_EQ(inner, 0);
    EXPECT_EQ(W.Boxes.Errors.size(), 1u);
    // An error inside a command ends it in the top-level display, and the next runs.
    EXPECT_FALSE(W.Commands.Run([] { throw Error("Panne"); }));
    EXPECT_EQ(W.Boxes.TopErrors.back(), "Panne");
    EXPECT_TRUE(W.Commands.Run([&] { ++inner; }));
    EXPECT_EQ(inner, 1);
    EXPECT_EQ(W.View.Ended, 3) << "the window is told at the end of each that ran";
}

TEST_F(Commands, AddJoueurOffersTheRegistrantsNotInThePhase) {
    ASSERT_TRUE(W.Compet.AddPhase(9, "Barrages"));
    W.Login();
    std::int32_t pool = -1;
    ASSERT_TRUE(W.Compet.AddPoule(9, 0, "Barrage", &pool));
    W.Focus(W.Find(NodePool, pool));
    const std::string name = W.Dm.Tables.Inscrits.Data().Lookup("RGA", {1}).AsString("NOM");
    const std::int32_t licence = W.Dm.Tables.Inscrits.Data().Lookup("RGA", {1}).AsInteger("LICENCE");
    char six[16];
    std::snprintf(six, sizeof six, "%06d", licence);
    W.Boxes.Typed.push_back(name + " (" + six + ")");
    W.Run(C::AddJoueur);
    EXPECT_EQ(W.Boxes.Choices.size(), W.Dm.Tables.Inscrits.Data().RowCount());
    EXPECT_EQ(W.Dm.Tree.ChildCount(W.Find(NodePool, pool)), 1);
    // He is no longer offered.
    W.Boxes.Typed.push_back(std::nullopt);
    W.Run(C::AddJoueur);
    EXPECT_EQ(W.Boxes.Choices.size(), W.Dm.Tables.Inscrits.Data().RowCount() - 1);
}

TEST_F(Commands, TheRemainingCommandsAskTheirWindows) {
    W.Focus(W.Find(NodePhase, 1));
    W.Run(C::EditPhase);
    W.Focus(W.Find(NodePool, 101));
    W.Run(C::EditPoule);
    W.Run(C::EditPhase);  // not a phase: nothing
    EXPECT_EQ(W.View.EditedNames, 2);
    W.Run(C::AddInscrit);
    W.Run(C::Version);
    W.Run(C::LoadFromDbLocal);
    EXPECT_EQ(W.Dialogs.Asked, (Texts{"ShowSearchJoueur", "ShowVersion", "ChooseCompetLocal"}));
    W.Run(C::Quit);
    EXPECT_EQ(W.View.Closed, 1);
    // The registrant order: ticked, by name; the tree sorted at once.
    W.Run(C::TriAlphaJoueurs);
    EXPECT_TRUE(W.State.Checked(C::TriAlphaJoueurs));
    EXPECT_TRUE(W.Dm.TriAlphaJoueurs());
    W.Run(C::TriAlphaJoueurs);
    EXPECT_FALSE(W.Dm.TriAlphaJoueurs());
}

}  // namespace
}  // namespace tavlor
