#include "SimulatorProcess.h"

#include <csignal>
#include <ctime>
#include <vector>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

SimulatorProcess::SimulatorProcess(bool pace, int latencyMs)
{
    int out[2];
    if (pipe(out) != 0)
        return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<std::string> args{TORVIK_SIM};
    if (pace)
        args.emplace_back("--pace");
    if (latencyMs > 0)
        args.insert(args.end(), {"--latency-ms", std::to_string(latencyMs)});
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    // The simulator prints its slave end's path on its first line.
    char byte = 0;
    while (pid_ > 0 && read(out[0], &byte, 1) == 1 && byte != '\n')
        path_ += byte;
    close(out[0]);
}

SimulatorProcess::~SimulatorProcess()
{
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

double CpuSeconds()
{
    // The scheduler's own account of every thread of the process, to the
    // nanosecond (getrusage's figures are adjusted from timer-tick samples).
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

long ContextSwitches()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_nvcsw + usage.ru_nivcsw;
}
