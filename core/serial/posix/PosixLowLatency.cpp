#include "core/serial/posix/PosixLowLatency.h"

#include <linux/serial.h>
#include <sys/ioctl.h>

void RequestLowLatency(int fd)
{
    // Set from what the driver reports, so its other settings stay.
    serial_struct settings{};
    if (ioctl(fd, TIOCGSERIAL, &settings) != 0)
        return;
    settings.flags |= ASYNC_LOW_LATENCY;
    ioctl(fd, TIOCSSERIAL, &settings);
}
