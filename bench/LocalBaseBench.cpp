// The local base with the large competition: storing it after its download,
// opening it again from the base, and opening the base file at the start.
// The download's own time is BM_DownloadLargeCompetition, in the same run.
#include "SilentPorts.h"

#include "fedserver/FedServer.h"
#include "model/dbFb.h"
#include "model/dbLocal.h"
#include "server/www.h"

#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace {

using namespace tavlor;

// The large competition downloaded once from the stand-in server, and a
// local base in a folder of its own that holds it.
struct TDownloaded {
    std::string Folder;
    fedserver::TFedServer Server{fedserver::TFedServerOptions{true}};
    TCompetition Compet;
    TdmLocal Dm{Compet};
    bench::TNoWindow Window;
    bench::TNoBoxes Boxes;
    bench::TNoShell Shell;
    TwwwFrm Www{Compet, Window, Boxes, Shell};
    TdmFb Fb{Compet, Dm, Boxes};

    TDownloaded() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tavlor-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no temporary folder");
        Folder = pattern;
        Server.Start(0);
        Fb.DataFolder = Folder;
        if (!Fb.OpenDb()) throw std::runtime_error("no local base");
        Www.OnLoaded = [this](const std::string& address) { Fb.StoreDownload(address); };
        Www.LoadCompet(Server.BaseUrl("3bandes"), 4242, "FFB 2026 Championnat de France - Grande compétition");
    }
    ~TDownloaded() {
        Fb.CloseDb();
        std::error_code ignored;
        std::filesystem::remove_all(Folder, ignored);
    }
};

TDownloaded& Downloaded() {
    static TDownloaded downloaded;
    return downloaded;
}

void BM_StoreLargeCompetition(benchmark::State& state) {
    TDownloaded& d = Downloaded();
    for (auto _ : state) {
        if (!d.Fb.StoreCompet()) state.SkipWithError("not stored");
    }
    state.counters["rows"] = static_cast<double>(d.Dm.Tables.Matchs.RecordCount() + d.Dm.Tables.Joueurs.RecordCount() +
                                                 d.Dm.Tables.Inscrits.RecordCount() + d.Dm.Tables.Poules.RecordCount());
}
BENCHMARK(BM_StoreLargeCompetition)->Unit(benchmark::kMillisecond);

void BM_OpenLargeCompetitionFromTheBase(benchmark::State& state) {
    TDownloaded& d = Downloaded();
    // A program of its own, which never reaches the server.
    TCompetition compet;
    TdmLocal dm(compet);
    bench::TNoBoxes boxes;
    TdmFb fb(compet, dm, boxes);
    fb.DataFolder = d.Folder;
    fb.OpenDb();
    for (auto _ : state) {
        fb.LoadCompetDb(4242, "");
    }
    state.counters["matches"] = dm.Tables.Matchs.RecordCount();
}
BENCHMARK(BM_OpenLargeCompetitionFromTheBase)->Unit(benchmark::kMillisecond);

// The start: the base file opened and checked, holding the large competition.
void BM_OpenTheBaseHoldingTheLargeCompetition(benchmark::State& state) {
    TDownloaded& d = Downloaded();
    for (auto _ : state) {
        TLocalBase base;
        base.Open(d.Fb.BasePath());
        benchmark::DoNotOptimize(base.List());
    }
}
BENCHMARK(BM_OpenTheBaseHoldingTheLargeCompetition)->Unit(benchmark::kMillisecond);

}  // namespace
