#include "cli/ConfigDifferences.h"

#include "editor/LayoutModel.h"
#include "setup/LayoutRules.h"
#include "setup/ProtocolTable.h"

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

QString line(const QString& what, const QString& onSwitch, const QString& inFile, const char* separator = ", ")
{
    return QStringLiteral("%1: switch %2%3file %4").arg(what, onSwitch, QLatin1String(separator), inFile);
}

QString place(int32_t group, const PortRect& rect, bool showGroup)
{
    if (group == 0)
        return QStringLiteral("not placed");
    QString text = QStringLiteral("%1 x %2 at %3, %4").arg(rect.Width).arg(rect.Height).arg(rect.X).arg(rect.Y);
    if (showGroup)
        text += QStringLiteral(" in group %1").arg(group);
    return text;
}

void compareSettings(const KVM_CONFIG& onSwitch, const KVM_CONFIG& inFile, QStringList& differences)
{
    for (const ProtocolItem& item : kProtocolItems) {
        if (!item.setting || !item.filed || onSwitch.*item.setting == inFile.*item.setting)
            continue;
        differences << line(QString::fromLatin1(item.fileKey.data(), static_cast<qsizetype>(item.fileKey.size())),
                            QString::number(onSwitch.*item.setting), QString::number(inFile.*item.setting));
    }
}

void compareLayout(const KVM_LAYOUT& onSwitch, const KVM_LAYOUT& inFile, QStringList& differences)
{
    for (int n = 1; n <= kScreenCount; ++n) {
        const int32_t switchGroup = onSwitch.Group[n];
        const int32_t fileGroup = inFile.Group[n];
        const bool placed = switchGroup != 0 || fileGroup != 0;
        if (switchGroup == fileGroup && (!placed || onSwitch.Port[n] == inFile.Port[n]))
            continue;
        const bool showGroup = switchGroup != fileGroup && switchGroup != 0 && fileGroup != 0;
        differences << line(screenTitle(n), place(switchGroup, onSwitch.Port[n], showGroup),
                            place(fileGroup, inFile.Port[n], showGroup), "; ");
    }
    for (int port = 1; port <= kPortCount; ++port) {
        if (onSwitch.MStyle[port] != inFile.MStyle[port])
            differences << line(QStringLiteral("Style ") + portTitle(port), QString::number(onSwitch.MStyle[port]),
                                QString::number(inFile.MStyle[port]));
    }
    const auto size = [](const DeskSize& total) { return QStringLiteral("%1 x %2").arg(total.Width).arg(total.Height); };
    for (int port = 1; port <= kPortCount; ++port) {
        if (onSwitch.MTotal[port] != inFile.MTotal[port])
            differences << line(QStringLiteral("Total ") + portTitle(port), size(onSwitch.MTotal[port]),
                                size(inFile.MTotal[port]));
    }
    const auto offset = [](const DeskOffset& at) { return QStringLiteral("%1, %2").arg(at.X).arg(at.Y); };
    for (int n = 1; n <= kScreenCount; ++n) {
        if (onSwitch.MConfig[n] != inFile.MConfig[n])
            differences << line(QStringLiteral("Offset ") + screenTitle(n), offset(onSwitch.MConfig[n]),
                                offset(inFile.MConfig[n]), "; ");
    }
}

}  // namespace

QStringList ConfigDifferences(const KVM_CONFIG& switchConfig, const KVM_LAYOUT& switchLayout,
                              const KVM_CONFIG& fileConfig, const KVM_LAYOUT& fileLayout, bool layoutOnly)
{
    QStringList differences;
    if (!layoutOnly)
        compareSettings(switchConfig, fileConfig, differences);
    compareLayout(switchLayout, fileLayout, differences);
    return differences;
}
