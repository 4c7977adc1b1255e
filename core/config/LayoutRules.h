#pragma once

#include "core/config/KvmConfig.h"

#include <array>
#include <cstdint>
#include <optional>

// The rules of the layout record that hold wherever it is edited: how screen
// numbers map to ports and monitors, how many monitors a style has, the
// totals a style gives a port, and which ports may not share a layout.

// Screen n (1..80): its computer port across the cascade (0..19) and its
// monitor (1..4).
inline constexpr int PortIndexOf(int screenNo) { return (screenNo - 1) % kPortCount; }
inline constexpr int MonitorNoOf(int screenNo) { return (screenNo + 19) / kPortCount; }

// Monitors per arrangement style 0..7.
inline constexpr std::array<int32_t, 8> StyleMonitors = {1, 2, 3, 4, 4, 2, 3, 4};

// Monitors of a style; a style outside 0..7 counts as one monitor.
int32_t MonitorsOfStyle(int32_t style);

// Layout values come from files and the switch and may be anything a 32-bit
// integer holds: sums and moves of them are worked out in 64 bits. A result
// that goes back into a 32-bit table value or field is held at the nearest
// end of the 32-bit range.
int32_t Saturated(int64_t value);

// The desktop a style makes of its monitors' sizes (monitor 1 first): the
// total size and each monitor's offset within it, in 64 bits. Monitors the
// style does not hold are left at (0, 0); a style outside 0..7 gives nothing.
struct StyleDesktop {
    int64_t Width = 0;
    int64_t Height = 0;
    std::array<std::array<int64_t, 2>, 4> Offsets{};  // x, y of monitors 1..4
};
std::optional<StyleDesktop> ArrangeStyle(int32_t style, const std::array<DeskSize, 4>& sizes);

// Recomputes MTotal and MConfig of every computer port from its style and
// the sizes in Port. A port with a style outside 0..7 is left as it is. Sums
// beyond the 32-bit range are held at its end.
void StoreMonitorTotals(KVM_LAYOUT& layout);

// Master port k and Slave k (k = 1..4) exclude each other: whether a monitor
// of computer port `portIndex` (0..19) conflicts with one of `otherIndex`.
bool PortsExclude(int portIndex, int otherIndex);
