// The snapshot of the large competition: 5,000 registrants and 20,000 pool
// memberships written to disk and read back.
#include "model/DataPacket.h"
#include "model/dbLocal.h"
#include "sample/SampleCompetition.h"
#include "sample/SampleLoader.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

using namespace tavlor;

void BM_SnapshotWriteAndReadBack(benchmark::State& state) {
    TCompetition compet;
    TdmLocal dm(compet);
    sample::LoadLists(sample::MakeLargeCompetition(), compet);
    const std::string folder = (std::filesystem::temp_directory_path() / "tavlor-bench-snapshot").string();
    std::filesystem::create_directories(folder);
    dm.DataFolder = folder;
    compet.SetDiscipline("3Bandes");
    compet.SetIdCompet(4242);
    for (auto _ : state) {
        dm.SaveSnapshot();
        for (const char* table : {"Phases", "Inscrits", "Joueurs"}) {
            LoadDataPacketFile(dm.SnapshotPath(table), dm.Tables.tmp);
        }
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(dm.SnapshotPath("Joueurs")) +
                                                  std::filesystem::file_size(dm.SnapshotPath("Inscrits")));
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_SnapshotWriteAndReadBack)->Unit(benchmark::kMillisecond);

}  // namespace
