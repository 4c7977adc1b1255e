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
// client's. The command line's `--write` of the settings file the window
// just saved (the same lines) runs in the same loop as a process of its
// own: `cli_wall_ratio` is its wall time, start-up and exit included, over
// the minimal client's, `cli_cpu_us_per_line` its processor time per round
// trip. `cli_startup_ms` is what `--version` of the same program costs
// (loading its libraries, mostly), and the `cli_transfer_` figures are the
// others without it. Run it with bench/with-screen-reader.sh to include the platform's
// accessibility bridge.

#include "SimulatorProcess.h"
#include "core/config/KvmConfig.h"
#include "core/link/TransferService.h"
#include "core/platform/EventPump.h"
#include "core/platform/Prompts.h"
#include "core/serial/CommDevice.h"
#include "core/serial/PortDiscovery.h"
#include "core/serial/PortNames.h"
#include "gui/setup/SetupWindow.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/wait.h>
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
    int chooseItem(QWidget*, const QString&, const QString&, const QStringList&) override { return -1; }

    int successes = 0;
};

// The simulator's line as the one serial device present.
class SimulatorDiscovery final : public PortDiscovery {
public:
    explicit SimulatorDiscovery(std::string path) : path_(std::move(path)) {}
    std::vector<SerialDevice> presentDevices() const override { return {SerialDevice{path_, {}, {}, {}, {}, {}, {}}}; }

private:
    std::string path_;
};

// The least a client can do: write a line and its CR, then block until the
// prompt's "#" starts a line. Failing, it gives up on the upload. With
// `handOver` it is built as this system is: a second thread waits for the
// replies, takes them in and wakes the first with each (the event thread's
// hand-over to the window thread), which costs a wake-up of a thread on the
// other processor per reply.
class ReferenceClient {
public:
    ReferenceClient(const std::string& path, bool handOver) : fd_(open(path.c_str(), O_RDWR | O_NOCTTY))
    {
        termios settings{};
        if (fd_ >= 0 && tcgetattr(fd_, &settings) == 0) {
            cfmakeraw(&settings);
            cfsetspeed(&settings, B115200);
            tcsetattr(fd_, TCSANOW, &settings);
        }
        if (fd_ >= 0 && handOver) {
            wake_ = eventfd(0, 0);
            stop_ = eventfd(0, 0);
            reader_ = std::thread([this] { takeReplies(); });
        }
    }
    ~ReferenceClient()
    {
        if (reader_.joinable()) {
            notify(stop_);
            reader_.join();
        }
        for (const int fd : {fd_, wake_, stop_}) {
            if (fd >= 0)
                close(fd);
        }
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
    static void notify(int eventFd)
    {
        const uint64_t one = 1;
        (void)!write(eventFd, &one, sizeof one);
    }

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

    // The second thread: reads what arrives and wakes the first, until stopped.
    void takeReplies()
    {
        std::array<char, 256> chunk{};
        for (;;) {
            std::array<pollfd, 2> ready{{{fd_, POLLIN, 0}, {stop_, POLLIN, 0}}};
            if (poll(ready.data(), ready.size(), -1) <= 0 || ready[1].revents != 0)
                return;
            const ssize_t count = read(fd_, chunk.data(), chunk.size());
            if (count <= 0)
                return;
            {
                const std::lock_guard lock(mutex_);
                received_.append(chunk.data(), static_cast<std::size_t>(count));
            }
            notify(wake_);
        }
    }

    // The bytes that have arrived, once some have; empty when none come in time.
    std::string nextBytes()
    {
        std::array<char, 256> chunk{};
        pollfd readable{reader_.joinable() ? wake_ : fd_, POLLIN, 0};
        if (poll(&readable, 1, 2000) <= 0)
            return {};
        if (!reader_.joinable()) {
            const ssize_t count = read(fd_, chunk.data(), chunk.size());
            return count > 0 ? std::string(chunk.data(), static_cast<std::size_t>(count)) : std::string();
        }
        uint64_t wakeUps = 0;
        (void)!read(wake_, &wakeUps, sizeof wakeUps);
        const std::lock_guard lock(mutex_);
        return std::exchange(received_, {});
    }

    bool awaitPrompt()
    {
        for (;;) {
            const std::string bytes = nextBytes();
            if (bytes.empty())
                return false;
            bool prompt = false;
            for (const char byte : bytes) {
                prompt = prompt || (lineStart_ && byte == '#');
                lineStart_ = byte == '\r' || byte == '\n';
            }
            if (prompt)
                return true;
        }
    }

    int fd_;
    bool lineStart_ = true;
    int wake_ = -1;
    int stop_ = -1;
    std::thread reader_;
    std::mutex mutex_;
    std::string received_;  // taken in by the second thread, not yet looked at
};

// The setup window with the simulator's line as its port, shown, every box answered.
struct SaveConfigWindow {
    explicit SaveConfigWindow(const std::string& path)
        : transfers(pump, CreatePlatformCommDevice(PortNames{}), config),
          discovery(path),
          frmSetup(prompts, config, transfers, discovery, dir.filePath(QStringLiteral("TORVIK.INI")))
    {
        frmSetup.show();
        QApplication::processEvents();
    }

    QTemporaryDir dir;
    AnsweringPrompts prompts;
    QtEventPump pump;
    ConfigRecords config;
    TransferService transfers;
    const SimulatorDiscovery discovery;
    TfrmSetup frmSetup;
};

// What one upload cost: wall and processor seconds, context switches.
struct Cost {
    double wall = 0;
    double cpu = 0;
    long switches = 0;

    template <typename Upload>
    void add(Upload upload)
    {
        const double cpuBefore = CpuSeconds();
        const long switchesBefore = ContextSwitches();
        const auto start = std::chrono::steady_clock::now();
        upload();
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        cpu += CpuSeconds() - cpuBefore;
        switches += ContextSwitches() - switchesBefore;
    }
};

// `argv` run to its end as a process of its own, its output discarded: its
// wall time, and the processor time and context switches the system
// accounts to it.
bool runProgram(std::vector<std::string> argv, Cost& cost)
{
    std::vector<char*> pointers;
    for (std::string& arg : argv)
        pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int quiet = open("/dev/null", O_WRONLY);
        if (quiet < 0 || dup2(quiet, STDOUT_FILENO) < 0)
            _exit(127);
        execv(pointers[0], pointers.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid)
        return false;
    cost.wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    cost.cpu += seconds(usage.ru_utime) + seconds(usage.ru_stime);
    cost.switches += usage.ru_nvcsw + usage.ru_nivcsw;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void BM_SaveConfigWindow(benchmark::State& state)
{
    SimulatorProcess sim(true);
    if (sim.path().empty()) {
        state.SkipWithError("torvik-sim did not start");
        return;
    }
    SaveConfigWindow setup(sim.path());
    TransferService& transfers = setup.transfers;

    Cost window;
    Cost reference;
    Cost handOver;
    Cost commandLine;
    Cost startUp;
    std::size_t lines = 0;
    int referenceFailures = 0;
    int commandLineFailures = 0;
    const std::vector<std::string> writeCommand{TORVIK_SETUP, "--port", sim.path(), "--quiet", "--write",
                                                setup.dir.filePath(QStringLiteral("TORVIK.INI")).toStdString()};
    for (auto _ : state) {
        window.add([&] { setup.frmSetup.SaveConfig(); });
        const std::vector<std::string>& sent = transfers.link().CommandList();
        lines += sent.size();
        // The same lines from the minimal clients.
        reference.add([&] { referenceFailures += !ReferenceClient(sim.path(), false).upload(sent); });
        handOver.add([&] { referenceFailures += !ReferenceClient(sim.path(), true).upload(sent); });
        commandLineFailures += !runProgram(writeCommand, commandLine);
        commandLineFailures += !runProgram({TORVIK_SETUP, "--version"}, startUp);
    }
    const double uploads = static_cast<double>(state.iterations());
    const auto perLine = [&](double total) { return lines == 0 ? 0.0 : total / static_cast<double>(lines); };
    state.counters["window_ms"] = window.wall * 1000.0 / uploads;
    state.counters["reference_ms"] = reference.wall * 1000.0 / uploads;
    state.counters["wall_ratio"] = window.wall / reference.wall;
    state.counters["cpu_us_per_line"] = perLine(window.cpu * 1e6);
    state.counters["reference_cpu_us_per_line"] = perLine(reference.cpu * 1e6);
    state.counters["handover_cpu_us_per_line"] = perLine(handOver.cpu * 1e6);
    // The machine's own speed drifts from run to run (a shared virtual
    // machine); the clients, measured turn about, drift together.
    state.counters["cpu_ratio"] = reference.cpu == 0 ? 0.0 : window.cpu / reference.cpu;
    state.counters["handover_wall_ratio"] = handOver.wall / reference.wall;
    state.counters["switches_per_line"] = perLine(static_cast<double>(window.switches));
    state.counters["reference_switches_per_line"] = perLine(static_cast<double>(reference.switches));
    state.counters["handover_switches_per_line"] = perLine(static_cast<double>(handOver.switches));
    state.counters["cli_ms"] = commandLine.wall * 1000.0 / uploads;
    state.counters["cli_wall_ratio"] = commandLine.wall / reference.wall;
    state.counters["cli_cpu_us_per_line"] = perLine(commandLine.cpu * 1e6);
    state.counters["cli_startup_ms"] = startUp.wall * 1000.0 / uploads;
    state.counters["cli_transfer_wall_ratio"] = (commandLine.wall - startUp.wall) / reference.wall;
    state.counters["cli_transfer_cpu_us_per_line"] = perLine((commandLine.cpu - startUp.cpu) * 1e6);
    state.counters["cli_switches_per_line"] = perLine(static_cast<double>(commandLine.switches));
    state.counters["lines"] = static_cast<double>(lines) / uploads;
    state.counters["failures"] = uploads - setup.prompts.successes + referenceFailures + commandLineFailures;
}
BENCHMARK(BM_SaveConfigWindow)->Unit(benchmark::kMillisecond)->Iterations(10);

// Save Config from the window through a USB serial adapter whose latency
// timer passes the switch's replies on every N ms (the argument; torvik-sim
// --pace --latency-ms N): 16 is an FTDI adapter's default, 1 what the
// driver's low latency gives, 0 no adapter. The time is per Save Config.
void BM_SaveConfigThroughAdapter(benchmark::State& state)
{
    SimulatorProcess sim(true, static_cast<int>(state.range(0)));
    if (sim.path().empty()) {
        state.SkipWithError("torvik-sim did not start");
        return;
    }
    SaveConfigWindow setup(sim.path());
    for (auto _ : state)
        setup.frmSetup.SaveConfig();
    state.counters["lines"] = static_cast<double>(setup.transfers.link().CommandList().size());
    state.counters["failures"] = static_cast<double>(state.iterations()) - setup.prompts.successes;
}
BENCHMARK(BM_SaveConfigThroughAdapter)->Arg(0)->Arg(1)->Arg(16)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace
