#pragma once

class TComPort;

// The switch's serial line: 115200 baud, 8 data bits, no parity, one stop
// bit, no handshake, DTR and RTS off, every event watched and handed to the
// user-interface thread. The one place these settings are made, for the
// program, its tests and its benchmarks alike.
void SetSwitchLineSettings(TComPort& port);
