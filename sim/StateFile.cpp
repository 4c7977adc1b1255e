#include "sim/StateFile.h"

#include "core/config/LayoutFile.h"
#include "core/config/ProfileFile.h"
#include "core/config/Tokens.h"

#include <QFileInfo>

namespace {

constexpr std::string_view kSwitch = "Switch";

struct Field {
    const char* key;
    int32_t KVM_CONFIG::*member;
};

constexpr Field kFields[] = {
    {"ConfigVer", &KVM_CONFIG::ConfigVer}, {"Start", &KVM_CONFIG::Start},   {"Glidex", &KVM_CONFIG::Glidex},
    {"HotKey", &KVM_CONFIG::HotKey},       {"Slider", &KVM_CONFIG::Slider}, {"SwitchPos", &KVM_CONFIG::SwitchPos},
};

}  // namespace

StateFileStatus ReadStateFile(const QString& path, KVM_CONFIG& config, KVM_LAYOUT& layout)
{
    if (!QFileInfo::exists(path))
        return StateFileStatus::Missing;
    KVM_LAYOUT readLayout;
    const ProfileFile file(path);
    if (!ReadLayoutFile(path, readLayout).ok() || !file.readResult().ok())
        return StateFileStatus::Failed;

    for (const Field& field : kFields)
        config.*field.member = file.readInteger(kSwitch, field.key, config.*field.member);
    // The switch reports its layout name as one word.
    TokenScanner scanner;
    scanner.NextToken(file.readString(kSwitch, "Layout", config.Layout), 0);
    config.Layout = scanner.Token;
    layout = readLayout;
    return StateFileStatus::Loaded;
}

bool WriteStateFile(const QString& path, const KVM_CONFIG& config, const KVM_LAYOUT& layout)
{
    if (!WriteLayoutFile(path, layout, true).ok())
        return false;
    ProfileFile file(path);
    for (const Field& field : kFields)
        file.writeInteger(kSwitch, field.key, config.*field.member);
    file.writeString(kSwitch, "Layout", config.Layout);
    return file.save().ok();
}
