// The serial port component on a pseudo-terminal, the way the program uses
// it: an event thread handing received bytes to the user-interface thread.
// - IdlePortCpu: processor time the process uses per second while an open
//   port waits for bytes that never come (goal: about zero).
// - RxCharLatency: from the far end writing a byte to OnRxChar running on
//   the user-interface thread (median and 99th percentile).
// - CommandRoundTrips: 1000 commands, each answered by a prompt line.

#include "core/link/SwitchLine.h"
#include "core/serial/ComPort.h"
#include "core/serial/PortNames.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// The far end of the line: the master side of a pseudo-terminal.
struct FarEnd {
    int master = -1;
    std::string slave;

    FarEnd()
    {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
            std::abort();
        slave = ptsname(master);
        termios raw{};
        tcgetattr(master, &raw);
        cfmakeraw(&raw);
        tcsetattr(master, TCSANOW, &raw);
    }
    ~FarEnd() { close(master); }
};

std::unique_ptr<TComPort> openPort(const FarEnd& far)
{
    PortNames names;
    names.map(1, far.slave);
    auto port = std::make_unique<TComPort>(CreatePlatformCommDevice(names));
    SetSwitchLineSettings(*port);
    return port;
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void pumpUntil(const std::function<bool()>& done)
{
    QDeadlineTimer deadline(5000);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
}

void BM_IdlePortCpu(benchmark::State& state)
{
    FarEnd far;
    auto port = openPort(far);
    port->OpenPort();
    for (auto _ : state) {
        const double before = cpuSeconds();
        std::this_thread::sleep_for(std::chrono::seconds(1));
        state.counters["cpu_ms_per_s"] = (cpuSeconds() - before) * 1000.0;
    }
}
BENCHMARK(BM_IdlePortCpu)->Iterations(2)->Unit(benchmark::kMillisecond);

void BM_RxCharLatency(benchmark::State& state)
{
    FarEnd far;
    auto port = openPort(far);
    std::atomic<bool> raised = false;
    port->OnRxChar = [&](TCustomComPort* sender, int count) {
        std::vector<char> buffer(static_cast<std::size_t>(count));
        sender->ReadBytes(buffer.data(), count);
        raised = true;
    };
    port->OpenPort();
    std::vector<double> micros;
    for (auto _ : state) {
        raised = false;
        const auto start = Clock::now();
        if (write(far.master, "x", 1) != 1)
            std::abort();
        pumpUntil([&] { return raised.load(); });
        micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    std::sort(micros.begin(), micros.end());
    state.counters["median_us"] = micros[micros.size() / 2];
    state.counters["p99_us"] = micros[micros.size() * 99 / 100];
}
BENCHMARK(BM_RxCharLatency)->Iterations(500)->Unit(benchmark::kMicrosecond);

void BM_CommandRoundTrips(benchmark::State& state)
{
    FarEnd far;
    std::atomic<bool> stop = false;
    // The far end answers every command line with a prompt.
    std::thread answering([&] {
        char byte = 0;
        pollfd fd{far.master, POLLIN, 0};
        while (!stop) {
            if (poll(&fd, 1, 50) > 0 && read(far.master, &byte, 1) == 1 && byte == '\r') {
                if (write(far.master, "# \r\n", 4) != 4)
                    return;
            }
        }
    });
    auto port = openPort(far);
    bool prompt = false;
    port->OnRxChar = [&](TCustomComPort* sender, int count) {
        std::vector<char> buffer(static_cast<std::size_t>(count));
        const int read = sender->ReadBytes(buffer.data(), count);
        prompt = prompt || std::find(buffer.begin(), buffer.begin() + read, '#') != buffer.begin() + read;
    };
    port->OpenPort();
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            prompt = false;
            port->WriteText("PORT 1 0 0 1920 1080\r");
            pumpUntil([&] { return prompt; });
        }
    }
    port->ClosePort();
    stop = true;
    answering.join();
}
BENCHMARK(BM_CommandRoundTrips)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
