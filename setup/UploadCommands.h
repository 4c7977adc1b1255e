#pragma once

#include <string>
#include <vector>

struct KVM_CONFIG;
struct KVM_LAYOUT;

// The command lines of an upload, as the switch reads them, and which of
// them each upload sends. Numbers are "%d" decimal, or "%X" upper-case
// hexadecimal of the 32-bit pattern where the switch expects hexadecimal.

// "START", "GLIDEX", "HOTKEY", "SLIDER" and "SWITCHPOS" with their values.
std::vector<std::string> SettingsCommands(const KVM_CONFIG& config);

// The 185 layout lines: "GROUP1".."GROUP4", 80 "PORT", "MSTYLE", 20
// "MTOTAL", 80 "MCONFIG". Every entry is sent, screens without a monitor too.
std::vector<std::string> LayoutCommands(const KVM_LAYOUT& layout);

// Save Config: the settings, the layout only when it passed the layout
// check, and "SAVE" last (191 lines, or 6 without the layout).
std::vector<std::string> SaveConfigCommands(const KVM_CONFIG& config, const KVM_LAYOUT& layout, bool layoutValid);

// Send Layout: the layout and "SAVE" (186 lines).
std::vector<std::string> SendLayoutCommands(const KVM_LAYOUT& layout);
