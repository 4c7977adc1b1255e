// Test-only LD_PRELOAD library for running the Windows serial device under
// Wine against torvik-sim's pseudo-terminal.
//
// Why it exists: Wine's serial driver asks the line for its modem status
// (TIOCMGET, TIOCGICOUNT, TIOCMIWAIT) when it waits for comm events, and
// pseudo-terminals refuse those requests with ENOTTY, after which Wine fails
// every WaitCommEvent. For pseudo-terminal slaves only, this answers them as
// a cable to a switch would: CTS, DSR and carrier on, no line-error counts,
// no modem line change. Once the other end has hung up, the requests fail
// with EIO, as they do for a serial adapter that was pulled out. Every other
// request, and every other file, goes to the C library unchanged.

#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <linux/serial.h>
#include <poll.h>
#include <stdarg.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

// Linux numbers pseudo-terminal slaves (/dev/pts/N) with majors 136 to 143.
static int isPtySlave(int fd)
{
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode))
        return 0;
    const unsigned int major = major(st.st_rdev);
    return major >= 136 && major <= 143;
}

static int hungUp(int fd, int timeoutMs)
{
    struct pollfd p = {.fd = fd, .events = 0, .revents = 0};
    return poll(&p, 1, timeoutMs) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

static int fail(int error)
{
    errno = error;
    return -1;
}

int ioctl(int fd, unsigned long request, ...)
{
    va_list args;
    va_start(args, request);
    void* arg = va_arg(args, void*);
    va_end(args);

    if ((request == TIOCMGET || request == TIOCGICOUNT || request == TIOCMIWAIT) && isPtySlave(fd)) {
        if (request == TIOCMIWAIT) {
            // No modem line ever changes: block until the other end hangs up.
            while (!hungUp(fd, -1)) {
            }
            return fail(EIO);
        }
        if (hungUp(fd, 0))
            return fail(EIO);
        if (request == TIOCMGET)
            *(int*)arg = TIOCM_CTS | TIOCM_DSR | TIOCM_CAR;
        else
            memset(arg, 0, sizeof(struct serial_icounter_struct));
        return 0;
    }

    static int (*next)(int, unsigned long, ...);
    if (!next)
        *(void**)&next = dlsym(RTLD_NEXT, "ioctl");
    return next(fd, request, arg);
}
