#pragma once

#include "core/config/KvmConfig.h"

#include <QString>

// The file a simulated switch keeps its stored configuration in: an INI file
// whose section "Switch" holds the settings record (ConfigVer, Start, Glidex,
// HotKey, Slider, SwitchPos as decimal numbers, Layout as one word) and whose
// section "Layout" holds the layout tables as layout files do, so the state
// file also opens as a layout file. Like a layout file it holds no negative
// layout values: they read back as 0.

enum class StateFileStatus {
    Loaded,   // read; missing settings keep the values passed in, missing
              // layout entries read as 0 as in layout files
    Missing,  // no such file; nothing changed
    Failed,   // the file exists but could not be read; nothing changed
};

StateFileStatus ReadStateFile(const QString& path, KVM_CONFIG& config, KVM_LAYOUT& layout);

// False when the file could not be written.
bool WriteStateFile(const QString& path, const KVM_CONFIG& config, const KVM_LAYOUT& layout);
