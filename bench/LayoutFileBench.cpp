// Reading and writing a complete layout (182 keys) and the six settings.
// Besides the time per operation it reports the file system calls each
// operation makes, from /proc/self/io: one read of the file and one
// replacement of it per operation, however many keys it touches.

#include "core/config/LayoutFile.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

namespace {

struct IoCounters {
    double readCalls = 0;
    double writeCalls = 0;
    double bytesRead = 0;
    double bytesWritten = 0;
};

IoCounters ioNow()
{
    IoCounters io;
    std::ifstream in("/proc/self/io");
    std::string key;
    double value = 0;
    while (in >> key >> value) {
        if (key == "syscr:")
            io.readCalls = value;
        else if (key == "syscw:")
            io.writeCalls = value;
        else if (key == "rchar:")
            io.bytesRead = value;
        else if (key == "wchar:")
            io.bytesWritten = value;
    }
    return io;
}

void reportIo(benchmark::State& state, const IoCounters& before)
{
    const IoCounters after = ioNow();
    const auto perOp = [&](double a, double b) {
        return benchmark::Counter((a - b) / static_cast<double>(state.iterations()));
    };
    state.counters["read_calls/op"] = perOp(after.readCalls, before.readCalls);
    state.counters["write_calls/op"] = perOp(after.writeCalls, before.writeCalls);
    state.counters["bytes_read/op"] = perOp(after.bytesRead, before.bytesRead);
    state.counters["bytes_written/op"] = perOp(after.bytesWritten, before.bytesWritten);
}

KVM_LAYOUT fullLayout()
{
    KVM_LAYOUT layout;
    for (int n = 1; n <= kScreenCount; ++n) {
        layout.Group[n] = 1;
        layout.Port[n] = {(n - 1) * 1920, 1080 * ((n - 1) / 20), 1920, 1080};
        layout.MConfig[n] = {1920 * ((n - 1) / 20), 0};
    }
    for (int p = 1; p <= kPortCount; ++p) {
        layout.MStyle[p] = 3;
        layout.MTotal[p] = {7680, 1080};
    }
    return layout;
}

// A settings file as the program keeps it: both sections.
QString settingsFile(const QTemporaryDir& dir)
{
    const QString path = dir.filePath(QStringLiteral("TORVIK.INI"));
    WriteSetupSection(path, SetupSettings{});
    WriteLayoutFile(path, fullLayout(), true);
    return path;
}

void BM_ReadLayoutFile(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = settingsFile(dir);
    KVM_LAYOUT layout;
    const IoCounters before = ioNow();
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadLayoutFile(path, layout));
    reportIo(state, before);
}
BENCHMARK(BM_ReadLayoutFile);

void BM_WriteLayoutFile(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = settingsFile(dir);
    const KVM_LAYOUT layout = fullLayout();
    const IoCounters before = ioNow();
    for (auto _ : state)
        benchmark::DoNotOptimize(WriteLayoutFile(path, layout, true));
    reportIo(state, before);
}
BENCHMARK(BM_WriteLayoutFile);

void BM_ReadSetupSection(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = settingsFile(dir);
    const IoCounters before = ioNow();
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadSetupSection(path));
    reportIo(state, before);
}
BENCHMARK(BM_ReadSetupSection);

void BM_WriteSetupSection(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = settingsFile(dir);
    const IoCounters before = ioNow();
    for (auto _ : state)
        benchmark::DoNotOptimize(WriteSetupSection(path, SetupSettings{}));
    reportIo(state, before);
}
BENCHMARK(BM_WriteSetupSection);

}  // namespace

BENCHMARK_MAIN();
