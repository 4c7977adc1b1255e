#pragma once

// Asks the driver of a serial device to pass received bytes on at once
// (ASYNC_LOW_LATENCY). USB serial adapters otherwise hold them back for up
// to their latency timer (16 ms on FTDI adapters), and every command of a
// transfer waits for a short prompt. A device without the setting (a
// pseudo-terminal, some drivers) refuses, which leaves it as it was: the
// refusal is ignored. Linux only.
void RequestLowLatency(int fd);
