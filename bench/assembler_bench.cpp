// Backup lines through the serial assemblers, cut into chunks of 1 to 64 bytes.
// A 115200-baud line (8N1, 11520 bytes/s) carries at most ~384 lines of 30 bytes a second.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "BackupStream.h"
#include "rareze/SerialInputAssembler.h"
#include "rareze/UsbLineParser.h"

namespace {

constexpr int kLines = 1000000;

std::vector<std::size_t> MakeChunkSizes(std::size_t total) {
    std::mt19937 random(42);
    std::uniform_int_distribution<std::size_t> size(1, 64);
    std::vector<std::size_t> sizes;
    for (std::size_t used = 0; used < total;) {
        sizes.push_back(size(random));
        used += sizes.back();
    }
    return sizes;
}

void BM_BackupLinesThroughAssemblers(benchmark::State& state) {
    const std::string stream = harvel::bench::BackupStream(kLines, 137);
    const std::vector<std::size_t> sizes = MakeChunkSizes(stream.size());
    long long received = 0;
    for (auto _ : state) {
        harvel::SerialInputAssembler input;
        int count = 0;
        input.BackupLines().SetHandler([&](const harvel::Impulse& impulse) {
            benchmark::DoNotOptimize(impulse.Time);
            ++count;
        });
        std::size_t pos = 0;
        for (const std::size_t size : sizes) {
            if (pos >= stream.size())
                break;
            input.Feed(std::string_view(stream).substr(pos, size));
            pos += size;
        }
        if (count != kLines) {
            state.SkipWithError("lines lost");
        }
        received += count;
    }
    state.SetItemsProcessed(received);
    state.counters["x_115200_baud"] =
        benchmark::Counter(static_cast<double>(received) / 384.0, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BackupLinesThroughAssemblers)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_UsbParser(benchmark::State& state) {
    const std::string line = " 0042  1  10:15:30.1234   \r\n";
    for (auto _ : state) {
        auto impulse = harvel::ParseUsbText(line);
        benchmark::DoNotOptimize(impulse);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_UsbParser);

}  // namespace
