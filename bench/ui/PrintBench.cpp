// The general ranking of the large competition (5,000 players, 20,000
// matches) printed to a PDF file, offscreen: what the user waits for after
// "Exporter vers PDF".
#include "model/dbLocal.h"
#include "sample/SampleCompetition.h"
#include "sample/SampleLoader.h"
#include "ui/main/MainFrm.h"
#include "ui/main/PhaseTree.h"
#include "ui/print/ListsPrint.h"
#include "ui/print/ShownLists.h"

#include "BenchFakes.h"

#include <QApplication>
#include <QFileInfo>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace tavlor;

// The main window over the large competition, its registrants folder focused.
struct TLargeWindow {
    bench::TSilentProgram Silent;
    ui::TProgram& Program = *Silent.Program;
    QTemporaryDir& Dir = Silent.Dir;

    TLargeWindow() {
        const sample::TSampleCompetition large = sample::MakeLargeCompetition();
        TCompetition& compet = Program.Compet();
        compet.DoClear();
        sample::LoadLists(large, compet);
        compet.SetIdCompet(4242);
        compet.DoAfterLoad();
        Program.Main().TreePhases()->FocusNode(Program.Dm().RegistrantsNode);
    }
    // What the window shows: the registrants folder's lists.
    std::unique_ptr<ui::TListsPrint> Print() {
        return ui::ShownListsPrint(Program.Export(), Program.Views(), Program.Compet(), TElement{NodeRegistrants});
    }
};

// Made on first use, and gone while the application still exists.
TLargeWindow* LargeWindow = nullptr;
TLargeWindow& Large() {
    if (LargeWindow == nullptr) {
        LargeWindow = new TLargeWindow;
        qAddPostRoutine([] {
            delete LargeWindow;
            LargeWindow = nullptr;
        });
    }
    return *LargeWindow;
}

// From the command to the file written: the lists as the export builds them,
// their texts, the layout and the pages painted.
void BM_PdfOfTheGeneralRanking(benchmark::State& state) {
    TLargeWindow& w = Large();
    const std::string pdf = (w.Dir.path() + QStringLiteral("/classement.pdf")).toStdString();
    int pages = 0;
    std::size_t rows = 0;
    for (auto _ : state) {
        const std::unique_ptr<ui::TListsPrint> print = w.Print();
        if (!print) {
            state.SkipWithError("nothing to print");
            return;
        }
        rows = 0;
        for (std::size_t l = 0; l < print->ListCount(); ++l) rows += print->RowCount(l) - 1;
        ui::WriteListsPdf(*print, pdf);
    }
    // The page count, read back from a second rendering.
    if (const auto print = w.Print()) {
        QPdfWriter probe((w.Dir.path() + QStringLiteral("/probe.pdf")));
        probe.setPageSize(QPageSize(QPageSize::A4));
        probe.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
        probe.setPageOrientation(print->BestOrientation(probe));
        pages = print->Paint(probe);
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["pages"] = pages;
    state.counters["MB"] = static_cast<double>(QFileInfo(QString::fromStdString(pdf)).size()) / 1e6;
}
BENCHMARK(BM_PdfOfTheGeneralRanking)->Unit(benchmark::kMillisecond)->Iterations(2);

// The part before any painting: the export's workbook and the printed texts.
void BM_PrintTextsOfTheGeneralRanking(benchmark::State& state) {
    TLargeWindow& w = Large();
    for (auto _ : state) {
        benchmark::DoNotOptimize(w.Print());
    }
}
BENCHMARK(BM_PrintTextsOfTheGeneralRanking)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
