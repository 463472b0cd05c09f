#include "model/dbLocal.h"

#include "support/CompetitionFixture.h"
#include "support/RecordingHandlers.h"
#include "text/DateTime.h"
#include "text/Error.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

// Pool 10 (phase 1): players 1, 2, 3; pool 11 (phase 1): players 1, 2 (a
// player in two pools of a phase, as the server may have him); pool 12: 4, 5.
class Matches : public test::TCompetitionFixture {
protected:
    void SetUp() override {
        Pool(10, 1, "Poule A");
        Pool(11, 1, "Poule B");
        Pool(12, 1, "Poule C");
        Names[3] = "Trois";
        Match(1, 10, 1, 2);
        Match(2, 10, 2, 3);
        Match(3, 11, 1, 2);
        Match(4, 12, 4, 5);
        Load();
    }
    TParamMatch Record(std::int32_t id, std::int32_t pool, std::int32_t l1, std::int32_t l2) {
        TParamMatch m;
        m.IdMatch = id;
        m.IdPhase = 1;
        m.IdPoule = pool;
        m.Licence1 = l1;
        m.Licence2 = l2;
        m.Pts1 = 35;
        m.Rep1 = 28;
        m.Ser1 = 6;
        m.Pm1 = 2;
        m.Pts2 = 31;
        m.Rep2 = 28;
        m.Ser2 = 5;
        m.Pm2 = 0;
        m.DateMatch = text::EncodeDate(2026, 3, 14);
        m.Bd = 280;
        m.CoefBd = 0.9;
        return m;
    }
    std::string ErrorOf(bool (TdmLocal::*handler)(TParamMatch&), TParamMatch m) {
        try {
            (Dm.*handler)(m);
        } catch (const Error& e) {
            return e.what();
        }
        return "no error";
    }
};

TEST_F(Matches, TheDownloadStoresEveryField) {
    TTable& matchs = Dm.Tables.Matchs;
    ASSERT_TRUE(matchs.Locate("IDMATCH", {2}));
    EXPECT_EQ(matchs.AsInteger("IDPHASE"), 1);
    EXPECT_EQ(matchs.AsInteger("IDPOULE"), 10);
    EXPECT_EQ(matchs.AsInteger("LICENCE1"), 2);
    EXPECT_EQ(matchs.AsInteger("LICENCE2"), 3);
    EXPECT_EQ(matchs.AsInteger("PTS1"), 30);
    EXPECT_EQ(matchs.AsInteger("REP2"), 25);
    EXPECT_EQ(matchs.AsInteger("BD"), 310);
    EXPECT_DOUBLE_EQ(matchs.AsFloat("COEFBD"), 1.0);
    // Unix seconds of 2026-01-01 00:00 in France, plus the day the download adds.
    const auto date = text::DecodeDateTime(matchs.AsDateTime("DATEMATCH"));
    EXPECT_EQ(date.Year, 2026);
    EXPECT_EQ(date.Month, 1);
    EXPECT_EQ(date.Day, 1);
    EXPECT_EQ(Dm.Tables.Inscrits.RecordCount(), 5) << "players met again are registered once";
}

TEST_F(Matches, AddMatchStoresTheRecordAsGiven) {
    TParamMatch m = Record(40, 10, 3, 1);
    m.IdPhase = 7;  // not compared with the pool's phase
    ASSERT_TRUE(Dm.AddMatch(m));
    TTable& matchs = Dm.Tables.Matchs;
    ASSERT_TRUE(matchs.Locate("IDMATCH", {40}));
    EXPECT_EQ(matchs.AsInteger("IDPHASE"), 7);
    EXPECT_EQ(matchs.AsInteger("PTS2"), 31);
    EXPECT_EQ(matchs.AsInteger("BD"), 280);
    EXPECT_DOUBLE_EQ(matchs.AsFloat("COEFBD"), 0.9);
    EXPECT_DOUBLE_EQ(matchs.AsDateTime("DATEMATCH"), text::EncodeDate(2026, 3, 14));
}

TEST_F(Matches, AddMatchRefusesADuplicateNumber) {
    EXPECT_FALSE(Dm.AddMatch(*std::make_unique<TParamMatch>(Record(1, 10, 1, 3))));
    EXPECT_EQ(Compet.LastError, "Match No 1 existe déjà, ajout impossible");
    EXPECT_EQ(Dm.Tables.Matchs.RecordCount(), 4);
}

TEST_F(Matches, AddMatchErrorsInTheirOrder) {
    EXPECT_EQ(ErrorOf(&TdmLocal::AddMatch, Record(-1, -1, 1, 2)), "No match illégal : -1\r\nAjout impossible");
    EXPECT_EQ(ErrorOf(&TdmLocal::AddMatch, Record(50, -1, 1, 2)), "No poule illégal : -1\r\nAjout match impossible");
    EXPECT_EQ(ErrorOf(&TdmLocal::AddMatch, Record(50, 99, 1, 2)), "No poule inconnu : 99\r\nAjout match impossible");
    EXPECT_EQ(ErrorOf(&TdmLocal::AddMatch, Record(50, 11, 1, 3)),
              "Joueur 3 - Trois non présent dans la poule Poule B\r\nAjout match impossible")
        << "the second player is checked too";
    EXPECT_EQ(ErrorOf(&TdmLocal::AddMatch, Record(1, 11, 9, 1)),
              "Joueur ? non présent dans la poule Poule B\r\nAjout match impossible")
        << "membership comes before the duplicate check";
    EXPECT_EQ(Dm.Tables.Matchs.RecordCount(), 4);
}

TEST_F(Matches, EditMatchMayChangePoolAndPlayers) {
    TParamMatch m = Record(1, 11, 2, 1);
    ASSERT_TRUE(Dm.EditMatch(m));
    TTable& matchs = Dm.Tables.Matchs;
    ASSERT_TRUE(matchs.Locate("IDMATCH", {1}));
    EXPECT_EQ(matchs.AsInteger("IDPOULE"), 11);
    EXPECT_EQ(matchs.AsInteger("LICENCE1"), 2);
    EXPECT_EQ(matchs.AsInteger("PTS1"), 35);
    EXPECT_EQ(matchs.RecordCount(), 4);

    EXPECT_FALSE(Dm.EditMatch(*std::make_unique<TParamMatch>(Record(77, 10, 1, 2))));
    EXPECT_EQ(Compet.LastError, "Match No 77 n'existe pas, modif impossible");
    EXPECT_EQ(ErrorOf(&TdmLocal::EditMatch, Record(-5, 10, 1, 2)), "No match illégal : -5\r\nmodif impossible");
    EXPECT_EQ(ErrorOf(&TdmLocal::EditMatch, Record(1, -5, 1, 2)), "No poule illégal : -5\r\nmodif match impossible");
    EXPECT_EQ(ErrorOf(&TdmLocal::EditMatch, Record(1, 98, 1, 2)), "No poule inconnu : 98\r\nmodif match impossible");
    EXPECT_EQ(ErrorOf(&TdmLocal::EditMatch, Record(1, 12, 4, 1)),
              "Joueur 1 - Joueur 1 non présent dans la poule Poule C\r\nmodif match impossible");
}

TEST_F(Matches, DelMatch) {
    TParamMatch m;
    m.IdMatch = 3;
    ASSERT_TRUE(Dm.DelMatch(m));
    EXPECT_FALSE(Dm.Tables.Matchs.Data().Lookup("IDMATCH", {3}));
    EXPECT_FALSE(Dm.DelMatch(m));
    EXPECT_EQ(Compet.LastError, "Le match No : 3 n'existe pas, suppression impossible");
    // Without its match, player 1 may now leave pool 11.
    EXPECT_TRUE(Compet.DelJoueur(1, 11)) << Compet.LastError;
}

TEST_F(Matches, BilliardsAreAddedAsGiven) {
    Compet.DoAddBillard(310, "Match 3m10 chauffé");
    Compet.DoAddBillard(310, "Doublon");
    TTable& billards = Dm.Tables.Billards;
    EXPECT_EQ(billards.RecordCount(), 2);
    billards.First();
    EXPECT_EQ(billards.AsString("NOMBD"), "Match 3m10");
    billards.Next();
    EXPECT_EQ(billards.AsString("NOMBD"), "Doublon");
}

class MatchesOnTheServer : public Matches {
protected:
    test::TRecordingHandlers Server{Compet};
    void SetUp() override {
        Matches::SetUp();
        Server.InstallServer(true);
        Compet.Connexion = TConnexion::Internet;
        Compet.SetLogin("12");
    }
};

TEST_F(MatchesOnTheServer, TheServersNumberAndCoefficientReachTheStore) {
    Server.WriteMatch("server:AddMatch", 500, 0.8);
    TParamMatch m = Record(-1, 10, 1, 3);
    ASSERT_TRUE(Compet.AddMatch(m)) << Compet.LastError;
    EXPECT_EQ(m.IdMatch, 500);
    const TRowView row = Dm.Tables.Matchs.Data().Lookup("IDMATCH", {500});
    ASSERT_TRUE(row);
    EXPECT_DOUBLE_EQ(row.AsFloat("COEFBD"), 0.8);
    EXPECT_EQ(row.AsInteger("LICENCE2"), 3);
}

TEST_F(MatchesOnTheServer, StoreRefusalsAfterTheServerAccepted) {
    Server.WriteMatch("server:AddMatch", 1, 1.0);  // a number memory already has
    TParamMatch m = Record(-1, 10, 1, 3);
    EXPECT_FALSE(Compet.AddMatch(m));
    EXPECT_EQ(Compet.LastError,
              "Match No 1 existe déjà, ajout impossible\r\nServeur désynchronisé, rechargez la compétition");
    EXPECT_FALSE(Compet.DelMatch(99));
    EXPECT_EQ(
        Compet.LastError,
        "Le match No : 99 n'existe pas, suppression impossible\r\nServeur désynchronisé, rechargez la compétition");
    // An error raised by the store goes up unchanged.
    TParamMatch bad = Record(4, 12, 1, 5);
    try {
        Compet.EditMatch(bad);
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Joueur 1 - Joueur 1 non présent dans la poule Poule C\r\nmodif match impossible");
    }
}

TEST(LargeCompetition, BuildsWholeThroughTheStoreHandlers) {
    const sample::TSampleCompetition lists = sample::MakeLargeCompetition();
    ASSERT_EQ(lists.Pools.size(), 1000u);
    ASSERT_EQ(lists.Matches.size(), 20000u);
    for (const auto& m : lists.Matches) {
        ASSERT_EQ(m.Pm1 + m.Pm2, 2);
        ASSERT_GE(m.Rep1, 1);
        ASSERT_TRUE(m.Pts1 <= 40 && m.Pts2 <= 40 && m.Ser1 <= m.Pts1 && m.Ser2 <= m.Pts2);
        ASSERT_NE(m.Licence1, m.Licence2);
    }
    TCompetition compet;
    TdmLocal dm(compet);
    sample::LoadLists(lists, compet);
    EXPECT_EQ(dm.Tables.Phases.RecordCount(), 4);
    EXPECT_EQ(dm.Tables.Poules.RecordCount(), 1000);
    EXPECT_EQ(dm.Tables.Inscrits.RecordCount(), 5000);
    EXPECT_EQ(dm.Tables.Joueurs.RecordCount(), 20000) << "every registrant in one pool of each phase";
    EXPECT_EQ(dm.Tables.Matchs.RecordCount(), 20000) << "no match refused";
    EXPECT_EQ(dm.Tables.Billards.RecordCount(), 3);
    EXPECT_EQ(dm.Tree.Count(), 1u + 5000u + 4u + 1000u + 20000u);
    // Round-robin pools of eight: 28 matches, eight members, three formulas in use.
    TTable& poules = dm.Tables.Poules;
    poules.First();
    const std::int32_t first = poules.AsInteger("IDPOULE");
    EXPECT_EQ(dm.Tree.ChildCount(poules.AsInteger("NODE")), 8);
    auto matchs = dm.Tables.Matchs.Clone();
    TFilterScope scope(*matchs, "IDPOULE=" + std::to_string(first));
    EXPECT_EQ(matchs->RecordCount(), 28);
}

}  // namespace
}  // namespace tavlor
