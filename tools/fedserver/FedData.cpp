#include "fedserver/FedData.h"

#include "fedserver/FedWire.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <set>
#include <stdexcept>

namespace tavlor::fedserver {

namespace {

const TRosterPlayer kRoster[] = {
    {10234, "DUPONT Jean", "BC Saint-Étienne", "Saint-Étienne"},
    {10871, "LEFÈVRE Hélène", "Académie de billard de Lyon", "Lyon"},
    {11502, "GARÇON François", "BC Sète", "Sète"},
    {12019, "CŒUR Benoît", "Billard club d'Orléans", "Orléans"},
    {12644, "CHÂTEAU Jérôme", "Cercle châlonnais", "Châlons-en-Champagne"},
    {13120, "LEMAÎTRE Zoé", "BC Nîmes", "Nîmes"},
    {13577, "BRÛLÉ Loïc", "BC Besançon", "Besançon"},
    {14033, "HÉBERT Cécile", "Billard Évry", "Évry"},
    {14590, "RENAUD Gaëtan", "BC Paris", "Paris"},
    {15011, "FAURE Noël", "BC Marseille", "Marseille"},
    {15466, "D'ARCY Raphaël", "BC Paris", "Paris"},
    {15932, "MOREAU Thérèse", "BC Lyon Croix-Rousse", "Lyon"},
    {16405, "ROCHÉ Maël", "BC Sète", "Sète"},
    {16873, "PÂRIS Agnès", "BC Besançon", "Besançon"},
    {17340, "LEBŒUF Frédéric", "Billard club d'Orléans", "Orléans"},
    {17812, "MERCIER Françoise", "BC Évreux", "Évreux"},
    {18291, "DUBOIS Éric", "BC Saint-Étienne", "Saint-Étienne"},
    {18760, "VINCENT André", "BC Marseille", "Marseille"},
    {19233, "GIRARD Joël", "BC Nîmes", "Nîmes"},
    {19705, "BONNET Michel", "BC Paris", "Paris"},
    {20178, "PERRIN Yves", "Billard Évry", "Évry"},
    {20650, "FONTAINE Luc", "BC Lyon Croix-Rousse", "Lyon"},
    {21123, "ROUSSEAU Bruno", "BC Sète", "Sète"},
    {21597, "MASSON Chloé", "Cercle châlonnais", "Châlons-en-Champagne"},
    {22064, "CARON Pierre", "BC Besançon", "Besançon"},
    {22531, "PICARD Jean", "BC Paris", "Paris"},
    {23008, "DUPONT Jérôme", "BC Marseille", "Marseille"},
    {23476, "BENOÎT Hélène", "Billard club d'Orléans", "Orléans"},
    {23950, "LAMBERT Gaëlle", "BC Évreux", "Évreux"},
    {24417, "ÉTIENNE Raphaël", "BC Saint-Étienne", "Saint-Étienne"},
    {24893, "MARTIN Noël", "BC Nîmes", "Nîmes"},
    {25360, "BERNARD Loïc", "Académie de billard de Lyon", "Lyon"},
};

const TUser kUsers[] = {
    {12, "Jean Dupont", "carambole"},
    {34, "Hélène Lefèvre", "Académie"},
    {56, "François Garçon", ""},
};

const char* const kTowns[] = {"Paris", "Lyon",    "Marseille", "Sète",   "Nîmes",
                              "Évry",  "Orléans", "Besançon",  "Évreux", "Saint-Étienne"};

// How a discipline's matches are scored.
struct TScoring {
    std::vector<int> Distances;
    int InningsLimit = 50;
    double LevelLow = 0.4;   // points per inning of the weakest player
    double LevelHigh = 1.4;  // and of the strongest
    int LongestRun = 8;
};

const TScoring kThreeCushion{{30, 35, 40}, 50, 0.4, 1.4, 8};
const TScoring kBalkline{{150, 200, 250}, 25, 5.0, 25.0, 80};
const TScoring kOneCushion{{60, 80, 100}, 30, 1.5, 6.0, 20};
const TScoring kStraightRail{{100, 150, 200, 300}, 30, 4.0, 30.0, 100};

struct TPoolPlan {
    const char* Nom;
    int Formula;
    int Bd;
    int Year, Month, Day;
    std::vector<std::int32_t> Licences;  // first phase only; later phases take qualifiers
};

struct TPhasePlan {
    int Qualifiers;  // best players taken from each pool of the previous phase
    std::vector<TPoolPlan> Pools;
};

struct TCompetitionPlan {
    std::int32_t Id;
    const char* Saison;
    const char* Niveau;
    const char* Categorie;
    const char* Nom;
    const char* Lieu;
    const TScoring* Scoring;
    std::vector<TPhasePlan> Phases;
};

struct TStanding {
    std::int32_t Licence = 0;
    int Pm = 0;
    int Pts = 0;
    int Rep = 0;
};

class TBuilder {
public:
    explicit TBuilder(const std::vector<sample::TSampleBillard>& billards) : billards_(billards), rng_(20251115) {}

    TServedCompetition Build(const TCompetitionPlan& plan) {
        TServedCompetition served;
        served.Saison = plan.Saison;
        served.Niveau = plan.Niveau;
        served.Categorie = plan.Categorie;
        served.Nom = plan.Nom;
        served.Lieu = plan.Lieu;
        sample::TSampleCompetition& c = served.Data;
        c.Id = plan.Id;
        c.Title = served.Saison + " " + served.Niveau + " " + served.Categorie + " - " + served.Nom;
        c.Billards = billards_;

        std::vector<std::vector<TStanding>> previous;  // standings of the previous phase's pools
        for (std::size_t ph = 0; ph < plan.Phases.size(); ++ph) {
            const TPhasePlan& phase = plan.Phases[ph];
            const int phaseNo = static_cast<int>(ph) + 1;
            std::vector<std::vector<std::int32_t>> members(phase.Pools.size());
            if (phase.Qualifiers == 0) {
                for (std::size_t p = 0; p < phase.Pools.size(); ++p) {
                    members[p] = phase.Pools[p].Licences;
                }
            } else {
                // Rank-major, then dealt to the pools back and forth.
                std::vector<std::int32_t> qualified;
                for (int rank = 0; rank < phase.Qualifiers; ++rank) {
                    for (const auto& standing : previous) {
                        if (rank < static_cast<int>(standing.size())) {
                            qualified.push_back(standing[rank].Licence);
                        }
                    }
                }
                const std::size_t n = phase.Pools.size();
                for (std::size_t i = 0; i < qualified.size(); ++i) {
                    const std::size_t lap = i / n, at = i % n;
                    members[lap % 2 == 0 ? at : n - 1 - at].push_back(qualified[i]);
                }
            }
            previous.clear();
            for (std::size_t p = 0; p < phase.Pools.size(); ++p) {
                const TPoolPlan& pool = phase.Pools[p];
                const std::int32_t idPoule = nextPool_++;
                c.Pools.push_back({idPoule, pool.Nom, phaseNo, pool.Formula});
                previous.push_back(PlayPool(c, *plan.Scoring, pool, idPoule, phaseNo, members[p]));
            }
        }
        return served;
    }

private:
    std::vector<TStanding> PlayPool(sample::TSampleCompetition& c, const TScoring& scoring, const TPoolPlan& pool,
                                    std::int32_t idPoule, int phaseNo, const std::vector<std::int32_t>& players) {
        std::map<std::int32_t, TStanding> table;
        for (const std::int32_t licence : players) {
            table[licence].Licence = licence;
        }
        const std::int64_t date = ParisMidnight(pool.Year, pool.Month, pool.Day);
        auto play = [&](std::int32_t a, std::int32_t b, bool knockout) {
            sample::TSampleMatch m;
            m.IdMatch = nextMatch_++;
            m.Bd = pool.Bd;
            m.CoefBd = CoefOf(pool.Bd);
            m.DateSeconds = date;
            m.Licence1 = a;
            m.Nom1 = NameOf(a);
            m.Licence2 = b;
            m.Nom2 = NameOf(b);
            m.IdPoule = idPoule;
            m.IdPhase = phaseNo;
            Score(m, scoring, knockout);
            for (const auto& [lic, pts, rep, pm] : {std::tuple{a, m.Pts1, m.Rep1, m.Pm1}, {b, m.Pts2, m.Rep2, m.Pm2}}) {
                TStanding& s = table[lic];
                s.Pts += pts;
                s.Rep += rep;
                s.Pm += pm;
            }
            c.Matches.push_back(std::move(m));
        };
        auto ranking = [&] {
            std::vector<TStanding> out;
            for (const auto& [lic, s] : table) {
                out.push_back(s);
            }
            std::stable_sort(out.begin(), out.end(), [](const TStanding& x, const TStanding& y) {
                if (x.Pm != y.Pm) {
                    return x.Pm > y.Pm;
                }
                // Better general average first: x.Pts/x.Rep > y.Pts/y.Rep without dividing by zero.
                return static_cast<long long>(x.Pts) * std::max(y.Rep, 1) >
                       static_cast<long long>(y.Pts) * std::max(x.Rep, 1);
            });
            return out;
        };

        if (pool.Formula == 0) {
            for (std::size_t i = 0; i < players.size(); ++i) {
                for (std::size_t j = i + 1; j < players.size(); ++j) {
                    play(players[i], players[j], false);
                }
            }
        } else {
            // Knock-out rounds: the first as drawn, the next ones pairing players
            // of the same standing (winners together, losers together).
            const int rounds = pool.Formula == 1 ? 2 : 3;
            std::vector<std::int32_t> order = players;
            for (int round = 0; round < rounds; ++round) {
                if (round > 0) {
                    order.clear();
                    for (const TStanding& s : ranking()) {
                        order.push_back(s.Licence);
                    }
                }
                for (std::size_t i = 0; i + 1 < order.size(); i += 2) {
                    play(order[i], order[i + 1], true);
                }
            }
        }
        return ranking();
    }

    void Score(sample::TSampleMatch& m, const TScoring& s, bool knockout) {
        const int distance = s.Distances[rng_() % s.Distances.size()];
        const double ra = LevelOf(m.Licence1, s) * Luck();
        const double rb = LevelOf(m.Licence2, s) * Luck();
        const int innA = std::max(1, static_cast<int>(std::ceil(distance / ra)));
        const int innB = std::max(1, static_cast<int>(std::ceil(distance / rb)));
        int innings = std::min({innA, innB, s.InningsLimit});
        int ptsA = std::min(distance - 1, static_cast<int>(ra * innings));
        int ptsB = std::min(distance - 1, static_cast<int>(rb * innings));
        if (innA <= s.InningsLimit || innB <= s.InningsLimit) {
            (innA <= innB ? ptsA : ptsB) = distance;
        } else if (knockout && ptsA == ptsB) {
            ptsB = std::max(0, ptsB - 1);  // no draw in a knock-out
        }
        m.Pts1 = ptsA;
        m.Pts2 = ptsB;
        m.Rep1 = m.Rep2 = innings;
        m.Ser1 = Run(ptsA, innings, s.LongestRun);
        m.Ser2 = Run(ptsB, innings, s.LongestRun);
        m.Pm1 = ptsA > ptsB ? 2 : (ptsA == ptsB ? 1 : 0);
        m.Pm2 = 2 - m.Pm1;
    }

    int Run(int pts, int innings, int longest) {
        if (pts == 0) {
            return 0;
        }
        const int least = (pts + innings - 1) / innings;
        const int drawn = 1 + static_cast<int>(rng_() % static_cast<unsigned>(longest));
        return std::min(pts, std::max(least, drawn));
    }

    double Luck() { return 0.7 + static_cast<double>(rng_() % 61) / 100.0; }

    static double LevelOf(std::int32_t licence, const TScoring& s) {
        const double frac =
            static_cast<double>((static_cast<std::uint32_t>(licence) * 2654435761u >> 8) % 1000) / 1000.0;
        return s.LevelLow + frac * (s.LevelHigh - s.LevelLow);
    }

    double CoefOf(int taille) const {
        for (const sample::TSampleBillard& b : billards_) {
            if (b.Taille == taille) {
                return b.Coef;
            }
        }
        throw std::logic_error("unknown billiard size in a sample");
    }

    static std::string NameOf(std::int32_t licence) {
        for (const TRosterPlayer& p : kRoster) {
            if (p.Licence == licence) {
                return p.Nom;
            }
        }
        throw std::logic_error("unknown licence in a sample");
    }

    const std::vector<sample::TSampleBillard>& billards_;
    std::mt19937 rng_;
    std::int32_t nextPool_ = 101;
    std::int32_t nextMatch_ = 30001;
};

// Winter, the day summer time starts, summer, and the day it ends all occur.
const std::vector<std::pair<std::string, std::vector<TCompetitionPlan>>>& Plans() {
    static const std::vector<std::pair<std::string, std::vector<TCompetitionPlan>>> plans = {
        {"3bandes",
         {{1201,
           "2025-2026",
           "Nationale 1",
           "Seniors",
           "Finale de France",
           "Saint-Étienne",
           &kThreeCushion,
           {{0,
             {{"Poule A", 0, 310, 2025, 11, 15, {10234, 10871, 11502, 12019}},
              {"Poule B", 0, 310, 2025, 11, 15, {12644, 13120, 13577, 14033}},
              {"Poule C", 0, 280, 2025, 11, 16, {14590, 15011, 15466, 15932}}}},
            {2, {{"Poule Élite 1", 0, 310, 2026, 3, 29, {}}, {"Poule Élite 2", 0, 310, 2026, 3, 29, {}}}},
            {2, {{"Finale", 2, 310, 2026, 6, 13, {}}}}}},
          {1202,
           "2026-2027",
           "Ligue Île-de-France",
           "Espoirs",
           "Coupe régionale",
           "Évry",
           &kThreeCushion,
           {{0,
             {{"Poule 1", 1, 260, 2026, 10, 24, {19705, 20178, 22531, 14590}},
              {"Poule 2", 0, 260, 2026, 10, 24, {15466, 23950, 18291, 21597}}}},
            {2, {{"Finale", 0, 280, 2026, 10, 25, {}}}}}}}},
        {"cadre",
         {{2201,
           "2025-2026",
           "Nationale 2",
           "Cadre 47/2",
           "Finale de France",
           "Besançon",
           &kBalkline,
           {{0,
             {{"Poule A", 0, 280, 2026, 1, 17, {13577, 16873, 22064, 12644}},
              {"Poule B", 0, 280, 2026, 1, 17, {17340, 18760, 19233, 24893}}}},
            {2, {{"Finale", 1, 310, 2026, 2, 14, {}}}}}},
          {2202,
           "2025-2026",
           "Régional",
           "Cadre 42/2",
           "Tournoi de ligue",
           "Nîmes",
           &kBalkline,
           {{0, {{"Poule unique", 0, 260, 2026, 4, 11, {13120, 19233, 24893, 15011, 18760}}}}}}}},
        {"bande",
         {{3201,
           "2025-2026",
           "Nationale 3",
           "Seniors",
           "Finale de ligue",
           "Orléans",
           &kOneCushion,
           {{0,
             {{"Poule A", 0, 280, 2025, 12, 6, {12019, 17340, 23476, 10234}},
              {"Poule B", 2, 280, 2025, 12, 6, {17812, 20650, 25360, 10871}}}},
            {2, {{"Finale", 1, 310, 2026, 5, 9, {}}}}}}}},
        {"libre",
         {{4201,
           "2025-2026",
           "Régional",
           "Juniors",
           "Championnat de ligue",
           "Sète",
           &kStraightRail,
           {{0,
             {{"Poule A", 0, 260, 2026, 3, 7, {11502, 16405, 21123}},
              {"Poule B", 0, 260, 2026, 3, 7, {20650, 15932, 25360}}}},
            {2, {{"Finale", 0, 280, 2026, 7, 4, {}}}}}},
          {4202,
           "2026-2027",
           "Départemental",
           "Vétérans",
           "Coupe d'automne",
           "Lyon",
           &kStraightRail,
           // Poule B is drawn up but not played yet.
           {{0,
             {{"Poule A", 0, 280, 2026, 11, 21, {18760, 19705, 22531, 24417}},
              {"Poule B", 0, 280, 2026, 11, 21, {}}}}}}}},
    };
    return plans;
}

}  // namespace

TServedCompetition ServedFromTitle(sample::TSampleCompetition competition, std::string lieu) {
    TServedCompetition served;
    const std::string& title = competition.Title;
    const std::size_t dash = title.find(" - ");
    const std::string head = dash == std::string::npos ? title : title.substr(0, dash);
    served.Nom = dash == std::string::npos ? std::string() : title.substr(dash + 3);
    const std::size_t s1 = head.find(' ');
    const std::size_t s2 = s1 == std::string::npos ? std::string::npos : head.find(' ', s1 + 1);
    served.Saison = head.substr(0, s1);
    served.Niveau = s1 == std::string::npos ? std::string() : head.substr(s1 + 1, s2 - s1 - 1);
    served.Categorie = s2 == std::string::npos ? std::string() : head.substr(s2 + 1);
    served.Lieu = std::move(lieu);
    served.Data = std::move(competition);
    return served;
}

TFederation MakeFederation(bool large) {
    TFederation f;
    f.Billards = sample::StandardBillards();
    f.Players.assign(std::begin(kRoster), std::end(kRoster));
    f.Users.assign(std::begin(kUsers), std::end(kUsers));
    TBuilder builder(f.Billards);
    for (const auto& [path, plans] : Plans()) {
        TDiscipline d;
        d.Path = path;
        for (const TCompetitionPlan& plan : plans) {
            d.Competitions.push_back(builder.Build(plan));
        }
        f.Disciplines.push_back(std::move(d));
    }
    if (large) {
        TServedCompetition big = ServedFromTitle(sample::MakeLargeCompetition(), "Vichy");
        std::set<std::int32_t> known;
        for (const TRosterPlayer& p : f.Players) {
            known.insert(p.Licence);
        }
        for (const sample::TSampleMatch& m : big.Data.Matches) {
            for (const auto& [licence, nom] : {std::pair{m.Licence1, &m.Nom1}, {m.Licence2, &m.Nom2}}) {
                if (known.insert(licence).second) {
                    const std::string town = kTowns[static_cast<std::uint32_t>(licence) % std::size(kTowns)];
                    f.Players.push_back({licence, *nom, "BC " + town, town});
                }
            }
        }
        f.Disciplines.front().Competitions.push_back(std::move(big));
    }
    return f;
}

}  // namespace tavlor::fedserver
