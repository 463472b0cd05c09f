// The snapshot merge at the end of a download: the large competition (5,000
// registrants, 20,000 matches) and the same shape 40 times over.
//   Reload: the same competition downloaded again; every snapshot row is
//     already in memory (ranks rewritten, members located).
//   ByHand: the download brings the pools alone; every registrant and
//     membership comes from the snapshot (players entered by hand).
#include "model/dbLocal.h"
#include "sample/SampleCompetition.h"
#include "sample/SampleLoader.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

namespace {

using namespace tavlor;

struct TMergeCase {
    sample::TSampleCompetition Full;
    sample::TSampleCompetition PoolsOnly;
    std::string Folder;
    TCompetition Compet;
    std::unique_ptr<TdmLocal> Dm;

    explicit TMergeCase(int scale) {
        sample::TLargeShape shape;
        shape.Registrants *= scale;
        shape.PoolsPerPhase *= scale;
        shape.Matches *= scale;
        shape.RoundRobinPoolsPerPhase *= scale;
        Full = sample::MakeLargeCompetition(shape);
        PoolsOnly = Full;
        PoolsOnly.Matches.clear();
        Folder = (std::filesystem::temp_directory_path() / ("tavlor-bench-merge-" + std::to_string(scale))).string();
        std::filesystem::create_directories(Folder);
        Dm = std::make_unique<TdmLocal>(Compet);
        Dm->DataFolder = Folder;
        Compet.SetDiscipline("3Bandes");
        sample::LoadLists(Full, Compet);
        Compet.SetIdCompet(4242);
        Dm->SaveSnapshot();
        Compet.SetIdCompet(-1);  // the snapshot written once, never again
    }
    ~TMergeCase() { std::filesystem::remove_all(Folder); }

    // The download's lists in fresh tables, as before the merge.
    void Download(const sample::TSampleCompetition& lists) {
        Compet.SetIdCompet(-1);
        Compet.DoClear();
        sample::LoadLists(lists, Compet);
        Compet.SetIdCompet(4242);
    }
    void EndLoad() {
        Dm->Tree.EndUpdate();
        Compet.Chargement = false;
    }
};

TMergeCase& Case(int scale) {
    static std::unique_ptr<TMergeCase> cases[2];
    std::unique_ptr<TMergeCase>& c = cases[scale == 1 ? 0 : 1];
    if (!c) {
        cases[scale == 1 ? 1 : 0].reset();  // one case in memory at a time
        c = std::make_unique<TMergeCase>(scale);
    }
    return *c;
}

void RunMerge(benchmark::State& state, bool byHand) {
    TMergeCase& c = Case(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        c.Download(byHand ? c.PoolsOnly : c.Full);
        state.ResumeTiming();
        c.Dm->RestoreSnapshot();
        state.PauseTiming();
        c.EndLoad();
        state.ResumeTiming();
    }
    state.counters["registrants"] = static_cast<double>(c.Dm->Tables.Inscrits.Data().RowCount());
    state.counters["members"] = static_cast<double>(c.Dm->Tables.Joueurs.Data().RowCount());
}

void BM_SnapshotMergeReload(benchmark::State& state) {
    RunMerge(state, false);
}
void BM_SnapshotMergeByHand(benchmark::State& state) {
    RunMerge(state, true);
}

BENCHMARK(BM_SnapshotMergeReload)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_SnapshotMergeByHand)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_SnapshotMergeReload)->Arg(40)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_SnapshotMergeByHand)->Arg(40)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
