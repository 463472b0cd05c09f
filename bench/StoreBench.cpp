// The store at the size of a large competition: 5,000 registrants, 1,000 pools
// in 4 phases, 20,000 matches, built as the download builds it.
#include "model/dbLocal.h"
#include "sample/SampleCompetition.h"
#include "sample/SampleLoader.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace tavlor;

const sample::TSampleCompetition& Large() {
    static const sample::TSampleCompetition lists = sample::MakeLargeCompetition();
    return lists;
}

void BM_BuildLargeCompetition(benchmark::State& state) {
    const auto& lists = Large();
    for (auto _ : state) {
        state.PauseTiming();
        auto compet = std::make_unique<TCompetition>();
        auto dm = std::make_unique<TdmLocal>(*compet);
        state.ResumeTiming();
        sample::LoadLists(lists, *compet);
        state.PauseTiming();
        dm.reset();
        compet.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BuildLargeCompetition)->Unit(benchmark::kMillisecond);

// A round-robin pool of 8 members and 28 matches moved to an empty phase and
// back, through the controller (the server side answers at once).
void BM_MovePoolOf8With28Matches(benchmark::State& state) {
    TCompetition compet;
    TdmLocal dm(compet);
    sample::LoadLists(Large(), compet);
    compet.Connexion = TConnexion::LocalBase;
    compet.Server.EditPoule = [](TParamTable&) { return true; };
    compet.AddPhase(5, "Phase 5");
    dm.Tables.Poules.First();
    const std::int32_t pool = dm.Tables.Poules.AsInteger("IDPOULE");
    const std::int32_t home = dm.Tables.Poules.AsInteger("IDPHASE");
    bool away = false;
    for (auto _ : state) {
        if (!compet.MovePoule(pool, away ? home : 5)) {
            state.SkipWithError(compet.LastError.c_str());
            break;
        }
        away = !away;
    }
}
BENCHMARK(BM_MovePoolOf8With28Matches)->Unit(benchmark::kMillisecond);

}  // namespace
