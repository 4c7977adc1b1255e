#include "core/serial/posix/PosixLineSettings.h"

#include <cerrno>

#include <sys/ioctl.h>

#ifdef __linux__

#include <asm/termbits.h>

int SetCustomBaudRate(int fd, uint32_t rate)
{
    termios2 settings{};
    if (ioctl(fd, TCGETS2, &settings) != 0)
        return errno;
    // BOTHER takes the rate from c_ospeed; no input rate bits means the
    // input runs at the output rate.
    settings.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    settings.c_cflag |= BOTHER;
    settings.c_ispeed = rate;
    settings.c_ospeed = rate;
    if (ioctl(fd, TCSETS2, &settings) != 0)
        return errno;
    return 0;
}

#else

#include <termios.h>

// Where speed_t is the rate itself (the BSDs, macOS), any rate can be asked for.
int SetCustomBaudRate(int fd, uint32_t rate)
{
    termios settings{};
    if (tcgetattr(fd, &settings) != 0)
        return errno;
    if (cfsetspeed(&settings, static_cast<speed_t>(rate)) != 0 || tcsetattr(fd, TCSANOW, &settings) != 0)
        return errno;
    return 0;
}

#endif
