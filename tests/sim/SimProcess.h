#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

using namespace std::chrono_literals;

// Every wait is bounded, so a broken simulator fails a test instead of
// hanging it; the limits leave room for sanitizer builds on a busy machine.
inline constexpr std::chrono::milliseconds kProcessLimit = 20s;
inline constexpr std::chrono::milliseconds kReplyLimit = 10s;

// Runs a program to its end: its exit status, or nothing when it ended by a
// signal or ran past kProcessLimit (it is then killed).
std::optional<int> RunProgram(const std::vector<std::string>& argv);

// Where a program run by RunCapturing reads and writes: files by path;
// an empty `input` is /dev/null.
struct ProgramFiles {
    std::string input;
    std::string output;
    std::string error;
};

// RunProgram with its standard streams on `files`, and `whileRunning`
// called with its process id every few milliseconds until it ends.
std::optional<int> RunCapturing(const std::vector<std::string>& argv, const ProgramFiles& files,
                                const std::function<void(pid_t)>& whileRunning = {});

// torvik-sim started with `options`; the first line of its output is the
// path of its terminal. It is killed with the test at the latest.
class SimProcess {
public:
    explicit SimProcess(const std::vector<std::string>& options);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    const std::string& path() const { return path_; }  // empty when none was printed

    // The exit status as RunProgram gives it.
    std::optional<int> stop(int signal);
    std::optional<int> waitForExit();

private:
    pid_t pid_ = -1;
    std::string path_;
};

// The utility's end of the line: the simulator's terminal, opened as a
// serial device is.
class SwitchLine {
public:
    explicit SwitchLine(const std::string& path);
    ~SwitchLine();
    SwitchLine(const SwitchLine&) = delete;
    SwitchLine& operator=(const SwitchLine&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    void send(std::string_view bytes);

    // The next line up to and including its LF; nothing when none arrives in time.
    std::optional<std::string> readLine(std::chrono::milliseconds limit = kReplyLimit);

    // Sends the command and CR, and reads lines up to and including the first
    // that starts with "#" (fewer when a line does not arrive in time).
    std::vector<std::string> exchange(std::string_view command);

    // True when no byte arrives within `window`.
    bool quietFor(std::chrono::milliseconds window);

    // True when the other end closes the line in time.
    bool hangsUp();

private:
    bool receive(std::chrono::milliseconds limit);

    int fd_ = -1;
    std::string pending_;
};

// Lines without their CR LF endings.
std::vector<std::string> WithoutEndings(const std::vector<std::string>& lines);
