#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavlor::sample {

// A competition as the federation server publishes it: its billiard sizes,
// its pool list and its match list (players appear only in the matches).
struct TSampleBillard {
    std::int32_t Taille = 0;
    std::string Nom;
    double Coef = 1.0;
};

struct TSamplePool {
    std::int32_t IdPoule = 0;
    std::string Nom;
    std::int32_t Phase = 0;
    std::int32_t Formula = 0;  // 0 Tournois KVL, 1 Double KO, 2 Triple KO
};

struct TSampleMatch {
    std::int32_t IdMatch = 0;
    std::int32_t Bd = 0;
    double CoefBd = 1.0;
    std::int64_t DateSeconds = 0;  // Unix seconds, as the server sends them
    std::int32_t Licence1 = 0;
    std::string Nom1;
    std::int32_t Pts1 = 0, Rep1 = 0, Ser1 = 0, Pm1 = 0;
    std::int32_t Licence2 = 0;
    std::string Nom2;
    std::int32_t Pts2 = 0, Rep2 = 0, Ser2 = 0, Pm2 = 0;
    std::int32_t IdPoule = 0;
    std::int32_t IdPhase = 0;
};

struct TSampleCompetition {
    std::int32_t Id = 0;
    std::string Title;
    std::vector<TSampleBillard> Billards;
    std::vector<TSamplePool> Pools;
    std::vector<TSampleMatch> Matches;
};

// The shape of the large competition the program must stay interactive with.
struct TLargeShape {
    int Registrants = 5000;
    int Phases = 4;
    int PoolsPerPhase = 250;
    int Matches = 20000;
    // In each phase, this many pools are round robins of 8 players (28 matches);
    // the others share the remaining players and matches.
    int RoundRobinPoolsPerPhase = 25;
    std::uint32_t Seed = 20261209;
};

// Deterministic for a given shape: every registrant plays in one pool of every
// phase; French names with accents; three-cushion scores on tables of 3.10 m,
// 2.80 m and 2.60 m with their coefficients; the three ranking formulas.
TSampleCompetition MakeLargeCompetition(const TLargeShape& shape = {});

// A family name in capitals, as the federation writes it: every lower-case
// letter Windows-1252 has becomes its capital (é É, œ Œ, ÿ Ÿ...); ß, which
// has none there, stays. Text is UTF-8.
std::string UpperName(const std::string& utf8);

// The billiard sizes of the federation: 310, 280, 260 with coefficients 1, 0.9, 0.8.
std::vector<TSampleBillard> StandardBillards();

}  // namespace tavlor::sample
