// Cost of one debug log line as written (handed to the operating system at once), beside
// the same line left in the stream's buffer.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "tools/Separators.h"
#include "tools/TimeText.h"
#include "tools/ZelLog.h"

namespace {

const char kLine[] =
    "Info:  StartNumber:42 Channel:1 Mode:  Time:369301234 VoraString: 0042  1  10:15:30.1234 00";

void BM_LogLineFlushed(benchmark::State& state) {
    QTemporaryDir dir;
    harvel::ZelLog log;
    log.Open(dir.filePath(QStringLiteral("bench.log")));
    for (auto _ : state) {
        log.WriteLine(kLine);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LogLineFlushed)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_LogLineBuffered(benchmark::State& state) {
    QTemporaryDir dir;
    std::FILE* file = std::fopen(QFile::encodeName(dir.filePath(QStringLiteral("b.log"))), "a");
    const harvel::Separators separators = harvel::SystemSeparators();  // as the log keeps them
    for (auto _ : state) {
        const std::string stamp = harvel::TimeValueToText(
            harvel::CurrentTimeValue(), 3, 12, separators.time, separators.decimal, true);
        std::fwrite(stamp.data(), 1, stamp.size(), file);
        std::fputc('\t', file);
        std::fputs(kLine, file);
        std::fputc('\n', file);
    }
    std::fclose(file);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LogLineBuffered)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
