// Writing and reading a full table: a log sheet of 65536 rows x 5 columns and a pairing
// sheet of 65536 rows x 10 columns of table texts. bench/xls_python_compare.py does the
// same with python3-xlwt and python3-xlrd for comparison.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "platform/XlsFile.h"

namespace {

QString TimeText(int row, int col) {
    const int t = 360000000 + row * 2500 + col * 37;
    return QStringLiteral("%1:%2:%3.%4")
        .arg(t / 36000000)
        .arg(t / 600000 % 60, 2, 10, QLatin1Char('0'))
        .arg(t / 10000 % 60, 2, 10, QLatin1Char('0'))
        .arg(t % 10000, 4, 10, QLatin1Char('0'));
}

harvel::WorkbookData FullTable() {
    harvel::WorkbookData data;
    harvel::SheetData pairing{QStringLiteral("DayTime"), {}, std::vector<int>(26, 3450)};
    harvel::SheetData log{QStringLiteral("LastDetection"), {}, {2304, 2304, 2304, 2304, 3450}};
    for (int row = 1; row <= 65536; ++row) {
        for (int col = 1; col <= 10; ++col) {
            pairing.cells.push_back({row, col, TimeText(row, col)});
        }
        log.cells.push_back({row, 1, QStringLiteral(" ")});
        log.cells.push_back({row, 2, QString::number(row % 10000)});
        log.cells.push_back({row, 3, QString::number(row % 10)});
        log.cells.push_back({row, 4, QStringLiteral(" ")});
        log.cells.push_back({row, 5, TimeText(row, 0)});
    }
    data.sheets = {pairing, log};
    return data;
}

void BM_WriteFullTable(benchmark::State& state) {
    const harvel::WorkbookData data = FullTable();
    QTemporaryDir dir;
    for (auto _ : state) {
        harvel::WriteXls(data, dir.filePath(QStringLiteral("full.xls")));
    }
}
BENCHMARK(BM_WriteFullTable)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_ReadFullTable(benchmark::State& state) {
    QTemporaryDir dir;
    harvel::WriteXls(FullTable(), dir.filePath(QStringLiteral("full.xls")));
    for (auto _ : state) {
        auto data = harvel::ReadXls(dir.filePath(QStringLiteral("full.xls")));
        benchmark::DoNotOptimize(data);
    }
}
BENCHMARK(BM_ReadFullTable)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
