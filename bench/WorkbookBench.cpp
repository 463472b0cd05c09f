// The workbook writer at the size of a full sheet: 65,535 rows of the match list
// (19 columns: dates, licences, names, integers, averages), laid out the way the
// export lays it out, built in memory then saved as .xls or HTML.
#include "workbook/Workbook.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace tavlor::workbook;

constexpr int kRows = 65535;  // header included

enum class TKind { Integer, Licence, Text, Date, Average };

struct TColumnDef {
    const char* Label;
    TKind Kind;
};

constexpr TColumnDef kColumns[] = {
    {"No Phase", TKind::Integer},     {"Date match", TKind::Date},      {"Billard", TKind::Integer},
    {"Poule", TKind::Integer},        {"Licence J1", TKind::Licence},   {"Joueur 1", TKind::Text},
    {"Pts J1", TKind::Integer},       {"Rep J1", TKind::Integer},       {"Ser J1", TKind::Integer},
    {"Pts Match J1", TKind::Integer}, {"Moy J1", TKind::Average},       {"Licence J2", TKind::Licence},
    {"Joueur 2", TKind::Text},        {"Pts J2", TKind::Integer},       {"Rep J2", TKind::Integer},
    {"Ser J2", TKind::Integer},       {"Pts Match J2", TKind::Integer}, {"Moy J2", TKind::Average},
    {"NOMBD", TKind::Text},
};
constexpr int kColumnCount = static_cast<int>(std::size(kColumns));

TWorkbook BuildMatchList() {
    std::vector<std::string> players;
    for (int i = 0; i < 5000; ++i) {
        players.push_back("Joueur n° " + std::to_string(i) + (i % 7 == 0 ? " Lœb" : " Hervé"));
    }

    TWorkbook book;
    TSheet& sheet = book.AddSheet("Matchs");
    TFont headerFont;
    headerFont.Bold = true;
    const TFont dataFont;
    for (int c = 1; c <= kColumnCount; ++c) {
        const TColumnDef& def = kColumns[c - 1];
        sheet.SetText(1, c, def.Label);
        sheet.SetFont(1, c, headerFont);
        sheet.SetHAlign(1, c, THAlign::Center);
        sheet.SetVAlign(1, c, TVAlign::Center);
        sheet.SetWrap(1, c, true);
        switch (def.Kind) {
            case TKind::Text:
                sheet.SetColumnWidth(c, 25);
                break;
            case TKind::Average:
                sheet.SetColumnWidth(c, 10);
                sheet.SetColumnNumberFormat(c, "#,##0.000");
                break;
            case TKind::Date:
                sheet.SetColumnWidth(c, 11);
                break;
            case TKind::Licence:
                sheet.SetColumnWidth(c, 8);
                sheet.SetColumnNumberFormat(c, "000000");
                break;
            case TKind::Integer:
                sheet.SetColumnWidth(c, 8);
                break;
        }
    }
    for (int r = 2; r <= kRows; ++r) {
        const int m = r - 2;
        for (int c = 1; c <= kColumnCount; ++c) {
            const TColumnDef& def = kColumns[c - 1];
            switch (def.Kind) {
                case TKind::Text:
                    sheet.SetText(r, c,
                                  c == kColumnCount ? "Billard " + std::to_string(m % 12)
                                                    : players[static_cast<std::size_t>((m * 7 + c) % 5000)]);
                    break;
                case TKind::Date:
                    sheet.SetDate(r, c, 38113 + m % 300);
                    break;
                case TKind::Licence:
                    sheet.SetNumber(r, c, 100000 + (m * 13 + c) % 900000);
                    break;
                case TKind::Average:
                    sheet.SetNumber(r, c, (m % 97) / 13.0);
                    break;
                case TKind::Integer:
                    sheet.SetNumber(r, c, (m * c) % 250);
                    break;
            }
            sheet.SetFont(r, c, dataFont);
            sheet.SetHAlign(r, c, def.Kind == TKind::Text || def.Kind == TKind::Date ? THAlign::Left : THAlign::Right);
            if (def.Kind == TKind::Date) {
                sheet.SetNumberFormat(r, c, "dd/mm/yyyy");
                sheet.SetHAlign(r, c, THAlign::Center);
            } else if (def.Kind == TKind::Licence) {
                sheet.SetHAlign(r, c, THAlign::Center);
            }
        }
    }
    return book;
}

std::string BenchPath(const char* name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

void BM_WorkbookBuild65535(benchmark::State& state) {
    for (auto _ : state) {
        TWorkbook book = BuildMatchList();
        benchmark::DoNotOptimize(book.Sheet(0).RowCount());
    }
}
BENCHMARK(BM_WorkbookBuild65535)->Unit(benchmark::kMillisecond);

void BM_WorkbookXls65535(benchmark::State& state) {
    const std::string path = BenchPath("tavlor_bench_workbook.xls");
    for (auto _ : state) {
        BuildMatchList().SaveXls(path);
    }
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    std::filesystem::remove(path);
}
BENCHMARK(BM_WorkbookXls65535)->Unit(benchmark::kMillisecond);

void BM_WorkbookHtml65535(benchmark::State& state) {
    const std::string path = BenchPath("tavlor_bench_workbook.html");
    for (auto _ : state) {
        BuildMatchList().SaveHtml(path);
    }
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    std::filesystem::remove(path);
}
BENCHMARK(BM_WorkbookHtml65535)->Unit(benchmark::kMillisecond);

}  // namespace
