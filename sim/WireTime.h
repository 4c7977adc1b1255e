#pragma once

#include <chrono>
#include <cstddef>

// Time on a 115200 baud line, 10 bits a byte (start, 8 data, stop).
constexpr long long kWireBitsPerByte = 10;
constexpr long long kWireBaud = 115200;

// How long `bytes` take on the line.
constexpr std::chrono::nanoseconds WireTime(std::size_t bytes)
{
    return std::chrono::nanoseconds(static_cast<long long>(bytes) * kWireBitsPerByte * 1'000'000'000LL / kWireBaud);
}

// Whole bytes the line carries in `elapsed`.
constexpr std::size_t WireBytesIn(std::chrono::nanoseconds elapsed)
{
    return static_cast<std::size_t>(elapsed.count() * kWireBaud / (kWireBitsPerByte * 1'000'000'000LL));
}
