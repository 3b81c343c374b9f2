// 100,000 backup lines written into a pseudo-terminal as fast as it takes them, read by
// the serial link on the event loop; every line must arrive uncorrupted. The device's
// limit is a 115200-baud line: about 384 lines of 30 bytes a second.
#include <benchmark/benchmark.h>

#include <pty.h>
#include <termios.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <thread>

#include "BackupStream.h"
#include "links/ZedComThread.h"

namespace {

constexpr int kLines = 100000;

void BM_SerialLinkThroughPty(benchmark::State& state) {
    const std::string stream = harvel::bench::BackupStream(kLines, 37);
    for (auto _ : state) {
        int master = -1;
        int slave = -1;
        char name[256] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
            state.SkipWithError("no pty");
            return;
        }
        termios tio{};
        tcgetattr(slave, &tio);
        cfmakeraw(&tio);
        tcsetattr(slave, TCSANOW, &tio);
        ::close(slave);

        harvel::TZedComThread link;
        link.SetDeviceName(QString::fromLocal8Bit(name));
        int received = 0;
        bool corrupted = false;
        link.SetOnVoraBackupReceived([&](harvel::TZedComThread&, const harvel::Impulse& impulse) {
            if (impulse.StartNumber != received % 10000 || impulse.Channel != received % 10 ||
                impulse.Time != harvel::bench::StreamTime(received, 37)) {
                corrupted = true;
            }
            ++received;
        });
        link.OpenPort();

        const auto start = std::chrono::steady_clock::now();
        std::thread writer([&] {
            std::size_t done = 0;
            while (done < stream.size()) {
                const ssize_t n = ::write(master, stream.data() + done, stream.size() - done);
                if (n > 0)
                    done += static_cast<std::size_t>(n);
            }
        });
        while (received < kLines && !corrupted) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        writer.join();
        state.SetIterationTime(elapsed.count());
        link.ClosePort();
        ::close(master);
        if (corrupted || received != kLines) {
            state.SkipWithError("lines lost or corrupted");
        }
    }
    state.SetItemsProcessed(state.iterations() * kLines);
    state.counters["x_115200_baud"] = benchmark::Counter(
        static_cast<double>(state.iterations() * kLines) / 384.0, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SerialLinkThroughPty)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
