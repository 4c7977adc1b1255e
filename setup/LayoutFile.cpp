#include "setup/LayoutFile.h"

#include "setup/ProfileFile.h"
#include "setup/Tokens.h"

#include <QFileInfo>

#include <array>
#include <span>
#include <string>

namespace {

constexpr std::string_view kLayout = "Layout";
constexpr std::string_view kSetup = "Setup";

std::string indexedKey(const char* prefix, int index)
{
    return prefix + std::to_string(index);
}

template <std::size_t N>
std::array<int32_t, N> readNumbers(const ProfileFile& file, const std::string& key)
{
    std::array<int32_t, N> numbers{};
    TokenScanner().ReadNumbers(file.readString(kLayout, key, ""), std::span<int32_t>(numbers));
    return numbers;
}

// The numbers of one value, "%d" each, separated by single spaces.
template <typename Range>
std::string joinNumbers(const Range& numbers)
{
    std::string text;
    for (const int32_t number : numbers) {
        if (!text.empty())
            text += ' ';
        text += std::to_string(number);
    }
    return text;
}

}  // namespace

int ReadLayoutFile(const QString& fileName, KVM_LAYOUT& layout)
{
    if (!QFileInfo(fileName).isFile())
        return 1;
    const ProfileFile file(fileName);
    if (file.status() != ProfileFile::Status::Loaded)
        return -1;

    KVM_LAYOUT result;
    const auto group = readNumbers<kScreenCount>(file, "Group");
    for (int n = 1; n <= kScreenCount; ++n)
        result.Group[n] = group[n - 1];
    for (int n = 1; n <= kScreenCount; ++n) {
        const auto v = readNumbers<4>(file, indexedKey("Port", n));
        result.Port[n] = {v[0], v[1], v[2], v[3]};
    }
    const auto style = readNumbers<kPortCount>(file, "MStyle");
    for (int p = 1; p <= kPortCount; ++p)
        result.MStyle[p] = style[p - 1];
    for (int p = 1; p <= kPortCount; ++p) {
        const auto v = readNumbers<2>(file, indexedKey("MTotal", p));
        result.MTotal[p] = {v[0], v[1]};
    }
    for (int n = 1; n <= kScreenCount; ++n) {
        const auto v = readNumbers<2>(file, indexedKey("MConfig", n));
        result.MConfig[n] = {v[0], v[1]};
    }
    layout = result;
    return 0;
}

int WriteLayoutFile(const QString& fileName, const KVM_LAYOUT& layout, bool overwrite, QString* reason)
{
    if (!overwrite && QFileInfo(fileName).isFile())
        return 1;
    ProfileFile file(fileName);
    file.writeString(kLayout, "Group", joinNumbers(layout.Group));
    for (int n = 1; n <= kScreenCount; ++n) {
        const PortRect& r = layout.Port[n];
        file.writeString(kLayout, indexedKey("Port", n), joinNumbers(std::array{r.X, r.Y, r.Width, r.Height}));
    }
    file.writeString(kLayout, "MStyle", joinNumbers(layout.MStyle));
    for (int p = 1; p <= kPortCount; ++p) {
        const DeskSize& s = layout.MTotal[p];
        file.writeString(kLayout, indexedKey("MTotal", p), joinNumbers(std::array{s.Width, s.Height}));
    }
    for (int n = 1; n <= kScreenCount; ++n) {
        const DeskOffset& o = layout.MConfig[n];
        file.writeString(kLayout, indexedKey("MConfig", n), joinNumbers(std::array{o.X, o.Y}));
    }
    return file.save(reason) ? 0 : -1;
}

SetupSettings ReadSetupSection(const QString& fileName)
{
    // An unreadable file reads like a missing one: every key gives its default.
    return ReadSetup(ProfileFile(fileName));
}

SetupSettings ReadSetup(const ProfileFile& file)
{
    const SetupSettings defaults;
    SetupSettings settings;
    settings.COMPort = file.readInteger(kSetup, "COMPort", defaults.COMPort);
    settings.Start = file.readInteger(kSetup, "Start", defaults.Start);
    settings.Glidex = file.readInteger(kSetup, "Glidex", defaults.Glidex);
    settings.HotKey = file.readInteger(kSetup, "HotKey", defaults.HotKey);
    settings.MouseSlider = file.readInteger(kSetup, "MouseSlider", defaults.MouseSlider);
    settings.SwitchPosition = file.readInteger(kSetup, "SwitchPosition", defaults.SwitchPosition);
    return settings;
}

bool WriteSetupSection(const QString& fileName, const SetupSettings& settings, QString* reason)
{
    ProfileFile file(fileName);
    file.writeInteger(kSetup, "COMPort", settings.COMPort);
    file.writeInteger(kSetup, "Start", settings.Start);
    file.writeInteger(kSetup, "Glidex", settings.Glidex);
    file.writeInteger(kSetup, "HotKey", settings.HotKey);
    file.writeInteger(kSetup, "MouseSlider", settings.MouseSlider);
    file.writeInteger(kSetup, "SwitchPosition", settings.SwitchPosition);
    return file.save(reason);
}
