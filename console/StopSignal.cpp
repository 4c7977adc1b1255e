#include "console/StopSignal.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void onStopSignal(int signal)
{
    stopRequested = 1;
    std::signal(signal, SIG_DFL);
}

}  // namespace

void CatchStopSignals()
{
    std::signal(SIGINT, onStopSignal);
    std::signal(SIGTERM, onStopSignal);
}

bool StopRequested()
{
    return stopRequested != 0;
}
