#pragma once

#include "setup/KvmConfig.h"

#include <QString>

#include <cstdint>

// The "Layout" section shared by the settings file and ".gxl" layout files,
// and the "Setup" section of the settings file.

class ProfileFile;

// 1: the file does not exist, `layout` unchanged; 0: read, every entry
// replaced (missing keys give 0); -1: the file could not be read, `layout`
// unchanged.
int ReadLayoutFile(const QString& fileName, KVM_LAYOUT& layout);

// 1: `overwrite` is off and the file exists, nothing written; 0: all 182
// keys written; -1: the file could not be written and was left unchanged,
// with the reason in `reason`.
int WriteLayoutFile(const QString& fileName, const KVM_LAYOUT& layout, bool overwrite, QString* reason = nullptr);

// The six keys of section "Setup", as read (defaults for missing or
// malformed values; no range rules applied) or to be written.
struct SetupSettings {
    int32_t COMPort = 1;
    int32_t Start = 1;
    int32_t Glidex = 0;
    int32_t HotKey = 0;
    int32_t MouseSlider = kDefaultSlider;
    int32_t SwitchPosition = kSwitchPosCenter;

    bool operator==(const SetupSettings&) const = default;
};

SetupSettings ReadSetupSection(const QString& fileName);
// The same from a document in memory.
SetupSettings ReadSetup(const ProfileFile& file);

// Writes the six keys in one replacement of the file; false when the file
// could not be written (it is then unchanged), with the reason in `reason`.
bool WriteSetupSection(const QString& fileName, const SetupSettings& settings, QString* reason = nullptr);
