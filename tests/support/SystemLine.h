#pragma once

#include "core/serial/CommDevice.h"

// What the program hands to its serial device: 115200 8N1, no handshake,
// DTR and RTS off, thresholds of a 1024-byte queue; reads return at once
// and a write of n bytes may take 1000 + 100 n ms.
inline CommDcb SystemDcb()
{
    CommDcb dcb;
    dcb.DCBlength = 28;
    dcb.BaudRate = 115200;
    dcb.Flags = CommDcb::fBinary;
    dcb.XonLim = 256;
    dcb.XoffLim = 256;
    dcb.ByteSize = 8;
    dcb.XonChar = 17;
    dcb.XoffChar = 19;
    return dcb;
}

inline constexpr CommTimeouts kSystemTimeouts{0xFFFFFFFF, 0, 0, 100, 1000};
