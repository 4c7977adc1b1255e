#include "support/PtyPair.h"

#include <algorithm>
#include <cerrno>
#include <climits>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

int millisecondsLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<decltype(left)>(left, 0, INT_MAX));
}

// Waits for the master to become ready for `events`; false when the time is
// up or the master reports an error or a closed far side without being ready.
bool waitFor(int fd, short events, Clock::time_point deadline)
{
    for (;;) {
        pollfd master = {fd, events, 0};
        const int ready = poll(&master, 1, millisecondsLeft(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        return ready > 0 && (master.revents & events);
    }
}

}  // namespace

PtyPair::PtyPair()
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0)
        return;
    char name[256];
    termios settings{};
    // The master's termios calls reach the slave's settings.
    if (grantpt(master) != 0 || unlockpt(master) != 0 || ptsname_r(master, name, sizeof name) != 0 ||
        tcgetattr(master, &settings) != 0) {
        ::close(master);
        return;
    }
    cfmakeraw(&settings);
    if (tcsetattr(master, TCSANOW, &settings) != 0 ||
        fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK) != 0) {
        ::close(master);
        return;
    }
    master_ = master;
    slavePath_ = name;
}

PtyPair::~PtyPair()
{
    closeMaster();
}

void PtyPair::closeMaster()
{
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}

bool PtyPair::write(std::string_view bytes, std::chrono::milliseconds limit)
{
    const Clock::time_point deadline = Clock::now() + limit;
    while (!bytes.empty()) {
        const ssize_t n = ::write(master_, bytes.data(), bytes.size());
        if (n > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        if (!waitFor(master_, POLLOUT, deadline))
            return false;
    }
    return true;
}

std::string PtyPair::read(std::size_t count, std::chrono::milliseconds limit)
{
    const Clock::time_point deadline = Clock::now() + limit;
    std::string result;
    char buffer[4096];
    while (result.size() < count) {
        const ssize_t n = ::read(master_, buffer, std::min(sizeof buffer, count - result.size()));
        if (n > 0) {
            result.append(buffer, static_cast<std::size_t>(n));
            continue;
        }
        // EIO: the slave side is not open (now).
        if ((n < 0 && errno != EAGAIN && errno != EINTR && errno != EIO) || !waitFor(master_, POLLIN, deadline))
            break;
    }
    return result;
}
