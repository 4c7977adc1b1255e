#pragma once

#include <string>
#include <vector>

struct KVM_CONFIG;
struct KVM_LAYOUT;

// The command lines of an upload, as the switch reads them, and which of
// them each upload sends: the items of the protocol table that have an
// upload keyword, in the table's order, with its number bases.

// The settings' lines (kSettingsCommandLines): "START", "GLIDEX", "HOTKEY",
// "SLIDER" and "SWITCHPOS" with their values.
std::vector<std::string> SettingsCommands(const KVM_CONFIG& config);

// The layout's lines (kLayoutCommandLines): "GROUP1".."GROUP4", a "PORT" per
// screen, "MSTYLE", an "MTOTAL" per computer port, an "MCONFIG" per screen.
// Every entry is sent, screens without a monitor too.
std::vector<std::string> LayoutCommands(const KVM_LAYOUT& layout);

// Save Config: the settings, the layout only when it passed the layout
// check, and "SAVE" last.
std::vector<std::string> SaveConfigCommands(const KVM_CONFIG& config, const KVM_LAYOUT& layout, bool layoutValid);

// Send Layout: the layout and "SAVE".
std::vector<std::string> SendLayoutCommands(const KVM_LAYOUT& layout);
