#include "SimulatorProcess.h"

#include <csignal>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

SimulatorProcess::SimulatorProcess(bool pace)
{
    int out[2];
    if (pipe(out) != 0)
        return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::string program = TORVIK_SIM;
    std::string paceOption = "--pace";
    char* argv[] = {program.data(), pace ? paceOption.data() : nullptr, nullptr};
    if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, environ) != 0)
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
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}
