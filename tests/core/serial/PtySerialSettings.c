// Test-only LD_PRELOAD library: answers the serial settings requests that
// pseudo-terminals refuse as a USB serial adapter does, so that a test sees
// what the serial device asks of the driver. TIOCGSERIAL reports the flags
// ASYNC_SKIP_TEST and ASYNC_BUGGY_UART; TIOCSSERIAL keeps what it is asked
// in PtySerialAsked. With TORVIK_SERIAL_REFUSE=get (or set) that request
// fails, as on a device without the setting (TIOCSSERIAL after keeping what
// it was asked). Every other request goes to the C library.

#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <linux/serial.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>

struct serial_struct PtySerialAsked;

int ioctl(int fd, unsigned long request, ...)
{
    va_list args;
    va_start(args, request);
    void* arg = va_arg(args, void*);
    va_end(args);
    if (request != TIOCGSERIAL && request != TIOCSSERIAL) {
        static int (*next)(int, unsigned long, ...);
        if (!next)
            *(void**)&next = dlsym(RTLD_NEXT, "ioctl");
        return next(fd, request, arg);
    }

    struct serial_struct* settings = arg;
    if (request == TIOCSSERIAL)
        PtySerialAsked = *settings;
    const char* refuse = getenv("TORVIK_SERIAL_REFUSE");
    if (refuse && strcmp(refuse, request == TIOCGSERIAL ? "get" : "set") == 0) {
        errno = ENOTTY;
        return -1;
    }
    if (request == TIOCSSERIAL)
        return 0;
    memset(settings, 0, sizeof *settings);
    settings->flags = ASYNC_SKIP_TEST | ASYNC_BUGGY_UART;
    return 0;
}
