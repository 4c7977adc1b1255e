#pragma once

#include "core/serial/CommDevice.h"

#include <cstdint>

// The line settings of a device control block on a POSIX terminal device:
// raw mode, rate, character format, handshake, and the DTR and RTS lines.
// Returns 0, or the errno of the step that failed (EINVAL for a block that
// names no valid format).
//
// What termios cannot express is left out: DSR handshake and DSR
// sensitivity, RTS toggling (the line is held off), continuing after XOFF,
// the XON/XOFF thresholds, the parity replacement character, and aborting
// on errors.
int ApplyLineSettings(int fd, const CommDcb& dcb);

// Sets a rate that has no termios speed constant. Kept apart from
// ApplyLineSettings because on Linux it needs the kernel's termios2, whose
// header cannot share a source file with <termios.h>.
int SetCustomBaudRate(int fd, uint32_t rate);
