#include "gui/platform/Fonts.h"

#include <QApplication>
#include <benchmark/benchmark.h>

// Benchmarks of the program's windows: a widget application with the
// program's font substitutes, on the offscreen platform unless a display (or
// a platform) is given.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    RegisterFontSubstitutes();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
