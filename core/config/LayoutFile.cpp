#include "core/config/LayoutFile.h"

#include "core/config/ProfileFile.h"
#include "core/config/ProtocolTable.h"
#include "core/config/Tokens.h"

#include <QFileInfo>

#include <algorithm>
#include <array>
#include <span>
#include <string>

namespace {

// The key of one index of a table filed key by key ("Port1"), or the one key
// of a whole table ("Group").
std::string layoutKey(const ProtocolItem& item, int index)
{
    std::string key(item.fileKey);
    if (item.range == IndexRange::Each)
        key += std::to_string(index);
    return key;
}

// The indexes one key holds: every index of a whole table, or one.
int indexesPerKey(const ProtocolItem& item)
{
    return item.range == IndexRange::Each ? 1 : item.indexes;
}

// Calls `each(item, key, first, perKey)` for every key of the layout tables
// in the file, in table order: `key` holds `perKey` indexes from `first` on.
template <typename Each>
void forEachLayoutKey(Each each)
{
    for (const ProtocolItem& item : kProtocolItems) {
        if (!IsLayoutItem(item) || item.fileKey.empty())
            continue;
        const int perKey = indexesPerKey(item);
        for (int first = 1; first <= item.indexes; first += perKey)
            each(item, layoutKey(item, first), first, perKey);
    }
}

QString keyName(std::string_view key)
{
    return QString::fromLatin1(key.data(), static_cast<qsizetype>(key.size()));
}

// Failed: "line 9: Port2: expected 4 whole numbers of 0 or more, separated by spaces".
FileResult unreadable(const ProfileFile& file, std::string_view section, std::string_view key, const QString& expected)
{
    return FileResult::failed(
        QStringLiteral("line %1: %2: expected %3").arg(file.lineOf(section, key)).arg(keyName(key), expected));
}

// Whether `token` is a decimal of 0 or more that a 32-bit number holds.
bool isCount(std::string_view token)
{
    constexpr std::string_view kMost = "2147483647";
    if (token.empty() || token.find_first_not_of("0123456789") != std::string_view::npos)
        return false;
    token.remove_prefix(std::min(token.find_first_not_of('0'), token.size() - 1));
    return token.size() < kMost.size() || (token.size() == kMost.size() && token <= kMost);
}

}  // namespace

FileResult ReadLayoutStrictly(const ProfileFile& file, KVM_LAYOUT& layout)
{
    TokenScanner scanner;
    FileResult result;
    forEachLayoutKey([&](const ProtocolItem& item, const std::string& key, int, int perKey) {
        const std::optional<std::string> value = file.value(kLayoutSection, key);
        if (!value || !result.ok())
            return;
        const int most = perKey * item.values;
        int count = 0;
        bool numbers = true;
        for (std::size_t pos = scanner.NextToken(*value, 0); !scanner.Token.empty();
             pos = scanner.NextToken(*value, pos)) {
            numbers = numbers && isCount(scanner.Token);
            ++count;
        }
        if (numbers && (item.range == IndexRange::Each ? count == most : count <= most))
            return;
        const QString amount =
            item.range == IndexRange::Each ? QString::number(most) : QStringLiteral("up to %1").arg(most);
        result = unreadable(file, kLayoutSection, key,
                            QStringLiteral("%1 whole numbers of 0 or more, separated by spaces").arg(amount));
    });
    if (result.ok())
        layout = ReadLayout(file);
    return result;
}

FileResult ReadSetupStrictly(const ProfileFile& file, SetupSettings& settings)
{
    SetupSettings read = ReadSetup(file);
    for (const ProtocolItem& item : kProtocolItems) {
        if (!item.filed || !item.setting)
            continue;
        const std::optional<std::string> value = file.value(kSetupSection, item.fileKey);
        if (!value)
            continue;
        const std::optional<int32_t> number = ProfileFile::LeadingInteger(*value);
        if (!number)
            return unreadable(file, kSetupSection, item.fileKey,
                              QStringLiteral("a number of up to 32 bits (decimal, or hexadecimal after 0x or $)"));
        read.*item.filed = *number;
    }
    settings = read;
    return FileResult::done();
}

FileResult ReadLayoutFile(const QString& fileName, KVM_LAYOUT& layout)
{
    if (!QFileInfo(fileName).isFile())
        return {FileResult::Status::Missing, {}};
    const ProfileFile file(fileName);
    if (!file.readResult().ok())
        return file.readResult();
    layout = ReadLayout(file);
    return FileResult::done();
}

KVM_LAYOUT ReadLayout(const ProfileFile& file)
{
    // Missing keys, and missing numbers, read as 0; surplus numbers are ignored.
    TokenScanner scanner;
    KVM_LAYOUT result;
    std::array<int32_t, kMostLayoutNumbers> numbers{};
    forEachLayoutKey([&](const ProtocolItem& item, const std::string& key, int first, int perKey) {
        const auto values = static_cast<std::size_t>(item.values);
        const std::span<int32_t> read = std::span(numbers).first(static_cast<std::size_t>(perKey) * values);
        scanner.ReadNumbers(file.readString(kLayoutSection, key, ""), read);
        for (int i = 0; i < perKey; ++i)
            item.set(result, first + i, read.subspan(static_cast<std::size_t>(i) * values, values));
    });
    return result;
}

FileResult WriteLayoutFile(const QString& fileName, const KVM_LAYOUT& layout, bool overwrite,
                           MissingFolder missingFolder)
{
    if (!overwrite && QFileInfo(fileName).isFile())
        return {FileResult::Status::Exists, {}};
    ProfileFile file(fileName);
    WriteLayout(file, layout);
    return file.save(missingFolder);
}

void WriteLayout(ProfileFile& file, const KVM_LAYOUT& layout)
{
    // The numbers of one key, "%d" each, separated by single spaces.
    std::array<int32_t, kMostLayoutNumbers> numbers{};
    forEachLayoutKey([&](const ProtocolItem& item, const std::string& key, int first, int perKey) {
        std::string text;
        for (int i = 0; i < perKey; ++i) {
            const std::span<int32_t> element = std::span(numbers).first(static_cast<std::size_t>(item.values));
            item.get(layout, first + i, element);
            for (const int32_t number : element) {
                if (!text.empty())
                    text += ' ';
                text += std::to_string(number);
            }
        }
        file.writeString(kLayoutSection, key, text);
    });
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
    for (const ProtocolItem& item : kProtocolItems) {
        if (item.filed)
            settings.*item.filed = file.readInteger(kSetupSection, item.fileKey, defaults.*item.filed);
    }
    return settings;
}

FileResult WriteSetupSection(const QString& fileName, const SetupSettings& settings)
{
    ProfileFile file(fileName);
    WriteSetup(file, settings);
    return file.save();
}

void WriteSetup(ProfileFile& file, const SetupSettings& settings)
{
    for (const ProtocolItem& item : kProtocolItems) {
        if (item.filed)
            file.writeInteger(kSetupSection, item.fileKey, settings.*item.filed);
    }
}

KVM_CONFIG SettingsOf(const SetupSettings& settings)
{
    KVM_CONFIG config;
    for (const ProtocolItem& item : kProtocolItems) {
        if (item.filed && item.setting)
            config.*item.setting = settings.*item.filed;
    }
    return config;
}

KVM_CONFIG FiledConfig(const SetupSettings& settings)
{
    KVM_CONFIG config = SettingsOf(settings);
    NormalizeFileSettings(config);
    return config;
}

SetupSettings FileSettings(int32_t comPort, const KVM_CONFIG& config)
{
    SetupSettings settings;
    settings.COMPort = comPort;
    for (const ProtocolItem& item : kProtocolItems) {
        if (item.filed && item.setting)
            settings.*item.filed = config.*item.setting;
    }
    return settings;
}
