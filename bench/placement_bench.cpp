// Cost of placing one impulse into the two sheets, at the end of a full run of 65536
// impulses on 10 channels: the model alone, and with the grid widget attached and its
// events processed after every impulse as the event loop would.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTableView>
#include <chrono>
#include <memory>

#include "app/ImpulsePlacement.h"
#include "platform/SheetModel.h"
#include "platform/TF1Book.h"
#include "platform/Workbook.h"
#include "rareze/Impulse.h"

namespace {

constexpr int kImpulses = 65536;
constexpr int kMeasured = 1024;  // the last ones of the run

harvel::Impulse NthImpulse(int n) {
    // Start and finish pairs a few seconds apart on ten channels.
    return harvel::Impulse{' ', n % 10000, n % 10, ' ', 360000000 + n * 2500, {}};
}

// Attached: the grid's events are processed after every impulse while its view stays on
// the first rows. Watching: the view also shows the newest pairing rows, so each placed
// time is painted as a user following the race would see it.
enum class Grid { None, Attached, Watching };

void RunPlacement(benchmark::State& state, Grid mode) {
    const bool withGrid = mode != Grid::None;
    const harvel::Separators separators{':', '.'};
    for (auto _ : state) {
        std::unique_ptr<harvel::TF1Book> grid;
        std::unique_ptr<harvel::Workbook> bare;
        if (withGrid) {
            grid = std::make_unique<harvel::TF1Book>();
            grid->resize(1024, 700);
            grid->show();
        } else {
            bare = std::make_unique<harvel::Workbook>();
        }
        harvel::Workbook& book = grid ? grid->Book() : *bare;
        book.InsertSheets(2, 1);
        harvel::TableState table;
        harvel::WriteColumnHeaders(book, table);
        const auto place = [&](int n) {
            harvel::PlaceImpulse(book, table, NthImpulse(n), separators);
            if (grid) {
                // A user watching the newest rows pages down when they leave the view.
                QTableView* view = grid->View();
                const QModelIndex newest = grid->Model()->index(table.DayTimeRow - 1, 0);
                if (mode == Grid::Watching &&
                    !view->viewport()->rect().contains(view->visualRect(newest))) {
                    view->scrollTo(newest, QAbstractItemView::PositionAtTop);
                }
                QCoreApplication::processEvents();
            }
        };
        for (int n = 0; n < kImpulses - kMeasured; ++n) {
            harvel::PlaceImpulse(book, table, NthImpulse(n), separators);
        }
        const auto start = std::chrono::steady_clock::now();
        for (int n = kImpulses - kMeasured; n < kImpulses; ++n) {
            place(n);
        }
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(elapsed.count() / kMeasured);
        if (table.LastDetectionRow != kImpulses + 1) {
            state.SkipWithError("impulses lost");
        }
    }
}

void BM_PlaceImpulseModelOnly(benchmark::State& state) {
    RunPlacement(state, Grid::None);
}
BENCHMARK(BM_PlaceImpulseModelOnly)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_PlaceImpulseWithGrid(benchmark::State& state) {
    RunPlacement(state, Grid::Attached);
}
BENCHMARK(BM_PlaceImpulseWithGrid)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_PlaceImpulseWithGridWatching(benchmark::State& state) {
    RunPlacement(state, Grid::Watching);
}
BENCHMARK(BM_PlaceImpulseWithGridWatching)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
