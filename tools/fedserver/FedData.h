#pragma once

#include "sample/SampleCompetition.h"

#include <cstdint>
#include <string>
#include <vector>

// The stand-in federation's data: its licensed players, the officials who may
// log in, and the competitions of each discipline. Texts are UTF-8.
namespace tavlor::fedserver {

struct TRosterPlayer {
    std::int32_t Licence = 0;
    std::string Nom;
    std::string Club;
    std::string Ville;
};

struct TUser {
    std::int32_t Id = 0;
    std::string Nom;
    std::string Password;  // hashed as Windows-1252 bytes
};

// A competition as listed: three short texts and its name start the title the
// client builds ("Saison Niveau Categorie - Nom"); the place is shown only.
struct TServedCompetition {
    std::string Saison;
    std::string Niveau;
    std::string Categorie;
    std::string Nom;
    std::string Lieu;
    sample::TSampleCompetition Data;
};

struct TDiscipline {
    std::string Path;  // "3bandes", "cadre", "bande", "libre"
    std::vector<TServedCompetition> Competitions;
};

struct TFederation {
    std::vector<sample::TSampleBillard> Billards;
    std::vector<TDiscipline> Disciplines;
    std::vector<TRosterPlayer> Players;
    std::vector<TUser> Users;
};

// The sample federation, the same on every call. With `large`, the large
// competition of the benchmarks is served too, under /3bandes, and its
// players can be searched.
TFederation MakeFederation(bool large);

// Splits "A B C - D" into the four parts of a listed title: A, B, the rest
// before " - ", and what follows it.
TServedCompetition ServedFromTitle(sample::TSampleCompetition competition, std::string lieu);

}  // namespace tavlor::fedserver
