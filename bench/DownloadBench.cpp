// Transfers with torvik-sim. A full configuration download, as Load Config makes it:
// the real serial port with its event thread, the device link and the
// event loop. Reports the wall time per download and the utility's own
// processor time (the simulator is another process), with the simulator
// answering at once and at 115200 baud wire time (--pace).

#include "SimulatorProcess.h"
#include "core/config/KvmConfig.h"
#include "core/link/TransferService.h"
#include "core/link/UploadCommands.h"
#include "core/platform/EventPump.h"
#include "core/serial/CommDevice.h"
#include "core/serial/PortNames.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

namespace {

// The utility's end of a line to torvik-sim: the program's transfer
// service (the real port with its event thread, the work timer and the
// device link) on COM1.
struct SimulatorLink {
    explicit SimulatorLink(bool pace) : sim(pace), transfers(pump, CreatePlatformCommDevice(namesFor(sim)), config) {}

    static PortNames namesFor(const SimulatorProcess& simulator)
    {
        PortNames names;
        names.map(1, simulator.path());
        return names;
    }

    SimulatorProcess sim;
    QtEventPump pump;
    ConfigRecords config;
    TransferService transfers;
};

void BM_FullDownload(benchmark::State& state)
{
    SimulatorLink line(state.range(0) != 0);
    if (line.sim.path().empty()) {
        state.SkipWithError("torvik-sim did not start");
        return;
    }
    double cpu = 0;
    int failures = 0;
    for (auto _ : state) {
        const double before = CpuSeconds();
        failures += line.transfers.download(false) != TransferResult::Done;
        cpu += CpuSeconds() - before;
    }
    state.counters["utility_cpu_ms"] = benchmark::Counter(cpu * 1000.0, benchmark::Counter::kAvgIterations);
    state.counters["failures"] = failures;
}
BENCHMARK(BM_FullDownload)->Arg(0)->Arg(1)->ArgName("pace")->Unit(benchmark::kMillisecond)->Iterations(20);

// A full Save Config upload (191 lines, each answered by a prompt) through
// the transfer service alone. With --pace, `floor_ratio` is the wall time
// over the wire-time floor of the bytes both ways at 115200 baud, 10 bits a
// byte, and `reply_floor_ratio` over that of the prompts alone.
// `cpu_us_per_line` is the utility's processor time per command round trip.
void BM_SaveConfigUpload(benchmark::State& state)
{
    const bool pace = state.range(0) != 0;
    SimulatorLink line(pace);
    if (line.sim.path().empty()) {
        state.SkipWithError("torvik-sim did not start");
        return;
    }

    KVM_CONFIG config;
    KVM_LAYOUT layout;
    ResetToDefaults(config, layout);
    const std::vector<std::string> commands = SaveConfigCommands(config, layout, true);
    double wireBytes = 0;
    for (const std::string& line : commands)
        wireBytes += static_cast<double>(line.size() + 1 + 4);  // the line and CR, then "# " CR LF
    const double replyBytes = 4.0 * static_cast<double>(commands.size());

    double cpu = 0;
    double wall = 0;
    int failures = 0;
    for (auto _ : state) {
        const double before = CpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        const TransferResult result = line.transfers.upload(commands);
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        cpu += CpuSeconds() - before;
        failures += result != TransferResult::Done;
    }
    const double uploads = static_cast<double>(state.iterations());
    state.counters["lines_per_s"] = static_cast<double>(commands.size()) * uploads / wall;
    state.counters["cpu_share"] = cpu / wall;
    state.counters["cpu_us_per_line"] = cpu * 1e6 / (static_cast<double>(commands.size()) * uploads);
    if (pace) {
        state.counters["floor_ratio"] = (wall / uploads) / (wireBytes * 10.0 / 115200.0);
        state.counters["reply_floor_ratio"] = (wall / uploads) / (replyBytes * 10.0 / 115200.0);
    }
    state.counters["failures"] = failures;
}
BENCHMARK(BM_SaveConfigUpload)->Arg(0)->Arg(1)->ArgName("pace")->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
