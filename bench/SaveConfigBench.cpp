// Save Config as the user makes it, against torvik-sim at 115200 baud line
// speed both ways (--pace): the setup window's command (its settings file,
// the progress dialog, the transfer service with the real port, its event
// thread and the device link), and in the same run, against the same
// simulator, a minimal client that writes each line and waits for its
// prompt. `wall_ratio` is the window's wall time over the minimal client's;
// `cpu_us_per_line` is the utility's processor time per command round trip,
// `reference_cpu_us_per_line` the minimal client's (what the line itself
// costs on this machine: the writes, the reads and the wake-ups), and
// `switches_per_line` and `reference_switches_per_line` how often the
// threads of each went to sleep (or were preempted) per round trip, which
// on a virtual machine is what a round trip's processor time mostly pays
// for; `cpu_ratio` is the utility's processor time over the minimal
// client's. Run it with bench/with-screen-reader.sh to include the
// platform's accessibility bridge.

#include "SimulatorProcess.h"
#include "platform/EventPump.h"
#include "platform/Prompts.h"
#include "serial/CommDevice.h"
#include "serial/PortDiscovery.h"
#include "serial/PortNames.h"
#include "setup/SetupWindow.h"
#include "setup/TransferService.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Prompts that answer every box at once, counting the successes.
class AnsweringPrompts final : public Prompts {
public:
    MsgAnswer messageBox(QWidget*, const QString& text, const QString&, MsgButtons) override
    {
        successes += text == QStringLiteral("Save Config successed!");
        return MsgAnswer::Ok;
    }
    QString openFileName(QWidget*, const QString&, const QString&) override { return {}; }
    QString saveFileName(QWidget*, const QString&, const QString&) override { return {}; }

    int successes = 0;
};

// The simulator's line as the one serial device present.
class SimulatorDiscovery final : public PortDiscovery {
public:
    explicit SimulatorDiscovery(std::string path) : path_(std::move(path)) {}
    std::vector<SerialDevice> presentDevices() const override { return {SerialDevice{path_, {}, {}, {}, {}, {}}}; }

private:
    std::string path_;
};

// The least a client can do: write a line and its CR, then block until the
// prompt's "#" starts a line. Failing, it gives up on the upload.
class ReferenceClient {
public:
    explicit ReferenceClient(const std::string& path) : fd_(open(path.c_str(), O_RDWR | O_NOCTTY))
    {
        termios settings{};
        if (fd_ >= 0 && tcgetattr(fd_, &settings) == 0) {
            cfmakeraw(&settings);
            cfsetspeed(&settings, B115200);
            tcsetattr(fd_, TCSANOW, &settings);
        }
    }
    ~ReferenceClient()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    ReferenceClient(const ReferenceClient&) = delete;
    ReferenceClient& operator=(const ReferenceClient&) = delete;

    bool upload(const std::vector<std::string>& lines)
    {
        for (const std::string& line : lines) {
            if (!send(line + "\r") || !awaitPrompt())
                return false;
        }
        return true;
    }

private:
    bool send(const std::string& bytes) const
    {
        for (std::size_t sent = 0; sent < bytes.size();) {
            const ssize_t written = write(fd_, bytes.data() + sent, bytes.size() - sent);
            if (written <= 0)
                return false;
            sent += static_cast<std::size_t>(written);
        }
        return true;
    }

    bool awaitPrompt()
    {
        std::array<char, 256> chunk{};
        for (;;) {
            pollfd readable{fd_, POLLIN, 0};
            if (poll(&readable, 1, 2000) <= 0)
                return false;
            const ssize_t count = read(fd_, chunk.data(), chunk.size());
            if (count <= 0)
                return false;
            bool prompt = false;
            for (ssize_t i = 0; i < count; ++i) {
                const char byte = chunk[static_cast<std::size_t>(i)];
                prompt = prompt || (lineStart_ && byte == '#');
                lineStart_ = byte == '\r' || byte == '\n';
            }
            if (prompt)
                return true;
        }
    }

    int fd_;
    bool lineStart_ = true;
};

void BM_SaveConfigWindow(benchmark::State& state)
{
    SimulatorProcess sim(true);
    if (sim.path().empty()) {
        state.SkipWithError("torvik-sim did not start");
        return;
    }
    QTemporaryDir dir;
    AnsweringPrompts prompts;
    QtEventPump pump;
    TransferService transfers(pump, CreatePlatformCommDevice(PortNames{}));
    const SimulatorDiscovery discovery(sim.path());
    TfrmSetup frmSetup(prompts, transfers, discovery, dir.filePath(QStringLiteral("TORVIK.INI")));
    frmSetup.show();
    QApplication::processEvents();

    double windowWall = 0;
    double referenceWall = 0;
    double cpu = 0;
    double referenceCpu = 0;
    long switches = 0;
    long referenceSwitches = 0;
    std::size_t lines = 0;
    int referenceFailures = 0;
    for (auto _ : state) {
        const double before = CpuSeconds();
        const long switchesBefore = ContextSwitches();
        auto start = std::chrono::steady_clock::now();
        frmSetup.SaveConfig();
        windowWall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        cpu += CpuSeconds() - before;
        switches += ContextSwitches() - switchesBefore;
        lines += transfers.link().CommandList().size();

        // The same lines from the minimal client.
        const double referenceBefore = CpuSeconds();
        const long referenceSwitchesBefore = ContextSwitches();
        start = std::chrono::steady_clock::now();
        referenceFailures += !ReferenceClient(sim.path()).upload(transfers.link().CommandList());
        referenceWall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        referenceCpu += CpuSeconds() - referenceBefore;
        referenceSwitches += ContextSwitches() - referenceSwitchesBefore;
    }
    const double uploads = static_cast<double>(state.iterations());
    state.counters["window_ms"] = windowWall * 1000.0 / uploads;
    state.counters["reference_ms"] = referenceWall * 1000.0 / uploads;
    state.counters["wall_ratio"] = windowWall / referenceWall;
    state.counters["cpu_us_per_line"] = lines == 0 ? 0.0 : cpu * 1e6 / static_cast<double>(lines);
    state.counters["reference_cpu_us_per_line"] = lines == 0 ? 0.0 : referenceCpu * 1e6 / static_cast<double>(lines);
    // The machine's own speed drifts from run to run (a shared virtual
    // machine); the two clients, measured turn about, drift together.
    state.counters["cpu_ratio"] = referenceCpu == 0 ? 0.0 : cpu / referenceCpu;
    const auto perLine = [&](long count) { return lines == 0 ? 0.0 : static_cast<double>(count) / static_cast<double>(lines); };
    state.counters["switches_per_line"] = perLine(switches);
    state.counters["reference_switches_per_line"] = perLine(referenceSwitches);
    state.counters["lines"] = static_cast<double>(lines) / uploads;
    state.counters["failures"] = uploads - prompts.successes + referenceFailures;
}
BENCHMARK(BM_SaveConfigWindow)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
