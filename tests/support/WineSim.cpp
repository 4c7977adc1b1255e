#include "support/WineSim.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Wine's drive Z: is the Unix root.
std::string windowsPath(const std::string& unixPath)
{
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

bool exists(const std::string& unixPath)
{
    return GetFileAttributesA(windowsPath(unixPath).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string firstLine(const std::string& unixPath)
{
    std::ifstream file(windowsPath(unixPath));
    std::string line;
    return std::getline(file, line) && !file.eof() ? line : "";
}

// Starts a Unix command line; Wine reports no process to wait for.
bool startUnix(std::string commandLine)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    if (process.hProcess)
        CloseHandle(process.hProcess);
    if (process.hThread)
        CloseHandle(process.hThread);
    return true;
}

template <typename Condition>
bool within(std::chrono::milliseconds limit, Condition condition)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

}  // namespace

WineSim::WineSim(const std::string& options) : link_(environment("TORVIK_COM1_LINK"))
{
    const std::string sim = environment("TORVIK_SIM");
    if (link_.empty() || sim.empty())
        return;
    DeleteFileA(windowsPath(link_ + ".out").c_str());
    DeleteFileA(windowsPath(link_ + ".pid").c_str());
    DeleteFileA(windowsPath(link_ + ".log").c_str());
    // The preload library that lets Wine wait on a terminal is not meant for
    // the simulator (and a sanitizer build refuses to start with it).
    const std::string shell = "echo $$ >'" + link_ + ".pid'; exec env -u LD_PRELOAD '" + sim +
                              "' --link '" + link_ + "' --log '" + link_ + ".log' " + options + " >'" + link_ + ".out' 2>&1";
    ready_ = startUnix("/bin/sh -c \"" + shell + "\"") &&
             within(10s, [this] { return firstLine(link_ + ".out").rfind("/dev/", 0) == 0; });
}

WineSim::~WineSim()
{
    const std::string pid = firstLine(link_ + ".pid");
    if (!pid.empty())
        startUnix("/bin/kill -TERM " + pid);
    goneWithin(10s);
}

std::vector<std::string> WineSim::logged() const
{
    std::ifstream file(windowsPath(link_ + ".log"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    return lines;
}

bool WineSim::goneWithin(std::chrono::milliseconds limit) const
{
    return within(limit, [this] { return !exists(link_); });
}
