#include <QCoreApplication>
#include <benchmark/benchmark.h>

// Benchmarks of code that needs an event loop on the main thread, as the
// program's user-interface thread has.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
