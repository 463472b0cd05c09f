// The views of the large competition: what a change of focus in the tree costs.
#include "model/ViewHost.h"
#include "model/dbLocal.h"
#include "ranking/Views.h"
#include "sample/SampleCompetition.h"
#include "sample/SampleLoader.h"

#include <benchmark/benchmark.h>

namespace {

using namespace tavlor;

class TQuietHost : public IViewHost {
public:
    void SetCaptions(const std::string&, const std::string&) override {}
    void ApplyColumnVisibility(const std::vector<TFieldDef>&) override {}
    void ShowBusyCursor() override {}
    void RestoreCursor() override {}
};

struct TLoaded {
    TCompetition Compet;
    TQuietHost Host;
    TdmLocal Dm{Compet};
    TViews Views{Dm, Host};
    std::int32_t FirstPool = 0;
    TLoaded() {
        sample::LoadLists(sample::MakeLargeCompetition(), Compet);
        Dm.Tables.Poules.First();
        FirstPool = Dm.Tables.Poules.AsInteger("IDPOULE");
    }
};

TLoaded& Large() {
    static TLoaded loaded;
    return loaded;
}

void BM_RefreshRegistrantsFolder(benchmark::State& state) {
    TLoaded& l = Large();
    for (auto _ : state) {
        l.Views.RefreshFiltres({NodeRegistrants, -1, -1});
    }
    state.counters["players"] = l.Dm.Tables.FiltreJoueurs.RecordCount();
}
BENCHMARK(BM_RefreshRegistrantsFolder)->Unit(benchmark::kMillisecond);

void BM_RefreshPhase(benchmark::State& state) {
    TLoaded& l = Large();
    for (auto _ : state) {
        l.Views.RefreshFiltres({NodePhase, 2, -1});
    }
    state.counters["rows"] = l.Dm.Tables.FiltreJoueurs.RecordCount();
}
BENCHMARK(BM_RefreshPhase)->Unit(benchmark::kMillisecond);

void BM_RefreshPool(benchmark::State& state) {
    TLoaded& l = Large();
    for (auto _ : state) {
        l.Views.RefreshFiltres({NodePool, l.FirstPool, 1});
    }
}
BENCHMARK(BM_RefreshPool)->Unit(benchmark::kMillisecond);

void BM_GetNbMatchsOfPool(benchmark::State& state) {
    TLoaded& l = Large();
    for (auto _ : state) {
        benchmark::DoNotOptimize(l.Views.GetNbMatchs({NodePool, l.FirstPool, 1}));
    }
}
BENCHMARK(BM_GetNbMatchsOfPool)->Unit(benchmark::kMicrosecond);

}  // namespace
