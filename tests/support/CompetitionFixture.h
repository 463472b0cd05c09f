#pragma once

#include "model/dbLocal.h"
#include "sample/SampleCompetition.h"
#include "sample/SampleLoader.h"
#include "support/FakeViewHost.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tavlor::test {

// A competition written by hand as the server's lists, then built in memory
// through the store handlers as the download builds it (sample::LoadLists).
// Tests describe pools and matches, call Load(), then work on Dm and Compet.
class TCompetitionFixture : public ::testing::Test {
protected:
    TCompetition Compet;
    TFakeViewHost Host;
    TdmLocal Dm{Compet};
    sample::TSampleCompetition Lists;
    // Names of the players by licence; "Joueur <licence>" when not given.
    std::map<std::int32_t, std::string> Names;

    sample::TSamplePool& Pool(std::int32_t id, std::int32_t phase, const std::string& name, std::int32_t formula = 0);
    // A match of the pool, by default won 30 to 20 in 25 innings by player 1.
    sample::TSampleMatch& Match(std::int32_t id, std::int32_t pool, std::int32_t licence1, std::int32_t licence2);
    void Load();
    // Lists loaded as competition number id of the discipline, framed as the
    // download frames them: OnClear (snapshot of the competition left, tables
    // emptied), the lists through the store handlers, the controller naming
    // the new competition, OnAfterLoad (its snapshot merged, tree sorted).
    void Download(std::int32_t id, const std::string& discipline);

    // What the store holds, read back.
    std::vector<std::int32_t> TreeMembers(std::int32_t pool);           // licences of the pool node's children
    std::map<std::int32_t, std::int32_t> PoolRanks(std::int32_t pool);  // licence -> RGA
    std::int32_t PoolPhase(std::int32_t pool);
    TNodeHandle PoolNode(std::int32_t pool);
    TNodeHandle PhaseNode(std::int32_t phase);
    int CountRows(TTable& table, const std::string& filter);
    // Registers a player and puts him in a pool outside any load.
    void Place(std::int32_t licence, std::int32_t pool, const std::string& name = "");
};

}  // namespace tavlor::test
