#include "sim/StopSignal.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int pipeEnds[2] = {-1, -1};

void onStop(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    // A full pipe already says "stop"; nothing more to do then.
    [[maybe_unused]] const ssize_t ignored = write(pipeEnds[1], &byte, 1);
    errno = savedErrno;
}

}  // namespace

bool StopSignal::install()
{
    if (pipe(pipeEnds) != 0)
        return false;
    for (const int end : pipeEnds) {
        if (fcntl(end, F_SETFL, O_NONBLOCK) != 0 || fcntl(end, F_SETFD, FD_CLOEXEC) != 0)
            return false;
    }
    struct sigaction action {};
    action.sa_handler = onStop;
    sigemptyset(&action.sa_mask);
    return sigaction(SIGINT, &action, nullptr) == 0 && sigaction(SIGTERM, &action, nullptr) == 0;
}

int StopSignal::fd()
{
    return pipeEnds[0];
}
