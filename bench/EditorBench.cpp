// The layout editor: rebuilding all 80 tiles from the layout tables (with
// their painting) and storing them back, one step of a tile drag and the
// layout check with all 80 tiles placed, and the peak memory of the utility
// with the setup window and the editor open.

#include "app/ProgramWindows.h"
#include "core/config/KvmConfig.h"
#include "core/link/TransferService.h"
#include "core/platform/EventPump.h"
#include "core/serial/CommDevice.h"
#include "core/serial/PortDiscovery.h"
#include "core/serial/PortNames.h"
#include "gui/platform/QtPointer.h"
#include "gui/platform/QtPrompts.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

// Every monitor of every port placed, ten to a row, none overlapping.
void placeAllMonitors(KVM_LAYOUT& layout)
{
    layout = KVM_LAYOUT{};
    for (int p = 1; p <= kPortCount; ++p)
        layout.MStyle[p] = 3;
    for (int n = 1; n <= kScreenCount; ++n) {
        layout.Group[n] = 1;
        layout.Port[n] = {((n - 1) % 10) * 1920, ((n - 1) / 10) * 1080, 1920, 1080};
    }
}

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in kilobytes
}

// Runs first, so the process peak is the utility's own: the program's
// windows, the setup window and the editor with 80 tiles shown.
void BM_PeakMemoryWithEditorOpen(benchmark::State& state)
{
    QTemporaryDir dir;
    QtPrompts prompts;
    QtPointer pointer;
    QtEventPump pump;
    for (auto _ : state) {
        ConfigRecords config;
        TransferService transfers(pump, CreatePlatformCommDevice(PortNames{}), config);
        const SystemPortDiscovery discovery;
        ProgramWindows windows(
            {prompts, pointer, config, transfers, discovery, dir.filePath(QStringLiteral("TORVIK.INI"))});
        placeAllMonitors(config.KvmLayout);  // the setup window has read the (missing) settings file
        windows.frmGlidex.LoadFromConfig(QStringLiteral("Load Config"));
        windows.frmSetup.show();
        windows.frmGlidex.show();
        QApplication::processEvents();
    }
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_PeakMemoryWithEditorOpen)->Iterations(1)->Unit(benchmark::kMillisecond);

// The editor on its own and shown, as the user has it, with prompts and a
// pointer that are never used.
struct Editor {
    Editor()
    {
        frmGlidex.show();
        QApplication::processEvents();
    }

    static ConfigRecords placedConfig()
    {
        ConfigRecords config;
        placeAllMonitors(config.KvmLayout);
        return config;
    }

    QtPrompts prompts;
    QtPointer pointer;
    QtEventPump pump;
    ConfigRecords config = placedConfig();
    TransferService transfers{pump, CreatePlatformCommDevice(PortNames{}), config};
    TfrmGlidex frmGlidex{prompts, pointer, config, transfers, QString()};
};

void BM_LoadFromConfig(benchmark::State& state)
{
    Editor editor;
    TfrmGlidex& frmGlidex = editor.frmGlidex;
    for (auto _ : state)
        frmGlidex.LoadFromConfig(QStringLiteral("Load Config"));
}
BENCHMARK(BM_LoadFromConfig)->Unit(benchmark::kMicrosecond);

void BM_StoreToConfig(benchmark::State& state)
{
    Editor editor;
    TfrmGlidex& frmGlidex = editor.frmGlidex;
    for (auto _ : state) {
        frmGlidex.StoreToConfig();
        benchmark::DoNotOptimize(editor.config.KvmLayout);
    }
}
BENCHMARK(BM_StoreToConfig)->Unit(benchmark::kMicrosecond);

// One pointer move of a drag among 80 placed tiles: the snap search, the
// clamp and moving the drawn tile. The tile goes back and forth within the
// view, so the view never scrolls. Goal: well under 0.05 ms.
void BM_DragStep(benchmark::State& state)
{
    Editor editor;
    TfrmGlidex& frmGlidex = editor.frmGlidex;
    TScreen& tile = *frmGlidex.Screens()[1];
    frmGlidex.ScreenMouseDown(tile, Qt::LeftButton, 20, 20);
    int step = 0;
    for (auto _ : state) {
        const int x = 20 + (step++ % 2 == 0 ? 37 : -37);
        frmGlidex.ScreenMouseMove(tile, Qt::LeftButton, x, 20);
    }
    frmGlidex.ScreenMouseUp(tile, Qt::LeftButton, 20, 20);
}
BENCHMARK(BM_DragStep)->Unit(benchmark::kMicrosecond);

// The check of a valid layout of 80 tiles, which also moves it to the
// top-left corner (where it already lies).
void BM_CheckLayout(benchmark::State& state)
{
    Editor editor;
    for (auto _ : state)
        benchmark::DoNotOptimize(editor.frmGlidex.CheckLayout(false));
}
BENCHMARK(BM_CheckLayout)->Unit(benchmark::kMicrosecond);

}  // namespace
