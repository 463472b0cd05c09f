// The download of the large competition from the stand-in server over
// loopback, and the reading of its 20,000-match reply alone.
#include "SilentPorts.h"

#include "fedserver/FedServer.h"
#include "model/dbLocal.h"
#include "server/www.h"

#include <benchmark/benchmark.h>

namespace {

using namespace tavlor;

using bench::TNoBoxes;
using bench::TNoShell;
using bench::TNoWindow;

fedserver::TFedServer& LargeServer() {
    static fedserver::TFedServer server(fedserver::TFedServerOptions{true});
    static const int port = server.Start(0);
    (void)port;
    return server;
}

void BM_DownloadLargeCompetition(benchmark::State& state) {
    fedserver::TFedServer& server = LargeServer();
    TCompetition compet;
    TdmLocal dm(compet);
    TNoWindow window;
    TNoBoxes boxes;
    TNoShell shell;
    TwwwFrm www(compet, window, boxes, shell);
    www.SetBaseUrl(server.BaseUrl("3bandes"));
    for (auto _ : state) {
        www.LoadCompet(4242, "FFB 2026 Championnat de France - Grande compétition");
    }
    state.counters["matches"] = dm.Tables.Matchs.RecordCount();
}
BENCHMARK(BM_DownloadLargeCompetition)->Unit(benchmark::kMillisecond);

void BM_ReadTheMatchReply(benchmark::State& state) {
    fedserver::TFedServer& server = LargeServer();
    TCompetition compet;
    TNoWindow window;
    TNoBoxes boxes;
    TNoShell shell;
    TwwwFrm www(compet, window, boxes, shell);
    www.SetBaseUrl(server.BaseUrl("3bandes"));
    const std::string data = www.PostForm("/getlists.php", {"ACTION=listematchs", "NOCOMPET=4242"}).Data;
    for (auto _ : state) {
        std::size_t n = 0;
        for (auto& fields : TwwwFrm::SplitRecords(data)) {
            benchmark::DoNotOptimize(www.ParseMatchRecord(fields));
            ++n;
        }
        state.counters["records"] = static_cast<double>(n);
    }
    state.counters["bytes"] = static_cast<double>(data.size());
}
BENCHMARK(BM_ReadTheMatchReply)->Unit(benchmark::kMillisecond);

}  // namespace
