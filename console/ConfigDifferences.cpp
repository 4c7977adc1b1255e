#include "console/ConfigDifferences.h"

#include "console/FileConfig.h"
#include "core/config/LayoutRules.h"
#include "core/config/ProtocolTable.h"
#include "core/layout/LayoutModel.h"
#include "core/link/ReplyLines.h"

namespace {

// "2" for the Master's port 2, "S3.4" for Slave 3's port 4.
QString portTitle(int port)
{
    QString title = ScreenTitle(port - 1, 1);
    title.chop(1);
    return title;
}

QString screenTitle(int n)
{
    return ScreenTitle(PortIndexOf(n), MonitorNoOf(n));
}

QJsonValue place(int32_t group, const PortRect& rect)
{
    if (group == 0)
        return QJsonValue::Null;
    return QJsonObject{{"group", group}, {"x", rect.X}, {"y", rect.Y}, {"width", rect.Width}, {"height", rect.Height}};
}

void compareSettings(const KVM_CONFIG& onSwitch, const KVM_CONFIG& inFile, QList<ConfigDifference>& differences)
{
    for (const ProtocolItem& item : kProtocolItems) {
        if (!item.setting || !item.filed || onSwitch.*item.setting == inFile.*item.setting)
            continue;
        differences.append({QString::fromLatin1(item.fileKey.data(), static_cast<qsizetype>(item.fileKey.size())),
                            onSwitch.*item.setting, inFile.*item.setting});
    }
}

void compareLayout(const KVM_LAYOUT& onSwitch, const KVM_LAYOUT& inFile, const ReplyLines* sent,
                   const ReplyLines* filed, QList<ConfigDifference>& differences)
{
    // An entry the switch did not send: unknown, so it differs from any
    // the file holds, and the file's holding none is no difference.
    const auto unsent = [sent](std::string_view reply, int index) {
        return sent && !sent->has(ReplyItem(reply), index);
    };
    const auto inFileAt = [filed](std::string_view reply, int index) {
        return !filed || filed->has(ReplyItem(reply), index);
    };
    const QJsonValue notSent = QStringLiteral("not sent");
    for (int n = 1; n <= kScreenCount; ++n) {
        const int32_t switchGroup = onSwitch.Group[n];
        const int32_t fileGroup = inFile.Group[n];
        const bool placed = switchGroup != 0 || fileGroup != 0;
        if (switchGroup != fileGroup || (placed && onSwitch.Port[n] != inFile.Port[n]))
            differences.append({screenTitle(n), place(switchGroup, onSwitch.Port[n]), place(fileGroup, inFile.Port[n])});
    }
    for (int port = 1; port <= kPortCount; ++port) {
        if (onSwitch.MStyle[port] != inFile.MStyle[port])
            differences.append({QStringLiteral("Style ") + portTitle(port), onSwitch.MStyle[port], inFile.MStyle[port]});
    }
    const auto size = [](const DeskSize& total) { return QJsonObject{{"width", total.Width}, {"height", total.Height}}; };
    for (int port = 1; port <= kPortCount; ++port) {
        if (unsent("MTotal", port)) {
            if (inFileAt("MTotal", port))
                differences.append({QStringLiteral("Total ") + portTitle(port), notSent, size(inFile.MTotal[port])});
        } else if (onSwitch.MTotal[port] != inFile.MTotal[port]) {
            differences.append(
                {QStringLiteral("Total ") + portTitle(port), size(onSwitch.MTotal[port]), size(inFile.MTotal[port])});
        }
    }
    const auto offset = [](const DeskOffset& at) { return QJsonObject{{"x", at.X}, {"y", at.Y}}; };
    for (int n = 1; n <= kScreenCount; ++n) {
        if (unsent("MConfig", n)) {
            if (inFileAt("MConfig", n))
                differences.append({QStringLiteral("Offset ") + screenTitle(n), notSent, offset(inFile.MConfig[n])});
        } else if (onSwitch.MConfig[n] != inFile.MConfig[n]) {
            differences.append(
                {QStringLiteral("Offset ") + screenTitle(n), offset(onSwitch.MConfig[n]), offset(inFile.MConfig[n])});
        }
    }
}

// A value as the line shows it; a monitor's group only when `showGroup`.
QString valueText(const QJsonValue& value, bool showGroup)
{
    if (value.isNull())
        return QStringLiteral("not placed");
    if (value.isString())
        return value.toString();
    if (!value.isObject())
        return QString::number(value.toInteger());
    const QJsonObject object = value.toObject();
    const auto number = [&](const char* key) { return QString::number(object.value(QLatin1String(key)).toInteger()); };
    const QString size = QStringLiteral("%1 x %2").arg(number("width"), number("height"));
    const QString at = QStringLiteral("%1, %2").arg(number("x"), number("y"));
    if (!object.contains(QLatin1String("x")))
        return size;
    if (!object.contains(QLatin1String("width")))
        return at;
    QString text = QStringLiteral("%1 at %2").arg(size, at);
    if (showGroup)
        text += QStringLiteral(" in group ") + number("group");
    return text;
}

}  // namespace

QList<ConfigDifference> ConfigDifferences(const KVM_CONFIG& switchConfig, const KVM_LAYOUT& switchLayout,
                                          const KVM_CONFIG& fileConfig, const KVM_LAYOUT& fileLayout,
                                          bool layoutOnly, const ReplyLines* sent, const ReplyLines* filed)
{
    QList<ConfigDifference> differences;
    if (!layoutOnly)
        compareSettings(switchConfig, fileConfig, differences);
    compareLayout(switchLayout, fileLayout, sent, filed, differences);
    return differences;
}

QList<ConfigDifference> SwitchFileDifferences(const KVM_CONFIG& switchConfig, const KVM_LAYOUT& switchLayout,
                                              const FileConfig& file, bool layoutOnly, const ReplyLines* sent)
{
    const auto filed = [](KVM_CONFIG config, KVM_LAYOUT layout) {
        ToFiledForm(config, layout);
        return std::pair{config, layout};
    };
    const auto [config, layout] = filed(switchConfig, switchLayout);
    const auto [standsConfig, standsLayout] = filed(file.filedConfig, file.filedLayout);
    const QList<ConfigDifference> asItStands =
        ConfigDifferences(config, layout, standsConfig, standsLayout, layoutOnly, sent, &file.filedEntries);
    if (asItStands.isEmpty() || !file.sendable.ok())
        return asItStands;
    const auto [heldConfig, heldLayout] = filed(file.filedConfig, file.heldLayout);
    const QList<ConfigDifference> asHeld =
        ConfigDifferences(config, layout, heldConfig, heldLayout, layoutOnly, sent);
    return asHeld.size() < asItStands.size() ? asHeld : asItStands;
}

QString DifferenceLine(const ConfigDifference& difference)
{
    // A monitor's group shows where both are placed in different groups.
    const bool showGroup = difference.onSwitch.isObject() && difference.inFile.isObject() &&
                           difference.onSwitch[QLatin1String("group")] != difference.inFile[QLatin1String("group")];
    const QString onSwitch = valueText(difference.onSwitch, showGroup);
    const QString inFile = valueText(difference.inFile, showGroup);
    // Values that hold a comma themselves are set apart by a semicolon.
    const QString separator = (onSwitch + inFile).contains(QLatin1Char(',')) ? QStringLiteral("; ") : QStringLiteral(", ");
    return QStringLiteral("%1: switch %2%3file %4").arg(difference.item, onSwitch, separator, inFile);
}

QJsonObject DifferenceJson(const ConfigDifference& difference)
{
    return {{"item", difference.item}, {"switch", difference.onSwitch}, {"file", difference.inFile}};
}
