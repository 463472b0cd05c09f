// The snapshot of the large competition: 5,000 registrants and 20,000 pool
// memberships written to disk and read back.
#include "model/DataPacket.h"
#include "model/dbLocal.h"
#include "sample/SampleCompetition.h"
#include "sample/SampleLoader.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <string>

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

// A datapacket of 5 MB, as 2,000 columns or as 3: reading costs the same per
// byte whatever the number of columns.
void BM_ReadWideOrNarrowRows(benchmark::State& state) {
    const int columns = static_cast<int>(state.range(0));
    std::string file = "<?xml version=\"1.0\" standalone=\"yes\"?>  <DATAPACKET Version=\"2.0\"><METADATA><FIELDS>";
    for (int c = 0; c < columns; ++c) {
        file += "<FIELD attrname=\"C" + std::to_string(c) + "\" fieldtype=\"i4\"/>";
    }
    file += "</FIELDS><PARAMS/></METADATA><ROWDATA>";
    while (file.size() < 5'000'000) {
        file += "<ROW";
        for (int c = 0; c < columns; ++c) {
            file += " C" + std::to_string(c) + "=\"" + std::to_string(c * 7 % 1000) + "\"";
        }
        file += "/>";
    }
    file += "</ROWDATA></DATAPACKET>";
    TTable tmp("tmp", {});
    for (auto _ : state) {
        LoadDataPacket(file, "bench.xml", tmp);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(file.size()));
}
BENCHMARK(BM_ReadWideOrNarrowRows)->Arg(3)->Arg(2000)->Unit(benchmark::kMillisecond);

}  // namespace
