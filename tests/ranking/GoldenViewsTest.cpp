// The views of a competition worked out by hand (tests/data/rankings_golden.txt):
// every figure, rank, row order, caption and shown column of the five kinds of view.
#include "ranking/Views.h"

#include "support/CompetitionFixture.h"
#include "support/TestData.h"
#include "text/DateTime.h"
#include "text/Numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

namespace tavlor {
namespace {

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = line.find(" | ", start);
        out.push_back(line.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) {
            return out;
        }
        start = end + 3;
    }
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string w; in >> w;) {
        out.push_back(w);
    }
    return out;
}

int Int(const std::string& s) { return text::StrToInt(s); }

struct ExpectedView {
    int Line = 0;
    std::uint8_t Kind = 0;
    std::int32_t Id = 0, Parent = 0;
    std::string RankingCaption, MatchesCaption;
    std::vector<std::string> Columns;
    std::vector<std::vector<std::string>> Players;
    std::vector<std::string> Matches;
};

class GoldenViews : public test::TCompetitionFixture {
protected:
    std::vector<ExpectedView> Views;
    std::vector<std::vector<std::string>> Registrations, Memberships;

    void SetUp() override {
        std::ifstream file(test::DataPath("rankings_golden.txt"));
        ASSERT_TRUE(file) << "rankings_golden.txt missing";
        std::vector<std::pair<int, std::string>> lines;
        int number = 0;
        for (std::string line; std::getline(file, line);) {
            ++number;
            if (!line.empty() && line[0] != '#') {
                lines.emplace_back(number, line);
            }
        }
        for (const auto& [n, line] : lines) {  // names first: matches carry them
            const auto f = Fields(line);
            if (f[0] == "nom") {
                Names[Int(f[1])] = f[2];
            }
        }
        ExpectedView* view = nullptr;
        for (const auto& [n, line] : lines) {
            const auto f = Fields(line);
            const std::string& tag = f[0];
            if (tag == "billard") {
                Lists.Billards.push_back({Int(f[1]), f[3], text::StrToFloat(f[2], '.')});
            } else if (tag == "poule") {
                Pool(Int(f[1]), Int(f[2]), f[4], Int(f[3]));
            } else if (tag == "match") {
                auto& m = Match(Int(f[1]), Int(f[2]), Int(f[6]), Int(f[11]));
                m.Bd = Int(f[3]);
                m.CoefBd = text::StrToFloat(f[4], '.');
                const auto date = Words(std::string(f[5]).replace(4, 1, " ").replace(7, 1, " "));
                const double day = text::EncodeDate(Int(date[0]), Int(date[1]), Int(date[2]));
                // The download adds a day to the server's seconds.
                m.DateSeconds = static_cast<std::int64_t>(std::llround((day - 1 - text::UnixEpochDays) * 86400));
                m.Pts1 = Int(f[7]), m.Rep1 = Int(f[8]), m.Ser1 = Int(f[9]), m.Pm1 = Int(f[10]);
                m.Pts2 = Int(f[12]), m.Rep2 = Int(f[13]), m.Ser2 = Int(f[14]), m.Pm2 = Int(f[15]);
            } else if (tag == "inscrit") {
                Registrations.push_back(f);
            } else if (tag == "membre") {
                Memberships.push_back(f);
            } else if (tag == "view") {
                Views.push_back({});
                view = &Views.back();
                view->Line = n;
                view->Kind = static_cast<std::uint8_t>(Int(f[1]));
                view->Id = Int(f[2]);
                view->Parent = Int(f[3]);
            } else if (tag == "captions") {
                view->RankingCaption = f[1];
                view->MatchesCaption = f[2];
            } else if (tag == "columns") {
                view->Columns = Words(f[1]);
            } else if (tag == "player") {
                view->Players.emplace_back(f.begin() + 1, f.end());
            } else if (tag == "matches") {
                if (f[1] != "-") {
                    view->Matches = Words(f[1]);
                }
            } else if (tag != "nom" && tag != "end") {
                FAIL() << "line " << n << ": unknown record " << tag;
            }
        }
        Load();
        for (const auto& r : Registrations) {
            ASSERT_TRUE(Compet.AddInscrit(Int(r[1]), -1, r[2])) << Compet.LastError;
        }
        for (const auto& m : Memberships) {
            ASSERT_TRUE(Compet.AddJoueur(Int(m[1]), -1, Int(m[2]))) << Compet.LastError;
        }
    }
};

TEST_F(GoldenViews, EveryViewMatchesTheFiguresWorkedOutByHand) {
    ASSERT_GE(Views.size(), 14u);
    TViews views(Dm, Host);
    const char* fields[] = {"IDPHASE", "IDPOULE", "LICENCE", "CPO", "CPH", "CG", "RGA", "NM",
                            "PM",      "PTS",     "REP",     "SER", "TV",  "MG", "MPART"};
    for (const ExpectedView& v : Views) {
        SCOPED_TRACE("view at line " + std::to_string(v.Line));
        views.RefreshFiltres(v.Kind, v.Id, v.Parent);
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
                    EXPECT_EQ(players.AsInteger(fields[i]), Int(want)) << fields[i];
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
    EXPECT_EQ(PoolRanks(11), (std::map<std::int32_t, std::int32_t>{
                                 {207415, 1}, {98765, 2}, {1234, 3}, {310552, 4}, {512300, 5}}));
    EXPECT_EQ(PoolRanks(22), (std::map<std::int32_t, std::int32_t>{{301177, 1}, {98765, 2}, {9021, 3}, {512300, 4}}));
}

}  // namespace
}  // namespace tavlor
