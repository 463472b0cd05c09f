// The store's registrant handlers and the table facility at the size of a
// large competition: 5,000 registrants, 20,000 pool memberships.
#include "model/dbLocal.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

namespace {

using namespace tavlor;

constexpr int Registrants = 5000;

void BM_AddInscrit5000(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto compet = std::make_unique<TCompetition>();
        auto dm = std::make_unique<TdmLocal>(*compet);
        compet->Chargement = true;
        state.ResumeTiming();
        for (int i = 0; i < Registrants; ++i) {
            compet->AddInscrit(100000 + i * 7, -1, "Joueur numéro " + std::to_string(i));
        }
        state.PauseTiming();
        dm.reset();
        compet.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AddInscrit5000)->Unit(benchmark::kMillisecond);

void BM_Post20000WithLocate(benchmark::State& state) {
    std::mt19937 rng(7);
    for (auto _ : state) {
        state.PauseTiming();
        TTable t("Joueurs",
                 {IntegerField("IDPHASE"), IntegerField("IDPOULE"), IntegerField("LICENCE"), IntegerField("NODE"),
                  IntegerField("RGA")},
                 {{"IDPHPO", {{"IDPHASE"}, {"IDPOULE"}}}});
        t.SetIndexName("IDPHPO");
        state.ResumeTiming();
        for (int i = 0; i < 20000; ++i) {
            const int pool = static_cast<int>(rng() % 1000);
            const int licence = static_cast<int>(rng() % 5000);
            t.Append();
            t.SetInteger("IDPHASE", pool / 250);
            t.SetInteger("IDPOULE", pool);
            t.SetInteger("LICENCE", licence);
            t.SetInteger("RGA", i % 8 + 1);
            t.Post();
            benchmark::DoNotOptimize(t.Locate("IDPOULE;LICENCE", {pool, licence}));
        }
    }
}
BENCHMARK(BM_Post20000WithLocate)->Unit(benchmark::kMillisecond);

void BM_EditInscritAmong5000(benchmark::State& state) {
    TCompetition compet;
    TdmLocal dm(compet);
    for (int i = 0; i < Registrants; ++i) {
        compet.AddInscrit(100000 + i, -1, "Joueur " + std::to_string(i));
    }
    std::mt19937 rng(11);
    for (auto _ : state) {
        const int licence = 100000 + static_cast<int>(rng() % Registrants);
        const int rank = 1 + static_cast<int>(rng() % Registrants);
        benchmark::DoNotOptimize(compet.EditInscrit(licence, rank));
    }
}
BENCHMARK(BM_EditInscritAmong5000)->Unit(benchmark::kMillisecond);

}  // namespace
