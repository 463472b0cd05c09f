#include "sample/SampleCompetition.h"

#include "text/Cp1252.h"

#include <algorithm>
#include <random>
#include <stdexcept>

namespace tavlor::sample {

namespace {

const char* const LastNames[] = {
    "Dupont",   "Martin",    "Bernard",  "Lefèvre", "Léger",    "Moreau",   "Girard",  "Bonnet", "François", "Mercier",
    "Boël",     "Cœur",      "Dubois",   "Lambert", "Fontaine", "Rousseau", "Vincent", "Müller", "Perrin",   "Morel",
    "Gauthier", "Chevalier", "Robin",    "Masson",  "Sánchez",  "Garçon",   "Renaud",  "D'Arcy", "Nöel",     "Brûlé",
    "Étienne",  "Château",   "Lemaître", "Benoît",  "Hébert",   "Pâris",    "Roché",   "Caron",  "Faure",    "Picard"};
const char* const FirstNames[] = {"Jean",   "Pierre", "Éric",  "Frédéric", "Jérôme", "Noël",   "Michel", "André",
                                  "Hélène", "Zoé",    "Chloé", "Raphaël",  "Loïc",   "Gaëtan", "Benoît", "Cécile",
                                  "Joël",   "Maël",   "Agnès", "Thérèse",  "Bruno",  "Luc",    "Yves",   "Françoise"};

struct TPlayer {
    std::int32_t Licence;
    std::string Nom;
    double Level;  // average the player usually reaches
};

std::vector<TPlayer> MakePlayers(int count, std::mt19937& rng) {
    std::vector<TPlayer> players;
    players.reserve(count);
    std::uniform_real_distribution<double> level(0.3, 1.6);
    std::vector<std::int32_t> licences;
    for (int i = 0; i < count; ++i) {
        licences.push_back(10000 + i * 17 + static_cast<std::int32_t>(rng() % 17));
    }
    std::shuffle(licences.begin(), licences.end(), rng);
    const int nLast = static_cast<int>(std::size(LastNames));
    const int nFirst = static_cast<int>(std::size(FirstNames));
    for (int i = 0; i < count; ++i) {
        const std::string last = UpperName(LastNames[rng() % nLast]);
        std::string nom = last + " " + FirstNames[rng() % nFirst];
        if (i % 7 == 0) {
            nom += " " + std::to_string(i / 7);  // namesakes told apart
        }
        players.push_back({licences[i], nom, level(rng)});
    }
    return players;
}

// One three-cushion match: the player who reaches the distance first wins;
// at the innings limit the higher score wins, equal scores are a draw.
void PlayMatch(TSampleMatch& m, const TPlayer& a, const TPlayer& b, std::mt19937& rng) {
    const int distance = 30 + static_cast<int>(rng() % 3) * 5;
    const int limit = 50;
    std::uniform_real_distribution<double> luck(0.7, 1.3);
    const double ra = a.Level * luck(rng), rb = b.Level * luck(rng);
    const int innA = static_cast<int>(distance / std::max(ra, 0.2));
    const int innB = static_cast<int>(distance / std::max(rb, 0.2));
    int innings = std::min({innA, innB, limit});
    innings = std::max(innings, 1);
    int ptsA = std::min(distance, static_cast<int>(ra * innings));
    int ptsB = std::min(distance, static_cast<int>(rb * innings));
    if (innA <= innB && innA <= limit) {
        ptsA = distance;
    } else if (innB < innA && innB <= limit) {
        ptsB = distance;
    }
    m.Pts1 = ptsA;
    m.Pts2 = ptsB;
    m.Rep1 = innings;
    m.Rep2 = innings;
    m.Ser1 = std::min(ptsA, 1 + static_cast<int>(rng() % 8));
    m.Ser2 = std::min(ptsB, 1 + static_cast<int>(rng() % 8));
    m.Pm1 = ptsA > ptsB ? 2 : (ptsA == ptsB ? 1 : 0);
    m.Pm2 = 2 - m.Pm1;
}

}  // namespace

std::string UpperName(const std::string& utf8) {
    // Letter by letter in the code page the names live in on the wire.
    std::string bytes = text::Utf8ToCp1252(utf8);
    for (char& c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7)) {
            c = static_cast<char>(b - 0x20);  // à-þ but ÷: their capitals stand 32 lower
        } else if (b == 0x9A || b == 0x9C || b == 0x9E) {
            c = static_cast<char>(b - 0x10);  // š œ ž
        } else if (b == 0xFF) {
            c = static_cast<char>(0x9F);  // ÿ
        }
    }
    return text::Cp1252ToUtf8(bytes);
}

std::vector<TSampleBillard> StandardBillards() {
    return {{310, "Match 3m10", 1.0}, {280, "2m80", 0.9}, {260, "2m60", 0.8}};
}

TSampleCompetition MakeLargeCompetition(const TLargeShape& shape) {
    const int rrPlayers = shape.RoundRobinPoolsPerPhase * 8;
    const int otherPools = shape.PoolsPerPhase - shape.RoundRobinPoolsPerPhase;
    const int matchesPerPhase = shape.Matches / shape.Phases;
    const int otherMatches = matchesPerPhase - shape.RoundRobinPoolsPerPhase * 28;
    const int otherPlayers = shape.Registrants - rrPlayers;
    if (otherPools <= 0 || otherPlayers < otherPools * 2 || otherMatches * 2 < otherPlayers) {
        throw std::invalid_argument("shape of the large competition cannot be met");
    }
    std::mt19937 rng(shape.Seed);
    TSampleCompetition c;
    c.Id = 4242;
    c.Title = "FFB 2026 Championnat de France - Grande compétition";
    c.Billards = StandardBillards();
    std::vector<TPlayer> players = MakePlayers(shape.Registrants, rng);

    std::int32_t nextPool = 1001;
    std::int32_t nextMatch = 1;
    const std::int64_t firstDay = 1767222000;  // 2026-01-01 00:00 in France
    for (int phase = 1; phase <= shape.Phases; ++phase) {
        std::shuffle(players.begin(), players.end(), rng);
        std::size_t next = 0;
        const std::int64_t day = firstDay + static_cast<std::int64_t>(phase - 1) * 7 * 86400;
        auto addMatch = [&](std::int32_t pool, const TPlayer& a, const TPlayer& b) {
            TSampleMatch m;
            m.IdMatch = nextMatch++;
            const TSampleBillard& bd = c.Billards[(m.IdMatch * 7 + pool) % c.Billards.size()];
            m.Bd = bd.Taille;
            m.CoefBd = bd.Coef;
            m.DateSeconds = day + (m.IdMatch % 3) * 86400;
            m.Licence1 = a.Licence;
            m.Nom1 = a.Nom;
            m.Licence2 = b.Licence;
            m.Nom2 = b.Nom;
            m.IdPoule = pool;
            m.IdPhase = phase;
            PlayMatch(m, a, b, rng);
            c.Matches.push_back(std::move(m));
        };
        for (int p = 0; p < shape.PoolsPerPhase; ++p) {
            const std::int32_t pool = nextPool++;
            const bool roundRobin = p < shape.RoundRobinPoolsPerPhase;
            const int letter = p % 26;
            c.Pools.push_back(
                {pool,
                 "Phase " + std::to_string(phase) + " " + static_cast<char>('A' + letter) + std::to_string(p / 26 + 1),
                 phase, roundRobin ? 0 : 1 + p % 2});
            if (roundRobin) {
                const std::size_t first = next;
                next += 8;
                for (std::size_t i = first; i < next; ++i) {
                    for (std::size_t j = i + 1; j < next; ++j) {
                        addMatch(pool, players[i], players[j]);
                    }
                }
                continue;
            }
            // Knock-out pools: everyone plays a first round, then extra pairings
            // until the pool has its share of the phase's matches.
            const int q = p - shape.RoundRobinPoolsPerPhase;
            const int size = otherPlayers / otherPools + (q < otherPlayers % otherPools ? 1 : 0);
            const int matches = otherMatches / otherPools + (q < otherMatches % otherPools ? 1 : 0);
            const std::size_t first = next;
            next += size;
            int played = 0;
            for (int i = 0; i + 1 < size && played < matches; i += 2, ++played) {
                addMatch(pool, players[first + i], players[first + i + 1]);
            }
            if (size % 2 == 1 && played < matches) {
                addMatch(pool, players[first + size - 1], players[first]);
                ++played;
            }
            for (int round = 1; played < matches; ++round) {
                for (int i = 0; i < size && played < matches; i += 2, ++played) {
                    addMatch(pool, players[first + i], players[first + (i + 2 * round + 1) % size]);
                }
            }
        }
    }
    return c;
}

}  // namespace tavlor::sample
