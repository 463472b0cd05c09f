#include "ranking/Statistics.h"

#include "ranking/Views.h"
#include "support/CompetitionFixture.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

// Rows of FiltreJoueurs as the statistics leave them (by phase, pool, licence).
struct Figures {
    std::int32_t Pool, Licence;
    int Nm, Pm, Rep, Ser;
    double Pts, Tv, Mg, Mpart;
};

class Statistics : public test::TCompetitionFixture {
protected:
    std::unique_ptr<TStatistics> Stats;
    TListTri Phases, Pools;

    void Compute(std::uint8_t kind, std::int32_t id, std::int32_t parent = -1) {
        if (!Stats) {
            Stats = std::make_unique<TStatistics>(Dm.Tables);
        }
        Phases.Clear();
        Pools.Clear();
        Stats->CalcCumuls({static_cast<TNodeKind>(kind), id, parent}, Phases, Pools);
    }
    Figures Row(std::int32_t pool, std::int32_t licence) {
        const TRowView r = Dm.Tables.FiltreJoueurs.Data().Lookup("IDPOULE;LICENCE", {pool, licence});
        EXPECT_TRUE(r) << "no row for " << licence << " in " << pool;
        return {pool,
                licence,
                r.AsInteger("NM"),
                r.AsInteger("PM"),
                r.AsInteger("REP"),
                r.AsInteger("SER"),
                r.AsFloat("PTS"),
                r.AsFloat("TV"),
                r.AsFloat("MG"),
                r.AsFloat("MPART")};
    }
    std::vector<std::int32_t> List(const TListTri& l) {
        std::vector<std::int32_t> out;
        for (const TItemTri& i : l) {
            out.push_back(i.Cle);
        }
        return out;
    }
};

TEST_F(Statistics, LossWinWithoutInningsAndWeightedPoints) {
    Pool(10, 1, "Poule A");
    Pool(11, 1, "Poule B");
    // 1 beats 2 at 30-20 in 25 innings on a 3.10 table.
    Match(1, 10, 1, 2);
    // 1 beats 3 on a 2.60 table (coefficient 0.8), 40 to 12 in 20 innings.
    auto& m2 = Match(2, 10, 1, 3);
    m2.Bd = 260;
    m2.CoefBd = 0.8;
    m2.Pts1 = 40;
    m2.Rep1 = 20;
    m2.Ser1 = 9;
    m2.Pts2 = 12;
    m2.Rep2 = 20;
    m2.Ser2 = 3;
    // 2 wins with no innings recorded against 3.
    auto& m3 = Match(3, 10, 2, 3);
    m3.Rep1 = 0;
    m3.Rep2 = 0;
    Load();
    Compute(1, 10);

    const Figures p1 = Row(10, 1);
    EXPECT_EQ(p1.Nm, 2);
    EXPECT_EQ(p1.Pm, 4);
    EXPECT_DOUBLE_EQ(p1.Pts, 30 + 40 * 0.8);
    EXPECT_EQ(p1.Rep, 45);
    EXPECT_DOUBLE_EQ(p1.Mg, (30 + 40 * 0.8) / 45);
    EXPECT_DOUBLE_EQ(p1.Mpart, 40 * 0.8 / 20) << "the better weighted match: 1.6 against 1.2";
    EXPECT_EQ(p1.Ser, 9);
    EXPECT_DOUBLE_EQ(p1.Tv, 1.0);

    const Figures p3 = Row(10, 3);  // two losses
    EXPECT_EQ(p3.Pm, 0);
    EXPECT_DOUBLE_EQ(p3.Tv, 0.0);
    EXPECT_DOUBLE_EQ(p3.Mpart, 0.0);
    EXPECT_DOUBLE_EQ(p3.Mg, (12 * 0.8 + 20) / 20) << "innings of the 0-innings match add nothing";

    const Figures p2 = Row(10, 2);  // a loss, then a win in 0 innings
    EXPECT_EQ(p2.Nm, 2);
    EXPECT_EQ(p2.Pm, 2);
    EXPECT_DOUBLE_EQ(p2.Tv, 0.5);
    EXPECT_DOUBLE_EQ(p2.Mpart, 0.0) << "a win without innings does not raise the best match average";
    EXPECT_DOUBLE_EQ(p2.Mg, 50.0 / 25);

    EXPECT_EQ(List(Pools), (std::vector<std::int32_t>{10})) << "pool 11 has no match";
    EXPECT_EQ(Dm.Tables.FiltreMatchs.RecordCount(), 3);
}

TEST_F(Statistics, WinWithoutAnyInningsLeavesTheAverageAtZero) {
    Pool(10, 1, "Poule A");
    auto& m = Match(1, 10, 1, 2);
    m.Rep1 = 0;
    m.Rep2 = 0;
    Load();
    Compute(1, 10);
    const Figures p1 = Row(10, 1);
    EXPECT_EQ(p1.Nm, 1);
    EXPECT_DOUBLE_EQ(p1.Mg, 0.0);
    EXPECT_DOUBLE_EQ(p1.Mpart, 0.0);
    EXPECT_DOUBLE_EQ(p1.Tv, 1.0);
}

TEST_F(Statistics, HugeFiguresFromTheServerAddUpWithoutOverflow) {
    Pool(10, 1, "Poule A");
    for (std::int32_t id : {1, 2}) {
        auto& m = Match(id, 10, 1, 2);
        m.Rep1 = 2000000000;
        m.Pm1 = 2000000000;
        m.Rep2 = -2000000000;
        m.Pm2 = -2000000000;
    }
    Load();
    Compute(1, 10);
    const Figures p1 = Row(10, 1);
    EXPECT_EQ(p1.Rep, 2147483647) << "kept to the largest integer, not wrapped";
    EXPECT_EQ(p1.Pm, 2147483647);
    EXPECT_DOUBLE_EQ(p1.Mg, 60.0 / 4e9) << "the average of the true total";
    EXPECT_DOUBLE_EQ(p1.Tv, 4e9 / 4);
    const Figures p2 = Row(10, 2);
    EXPECT_EQ(p2.Rep, -2147483647 - 1);
    EXPECT_EQ(p2.Pm, -2147483647 - 1);
    EXPECT_DOUBLE_EQ(p2.Mg, 0.0);
}

TEST_F(Statistics, DrawsRaiseBothBestAveragesAndCountHalf) {
    Pool(10, 1, "Poule A");
    auto& m = Match(1, 10, 1, 2);
    m.Pts1 = m.Pts2 = 30;
    m.Rep1 = m.Rep2 = 24;
    m.Pm1 = m.Pm2 = 1;
    Load();
    Compute(1, 10);
    for (std::int32_t licence : {1, 2}) {
        const Figures f = Row(10, licence);
        EXPECT_DOUBLE_EQ(f.Mpart, 1.25);
        EXPECT_DOUBLE_EQ(f.Tv, 0.5) << "a draw is half a win";
    }
}

TEST_F(Statistics, APlayerInTwoPoolsOfAPhaseHasTwoRows) {
    Pool(10, 1, "Poule A");
    Pool(11, 1, "Poule B");
    Pool(20, 2, "Poule C");
    Match(1, 10, 1, 2);
    Match(2, 11, 3, 1);
    Match(3, 20, 4, 5);
    Load();
    Compute(0, 1);
    EXPECT_EQ(Row(10, 1).Pm, 2);
    EXPECT_EQ(Row(11, 1).Pm, 0);
    EXPECT_EQ(Dm.Tables.FiltreJoueurs.RecordCount(), 4);
    EXPECT_EQ(List(Phases), (std::vector<std::int32_t>{1}));
    EXPECT_EQ(List(Pools), (std::vector<std::int32_t>{10, 11}));

    Compute(3, 1);  // the registrant: his opponents' rows are computed too
    EXPECT_EQ(Dm.Tables.FiltreJoueurs.RecordCount(), 4);
    EXPECT_EQ(Dm.Tables.FiltreMatchs.RecordCount(), 2);
    Compute(4, 1, 11);
    EXPECT_EQ(Dm.Tables.FiltreMatchs.RecordCount(), 1);
    EXPECT_EQ(Row(11, 3).Pm, 2);

    Compute(2, -1);
    EXPECT_EQ(List(Phases), (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(List(Pools), (std::vector<std::int32_t>{10, 11, 20}));
    Compute(9, 1);
    EXPECT_EQ(Dm.Tables.FiltreJoueurs.RecordCount(), 0) << "an unknown kind shows nothing";
    EXPECT_EQ(Dm.Tables.FiltreMatchs.RecordCount(), 0);
    EXPECT_FALSE(Dm.Tables.Matchs.Filtered());
}

TEST_F(Statistics, MatchAveragesAndWinRateText) {
    Pool(10, 1, "Poule A");
    auto& m = Match(1, 10, 1, 2);
    m.Pts1 = 30;
    m.Rep1 = 24;
    m.CoefBd = 0.8;
    m.Pts2 = 7;
    m.Rep2 = 0;
    Load();
    Compute(1, 10);
    TTable& shown = Dm.Tables.FiltreMatchs;
    shown.First();
    EXPECT_DOUBLE_EQ(shown.AsFloat("MOY1"), 1.25) << "raw average, whatever the coefficient";
    EXPECT_DOUBLE_EQ(shown.AsFloat("MOY2"), 0.0);
    EXPECT_EQ(shown.DisplayText("MOY1"), "1,250");

    EXPECT_EQ(TStatistics::FiltreJoueursTVGetText(TValue(0.75)), "75 %");
    EXPECT_EQ(TStatistics::FiltreJoueursTVGetText(TValue(0.5)), "50 %");
    EXPECT_EQ(TStatistics::FiltreJoueursTVGetText(TValue(2.0 / 3.0)), "67 %");
    EXPECT_EQ(TStatistics::FiltreJoueursTVGetText(TValue()), "0 %");
    ASSERT_TRUE(Dm.Tables.FiltreJoueurs.Locate("LICENCE", {1}));
    EXPECT_EQ(Dm.Tables.FiltreJoueurs.DisplayText("TV"), "100 %");
}

}  // namespace
}  // namespace tavlor
