// The views of a competition worked out by hand (tests/data/rankings_golden.txt):
// every figure, rank, row order, caption and shown column of the five kinds of view.
#include "ranking/Views.h"

#include "support/RankingsGolden.h"
#include "text/Numbers.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

class GoldenViews : public test::TRankingsGoldenFixture {};

TEST_F(GoldenViews, EveryViewMatchesTheFiguresWorkedOutByHand) {
    ASSERT_GE(Views.size(), 14u);
    TViews views(Dm, Host);
    const char* fields[] = {"IDPHASE", "IDPOULE", "LICENCE", "CPO", "CPH", "CG", "RGA",  "NM",
                            "PM",      "PTS",     "REP",     "SER", "TV",  "MG", "MPART"};
    for (const test::TExpectedView& v : Views) {
        SCOPED_TRACE("view at line " + std::to_string(v.Line));
        views.RefreshFiltres({v.Kind, v.Id, v.Parent});
        EXPECT_EQ(Host.RankingCaption, v.RankingCaption);
        EXPECT_EQ(Host.MatchesCaption, v.MatchesCaption);
        // Shown columns, from the view's visibility flags; IDPHASE, IDPOULE and RGA are never shown.
        EXPECT_EQ(Host.VisibleColumns, v.Columns);

        TTable& players = Dm.Tables.FiltreJoueurs;
        ASSERT_EQ(players.RecordCount(), static_cast<int>(v.Players.size()));
        int row = 0;
        for (players.First(); !players.Eof(); players.Next(), ++row) {
            const auto& expected = v.Players[row];
            SCOPED_TRACE("row " + std::to_string(row + 1) + ", licence " + expected[2]);
            for (int i = 0; i < 15; ++i) {
                const std::string& want = expected[i];
                if (want == "-") {
                    EXPECT_TRUE(players.IsNull(fields[i])) << fields[i] << " = " << players.AsString(fields[i]);
                } else if (want.find('.') != std::string::npos) {
                    EXPECT_NEAR(players.AsFloat(fields[i]), text::StrToFloat(want, '.'), 1e-6) << fields[i];
                } else {
                    EXPECT_FALSE(players.IsNull(fields[i])) << fields[i];
                    EXPECT_EQ(players.AsInteger(fields[i]), text::StrToInt(want)) << fields[i];
                }
            }
            EXPECT_EQ(players.DisplayText("TV"), expected[15]);
        }

        std::vector<std::string> matches;
        TTable& shown = Dm.Tables.FiltreMatchs;
        for (shown.First(); !shown.Eof(); shown.Next()) {
            matches.push_back(shown.AsString("IDMATCH"));
        }
        EXPECT_EQ(matches, v.Matches);
    }
}

TEST_F(GoldenViews, RanksGivenByTheDownloadAndByHand) {
    // Registrants and pool members are numbered in order of first appearance.
    auto rank = [&](std::int32_t licence) {
        return Dm.Tables.Inscrits.Data().Lookup("LICENCE", {licence}).AsInteger("RGA");
    };
    EXPECT_EQ(rank(1234), 1);
    EXPECT_EQ(rank(98765), 4);
    EXPECT_EQ(rank(9021), 10);
    EXPECT_EQ(rank(600125), 12);
    EXPECT_EQ(PoolRanks(11),
              (std::map<std::int32_t, std::int32_t>{{207415, 1}, {98765, 2}, {1234, 3}, {310552, 4}, {512300, 5}}));
    EXPECT_EQ(PoolRanks(22), (std::map<std::int32_t, std::int32_t>{{301177, 1}, {98765, 2}, {9021, 3}, {512300, 4}}));
}

}  // namespace
}  // namespace tavlor
