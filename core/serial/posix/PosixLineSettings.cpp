#include "core/serial/posix/PosixLineSettings.h"

#include <cerrno>
#include <optional>

#include <sys/ioctl.h>
#include <termios.h>

namespace {

std::optional<speed_t> standardSpeed(uint32_t rate)
{
    struct Entry {
        uint32_t rate;
        speed_t speed;
    };
    static constexpr Entry kSpeeds[] = {
        {50, B50},         {75, B75},         {110, B110},       {134, B134},     {150, B150},
        {200, B200},       {300, B300},       {600, B600},       {1200, B1200},   {1800, B1800},
        {2400, B2400},     {4800, B4800},     {9600, B9600},     {19200, B19200}, {38400, B38400},
        {57600, B57600},   {115200, B115200}, {230400, B230400},
#ifdef B460800
        {460800, B460800}, {921600, B921600},
#endif
    };
    for (const Entry& entry : kSpeeds) {
        if (entry.rate == rate)
            return entry.speed;
    }
    return std::nullopt;
}

tcflag_t characterSize(uint8_t byteSize)
{
    switch (byteSize) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    default: return CS8;
    }
}

// Parity 0..4: none, odd, even, mark, space. Mark and space need CMSPAR.
std::optional<tcflag_t> parityFlags(uint8_t parity)
{
    switch (parity) {
    case 0: return 0;
    case 1: return PARENB | PARODD;
    case 2: return PARENB;
#ifdef CMSPAR
    case 3: return PARENB | CMSPAR | PARODD;
    case 4: return PARENB | CMSPAR;
#endif
    default: return std::nullopt;
    }
}

// Pseudo-terminals and some adapters have no modem lines; that is no failure.
int setModemLine(int fd, int line, bool on)
{
    if (ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line) == 0 || errno == ENOTTY || errno == EINVAL)
        return 0;
    return errno;
}

}  // namespace

int ApplyLineSettings(int fd, const CommDcb& dcb)
{
    const std::optional<tcflag_t> parity = parityFlags(dcb.Parity);
    if (dcb.BaudRate == 0 || dcb.ByteSize < 5 || dcb.ByteSize > 8 || !parity || dcb.StopBits > 2)
        return EINVAL;

    termios settings{};
    if (tcgetattr(fd, &settings) != 0)
        return errno;

    // Raw: bytes pass unchanged both ways, nothing is echoed or interpreted,
    // and a read returns at once with what is there.
    settings.c_iflag &= ~(IGNBRK | BRKINT | IGNPAR | PARMRK | INPCK | ISTRIP);
    settings.c_iflag &= ~(INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY);
    settings.c_oflag &= ~OPOST;
    settings.c_lflag &= ~(ECHO | ECHOE | ECHOK | ECHONL | ICANON | ISIG | IEXTEN);
    settings.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
#ifdef CMSPAR
    settings.c_cflag &= ~CMSPAR;
#endif
    settings.c_cflag |= CLOCAL | CREAD | characterSize(dcb.ByteSize) | *parity;
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;

    if (dcb.Flags & CommDcb::fParity)
        settings.c_iflag |= INPCK;
    // One and a half stop bits become two.
    if (dcb.StopBits != 0)
        settings.c_cflag |= CSTOPB;

    // CRTSCTS covers both directions: output waits for CTS, input drives RTS.
    constexpr uint32_t kRtsHandshake = 2;
    if ((dcb.Flags & CommDcb::fOutxCtsFlow) || dcb.rtsControl() == kRtsHandshake)
        settings.c_cflag |= CRTSCTS;
    if (dcb.Flags & CommDcb::fOutX)
        settings.c_iflag |= IXON;
    if (dcb.Flags & CommDcb::fInX)
        settings.c_iflag |= IXOFF;
    settings.c_cc[VSTART] = dcb.XonChar;
    settings.c_cc[VSTOP] = dcb.XoffChar;

    const std::optional<speed_t> speed = standardSpeed(dcb.BaudRate);
    if (speed) {
#ifdef CIBAUD
        settings.c_cflag &= ~CIBAUD;  // a custom input rate set earlier
#endif
        cfsetispeed(&settings, *speed);
        cfsetospeed(&settings, *speed);
    }
    if (tcsetattr(fd, TCSANOW, &settings) != 0)
        return errno;
    if (!speed) {
        if (const int error = SetCustomBaudRate(fd, dcb.BaudRate))
            return error;
    }

    // DTR is on when enabled and when a handshake is asked for (termios has
    // no DTR handshake); RTS is on when enabled and under the RTS handshake,
    // which then drives it.
    if (const int error = setModemLine(fd, TIOCM_DTR, dcb.dtrControl() != 0))
        return error;
    return setModemLine(fd, TIOCM_RTS, dcb.rtsControl() == 1 || dcb.rtsControl() == kRtsHandshake);
}
