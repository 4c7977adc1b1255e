#pragma once

#include "core/config/OneBased.h"

#include <array>
#include <cstdint>
#include <string>

// Cascade size: a Master and four Slaves with four computer ports each, and
// up to four monitors per computer port.
inline constexpr int kUnitCount = 5;
inline constexpr int kPortCount = 20;    // computer-port number p = unit * 4 + port
inline constexpr int kScreenCount = 80;  // screen number n = (monitor - 1) * 20 + p

// The settings record the switch stores and the setup window edits.
struct KVM_CONFIG {
    int32_t ConfigVer = 0;  // reported by the switch; never sent, shown or filed
    int32_t Start = 0;      // computer port selected at power-up, 1..4
    int32_t Glidex = 0;     // 0 = plain KVM mode, non-zero = Glidex on
    int32_t HotKey = 0;     // 0 Ctrl Ctrl, 1 Alt Alt, 2 Shift Shift, 3 Scroll Scroll
    int32_t Slider = 0;     // speed in bits 0..3, pointer precision in bit 7
    int32_t SwitchPos = 0;  // 255 = last position, 0 = centre of the screen
    std::string Layout;     // word reported after "Layout"; never sent, shown or filed

    bool operator==(const KVM_CONFIG&) const = default;
};

// A monitor's rectangle on the shared virtual desktop, in device pixels.
struct PortRect {
    int32_t X = 0;
    int32_t Y = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    bool operator==(const PortRect&) const = default;
};

// The combined desktop size of one computer port.
struct DeskSize {
    int32_t Width = 0;
    int32_t Height = 0;
    bool operator==(const DeskSize&) const = default;
};

// A monitor's offset within its computer port's combined desktop.
struct DeskOffset {
    int32_t X = 0;
    int32_t Y = 0;
    bool operator==(const DeskOffset&) const = default;
};

// The monitor map used in Glidex mode. All tables are 1-based.
struct KVM_LAYOUT {
    OneBased<int32_t, kScreenCount> Group;      // 0 = not placed, else the layout group
    OneBased<PortRect, kScreenCount> Port;      // by screen number
    OneBased<int32_t, kPortCount> MStyle;       // arrangement style 0..7, by computer port
    OneBased<DeskSize, kPortCount> MTotal;      // by computer port
    OneBased<DeskOffset, kScreenCount> MConfig; // by screen number

    bool operator==(const KVM_LAYOUT&) const = default;
};

// The working configuration, and the one a download fills before it
// commits. One object for the whole program, made by the program entry and
// handed to the windows and the transfers; the received pair is never
// cleared, so what the switch does not report keeps what the last download
// left there.
struct ConfigRecords {
    KVM_CONFIG KvmConfig;
    KVM_LAYOUT KvmLayout;
    KVM_CONFIG RxConfig;
    KVM_LAYOUT RxLayout;
};

inline constexpr int32_t kDefaultSlider = 133;  // speed 5 with pointer precision
inline constexpr int32_t kSliderPrecision = 128;
inline constexpr int32_t kSwitchPosLast = 255;
inline constexpr int32_t kSwitchPosCenter = 0;

// The six keys of the settings file's section "Setup", as read (defaults
// for missing or malformed values; no range rules applied) or to be written.
struct SetupSettings {
    int32_t COMPort = 1;
    int32_t Start = 1;
    int32_t Glidex = 0;
    int32_t HotKey = 0;
    int32_t MouseSlider = kDefaultSlider;
    int32_t SwitchPosition = kSwitchPosCenter;

    bool operator==(const SetupSettings&) const = default;
};

// Clears both records and applies the factory configuration: four 1920 x 1080
// screens in one row on the Master's first monitors, everything else zero.
void ResetToDefaults(KVM_CONFIG& config, KVM_LAYOUT& layout);

// Takes a finished download into the working pair. A layout-only download
// leaves the settings as they are.
void CommitDownload(ConfigRecords& records, bool layoutOnly);

// A slider value is valid when it is not negative and its low seven bits
// hold a speed of at most 10.
bool SliderValid(int32_t slider);

// Anything but "last position" and "centre of screen" counts as the centre.
int32_t NormalizedSwitchPos(int32_t switchPos);

// The range rules applied after the settings file has been read.
void NormalizeFileSettings(KVM_CONFIG& config);

// What the setup window's controls hold of valid settings, and so what Save
// Config sends: KVM mode on or off (Glidex 0 or 1), and of the slider its
// speed and the pointer precision bit.
KVM_CONFIG EditableSettings(const KVM_CONFIG& config);

// Index of the switch-position list item for a value: 255 shows item 0
// ("Last position"), 0 shows item 1 ("Center of screen").
int SwitchPosToItem(int32_t switchPos);
