// Start-up: from starting a process until the setup window is shown, with
// the program's start sequence (the application, the transfer service, the
// setup window, the layout editor and the dialogs, the setup window shown
// and exposed). Each iteration starts this program again as a fresh process
// that does only that, so loading the libraries counts too.

#include "app/ProgramWindows.h"
#include "core/link/TransferService.h"
#include "core/platform/EventPump.h"
#include "core/serial/CommDevice.h"
#include "core/serial/PortDiscovery.h"
#include "core/serial/PortNames.h"
#include "gui/platform/Fonts.h"
#include "gui/platform/QtPointer.h"
#include "gui/platform/QtPrompts.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QWindow>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <string>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr const char* kShowOption = "--show-setup-window";

// The program's start sequence up to the setup window shown; then one byte
// on standard output says so.
int showSetupWindow(int argc, char** argv, const QString& settings)
{
    QApplication app(argc, argv);
    RegisterFontSubstitutes();
    QtPrompts prompts;
    QtPointer pointer;
    QtEventPump pump;
    ConfigRecords config;
    TransferService transfers(pump, CreatePlatformCommDevice(PortNames{}), config);
    const SystemPortDiscovery discovery;
    ProgramWindows windows({prompts, pointer, config, transfers, discovery, settings});
    TfrmSetup& frmSetup = windows.frmSetup;
    frmSetup.show();
    while (!frmSetup.windowHandle() || !frmSetup.windowHandle()->isExposed())
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    return write(STDOUT_FILENO, "s", 1) == 1 ? 0 : 1;
}

// Starts this program (`self`) with kShowOption and returns the seconds until it
// reports the window shown; negative when it did not.
double startAndWaitForWindow(const std::string& self, const std::string& settings)
{
    int out[2];
    if (pipe(out) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::string program = self;
    std::string option = kShowOption;
    std::string file = settings;
    char* argv[] = {program.data(), option.data(), file.data(), nullptr};
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = -1;
    const bool spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    char byte = 0;
    const bool shown = spawned && read(out[0], &byte, 1) == 1;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    close(out[0]);
    if (spawned)
        waitpid(pid, nullptr, 0);
    return shown ? seconds : -1;
}

void BM_StartUpToSetupWindowShown(benchmark::State& state)
{
    QTemporaryDir dir;
    const std::string settings = dir.filePath(QStringLiteral("TORVIK.INI")).toStdString();
    int failures = 0;
    for (auto _ : state) {
        const double seconds = startAndWaitForWindow("/proc/self/exe", settings);
        failures += seconds < 0;
        state.SetIterationTime(seconds < 0 ? 0 : seconds);
    }
    state.counters["failures"] = failures;
}
BENCHMARK(BM_StartUpToSetupWindowShown)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && std::strcmp(argv[1], kShowOption) == 0) {
        int qtArgc = 1;
        return showSetupWindow(qtArgc, argv, QString::fromLocal8Bit(argv[2]));
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
