// The commands on competitions opened from the local base: a copy of a
// server's competition only looked at, every change refused before anything
// is asked; a competition of this computer created, then run by hand from
// its first player to its exported rankings.
#include "commands/CommandsWorld.h"
#include "commands/CompetList.h"
#include "commands/CompetRules.h"
#include "commands/LocalCompet.h"
#include "commands/MatchEntry.h"
#include "model/dbFbMessages.h"
#include "support/CompetitionImage.h"
#include "text/DateTime.h"
#include "workbook/XlsReaders.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

using test::TCommandsWorld;
using Texts = std::vector<std::string>;
using C = TCommandId;

class CopyFromTheBase : public ::testing::Test {
protected:
    TCommandsWorld W;
    std::string Reason;
    std::size_t Requests = 0;

    void SetUp() override {
        ASSERT_TRUE(W.Fb.OpenDb());
        W.Load(1201);
        ASSERT_TRUE(W.Fb.StoreDownload(W.Server.BaseUrl("3bandes")));
        W.Login();
        ASSERT_FALSE(W.Compet.Login().empty());
        W.Fb.LoadCompetDb(1201, "");
        W.View.FocusFirstNode();
        Reason = msg::dbfb::ReadOnlyCopy(W.Server.BaseUrl("3bandes"));
        Requests = W.Server.Requests().size();
        W.Boxes.Clear();
    }
    TNodeHandle Registrant() { return W.Dm.Tree.Child(W.Dm.RegistrantsNode, 0); }
    TNodeHandle Member() { return W.Dm.Tree.Child(W.Find(NodePool, 101), 0); }
};

TEST_F(CopyFromTheBase, EveryChangingCommandIsRefusedBeforeAnythingIsAsked) {
    ASSERT_EQ(W.Compet.Connexion, TConnexion::LocalBase);
    EXPECT_EQ(W.Compet.Login(), "");
    const test::TCompetImage before = test::ImageOf(W.Compet, W.Dm);
    const std::vector<std::pair<C, TNodeHandle>> cases = {
        {C::AddInscrit, W.Dm.RegistrantsNode},
        {C::EditInscrit, Registrant()},
        {C::DelInscrit, Registrant()},
        {C::ImportInscrits, W.Dm.RegistrantsNode},
        {C::AddPhase, W.Find(NodePhase, 1)},
        {C::EditPhase, W.Find(NodePhase, 1)},
        {C::DelPhase, W.Find(NodePhase, 1)},
        {C::AddPoule, W.Find(NodePhase, 1)},
        {C::EditPoule, W.Find(NodePool, 101)},
        {C::SetFclasstPoule0, W.Find(NodePool, 101)},
        {C::SetFClasstPoule1, W.Find(NodePool, 101)},
        {C::SetFClasstPoule2, W.Find(NodePool, 101)},
        {C::DelPoule, W.Find(NodePool, 101)},
        {C::AddJoueur, W.Find(NodePool, 101)},
        {C::EditJoueur, Member()},
        {C::DelJoueur, Member()},
        {C::AddMatch, W.Find(NodePool, 101)},
        {C::EditMatch, W.Find(NodePool, 101)},
        {C::DelMatch, W.Find(NodePool, 101)},
    };
    // Answers that would let each change through, were it asked.
    W.Boxes.DefaultAnswer = true;
    for (const auto& [id, node] : cases) {
        SCOPED_TRACE(std::string(Command(id).Name));
        ASSERT_NE(node, 0);
        W.Focus(node);
        W.Boxes.Clear();
        W.Dialogs.Asked.clear();
        W.Boxes.Typed = {"2", "Nouveau nom"};
        EXPECT_TRUE(W.Run(id));
        EXPECT_EQ(W.Boxes.Errors, Texts{Reason});
        EXPECT_TRUE(W.Boxes.Confirmations.empty());
        EXPECT_TRUE(W.Boxes.Inputs.empty());
        EXPECT_TRUE(W.Boxes.Files.empty());
        EXPECT_TRUE(W.Dialogs.Asked.empty());
        EXPECT_EQ(W.View.EditedNames, 0);
    }
    // A name typed in the tree, and a drop.
    W.Boxes.Clear();
    EXPECT_FALSE(W.Commands.Rename(W.Find(NodePhase, 1), "Autre nom"));
    EXPECT_FALSE(W.Commands.Rename(W.Find(NodePool, 101), "Autre nom"));
    TDragParamTable drag = W.Commands.DragObjectOf(Registrant());
    ASSERT_NE(W.Find(NodePool, 104), 0);
    EXPECT_FALSE(W.Commands.Drop(W.Find(NodePool, 104), drag));
    drag = W.Commands.DragObjectOf(W.Find(NodePool, 102));
    EXPECT_FALSE(W.Commands.Drop(W.Find(NodePhase, 2), drag));
    EXPECT_EQ(W.Boxes.Errors, (Texts{Reason, Reason, Reason, Reason}));

    EXPECT_EQ(test::FirstDifference(before, test::ImageOf(W.Compet, W.Dm)), "");
    EXPECT_EQ(W.Server.Requests().size(), Requests) << "nothing was sent to the server";
}

TEST_F(CopyFromTheBase, ThePoolSummaryIsThePageOfTheServerTheCopyCameFrom) {
    // The lists were last asked of another address.
    W.Www.SetBaseUrl(W.Server.BaseUrl("cadre"));
    W.Focus(W.Find(NodePool, 101));
    W.Run(C::OpenSynthesePoule);
    EXPECT_EQ(W.Shell.Urls, Texts{W.Server.BaseUrl("3bandes") + "/ranking/printpoules.php?param1=101"});
}

TEST_F(CopyFromTheBase, WhatOnlyReadsWorksAsForTheDownload) {
    // Exports, the sort and the reload are no change.
    W.Focus(W.Find(NodePool, 101));
    EXPECT_TRUE(W.Run(C::TriAlphaJoueurs));
    EXPECT_TRUE(W.Run(C::ExportXls));
    EXPECT_TRUE(W.Run(C::ReloadCompet));
    EXPECT_TRUE(W.Boxes.Errors.empty()) << W.Boxes.Errors[0];
    EXPECT_TRUE(W.Boxes.TopErrors.empty());
    // Nothing was asked of the server.
    EXPECT_EQ(W.Server.Requests().size(), Requests);
    EXPECT_EQ(W.Compet.Connexion, TConnexion::LocalBase);
    // Downloaded again from its server, it can be changed there.
    W.Load(1201);
    W.Login();
    W.Boxes.Typed = {"Poule C"};
    W.Focus(W.Find(NodePhase, 1));
    EXPECT_TRUE(W.Run(C::AddPoule));
    EXPECT_TRUE(W.Boxes.Errors.empty());
}

// ---- a competition of this computer

class LocalCompetition : public ::testing::Test {
protected:
    TCommandsWorld W;
    double Clock = 46000.75;  // 9 December 2025, 18:00

    void SetUp() override {
        W.Fb.Now = [this] { return Clock; };
        ASSERT_TRUE(W.Fb.OpenDb());
    }
    // "Nouvelle compétition locale", answered.
    void Create(const std::string& title, const std::string& discipline, const std::string& season) {
        W.Boxes.Typed = {title, discipline, season};
        ASSERT_TRUE(W.Run(C::NewCompetLocal));
        ASSERT_TRUE(W.Boxes.Typed.empty());
    }
    // A match entered in the match dialog's entry, with its rules.
    bool Enter(std::int32_t pool, std::int32_t l1, int pts1, int rep1, int ser1, std::int32_t l2, int pts2, int rep2,
               int ser2, int pm1 = -1) {
        TMatchEntry entry(W.Compet, W.Dm, W.Boxes);
        if (!entry.PrepareAdd(pool, -1, Clock)) return false;
        entry.SetValue(TMatchEntry::LICENCE1, l1);
        entry.SetValue(TMatchEntry::LICENCE2, l2);
        for (const auto& [f, v] : std::vector<std::pair<TMatchEntry::TField, int>>{{TMatchEntry::PTS1, pts1},
                                                                                   {TMatchEntry::REP1, rep1},
                                                                                   {TMatchEntry::SER1, ser1},
                                                                                   {TMatchEntry::PTS2, pts2},
                                                                                   {TMatchEntry::REP2, rep2},
                                                                                   {TMatchEntry::SER2, ser2}}) {
            if (!entry.CommitNumber(f, std::to_string(v))) return false;
        }
        entry.SetValue(TMatchEntry::PM1, pm1 >= 0 ? pm1 : pts1 > pts2 ? 2 : pts1 == pts2 ? 1 : 0);
        return entry.Save(Clock);
    }
};

TEST(Season, FromJulyOnTheSeasonThatStartsThatYear) {
    EXPECT_EQ(SeasonOf(text::EncodeDate(2026, 6, 30) + 0.99), "2025-2026");
    EXPECT_EQ(SeasonOf(text::EncodeDate(2026, 7, 1)), "2026-2027");
    EXPECT_EQ(SeasonOf(text::EncodeDate(2026, 1, 1)), "2025-2026");
    EXPECT_EQ(SeasonOf(text::EncodeDate(2025, 12, 31)), "2025-2026");
}

TEST_F(LocalCompetition, ANewOneIsAskedForThenCreatedEmptyAndOpened) {
    // Cancelled at any question: nothing is created.
    for (std::size_t answered = 0; answered < 3; ++answered) {
        W.Boxes.Clear();
        const std::vector<std::string> answers = {"Tournoi", "Cadre", "2025-2026"};
        W.Boxes.Typed.clear();
        for (std::size_t i = 0; i < answered; ++i) W.Boxes.Typed.push_back(answers[i]);
        W.Boxes.Typed.push_back(std::nullopt);
        EXPECT_TRUE(W.Run(C::NewCompetLocal));
        EXPECT_EQ(W.Boxes.Inputs.size(), answered + 1);
        EXPECT_TRUE(W.Fb.Base().List().empty());
    }
    EXPECT_EQ(W.Boxes.Inputs,
              (Texts{"Nouvelle compétition locale|Titre de la compétition", "Nouvelle compétition locale|Discipline",
                     "Nouvelle compétition locale|Saison (par exemple 2025-2026, ou rien)"}));
    EXPECT_EQ(W.Boxes.Choices, (Texts{"3Bandes", "Cadre", "Bande", "Libre"}));
    // The season proposed is the one of the day.
    EXPECT_EQ(W.Boxes.Defaults.back(), "2025-2026");
    // A title of spaces only.
    W.Boxes.Clear();
    W.Boxes.Typed = {"   "};
    W.Run(C::NewCompetLocal);
    EXPECT_EQ(W.Boxes.Errors, Texts{"Le titre de la compétition ne peut pas être vide"});
    EXPECT_TRUE(W.Fb.Base().List().empty());

    W.Boxes.Clear();
    Create(" Tournoi du club ", "Cadre", "");
    const auto listed = W.Fb.Base().List();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].Title, "Tournoi du club (Cadre)");
    EXPECT_EQ(listed[0].Discipline, "Cadre");
    EXPECT_EQ(listed[0].Season, "");
    EXPECT_TRUE(listed[0].IsLocal());
    EXPECT_EQ(W.Compet.IdCompet(), listed[0].Id);
    EXPECT_EQ(W.Compet.Message(), "Tournoi du club (Cadre)");
    EXPECT_EQ(W.Compet.Connexion, TConnexion::LocalBase);
    EXPECT_EQ(W.View.FirstNodeFocused, 1);
    EXPECT_TRUE(W.Boxes.Errors.empty());
    // Every command of an open competition; identification is for a server only.
    EXPECT_TRUE(W.State.Enabled(C::AddPhase));
    EXPECT_TRUE(W.State.Enabled(C::AddInscrit));
    EXPECT_FALSE(W.State.Enabled(C::LoginWww));
    // Not in the recent list: it is opened again from the base.
    EXPECT_EQ(W.Settings.RecentCompets()[0].IdCompet, -1);
    // A second one proposes the discipline of the one open.
    W.Boxes.Clear();
    W.Boxes.Typed = {"Second", std::nullopt};
    W.Run(C::NewCompetLocal);
    EXPECT_EQ(W.Boxes.Choices.size(), 4u);
}

TEST_F(LocalCompetition, AReloadReadsItAgainFromTheBaseWithoutAnyServer) {
    Create("Tournoi du soir", "Libre", "");
    const std::int32_t id = W.Compet.IdCompet();
    ASSERT_TRUE(W.Compet.AddInscrit(1001, -1, "MARTIN Paul"));
    ASSERT_TRUE(W.Compet.AddInscrit(1002, -1, "LEROY Anne"));
    ASSERT_TRUE(W.Fb.StoreCompet());
    // What the base holds is what is read (the program stores the tables
    // before it reads them again; here the base is a step behind).
    ASSERT_TRUE(W.Compet.DelInscrit(1002));
    ASSERT_EQ(W.Dm.Tables.Inscrits.Data().RowCount(), 1u);
    const std::size_t requests = W.Server.Requests().size();
    EXPECT_TRUE(W.Run(C::ReloadCompet));
    EXPECT_TRUE(W.Boxes.Errors.empty());
    EXPECT_TRUE(W.Boxes.TopErrors.empty());
    EXPECT_EQ(W.Compet.IdCompet(), id);
    EXPECT_EQ(W.Compet.Connexion, TConnexion::LocalBase);
    EXPECT_EQ(W.Dm.Tables.Inscrits.Data().RowCount(), 2u);
    EXPECT_EQ(W.Server.Requests().size(), requests);
}

TEST_F(LocalCompetition, ThePoolSummaryOfTheServerIsNotForIt) {
    Create("Tournoi du club", "Libre", "");
    W.Run(C::AddPhase);
    W.Focus(W.Find(NodePhase, 1));
    W.Boxes.Typed = {"Poule A"};
    W.Run(C::AddPoule);
    W.Focus(W.Find(NodePool, 1));
    W.Run(C::OpenSynthesePoule);
    EXPECT_TRUE(W.Shell.Urls.empty());
    EXPECT_EQ(W.Boxes.Informations,
              Texts{"La synthèse de poule est une page du serveur de la fédération, qui ne connaît pas les "
                    "compétitions locales : imprimez plutôt les listes de la poule (Outils, Imprimer...)"});
}

TEST_F(LocalCompetition, ANewPlayerIsRegisteredByLicenceAndName) {
    Create("Tournoi du club", "Libre", "2025-2026");
    W.Boxes.Clear();
    W.Boxes.Typed = {" 123456 ", "  MARTIN Luc "};
    EXPECT_TRUE(RegisterNewPlayer(W.Compet, W.Boxes));
    EXPECT_EQ(W.Dm.Tables.Inscrits.Data().Lookup("LICENCE", {123456}).AsString("NOM"), "MARTIN Luc");
    EXPECT_EQ(W.Boxes.Inputs,
              (Texts{"Nouveau joueur|Numéro de licence du joueur", "Nouveau joueur|Nom du joueur (NOM Prénom)"}));
    // Refusals: told, nothing registered.
    for (const std::string bad : {"abc", "0", "-5", ""}) {
        W.Boxes.Clear();
        W.Boxes.Typed = {bad};
        EXPECT_FALSE(RegisterNewPlayer(W.Compet, W.Boxes));
        EXPECT_EQ(W.Boxes.Errors,
                  Texts{"'" + bad + "' n'est pas un numéro de licence : un nombre entier positif est attendu"});
    }
    W.Boxes.Clear();
    W.Boxes.Typed = {"7", " "};
    EXPECT_FALSE(RegisterNewPlayer(W.Compet, W.Boxes));
    EXPECT_EQ(W.Boxes.Errors, Texts{"Le nom du joueur ne peut pas être vide"});
    W.Boxes.Clear();
    W.Boxes.Typed = {"123456", "AUTRE"};
    EXPECT_FALSE(RegisterNewPlayer(W.Compet, W.Boxes));
    EXPECT_EQ(W.Boxes.Errors, Texts{W.Compet.LastError});
    W.Boxes.Clear();
    W.Boxes.Typed = {"8", std::nullopt};
    EXPECT_FALSE(RegisterNewPlayer(W.Compet, W.Boxes));
    EXPECT_TRUE(W.Boxes.Errors.empty());
    EXPECT_EQ(W.Dm.Tables.Inscrits.RecordCount(), 1);
}

TEST_F(LocalCompetition, FromNothingToItsExportedRankings) {
    // The base knows the players of a server's competition downloaded before.
    W.Load(1201);
    ASSERT_TRUE(W.Fb.StoreDownload(W.Server.BaseUrl("3bandes")));
    Clock += 1;
    Create("Tournoi du club", "3Bandes", "2025-2026");
    const auto requests = W.Server.Requests().size();

    // Two players found in the base, two typed in.
    W.Run(C::AddInscrit);
    EXPECT_EQ(W.Dialogs.Asked.back(), "ShowSearchJoueur");
    TTextGrid found;
    found.SetColCount(2);
    found.SetRowCount(1);
    W.Compet.ListJoueurs(found);
    ASSERT_GE(found.RowCount(), 3);
    const TFoundPlayer a = FoundPlayer(found, 1), b = FoundPlayer(found, 2);
    ASSERT_TRUE(W.Compet.AddInscrit(a.Licence, -1, a.Name));
    ASSERT_TRUE(W.Compet.AddInscrit(b.Licence, -1, b.Name));
    W.Boxes.Typed = {"900001", "NOUVEAU Paul", "900002", "RECRUE Zoé"};
    ASSERT_TRUE(RegisterNewPlayer(W.Compet, W.Boxes));
    ASSERT_TRUE(RegisterNewPlayer(W.Compet, W.Boxes));
    const std::vector<std::int32_t> players = {a.Licence, b.Licence, 900001, 900002};

    // A phase, a pool, its four players.
    W.Run(C::AddPhase);
    W.Focus(W.Find(NodePhase, 1));
    W.Boxes.Typed = {"Poule unique"};
    W.Run(C::AddPoule);
    const TNodeHandle pool = W.Find(NodePool, 1);
    ASSERT_NE(pool, 0);
    W.Focus(pool);
    for (std::size_t i = 0; i < players.size(); ++i) {
        W.Boxes.Typed = {RegistrantsNotInPhase(W.Dm, 1).Items.front()};
        W.Run(C::AddJoueur);
    }
    ASSERT_EQ(W.Dm.Tree.ChildCount(pool), 4);

    // Six matches through the match dialog's rules; one corrected, one deleted.
    W.Dialogs.OnShowAddMatch = [&](std::int32_t p, std::int32_t) {
        return Enter(p, players[0], 30, 20, 6, players[1], 18, 20, 3);
    };
    W.Run(C::AddMatch);
    ASSERT_TRUE(Enter(1, players[2], 25, 30, 4, players[3], 30, 30, 5));
    ASSERT_TRUE(Enter(1, players[0], 30, 25, 7, players[2], 21, 25, 2));
    ASSERT_TRUE(Enter(1, players[1], 30, 40, 5, players[3], 30, 40, 4));
    ASSERT_TRUE(W.Boxes.OkCancels.empty());
    // The rules as on a server's competition: equal points and a winner are
    // questioned; cancelled, nothing is added.
    W.Boxes.Answers = {false};
    EXPECT_FALSE(Enter(1, players[0], 30, 35, 5, players[3], 30, 35, 6, 2));
    EXPECT_EQ(W.Boxes.OkCancels.size(), 1u);
    ASSERT_EQ(W.Dm.Tables.Matchs.RecordCount(), 4);
    ASSERT_TRUE(Enter(1, players[0], 30, 35, 5, players[3], 30, 35, 6));
    ASSERT_TRUE(Enter(1, players[1], 10, 10, 1, players[2], 30, 10, 9));
    ASSERT_EQ(W.Dm.Tables.Matchs.RecordCount(), 6);
    // The pool's view shows them, as a click on it would.
    W.Commands.ShowElement(pool);
    ASSERT_EQ(W.Dm.Tables.FiltreMatchs.RecordCount(), 6);
    W.Dialogs.OnShowEditMatch = [&](std::int32_t id) {
        TMatchEntry entry(W.Compet, W.Dm, W.Boxes);
        EXPECT_TRUE(entry.PrepareEdit(id, Clock));
        EXPECT_TRUE(entry.CommitNumber(TMatchEntry::PTS1, "12"));
        return entry.Save(Clock);
    };
    W.Run(C::EditMatch, 6);
    EXPECT_EQ(W.Dm.Tables.Matchs.Data().Lookup("IDMATCH", {6}).AsInteger("PTS1"), 12);
    ASSERT_TRUE(Enter(1, players[2], 1, 1, 1, players[3], 2, 1, 1));
    W.Commands.ShowElement(pool);
    W.Boxes.Answers = {true};
    W.Run(C::DelMatch, 7);
    EXPECT_FALSE(W.Dm.Tables.Matchs.Data().Lookup("IDMATCH", {7}));
    EXPECT_TRUE(W.Boxes.Errors.empty()) << W.Boxes.Errors.front();
    EXPECT_TRUE(W.Boxes.TopErrors.empty());
    EXPECT_EQ(W.Server.Requests().size(), requests) << "nothing was asked of a server";

    // The pool's ranking exported, and read back.
    W.Run(C::ExportXls);
    const std::string file = W.Export.GetNomFichierExport(".xls");
    const workbook::test::TXlrdBook book = workbook::test::ReadWithXlrd(file);
    ASSERT_FALSE(book.Sheets.empty());
    const workbook::test::TXlrdSheet& sheet = book.Sheets[0];
    // The rows of the ranking grid, in its order, each with its rank and player.
    TTable& ranking = W.Dm.Tables.FiltreJoueurs;
    ASSERT_EQ(ranking.RecordCount(), 4);
    std::vector<std::string> expected, read;
    for (ranking.First(); !ranking.Eof(); ranking.Next()) expected.push_back(ranking.AsString("NOM"));
    int nameColumn = -1, rankColumn = -1;
    for (int c = 0; c < sheet.Cols; ++c) {
        if (sheet.Has(0, c) && sheet.At(0, c).Value == "Joueur") nameColumn = c;
        if (sheet.Has(0, c) && sheet.At(0, c).Value == "Classt poule") rankColumn = c;
    }
    ASSERT_GE(nameColumn, 0);
    ASSERT_GE(rankColumn, 0);
    std::vector<double> ranks;
    for (int r = 1; r <= 4; ++r) {
        read.push_back(sheet.At(r, nameColumn).Value);
        ranks.push_back(sheet.At(r, rankColumn).Number());
    }
    EXPECT_EQ(read, expected);
    EXPECT_EQ(ranks, (std::vector<double>{1, 2, 3, 4}));
    // The winner of the pool first: two wins and a draw in three matches.
    EXPECT_EQ(read.front(), a.Name);
    // The matches' sheet: the six left, under their titles.
    ASSERT_EQ(book.Sheets.size(), 2u);
    EXPECT_EQ(book.Sheets[1].Rows, 1 + 6);
    workbook::test::TFreeXl freexl(file);
    EXPECT_EQ(freexl.SheetCount(), 2);

    // Kept in the base: opened again, it is as it was left.
    const test::TCompetImage before = test::ImageOf(W.Compet, W.Dm);
    ASSERT_TRUE(W.Fb.StoreCompet());
    W.Fb.LoadCompetDb(W.Compet.IdCompet(), "");
    EXPECT_EQ(test::FirstDifference(before, test::ImageOf(W.Compet, W.Dm)), "");
}

}  // namespace
}  // namespace tavlor
