#pragma once

#include <string>

#include <sys/types.h>

// torvik-sim on its own pseudo-terminal, for as long as the object lives;
// `pace` runs it at 115200 baud line speed both ways, a `latencyMs` above 0
// behind a USB adapter with that latency timer (--latency-ms).
class SimulatorProcess {
public:
    explicit SimulatorProcess(bool pace, int latencyMs = 0);
    ~SimulatorProcess();
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;

    // The slave end's path; empty when the simulator did not start.
    const std::string& path() const { return path_; }

private:
    pid_t pid_ = -1;
    std::string path_;
};

// The processor time this process has used so far, user and system.
double CpuSeconds();

// The context switches of every thread of this process so far, voluntary
// (a thread went to sleep) and involuntary (it was preempted).
long ContextSwitches();
