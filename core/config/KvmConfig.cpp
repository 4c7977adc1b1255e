#include "core/config/KvmConfig.h"

namespace {

struct DefaultScreen {
    int screen;
    PortRect rect;
};

// The factory layout: the first monitors of the Master's four ports, side by side.
constexpr std::array<DefaultScreen, 4> kDefaultScreens = {{
    {1, {0, 0, 1920, 1080}},
    {2, {1920, 0, 1920, 1080}},
    {3, {3840, 0, 1920, 1080}},
    {4, {5760, 0, 1920, 1080}},
}};

}  // namespace

void ResetToDefaults(KVM_CONFIG& config, KVM_LAYOUT& layout)
{
    config = KVM_CONFIG{};
    config.Start = 1;
    config.Slider = kDefaultSlider;
    config.SwitchPos = kSwitchPosCenter;

    layout = KVM_LAYOUT{};
    for (const DefaultScreen& entry : kDefaultScreens) {
        layout.Group[entry.screen] = 1;
        layout.Port[entry.screen] = entry.rect;
    }
}

void CommitDownload(ConfigRecords& records, bool layoutOnly)
{
    if (!layoutOnly)
        records.KvmConfig = records.RxConfig;
    records.KvmLayout = records.RxLayout;
}

bool SliderValid(int32_t slider)
{
    return slider >= 0 && (slider & 127) <= 10;
}

int32_t NormalizedSwitchPos(int32_t switchPos)
{
    return switchPos == kSwitchPosLast ? kSwitchPosLast : kSwitchPosCenter;
}

void NormalizeFileSettings(KVM_CONFIG& config)
{
    if (config.Start < 1 || config.Start > 4)
        config.Start = 1;
    if (config.HotKey < 0 || config.HotKey > 3)
        config.HotKey = 0;
    if (!SliderValid(config.Slider))
        config.Slider = kDefaultSlider;
    config.SwitchPos = NormalizedSwitchPos(config.SwitchPos);
}

KVM_CONFIG EditableSettings(const KVM_CONFIG& config)
{
    KVM_CONFIG editable = config;
    editable.Glidex = config.Glidex != 0 ? 1 : 0;
    editable.Slider = config.Slider & (15 | kSliderPrecision);
    return editable;
}

int SwitchPosToItem(int32_t switchPos)
{
    return static_cast<int>((static_cast<uint32_t>(switchPos) + 1u) % 256u);
}
