#include "support/RankingsGolden.h"

#include "support/TestData.h"
#include "text/DateTime.h"
#include "text/Numbers.h"

#include <cmath>
#include <fstream>
#include <sstream>

namespace tavlor::test {

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

int Int(const std::string& s) {
    return text::StrToInt(s);
}

}  // namespace

void TRankingsGoldenFixture::ReadGolden() {
    std::ifstream file(DataPath("rankings_golden.txt"));
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
    TExpectedView* view = nullptr;
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
            std::string date = f[5];
            date[4] = date[7] = ' ';
            const auto ymd = Words(date);
            const double day = text::EncodeDate(Int(ymd[0]), Int(ymd[1]), Int(ymd[2]));
            // The download adds a day to the server's seconds.
            m.DateSeconds = static_cast<std::int64_t>(std::llround((day - 1 - text::UnixEpochDays) * 86400));
            m.Pts1 = Int(f[7]), m.Rep1 = Int(f[8]), m.Ser1 = Int(f[9]), m.Pm1 = Int(f[10]);
            m.Pts2 = Int(f[12]), m.Rep2 = Int(f[13]), m.Ser2 = Int(f[14]), m.Pm2 = Int(f[15]);
        } else if (tag == "inscrit") {
            Registrations_.push_back(f);
        } else if (tag == "membre") {
            Memberships_.push_back(f);
        } else if (tag == "view") {
            Views.push_back({});
            view = &Views.back();
            view->Line = n;
            view->Kind = static_cast<TNodeKind>(Int(f[1]));
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
}

void TRankingsGoldenFixture::Build() {
    Load();
    for (const auto& r : Registrations_) {
        ASSERT_TRUE(Compet.AddInscrit(Int(r[1]), -1, r[2])) << Compet.LastError;
    }
    for (const auto& m : Memberships_) {
        ASSERT_TRUE(Compet.AddJoueur(Int(m[1]), -1, Int(m[2]))) << Compet.LastError;
    }
}

}  // namespace tavlor::test
