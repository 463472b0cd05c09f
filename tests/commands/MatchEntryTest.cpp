// The match entry against the stand-in server: opening in both modes, the
// automatic behaviours, the rules in their order and the controller's refusals.
#include "commands/CommandsWorld.h"
#include "commands/MatchEntry.h"
#include "text/DateTime.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

using test::TCommandsWorld;
using Texts = std::vector<std::string>;
using E = TMatchEntry;
using V = std::optional<std::int32_t>;

const std::string Draw =
    "pour le classement national l'égalité de point correspond obligatoirement à un match nul SAUF dans le cas de "
    "matchs par sets\r\nNe validez (OK) que Si cette partie était en sets, sinon annulez puis indiquez le nombre de "
    "points effectivement réalisés après d'éventuelles prolongations";
const std::string Player1More =
    "Le joueur 1 a réalisé plus de points que le joueur 2 mais n'est pas désigné vainqueur\r\nCette situation ne "
    "peut survenir que dans le cas de matchs par sets\r\nsi ce n'est pas les cas annulez puis rectifiez le champ "
    "erroné";
const std::string Player2More =
    "Le joueur 2 a réalisé plus de points que le joueur 1 mais n'est pas désigné vainqueur\r\nCette situation ne "
    "peut survenir que dans le cas de matchs par sets\r\nsi ce n'est pas les cas annulez puis rectifiez le champ "
    "erroné";
const std::string NoBilliards = "aucune liste de billard en cours, vous ne pouvez pas ajouter ou modifier des matchs";
constexpr double Today = 46000;  // 9 December 2025

class MatchEntry : public ::testing::Test {
protected:
    TCommandsWorld W;
    TMatchEntry Entry{W.Compet, W.Dm, W.Boxes};
    std::int32_t PoolA = 101, L1 = 0, L2 = 0, L3 = 0;
    std::vector<E::TField> Shown;  // what the dialog was told to show

    void SetUp() override {
        W.Load(1201);
        W.Login();
        ASSERT_EQ(W.Compet.Login(), "Jean Dupont (12)");
        W.Boxes.Clear();
        std::vector<std::int32_t> players;
        std::unique_ptr<TTable> matchs = W.Dm.Tables.Matchs.Clone();
        for (matchs->First(); !matchs->Eof(); matchs->Next()) {
            if (matchs->AsInteger("IDPOULE") != PoolA) continue;
            for (const char* f : {"LICENCE1", "LICENCE2"}) {
                const std::int32_t l = matchs->AsInteger(f);
                if (std::find(players.begin(), players.end(), l) == players.end()) players.push_back(l);
            }
        }
        ASSERT_GE(players.size(), 3u);
        L1 = players[0];
        L2 = players[1];
        L3 = players[2];
        Entry.OnValueChanged = [this](E::TField f) { Shown.push_back(f); };
    }
    void TearDown() override { EXPECT_TRUE(W.Boxes.Answers.empty()); }

    // A whole entry, as typed.
    void Fill(std::int32_t lic1, int pts1, int rep1, int ser1, int pm1, std::int32_t lic2, int pts2, int rep2, int ser2,
              int pm2) {
        Entry.SetValue(E::LICENCE1, lic1);
        ASSERT_TRUE(Entry.CommitNumber(E::PTS1, std::to_string(pts1)));
        ASSERT_TRUE(Entry.CommitNumber(E::REP1, std::to_string(rep1)));
        ASSERT_TRUE(Entry.CommitNumber(E::SER1, std::to_string(ser1)));
        Entry.SetValue(E::LICENCE2, lic2);
        ASSERT_TRUE(Entry.CommitNumber(E::PTS2, std::to_string(pts2)));
        ASSERT_TRUE(Entry.CommitNumber(E::REP2, std::to_string(rep2)));
        ASSERT_TRUE(Entry.CommitNumber(E::SER2, std::to_string(ser2)));
        Entry.SetValue(E::PM1, pm1);
        Entry.SetValue(E::PM2, pm2);
    }
    int MatchesOfPool(std::int32_t pool) {
        std::unique_ptr<TTable> c = W.Dm.Tables.Matchs.Clone();
        c->SetFilter("IDPOULE = " + std::to_string(pool));
        c->SetFiltered(true);
        return c->RecordCount();
    }
    int Requests(const std::string& script) {
        int n = 0;
        for (const auto& r : W.Server.Requests()) n += r.Target.find(script) != std::string::npos ? 1 : 0;
        return n;
    }
    bool Save() { return Entry.Save(Today); }
};

TEST_F(MatchEntry, RefusedOpeningsShowTheReason) {
    W.Compet.SetLogin("");
    EXPECT_FALSE(Entry.PrepareAdd(PoolA, -1, Today));
    EXPECT_EQ(W.Boxes.Errors, Texts{"Identification nécessaire pour modifier la base sur serveur internet"});
    W.Compet.SetLogin("Jean Dupont (12)");
    W.Boxes.Clear();
    EXPECT_FALSE(Entry.PrepareAdd(999, -1, Today));
    EXPECT_EQ(W.Boxes.Errors, Texts{"No Poule inconnu : 999"});
    // A match that is not in the shown list opens nothing, silently.
    W.Boxes.Clear();
    EXPECT_FALSE(Entry.PrepareEdit(987654, Today));
    EXPECT_TRUE(W.Boxes.Errors.empty());
}

TEST_F(MatchEntry, AddOnAPoolWithoutMatchesGivesTodayAnd310) {
    std::int32_t pool = -1;
    ASSERT_TRUE(W.Compet.AddPhase(7, "Phase sept"));
    ASSERT_TRUE(W.Compet.AddPoule(7, 0, "Poule neuve", &pool)) << W.Compet.LastError;
    ASSERT_TRUE(W.Compet.AddJoueur(L1, -1, pool)) << W.Compet.LastError;
    ASSERT_TRUE(W.Compet.AddJoueur(L2, -1, pool));
    ASSERT_TRUE(Entry.PrepareAdd(pool, -1, Today));
    EXPECT_TRUE(Entry.Adding());
    EXPECT_EQ(Entry.NomPoule(), "Poule neuve");
    EXPECT_EQ(Entry.NomPhase(), "Phase sept");
    EXPECT_EQ(Entry.IdPhase(), 7);
    EXPECT_EQ(Entry.PickerDate(), Today);
    EXPECT_EQ(Entry.Value(E::BD), V(310));
    EXPECT_EQ(Entry.Players().RecordCount(), 2);
    EXPECT_FALSE(Entry.Value(E::LICENCE1));
    // A whole match saved there: the server gave it its number, the store keeps it.
    Fill(L1, 30, 20, 5, 2, L2, 25, 20, 4, 0);
    EXPECT_TRUE(Save());
    EXPECT_EQ(MatchesOfPool(pool), 1);
    EXPECT_TRUE(W.Boxes.Errors.empty());
    TParamMatch m;
    Entry.GetParamMatch(m);
    EXPECT_EQ(m.DateMatch, Today);
    EXPECT_EQ(m.IdPoule, pool);
    EXPECT_EQ(m.IdPhase, 7);
    EXPECT_EQ(m.Bd, 310);
}

TEST_F(MatchEntry, AddOnAPoolWithMatchesTakesTheFirstMatchsDateAndBilliard) {
    std::unique_ptr<TTable> matchs = W.Dm.Tables.Matchs.Clone();
    matchs->SetFilter("IDPOULE = " + std::to_string(PoolA));
    matchs->SetFiltered(true);
    matchs->First();
    ASSERT_TRUE(matchs->HasCurrent());
    ASSERT_TRUE(Entry.PrepareAdd(PoolA, -1, Today));
    EXPECT_EQ(Entry.PickerDate(), matchs->AsDateTime("DATEMATCH"));
    EXPECT_EQ(Entry.Value(E::BD), V(matchs->AsInteger("BD")));
}

TEST_F(MatchEntry, AddFromAPoolMemberPreselectsHimAsPlayer1) {
    ASSERT_TRUE(Entry.PrepareAdd(PoolA, L3, Today));
    EXPECT_EQ(Entry.Value(E::LICENCE1), V(L3));
    EXPECT_FALSE(Entry.Value(E::LICENCE2));
}

TEST_F(MatchEntry, PlayerListLeavesOutMembersNotRegisteredAndIsInNameOrder) {
    ASSERT_TRUE(Entry.PrepareAdd(PoolA, -1, Today));
    std::unique_ptr<TTable> members = W.Dm.Tables.Joueurs.Clone();
    members->SetFilter("IDPOULE = " + std::to_string(PoolA));
    members->SetFiltered(true);
    const int count = members->RecordCount();
    EXPECT_EQ(Entry.Players().RecordCount(), count);
    std::unique_ptr<TTable> players = Entry.Players().Clone();
    std::string previous;
    for (players->First(); !players->Eof(); players->Next()) {
        EXPECT_LE(previous, players->AsString("NOM"));
        previous = players->AsString("NOM");
    }
    // A member whose registrant went (outside the store's own checks).
    ASSERT_TRUE(W.Dm.Tables.Inscrits.Locate("LICENCE", {L3}));
    W.Dm.Tables.Inscrits.Delete();
    ASSERT_TRUE(Entry.PrepareAdd(PoolA, -1, Today));
    EXPECT_EQ(Entry.Players().RecordCount(), count - 1);
    EXPECT_FALSE(Entry.Players().Clone()->Locate("LICENCE", {L3}));
}

TEST_F(MatchEntry, MatchPointsComplementEachOtherWithoutLooping) {
    ASSERT_TRUE(Entry.PrepareAdd(PoolA, -1, Today));
    Shown.clear();
    Entry.SetValue(E::PM1, 2);
    EXPECT_EQ(Entry.Value(E::PM2), V(0));
    EXPECT_EQ(Shown, (std::vector<E::TField>{E::PM1, E::PM2})) << "each shown once";
    Entry.SetValue(E::PM2, 1);
    EXPECT_EQ(Entry.Value(E::PM1), V(1));
    Entry.SetValue(E::PM2, 2);
    EXPECT_EQ(Entry.Value(E::PM1), V(0));
}

TEST_F(MatchEntry, InningsAreCopiedOnceFromPlayer1) {
    ASSERT_TRUE(Entry.PrepareAdd(PoolA, -1, Today));
    EXPECT_TRUE(Entry.CommitNumber(E::REP1, "25"));
    EXPECT_EQ(Entry.Value(E::REP2), V(25));
    EXPECT_TRUE(Entry.CommitNumber(E::REP2, "30"));
    EXPECT_EQ(Entry.Value(E::REP1), V(25));
    EXPECT_TRUE(Entry.CommitNumber(E::REP1, "20"));
    EXPECT_EQ(Entry.Value(E::REP2), V(30));
}

TEST_F(MatchEntry, NegativePointsAndRunsAreRefusedAndTheFormerValueKept) {
    ASSERT_TRUE(Entry.PrepareAdd(PoolA, -1, Today));
    EXPECT_TRUE(Entry.CommitNumber(E::PTS1, "12"));
    Shown.clear();
    EXPECT_FALSE(Entry.CommitNumber(E::PTS1, "-3"));
    EXPECT_EQ(Shown, std::vector<E::TField>{E::PTS1}) << "the former value shown again";
    EXPECT_FALSE(Entry.CommitNumber(E::SER1, "-1"));
    EXPECT_FALSE(Entry.CommitNumber(E::PTS2, "-7"));
    EXPECT_FALSE(Entry.CommitNumber(E::SER2, "-2"));
    EXPECT_EQ(W.Boxes.Errors,
              (Texts{"Points joueur 1 doit être positif ou nul", "Serie joueur 1 doit être positif ou nul",
                     "Points joueur 2 doit être positif ou nul", "Série joueur 2 doit être positif ou nul"}));
    EXPECT_EQ(Entry.Value(E::PTS1), V(12));
    EXPECT_FALSE(Entry.Value(E::SER2));
    // Innings are not checked there: the rules refuse 0 innings at saving.
    W.Boxes.Clear();
    EXPECT_TRUE(Entry.CommitNumber(E::REP1, "0"));
    EXPECT_TRUE(W.Boxes.Errors.empty());
}

TEST_F(MatchEntry, NumberFieldsHoldOnlyWhatFitsA32BitInteger) {
    ASSERT_TRUE(Entry.PrepareAdd(PoolA, -1, Today));
    EXPECT_TRUE(Entry.CommitNumber(E::PTS1, "40"));
    EXPECT_FALSE(Entry.CommitNumber(E::PTS1, "12abc"));
    EXPECT_FALSE(Entry.CommitNumber(E::PTS1, "99999999999"));
    EXPECT_TRUE(Entry.CommitNumber(E::REP1, "2147483647"));
    EXPECT_EQ(W.Boxes.Errors, (Texts{"'12abc' n'est pas une valeur entière correcte",
                                     "'99999999999' n'est pas une valeur entière correcte"}));
    EXPECT_EQ(Entry.Value(E::PTS1), V(40));
    EXPECT_EQ(Entry.Value(E::REP1), V(2147483647));
    // Emptied: no value.
    EXPECT_TRUE(Entry.CommitNumber(E::PTS1, ""));
    EXPECT_FALSE(Entry.Value(E::PTS1));
}

TEST_F(MatchEntry, RulesRefuseInTheirOrderAndKeepTheEntry) {
    ASSERT_TRUE(Entry.PrepareAdd(PoolA, -1, Today));
    const int before = Requests("upd_match.php");
    // Both players empty count as the same licence, whatever else is missing.
    EXPECT_FALSE(Save());
    EXPECT_EQ(W.Boxes.Errors, Texts{"Les joueurs 1 et 2 ont la même licence !"});
    Entry.SetValue(E::LICENCE1, L1);
    Entry.SetValue(E::LICENCE2, L1);
    EXPECT_FALSE(Save());
    EXPECT_EQ(W.Boxes.Errors.back(), "Les joueurs 1 et 2 ont la même licence !");
    // Different players, no innings for one of them: refused whatever the points
    // hold, before the match points (never chosen here) are looked at.
    Entry.SetValue(E::LICENCE2, L2);
    Entry.CommitNumber(E::PTS1, "30");
    Entry.CommitNumber(E::REP2, "12");
    EXPECT_FALSE(Save());
    EXPECT_EQ(W.Boxes.Errors.back(), "Il doit y avoir au minimum une reprise pour chaque joueur");
    Entry.CommitNumber(E::REP1, "0");
    EXPECT_FALSE(Save());
    EXPECT_EQ(W.Boxes.Errors.back(), "Il doit y avoir au minimum une reprise pour chaque joueur");

    // Match points never chosen count as 0 - 0, before any comparison of points.
    ASSERT_TRUE(Entry.PrepareAdd(PoolA, -1, Today));
    W.Boxes.Clear();
    Entry.SetValue(E::LICENCE1, L1);
    Entry.SetValue(E::LICENCE2, L2);
    Entry.CommitNumber(E::REP1, "20");
    Entry.CommitNumber(E::PTS1, "20");
    Entry.CommitNumber(E::PTS2, "20");
    EXPECT_FALSE(Save());
    EXPECT_EQ(W.Boxes.Errors, Texts{"Les points de match ne sont pas correctement assignés"});
    EXPECT_TRUE(W.Boxes.OkCancels.empty());
    // Then the required fields, by label, in the entry's order.
    Entry.SetValue(E::PM1, 1);
    EXPECT_FALSE(Save());
    EXPECT_EQ(W.Boxes.Errors.back(), "Le champ 'Serie joueur 1' doit avoir une valeur");
    Entry.CommitNumber(E::SER1, "4");
    EXPECT_FALSE(Save());
    EXPECT_EQ(W.Boxes.Errors.back(), "Le champ 'Série joueur 2' doit avoir une valeur");
    // The entry is as typed after every refusal.
    EXPECT_EQ(Entry.Value(E::REP2), V(20));
    EXPECT_EQ(Entry.Value(E::LICENCE2), V(L2));
    EXPECT_EQ(Requests("upd_match.php"), before);
    Entry.CommitNumber(E::SER2, "3");
    EXPECT_TRUE(Save());
    EXPECT_EQ(Requests("upd_match.php"), before + 1);
}

struct TConfirmationCase {
    int Pts1, Pts2, Pm1;
    const std::string* Question;  // null: none asked
};

class MatchEntryConfirmations : public MatchEntry, public ::testing::WithParamInterface<TConfirmationCase> {};

TEST_P(MatchEntryConfirmations, AskOnceAndCancelStopsSilently) {
    const TConfirmationCase c = GetParam();
    const int before = MatchesOfPool(PoolA);
    ASSERT_TRUE(Entry.PrepareAdd(PoolA, -1, Today));
    Fill(L1, c.Pts1, 20, 3, c.Pm1, L3, c.Pts2, 20, 3, 2 - c.Pm1);
    if (c.Question != nullptr) {
        W.Boxes.Answers = {false};
        EXPECT_FALSE(Save());
        EXPECT_EQ(W.Boxes.OkCancels, Texts{*c.Question});
        EXPECT_TRUE(W.Boxes.Errors.empty());
        EXPECT_EQ(MatchesOfPool(PoolA), before);
        W.Boxes.Answers = {true};
    }
    EXPECT_TRUE(Save());
    EXPECT_TRUE(W.Boxes.Errors.empty());
    EXPECT_EQ(W.Boxes.OkCancels.size(), c.Question == nullptr ? 0u : 2u);
    EXPECT_EQ(MatchesOfPool(PoolA), before + 1);
}

INSTANTIATE_TEST_SUITE_P(
    PointsAgainstMatchPoints, MatchEntryConfirmations,
    ::testing::Values(TConfirmationCase{20, 20, 2, &Draw}, TConfirmationCase{20, 20, 0, &Draw},
                      TConfirmationCase{20, 20, 1, nullptr}, TConfirmationCase{20, 15, 0, &Player1More},
                      TConfirmationCase{20, 15, 1, &Player1More}, TConfirmationCase{20, 15, 2, nullptr},
                      TConfirmationCase{15, 20, 2, &Player2More}, TConfirmationCase{15, 20, 1, &Player2More},
                      TConfirmationCase{15, 20, 0, nullptr}));

TEST_F(MatchEntry, AServerRefusalKeepsTheEntryAndASecondSaveGoesThrough) {
    ASSERT_TRUE(Entry.PrepareAdd(PoolA, -1, Today));
    Fill(L1, 30, 25, 6, 2, L3, 12, 25, 2, 0);
    const int before = MatchesOfPool(PoolA);
    fedserver::TMisbehaviour refuse;
    refuse.Mode = fedserver::TMode::DataError;
    refuse.Script = "upd_match.php";
    refuse.Count = 1;
    W.Server.SetMisbehaviour(refuse);
    EXPECT_FALSE(Save());
    EXPECT_EQ(W.Boxes.Errors, Texts{"erreur serveur : Erreur simulée par le serveur de test"});
    EXPECT_EQ(Entry.Value(E::PTS2), V(12));
    EXPECT_EQ(Entry.Value(E::LICENCE2), V(L3));
    // The server unreachable: its error reaches the top-level display.
    fedserver::TMisbehaviour drop;
    drop.Mode = fedserver::TMode::Drop;
    drop.Script = "upd_match.php";
    drop.Count = 1;
    W.Server.SetMisbehaviour(drop);
    EXPECT_FALSE(Save());
    EXPECT_EQ(W.Boxes.TopErrors.size(), 1u);
    EXPECT_EQ(MatchesOfPool(PoolA), before);
    EXPECT_TRUE(Save());
    EXPECT_EQ(MatchesOfPool(PoolA), before + 1);
    EXPECT_EQ(W.Boxes.Errors.size(), 1u);
}

TEST_F(MatchEntry, EditFillsTheEntryFromTheMatchListAndSavesTheChange) {
    W.Views.RefreshFiltres({NodePool, PoolA, 1});
    TTable& list = W.Dm.Tables.FiltreMatchs;
    list.Last();
    const std::int32_t id = list.AsInteger("IDMATCH");
    list.First();  // the list's cursor plays no part
    ASSERT_TRUE(Entry.PrepareEdit(id, Today));
    ASSERT_TRUE(list.Locate("IDMATCH", {id}));
    EXPECT_FALSE(Entry.Adding());
    EXPECT_EQ(Entry.IdMatch(), id);
    EXPECT_EQ(Entry.IdPoule(), PoolA);
    for (auto [field, name] : {std::pair{E::LICENCE1, "LICENCE1"},
                               {E::PTS1, "PTS1"},
                               {E::REP1, "REP1"},
                               {E::SER1, "SER1"},
                               {E::PM1, "PM1"},
                               {E::LICENCE2, "LICENCE2"},
                               {E::PTS2, "PTS2"},
                               {E::REP2, "REP2"},
                               {E::SER2, "SER2"},
                               {E::PM2, "PM2"},
                               {E::BD, "BD"}}) {
        EXPECT_EQ(Entry.Value(field), V(list.AsInteger(name))) << name;
    }
    EXPECT_EQ(Entry.PickerDate(), list.AsDateTime("DATEMATCH"));
    const std::int32_t ser1 = list.AsInteger("SER1");
    ASSERT_TRUE(Entry.CommitNumber(E::SER1, std::to_string(ser1 + 1)));
    EXPECT_TRUE(Entry.Save(list.AsDateTime("DATEMATCH")));
    EXPECT_TRUE(W.Boxes.Errors.empty());
    ASSERT_TRUE(W.Dm.Tables.Matchs.Locate("IDMATCH", {id}));
    EXPECT_EQ(W.Dm.Tables.Matchs.AsInteger("SER1"), ser1 + 1);
    EXPECT_NE(W.Server.Requests().back().Body.find("ACTION=modifier"), std::string::npos);
}

TEST_F(MatchEntry, AnEmptyBilliardListIsToldAtEverySave) {
    W.Dm.Tables.Billards.EmptyTable();
    ASSERT_TRUE(Entry.PrepareAdd(PoolA, -1, Today));
    Fill(L1, 30, 25, 6, 2, L3, 12, 25, 2, 0);
    EXPECT_FALSE(Save());
    EXPECT_FALSE(Save());
    EXPECT_EQ(W.Boxes.Errors, (Texts{NoBilliards, NoBilliards}));
    EXPECT_EQ(Requests("upd_match.php"), 0);
}

TEST_F(MatchEntry, NothingOfAnEntrySurvivesItsClearing) {
    ASSERT_TRUE(Entry.PrepareAdd(PoolA, -1, Today));
    Fill(L1, 30, 25, 6, 2, L3, 12, 25, 2, 0);
    Entry.Clear();
    for (int f = 0; f < E::FieldCount; ++f) EXPECT_FALSE(Entry.Value(E::TField(f)));
    EXPECT_FALSE(Entry.DateMatch());
    EXPECT_EQ(Entry.Players().RecordCount(), 0);
    ASSERT_TRUE(Entry.PrepareAdd(PoolA, -1, Today));
    for (int f = 0; f < E::FieldCount; ++f) {
        if (f != E::BD) {
            EXPECT_FALSE(Entry.Value(E::TField(f)));
        }
    }
}

}  // namespace
}  // namespace tavlor
