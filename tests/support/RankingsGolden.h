#pragma once

#include "support/CompetitionFixture.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tavlor::test {

// One expected view of tests/data/rankings_golden.txt.
struct TExpectedView {
    int Line = 0;
    TNodeKind Kind = NodePhase;
    std::int32_t Id = 0, Parent = 0;
    std::string RankingCaption, MatchesCaption;
    std::vector<std::string> Columns;
    std::vector<std::vector<std::string>> Players;  // IDPHASE ... MPART, then the win-rate text
    std::vector<std::string> Matches;
};

// The competition worked out by hand in tests/data/rankings_golden.txt, built
// as the download builds it, then completed by hand as the file says.
class TRankingsGoldenFixture : public TCompetitionFixture {
protected:
    std::vector<TExpectedView> Views;
    // Reads the file into Lists and Views; Build() then loads it.
    void ReadGolden();
    void Build();
    void SetUp() override {
        ReadGolden();
        Build();
    }

private:
    std::vector<std::vector<std::string>> Registrations_, Memberships_;
};

}  // namespace tavlor::test
