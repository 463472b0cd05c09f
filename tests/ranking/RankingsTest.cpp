#include "ranking/Views.h"

#include "support/CompetitionFixture.h"
#include "text/Error.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

using Licences = std::vector<std::int32_t>;

class Rankings : public test::TCompetitionFixture {
protected:
    std::unique_ptr<TViews> Views;

    sample::TSampleMatch& Played(std::int32_t id, std::int32_t pool, std::int32_t l1, int pts1, int rep1, int pm1,
                                 std::int32_t l2, int pts2, int rep2, int ser1 = 3, int ser2 = 3) {
        auto& m = Match(id, pool, l1, l2);
        m.Pts1 = pts1;
        m.Rep1 = rep1;
        m.Pm1 = pm1;
        m.Ser1 = ser1;
        m.Pts2 = pts2;
        m.Rep2 = rep2;
        m.Pm2 = 2 - pm1;
        m.Ser2 = ser2;
        return m;
    }
    void Show(std::uint8_t kind, std::int32_t id, std::int32_t parent = -1) {
        if (!Views) {
            Views = std::make_unique<TViews>(Dm, Host);
        }
        Views->RefreshFiltres({static_cast<TNodeKind>(kind), id, parent});
    }
    // Licences of FiltreJoueurs in the view's order, and one rank column.
    Licences Order() {
        Licences out;
        TTable& t = Dm.Tables.FiltreJoueurs;
        for (t.First(); !t.Eof(); t.Next()) {
            out.push_back(t.AsInteger("LICENCE"));
        }
        return out;
    }
    std::vector<std::string> Ranks(const char* field) {
        std::vector<std::string> out;
        TTable& t = Dm.Tables.FiltreJoueurs;
        for (t.First(); !t.Eof(); t.Next()) {
            out.push_back(t.AsString(field));
        }
        return out;
    }
};

TEST_F(Rankings, KvlPoolByMatchPointsThenAverage) {
    // P and Q 4 match points, Q the better average (1.1 against 0.9); R and S
    // 2 match points, R the better average.
    Pool(10, 1, "Poule KVL", 0);
    enum { P = 1, Q = 2, R = 3, S = 4 };
    Played(1, 10, P, 27, 30, 2, R, 20, 30);
    Played(2, 10, P, 27, 30, 2, S, 20, 30);
    Played(3, 10, Q, 33, 30, 2, P, 27, 30);
    Played(4, 10, Q, 33, 30, 2, S, 20, 30);
    Played(5, 10, R, 35, 30, 2, Q, 33, 30);
    Played(6, 10, S, 25, 30, 2, R, 20, 30);
    Load();
    Show(1, 10, 1);
    EXPECT_EQ(Order(), (Licences{Q, P, R, S}));
    EXPECT_EQ(Ranks("CPO"), (std::vector<std::string>{"1", "2", "3", "4"}));
    EXPECT_EQ(Host.RankingCaption, "Joueurs de la poule et classement");
    EXPECT_EQ(Host.MatchesCaption, "Matchs de la poule");
    EXPECT_EQ(Host.VisibleColumns, (std::vector<std::string>{"CPO", "LICENCE", "NOM", "NM", "PM", "TV", "MG", "PTS",
                                                             "REP", "SER", "MPART"}));
}

TEST_F(Rankings, KnockOutPoolsByWinRateBeforeAverage) {
    // P: one match, won (win rate 1.0, 2 match points). Q: three matches, two
    // won (0.667, 4 match points) with the best average. Y: 0.5. X: 0.
    enum { P = 1, Q = 2, X = 3, Y = 4 };
    auto order = [&](std::int32_t formula) {
        TCompetition compet;
        TdmLocal dm(compet);
        sample::TSampleCompetition lists;
        lists.Pools.push_back({10, "Poule KO", 1, formula});
        auto match = [&](std::int32_t id, std::int32_t l1, int p1, int r1, int pm1, std::int32_t l2, int p2, int r2) {
            sample::TSampleMatch m;
            m.IdMatch = id;
            m.IdPoule = 10;
            m.IdPhase = 1;
            m.Licence1 = l1;
            m.Pts1 = p1;
            m.Rep1 = r1;
            m.Pm1 = pm1;
            m.Licence2 = l2;
            m.Pts2 = p2;
            m.Rep2 = r2;
            m.Pm2 = 2 - pm1;
            m.CoefBd = 1.0;
            lists.Matches.push_back(m);
        };
        match(1, P, 24, 30, 2, X, 20, 30);
        match(2, Q, 40, 20, 2, X, 20, 20);
        match(3, Q, 40, 20, 2, Y, 20, 20);
        match(4, Y, 40, 30, 2, Q, 30, 30);
        sample::LoadLists(lists, compet);
        test::TFakeViewHost host;
        TViews views(dm, host);
        views.RefreshFiltres({NodePool, 10, 1});
        Licences out;
        for (dm.Tables.FiltreJoueurs.First(); !dm.Tables.FiltreJoueurs.Eof(); dm.Tables.FiltreJoueurs.Next()) {
            out.push_back(dm.Tables.FiltreJoueurs.AsInteger("LICENCE"));
        }
        return out;
    };
    EXPECT_EQ(order(1), (Licences{P, Q, Y, X})) << "Double KO: win rate first";
    EXPECT_EQ(order(2), (Licences{P, Q, Y, X})) << "Triple KO: win rate first";
    EXPECT_EQ(order(0), (Licences{Q, Y, P, X})) << "Tournois KVL: match points, then average (Y 60/50 > P 24/30)";
    EXPECT_EQ(order(7), order(0)) << "an unknown formula ranks like Tournois KVL";
}

TEST_F(Rankings, TiesGoToTheBestMatchAverageThenTheBestRun) {
    Pool(10, 1, "Poule A", 0);
    Pool(11, 1, "Poule B", 0);
    enum { A = 1, B = 2, Z = 3, C = 4, D = 5, Y = 6 };
    // A and B: 3 match points and an average of 1.0 each; A's best match 1.5, B's 1.0.
    Played(1, 10, A, 30, 20, 2, Z, 10, 20);
    Played(2, 10, B, 20, 20, 2, Z, 10, 20);
    Played(3, 10, A, 10, 20, 1, B, 20, 20);
    // C and D: equal match points, average and best match; C's best run 7, D's 5.
    Played(4, 11, D, 30, 30, 2, Y, 10, 30, 5, 2);
    Played(5, 11, C, 30, 30, 2, Y, 10, 30, 7, 2);
    Played(6, 11, C, 30, 30, 1, D, 30, 30, 4, 4);
    Load();
    Show(1, 10, 1);
    EXPECT_EQ(Order(), (Licences{A, B, Z}));
    Show(1, 11, 1);
    EXPECT_EQ(Order(), (Licences{C, D, Y}));
}

class PhaseRankings : public Rankings {
protected:
    // Phase 1: pools 10 and 11 of four members. Phase 2: pool 20 of four, 21 of three.
    // In both phases the winner of the first pool has 6 match points and an
    // average of 0.8, the winner of the second 4 match points and 1.5.
    void SetUp() override {
        Pool(10, 1, "Poule 1A");
        Pool(11, 1, "Poule 1B");
        Pool(20, 2, "Poule 2A");
        Pool(21, 2, "Poule 2B");
        // Pool 10: 100 beats 102, 103, 104 (6 pm, 0.8).
        Played(1, 10, 100, 24, 30, 2, 102, 10, 30);
        Played(2, 10, 100, 24, 30, 2, 103, 10, 30);
        Played(3, 10, 100, 24, 30, 2, 104, 10, 30);
        // Pool 11: 110 beats 111 and 112 (4 pm, 1.5); 113 played nothing yet (placed by hand).
        Played(4, 11, 110, 30, 20, 2, 111, 10, 20);
        Played(5, 11, 110, 30, 20, 2, 112, 10, 20);
        // Phase 2, the same figures with pools of four and three.
        Played(6, 20, 200, 24, 30, 2, 202, 10, 30);
        Played(7, 20, 200, 24, 30, 2, 203, 10, 30);
        Played(8, 20, 200, 24, 30, 2, 204, 10, 30);
        Played(9, 21, 210, 30, 20, 2, 211, 10, 20);
        Played(10, 21, 210, 30, 20, 2, 212, 10, 20);
        Load();
        Place(113, 11, "Absent");
    }
};

TEST_F(PhaseRankings, MatchPointsCountOnlyWhenPoolSizesAgree) {
    Views = std::make_unique<TViews>(Dm, Host);
    EXPECT_EQ(Views->Rankings().GetIndexPhase(1), "IDXCPHASES");
    EXPECT_EQ(Views->Rankings().GetIndexPhase(2), "IDXCPHASES2");
    EXPECT_EQ(Views->Rankings().GetIndexPhase(9), "IDXCPHASES");
    Show(0, 1);
    // 113 never played: listed first, without rank.
    EXPECT_EQ(Order().front(), 113);
    EXPECT_EQ(Ranks("CPH").front(), "");
    EXPECT_EQ(Order()[1], 100) << "pool winners by match points";
    EXPECT_EQ(Order()[2], 110);
    EXPECT_EQ(Host.RankingCaption, "Joueurs de la phase et classement");
    EXPECT_EQ(Host.VisibleColumns.front(), "CPH");
    Show(0, 2);
    EXPECT_EQ(Order()[0], 210) << "pool sizes differ: pool winners by average";
    EXPECT_EQ(Order()[1], 200);
}

TEST_F(PhaseRankings, GeneralRankingByLatestPhaseThenPhaseRank) {
    // 100 of phase 1 also plays, and loses, in phase 2: his latest phase is 2.
    Show(2, -1);
    const Licences order = Order();
    EXPECT_EQ(Host.RankingCaption, "Classements général");
    EXPECT_EQ(Host.MatchesCaption, "Matchs de la compétition");
    EXPECT_EQ(order.front(), 113) << "registrants who never played come first";
    EXPECT_EQ(Ranks("CG")[1], "1");
    // Phase 2 players (latest phase) all come before phase 1 players.
    auto at = [&](std::int32_t licence) { return std::find(order.begin(), order.end(), licence) - order.begin(); };
    for (std::int32_t p2 : {200, 202, 203, 204, 210, 211, 212}) {
        for (std::int32_t p1 : {100, 102, 103, 104, 110, 111, 112}) {
            EXPECT_LT(at(p2), at(p1)) << p2 << " before " << p1;
        }
    }
    EXPECT_EQ(at(210), 1);
}

TEST_F(Rankings, GeneralTotalsOfHugeFiguresStayDefined) {
    // Player 1 plays in two phases with innings and match points near the
    // largest integer: the general row adds them without overflow.
    Pool(10, 1, "Poule A");
    Pool(20, 2, "Poule B");
    Played(1, 10, 1, 30, 2000000000, 2000000000, 2, 20, 25);
    Played(2, 20, 1, 30, 2000000000, 2000000000, 3, 20, 25);
    Load();
    Show(2, -1);
    TTable& t = Dm.Tables.FiltreJoueurs;
    ASSERT_TRUE(t.Locate("LICENCE", {1}));
    EXPECT_EQ(t.AsInteger("REP"), 2147483647);
    EXPECT_EQ(t.AsInteger("PM"), 2147483647);
    EXPECT_EQ(t.AsInteger("NM"), 2);
    EXPECT_DOUBLE_EQ(t.AsFloat("MG"), 60.0 / 4e9);
    EXPECT_DOUBLE_EQ(t.AsFloat("TV"), 4e9 / 4);
}

TEST_F(Rankings, PlayerViewsKeepTheirOwnRowsWithoutRank) {
    Pool(10, 1, "Poule A");
    Pool(11, 1, "Poule B");
    Pool(20, 2, "Poule C");
    Played(1, 10, 1, 30, 20, 2, 2, 10, 20);
    Played(2, 20, 3, 30, 20, 2, 1, 10, 20);
    Played(3, 11, 4, 30, 20, 2, 5, 10, 20);
    Load();
    Place(9, 10, "Neuf");
    ASSERT_TRUE(Compet.AddJoueur(9, -1, 20));

    Show(3, 1);
    EXPECT_EQ(Order(), (Licences{1, 1}));
    EXPECT_EQ(Ranks("IDPOULE"), (std::vector<std::string>{"10", "20"}));
    EXPECT_EQ(Ranks("CPO"), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(Host.RankingCaption, "Cumuls par poules pour ce joueur");
    EXPECT_EQ(Host.MatchesCaption, "Matchs du joueur");
    EXPECT_EQ(Host.VisibleColumns,
              (std::vector<std::string>{"NOMPOULE", "LICENCE", "NM", "PM", "TV", "MG", "PTS", "REP", "SER", "MPART"}));
    EXPECT_EQ(Dm.Tables.FiltreMatchs.RecordCount(), 2);

    Show(3, 9);  // never played, sits in two pools: one row, for his first pool
    EXPECT_EQ(Order(), (Licences{9}));
    EXPECT_EQ(Ranks("IDPOULE"), (std::vector<std::string>{"10"}));
    EXPECT_EQ(Dm.Tables.FiltreJoueurs.DisplayText("TV"), "0 %");
    EXPECT_EQ(Dm.Tables.FiltreJoueurs.DisplayText("NM"), "");

    Show(4, 1, 20);
    EXPECT_EQ(Order(), (Licences{1}));
    EXPECT_EQ(Ranks("IDPOULE"), (std::vector<std::string>{"20"}));
    EXPECT_EQ(Host.RankingCaption, "Cumuls pour ce joueur");
    EXPECT_EQ(Host.VisibleColumns.front(), "LICENCE");

    Show(4, 9, 20);  // a member who has not played in that pool
    EXPECT_EQ(Order(), (Licences{9}));
    EXPECT_EQ(Dm.Tables.FiltreMatchs.RecordCount(), 0);

    Show(7, 1);
    EXPECT_EQ(Order(), (Licences{}));
    EXPECT_EQ(Host.RankingCaption, "?");
    EXPECT_EQ(Host.MatchesCaption, "?");
}

TEST_F(Rankings, UnplayedMembersAndRegistrantsComeFirst) {
    Pool(10, 1, "Poule A");
    Pool(11, 1, "Poule B");
    Played(1, 10, 1, 30, 20, 2, 2, 10, 20);
    Load();
    Place(3, 10, "Zoé");
    Place(4, 10, "albert");
    for (std::int32_t l : {5, 6}) {
        Place(l, 11);
    }
    ASSERT_TRUE(Compet.AddInscrit(7, -1, "Émile"));

    Show(1, 10, 1);
    EXPECT_EQ(Order(), (Licences{3, 4, 1, 2})) << "members who have not played first, by arrival";
    EXPECT_EQ(Ranks("CPO"), (std::vector<std::string>{"", "", "1", "2"}));

    Show(1, 11, 1);
    EXPECT_EQ(Order(), (Licences{5, 6}));
    EXPECT_EQ(Dm.Tables.FiltreMatchs.RecordCount(), 0);

    Show(2, -1);
    // Unplayed registrants by name (albert, Émile, Joueur 5, Joueur 6, Zoé), numbered in RGA.
    EXPECT_EQ(Order(), (Licences{4, 7, 5, 6, 3, 1, 2}));
    EXPECT_EQ(Ranks("RGA"), (std::vector<std::string>{"1", "2", "3", "4", "5", "", ""}));
    EXPECT_EQ(Ranks("CG"), (std::vector<std::string>{"", "", "", "", "", "1", "2"}));
    EXPECT_EQ(Dm.Tables.Inscrits.IndexName(), "IDXLI") << "registrants stay in licence order";
}

class FailingHost : public test::TFakeViewHost {
public:
    void SetCaptions(const std::string&, const std::string&) override { throw Error("échec de l'affichage"); }
};

TEST_F(Rankings, AFailureRestoresCursorFiltersAndUpdates) {
    Pool(10, 1, "Poule A");
    Played(1, 10, 1, 30, 20, 2, 2, 10, 20);
    Load();
    FailingHost failing;
    TViews views(Dm, failing);
    EXPECT_THROW(views.RefreshFiltres({NodePool, 10, 1}), Error);
    EXPECT_EQ(failing.BusyDepth, 0);
    EXPECT_EQ(failing.BusyCount, 1);
    EXPECT_FALSE(Dm.Tables.FiltreJoueurs.Data().UpdatesSuspended());
    EXPECT_FALSE(Dm.Tables.FiltreMatchs.Data().UpdatesSuspended());
    EXPECT_FALSE(Dm.Tables.FiltreJoueurs.Filtered());
    EXPECT_FALSE(Dm.Tables.Matchs.Filtered());
}

TEST_F(Rankings, TreeTextsAndMemberOrder) {
    Pool(10, 1, "Poule A");
    Pool(20, 2, "Poule C");
    Names[1] = "martin";
    Played(1, 10, 1, 30, 20, 2, 2, 10, 20);
    Played(2, 10, 3, 30, 20, 2, 1, 10, 20);
    Played(3, 20, 1, 30, 20, 2, 3, 10, 20);
    Load();
    Views = std::make_unique<TViews>(Dm, Host);
    EXPECT_EQ(Views->GetNbJoueurs({NodePhase, 1}), "3");
    EXPECT_EQ(Views->GetNbJoueurs({NodePool, 20}), "2");
    EXPECT_EQ(Views->GetNbJoueurs({NodeRegistrants, -1}), "3");
    EXPECT_EQ(Views->GetNbJoueurs({NodeRegistrant, 1234}), "001234");
    EXPECT_EQ(Views->GetNbJoueurs({NodeMember, 1}), "");
    EXPECT_EQ(Views->GetNbMatchs({NodePhase, 1, -1}), "2");
    EXPECT_EQ(Views->GetNbMatchs({NodePool, 20, 2}), "1");
    EXPECT_EQ(Views->GetNbMatchs({NodeRegistrants, -1, -1}), "3");
    EXPECT_EQ(Views->GetNbMatchs({NodeRegistrant, 1, -1}), "3");
    EXPECT_EQ(Views->GetNbMatchs({NodeMember, 1, 10}), "2");
    EXPECT_EQ(Views->GetNbMatchs({NodeMember, 2, 20}), "0");
    EXPECT_EQ(Views->GetNbMatchs({static_cast<TNodeKind>(8), 1, -1}), "");
    EXPECT_FALSE(Dm.Tables.Matchs.Filtered());
    EXPECT_EQ(Views->GetNomElement({NodeMember, 3, 10}), "3 - Joueur 3");

    // Arrival order in pool 10: 1, 2, 3.
    EXPECT_LT(Views->CompareJoueurs(10, 1, 3), 0);
    EXPECT_EQ(Views->CompareJoueurs(10, 1, 99), 0);
    Dm.SetTriAlphaJoueurs(true);
    EXPECT_GT(Views->CompareJoueurs(10, 1, 3), 0) << "martin after Joueur 3";
    EXPECT_EQ(Views->CompareJoueurs(10, 1, 99), 0);
}

}  // namespace
}  // namespace tavlor
