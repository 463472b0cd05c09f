// The main window over the large competition (5,000 registrants, 1,000 pools,
// 20,000 matches), offscreen: what the user waits for after a download, on a
// change of focus, and while scrolling the match list.
#include "model/dbLocal.h"
#include "sample/SampleCompetition.h"
#include "sample/SampleLoader.h"
#include "ui/main/MainFrm.h"
#include "ui/main/MatchList.h"
#include "ui/main/PhaseTree.h"
#include "ui/models/TableModel.h"

#include "BenchFakes.h"

#include <QApplication>
#include <QCoreApplication>
#include <QScrollBar>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

namespace {

using namespace tavlor;
using Clock = std::chrono::steady_clock;

struct TWindow {
    bench::TSilentProgram Silent;
    ui::TMainFrm& Main = Silent.Program->Main();
    TCompetition& Compet = Silent.Program->Compet();
    TdmLocal& Dm = Silent.Program->Dm();
    sample::TSampleCompetition Large = sample::MakeLargeCompetition();

    TWindow() {
        Main.resize(1100, 720);
        Main.show();
        QApplication::processEvents();
    }
    // A download's steps: the tables emptied and the tree's update begun, the
    // lists added, then (unless stopped before) the after-load step.
    void Load(bool stopBeforeAfterLoad = false) {
        Compet.DoClear();
        sample::LoadLists(Large, Compet);
        Compet.SetIdCompet(4242);
        if (!stopBeforeAfterLoad) Compet.DoAfterLoad();
    }
    // The tree laid out and painted, as the screen shows it.
    void Paint() {
        Main.TreePhases()->doItemsLayout();
        Main.TreePhases()->viewport()->grab();
        Main.GridClasst()->viewport()->grab();
        Main.GridMatchs()->viewport()->grab();
    }
};

// Made on first use and destroyed with the application, before Qt goes.
TWindow* TheWindow = nullptr;

TWindow& Window() {
    if (TheWindow == nullptr) {
        TheWindow = new TWindow;
        qAddPostRoutine([] {
            delete TheWindow;
            TheWindow = nullptr;
        });
    }
    return *TheWindow;
}

// From the end of the download (the after-load step: snapshot merge, sorting,
// the tree's update ended) to the tree model reset and the tree painted.
void BM_TreeReadyAfterDownload(benchmark::State& state) {
    TWindow& w = Window();
    for (auto _ : state) {
        w.Load(true);
        const Clock::time_point start = Clock::now();
        w.Compet.DoAfterLoad();
        w.Paint();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    state.counters["nodes"] = static_cast<double>(w.Dm.Tree.Count());
}
BENCHMARK(BM_TreeReadyAfterDownload)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// Focusing the registrants folder: the general view computed and both
// models reset (the first painting included).
void BM_FocusRegistrantsFolder(benchmark::State& state) {
    TWindow& w = Window();
    if (w.Dm.Tree.Count() == 0) w.Load();
    ui::TPhaseTree& tree = *w.Main.TreePhases();
    const TNodeHandle folder = w.Dm.Tree.FirstTopLevel();
    const TNodeHandle phase = w.Dm.Tree.Child(0, 1);
    for (auto _ : state) {
        state.PauseTiming();
        tree.FocusNode(phase);
        state.ResumeTiming();
        tree.FocusNode(folder);
        w.Paint();
    }
    state.counters["players"] = w.Main.GridModel()->rowCount();
    state.counters["matches"] = w.Main.GridMatchs()->Grid().PanelCount();
    state.counters["matchs_table"] = w.Dm.Tables.Matchs.RecordCount();
}
BENCHMARK(BM_FocusRegistrantsFolder)->Unit(benchmark::kMillisecond);

// The 20,000 panels, page after page from the top to the bottom, each page painted.
void BM_ScrollMatchList(benchmark::State& state) {
    TWindow& w = Window();
    if (w.Dm.Tree.Count() == 0) w.Load();
    w.Main.TreePhases()->FocusNode(w.Dm.Tree.FirstTopLevel());
    ui::TMatchList& list = *w.Main.GridMatchs();
    QScrollBar* bar = list.verticalScrollBar();
    std::int64_t pages = 0;
    for (auto _ : state) {
        for (int v = 0; v <= bar->maximum(); v += std::max(1, bar->pageStep())) {
            bar->setValue(v);
            list.viewport()->grab();
            ++pages;
        }
    }
    state.counters["pages"] = benchmark::Counter(static_cast<double>(pages), benchmark::Counter::kAvgIterations);
    state.counters["per_page_us"] =
        benchmark::Counter(static_cast<double>(pages), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["panels"] = list.Grid().PanelCount();
}
BENCHMARK(BM_ScrollMatchList)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
