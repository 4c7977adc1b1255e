#include "SimProcess.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

int msUntil(Clock::time_point deadline)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Starts `argv` with its standard input, output and error on these
// descriptors where they are not negative.
pid_t spawn(const std::vector<std::string>& argv, int stdoutFd, int stdinFd = -1, int stderrFd = -1)
{
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    // The child ends with the test process even when that dies early: a
    // simulator left behind would keep the test's output open, and the test
    // runner waiting for it.
    if (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || getppid() != parent ||
        (stdoutFd >= 0 && dup2(stdoutFd, STDOUT_FILENO) < 0) || (stdinFd >= 0 && dup2(stdinFd, STDIN_FILENO) < 0) ||
        (stderrFd >= 0 && dup2(stderrFd, STDERR_FILENO) < 0))
        _exit(127);
    execv(args[0], args.data());
    _exit(127);
}

std::optional<int> exitStatus(pid_t pid, const std::function<void(pid_t)>& whileRunning = {})
{
    const Clock::time_point deadline = Clock::now() + kProcessLimit;
    int status = 0;
    pid_t done = 0;
    while ((done = waitpid(pid, &status, WNOHANG)) == 0 && Clock::now() < deadline) {
        if (whileRunning)
            whileRunning(pid);
        std::this_thread::sleep_for(5ms);
    }
    if (done == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    if (done != pid || !WIFEXITED(status))
        return std::nullopt;
    return WEXITSTATUS(status);
}

}  // namespace

std::optional<int> RunProgram(const std::vector<std::string>& argv)
{
    const pid_t pid = spawn(argv, -1);
    return pid < 0 ? std::nullopt : exitStatus(pid);
}

std::optional<int> RunCapturing(const std::vector<std::string>& argv, const ProgramFiles& files,
                                const std::function<void(pid_t)>& whileRunning)
{
    const int input = open(files.input.empty() ? "/dev/null" : files.input.c_str(), O_RDONLY | O_CLOEXEC);
    const int output = open(files.output.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const int error = open(files.error.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const pid_t pid = input < 0 || output < 0 || error < 0 ? -1 : spawn(argv, output, input, error);
    for (const int fd : {input, output, error}) {
        if (fd >= 0)
            close(fd);
    }
    return pid < 0 ? std::nullopt : exitStatus(pid, whileRunning);
}

SimProcess::SimProcess(const std::vector<std::string>& options)
{
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0)
        return;
    std::vector<std::string> argv{TORVIK_SIM};
    argv.insert(argv.end(), options.begin(), options.end());
    pid_ = spawn(argv, out[1]);
    close(out[1]);

    const Clock::time_point deadline = Clock::now() + kProcessLimit;
    std::string line;
    pollfd entry{out[0], POLLIN, 0};
    char byte = 0;
    while (pid_ >= 0 && poll(&entry, 1, msUntil(deadline)) > 0 && read(out[0], &byte, 1) == 1) {
        if (byte == '\n') {
            path_ = line;
            break;
        }
        line += byte;
    }
    close(out[0]);
}

SimProcess::~SimProcess()
{
    if (pid_ >= 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

std::optional<int> SimProcess::stop(int signal)
{
    if (pid_ >= 0)
        kill(pid_, signal);
    return waitForExit();
}

std::optional<int> SimProcess::waitForExit()
{
    if (pid_ < 0)
        return std::nullopt;
    const std::optional<int> status = exitStatus(pid_);
    pid_ = -1;
    return status;
}

SwitchLine::SwitchLine(const std::string& path) : fd_(open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC))
{
}

SwitchLine::~SwitchLine()
{
    if (fd_ >= 0)
        close(fd_);
}

void SwitchLine::send(std::string_view bytes)
{
    pollfd entry{fd_, POLLOUT, 0};
    while (!bytes.empty() && poll(&entry, 1, static_cast<int>(kReplyLimit.count())) > 0) {
        const ssize_t written = write(fd_, bytes.data(), bytes.size());
        if (written < 0 && errno != EAGAIN && errno != EINTR)
            return;
        if (written > 0)
            bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

bool SwitchLine::receive(std::chrono::milliseconds limit)
{
    pollfd entry{fd_, POLLIN, 0};
    char bytes[4096];
    if (poll(&entry, 1, static_cast<int>(limit.count())) <= 0 || !(entry.revents & POLLIN))
        return false;
    const ssize_t count = read(fd_, bytes, sizeof bytes);
    if (count > 0)
        pending_.append(bytes, static_cast<std::size_t>(count));
    return count > 0;
}

std::optional<std::string> SwitchLine::readLine(std::chrono::milliseconds limit)
{
    const Clock::time_point deadline = Clock::now() + limit;
    std::size_t end = 0;
    while ((end = pending_.find('\n')) == std::string::npos) {
        if (!receive(std::chrono::milliseconds(msUntil(deadline))))
            return std::nullopt;
    }
    std::string line = pending_.substr(0, end + 1);
    pending_.erase(0, end + 1);
    return line;
}

std::vector<std::string> SwitchLine::exchange(std::string_view command)
{
    send(std::string(command) + "\r");
    std::vector<std::string> lines;
    while (const std::optional<std::string> line = readLine()) {
        lines.push_back(*line);
        if (line->starts_with('#'))
            break;
    }
    return lines;
}

bool SwitchLine::quietFor(std::chrono::milliseconds window)
{
    return pending_.empty() && !receive(window);
}

bool SwitchLine::hangsUp()
{
    // A hung-up terminal reports POLLHUP, or reads as the end of the file or EIO.
    const Clock::time_point deadline = Clock::now() + kReplyLimit;
    pollfd entry{fd_, POLLIN, 0};
    while (poll(&entry, 1, msUntil(deadline)) > 0) {
        char bytes[256];
        const ssize_t count = (entry.revents & POLLHUP) ? 0 : read(fd_, bytes, sizeof bytes);
        if (count == 0 || (count < 0 && errno == EIO))
            return true;
    }
    return false;
}

std::vector<std::string> WithoutEndings(const std::vector<std::string>& lines)
{
    std::vector<std::string> result;
    for (const std::string& line : lines)
        result.push_back(line.ends_with("\r\n") ? line.substr(0, line.size() - 2) : line);
    return result;
}
