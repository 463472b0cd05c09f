// The views number their rankings in memory and write FiltreJoueurs once.
// Here they are checked against the straightforward way, worked through the
// table itself (filters, indexes, a row posted per rank), on random
// competitions full of ties: the same rows, values and order, bit for bit.
#include "ranking/Views.h"

#include "support/CompetitionFixture.h"
#include "text/Numbers.h"

#include <gtest/gtest.h>

#include <random>
#include <unordered_map>

namespace tavlor {
namespace {

using TShownRows = std::vector<std::vector<TValue>>;

class RankingEquivalence : public test::TCompetitionFixture {
protected:
    // The view as the table-driven reference builds it.
    TShownRows Reference(TViews& views, const TElement& element) {
        const std::int32_t id = element.Id;
        TTable& players = Dm.Tables.FiltreJoueurs;
        TListTri phases, pools;
        views.Statistics().CalcCumuls(element, phases, pools);
        if (element.Kind == NodeRegistrant || element.Kind == NodeMember) {
            {
                TFilterScope scope(players, "LICENCE<>" + text::IntToStr(id));
                players.First();
                while (!players.Eof()) {
                    players.Delete();
                }
            }
            players.SetIndexFieldNames("IDPHASE");
        } else {
            for (const TItemTri& pool : pools) {
                TFilterScope scope(players, "IDPOULE=" + text::IntToStr(pool.Cle));
                const TRowView def = Dm.Tables.Poules.Data().Lookup("IDPOULE", {pool.Cle});
                const std::int32_t formula = def ? def.AsInteger("FCLASST") : 0;
                players.SetIndexName(formula == 1 || formula == 2 ? "IDXCPOULES1" : "IDXCPOULES0");
                Number("CPO");
            }
            if (element.Kind == NodePool) {
                players.SetIndexFieldNames("CPO");
            } else {
                for (const TItemTri& phase : phases) {
                    TFilterScope scope(players, "IDPHASE=" + text::IntToStr(phase.Cle));
                    players.SetIndexName(views.Rankings().GetIndexPhase(phase.Cle));
                    Number("CPH");
                }
                if (element.Kind == NodePhase) {
                    players.SetIndexFieldNames("CPH");
                } else {
                    General();
                }
            }
        }
        Unplayed(element.Kind, id, element.IdParent);
        return Shown();
    }

    void Number(const char* field) {
        TTable& players = Dm.Tables.FiltreJoueurs;
        const int f = players.RequireField(field);
        std::int32_t rank = 0;
        for (players.First(); !players.Eof(); players.Next()) {
            players.SetFieldPosted(f, ++rank);
        }
    }

    // Every row walked in IDXCGENERAL order, each player's rows added up
    // into one row (in 64 bits), numbered by first appearance.
    void General() {
        TTable& players = Dm.Tables.FiltreJoueurs;
        struct TPlayer {
            std::vector<TValue> Row;
            double Pts = 0;
            std::int64_t Rep = 0, Pm = 0, Nm = 0;
        };
        std::vector<TPlayer> merged;
        std::unordered_map<std::int32_t, std::size_t> byLicence;
        players.SetIndexName("IDXCGENERAL");
        for (players.First(); !players.Eof(); players.Next()) {
            const std::int32_t licence = players.AsInteger("LICENCE");
            auto [it, created] = byLicence.try_emplace(licence, merged.size());
            if (created) {
                TPlayer p;
                p.Row.resize(players.Data().StoredFieldCount());
                p.Row[Slot("IDPHASE")] = players.Value("IDPHASE");
                p.Row[Slot("IDPOULE")] = players.Value("IDPOULE");
                p.Row[Slot("LICENCE")] = licence;
                p.Row[Slot("CG")] = static_cast<std::int32_t>(merged.size() + 1);
                merged.push_back(std::move(p));
            }
            TPlayer& p = merged[it->second];
            p.Pts += players.AsFloat("PTS");
            p.Rep += players.AsInteger("REP");
            p.Pm += players.AsInteger("PM");
            p.Nm += players.AsInteger("NM");
            if (players.AsFloat("MPART") > ValueAsFloat(p.Row[Slot("MPART")])) {
                p.Row[Slot("MPART")] = players.AsFloat("MPART");
            }
            if (players.AsInteger("SER") > ValueAsInteger(p.Row[Slot("SER")])) {
                p.Row[Slot("SER")] = players.AsInteger("SER");
            }
        }
        players.SetIndexFieldNames("CG;RGA");
        players.EmptyTable();
        for (TPlayer& p : merged) {
            p.Row[Slot("PTS")] = p.Pts;
            p.Row[Slot("REP")] = ClampedTotal(p.Rep);
            p.Row[Slot("PM")] = ClampedTotal(p.Pm);
            p.Row[Slot("NM")] = ClampedTotal(p.Nm);
            p.Row[Slot("MG")] = p.Rep >= 1 ? p.Pts / static_cast<double>(p.Rep) : 0.0;
            p.Row[Slot("TV")] = p.Nm >= 1 ? static_cast<double>(p.Pm) / (static_cast<double>(p.Nm) * 2.0) : 0.0;
            players.AppendRow(p.Row);
        }
    }

    // Registrants (or members) who played no selected match, one row each.
    void Unplayed(std::uint8_t kind, std::int32_t id, std::int32_t parent) {
        TTable& players = Dm.Tables.FiltreJoueurs;
        TTableData& shown = players.Data();
        const int count = shown.StoredFieldCount();
        if (kind == 2) {
            auto registrants = Dm.Tables.Inscrits.Clone();
            registrants->SetIndexName("IDXNOM");
            std::int32_t k = 0;
            for (registrants->First(); !registrants->Eof(); registrants->Next()) {
                const std::int32_t licence = registrants->AsInteger("LICENCE");
                if (shown.FindFirst(Slot("LICENCE"), licence) == nullptr) {
                    std::vector<TValue> row(count);
                    row[Slot("LICENCE")] = licence;
                    row[Slot("RGA")] = ++k;
                    players.AppendRow(row);
                }
            }
            return;
        }
        const std::string n = text::IntToStr(id);
        const std::string filter = kind == 0   ? "IDPHASE=" + n
                                   : kind == 1 ? "IDPOULE=" + n
                                   : kind == 3 ? "LICENCE=" + n
                                               : "IDPOULE=" + text::IntToStr(parent) + " and LICENCE=" + n;
        auto members = Dm.Tables.Joueurs.Clone();
        members->SetIndexName("IDPHPO");
        TFilterScope scope(*members, filter);
        for (members->First(); !members->Eof(); members->Next()) {
            const std::int32_t licence = members->AsInteger("LICENCE");
            if (shown.FindFirst(Slot("LICENCE"), licence) == nullptr) {
                std::vector<TValue> row(count);
                row[Slot("IDPHASE")] = members->AsInteger("IDPHASE");
                row[Slot("IDPOULE")] = members->AsInteger("IDPOULE");
                row[Slot("LICENCE")] = licence;
                players.AppendRow(row);
            }
        }
    }

    int Slot(const char* name) { return Dm.Tables.FiltreJoueurs.Data().FieldByName(name).StorageIndex; }

    TShownRows Shown() {
        TShownRows rows;
        TTable& players = Dm.Tables.FiltreJoueurs;
        for (players.First(); !players.Eof(); players.Next()) {
            rows.push_back(players.RowValues());
        }
        return rows;
    }

    // A competition of a few phases whose pools have few distinct figures,
    // so that ranks are decided by every key in turn, and by arrival.
    void RandomCompetition(std::mt19937& random) {
        auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
        const int phaseCount = 1 + pick(3);
        std::int32_t poolId = 10;
        std::vector<std::int32_t> poolIds;
        for (int phase = 1; phase <= phaseCount; ++phase) {
            for (int p = 0, pools = 1 + pick(4); p < pools; ++p) {
                Pool(poolId, phase, "Poule " + text::IntToStr(poolId), pick(4));
                poolIds.push_back(poolId++);
            }
        }
        const int playerCount = 4 + pick(30);
        for (int m = 1, matches = 10 + pick(80); m <= matches; ++m) {
            const std::int32_t pool = poolIds[pick(static_cast<int>(poolIds.size()))];
            const std::int32_t l1 = 100 + pick(playerCount);
            std::int32_t l2 = 100 + pick(playerCount);
            if (l2 == l1) {
                l2 = l1 == 100 ? 101 : 100;
            }
            auto& match = Match(m, pool, l1, l2);
            // Now and then a negative coefficient or figure from the server:
            // negative averages, and -0 that must rank as 0.
            const int odd = pick(8);
            match.CoefBd = odd == 0 ? -0.8 : (pick(3) == 0 ? 0.8 : 1.0);
            match.Pts1 = pick(4) * 10;
            match.Pts2 = odd == 1 ? -10 : pick(4) * 10;
            match.Rep1 = match.Rep2 = pick(3) * 10;
            match.Ser1 = pick(3);
            match.Ser2 = pick(3);
            match.Pm1 = odd == 2 ? -1 : pick(3);
            match.Pm2 = 2 - match.Pm1;
        }
        for (int r = 0; r < 3; ++r) {
            Names[900 + r] = "Inscrit " + text::IntToStr(r);
        }
        Load();
        for (int r = 0; r < 3; ++r) {
            Place(900 + r, poolIds.front(), Names[900 + r]);
        }
    }
};

TEST_F(RankingEquivalence, EveryViewOfRandomCompetitionsAsTheTableWorksItOut) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Lists = {};
        Compet.DoClear();
        std::mt19937 random(seed);
        RandomCompetition(random);
        TViews views(Dm, Host);

        std::vector<TElement> elements = {{NodeRegistrants, -1, -1}};
        for (const auto& pool : Lists.Pools) {
            elements.push_back({NodePhase, pool.Phase, -1});
            elements.push_back({NodePool, pool.IdPoule, pool.Phase});
        }
        elements.push_back({NodeRegistrant, Lists.Matches.front().Licence1, -1});
        elements.push_back({NodeMember, Lists.Matches.front().Licence1, Lists.Matches.front().IdPoule});
        for (const TElement& element : elements) {
            SCOPED_TRACE("view " + std::to_string(element.Kind) + " " + std::to_string(element.Id));
            views.RefreshFiltres(element);
            const TShownRows fast = Shown();
            const TShownRows reference = Reference(views, element);
            ASSERT_EQ(fast.size(), reference.size());
            for (std::size_t r = 0; r < fast.size(); ++r) {
                ASSERT_EQ(fast[r], reference[r]) << "row " << r;
            }
        }
    }
}

}  // namespace
}  // namespace tavlor
