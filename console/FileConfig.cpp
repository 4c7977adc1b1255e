#include "console/FileConfig.h"

#include "core/config/LayoutFile.h"
#include "core/config/LayoutRules.h"
#include "core/config/ProfileFile.h"
#include "core/config/ProtocolTable.h"
#include "core/layout/LayoutModel.h"

#include <string>

namespace {

QString sectionName(std::string_view section)
{
    return QString::fromLatin1(section.data(), static_cast<qsizetype>(section.size()));
}

// The keys of the layout section that sending needs and `file` lacks, at
// most `most` of them: "Group"; "MStyle" once a computer port has a second
// monitor placed (without it every port would have one); "PortN" of each
// placed monitor.
QStringList missingLayoutKeys(const ProfileFile& file, const KVM_LAYOUT& layout, int most)
{
    QStringList missing;
    const auto need = [&](const std::string& key) {
        if (missing.size() < most && !file.value(kLayoutSection, key))
            missing << QString::fromStdString(key);
    };
    need("Group");
    for (int n = kPortCount + 1; n <= kScreenCount; ++n) {
        if (layout.Group[n] != 0) {
            need("MStyle");
            break;
        }
    }
    for (int n = 1; n <= kScreenCount; ++n) {
        if (layout.Group[n] != 0)
            need("Port" + std::to_string(n));
    }
    return missing;
}

// Calls `each(item, index, key)` for every key of the tables keyed an
// index each: "Port1" to "Port80", "MTotal1", ...
template <typename Each>
void forEachIndexKey(Each each)
{
    for (const ProtocolItem& item : kProtocolItems) {
        if (item.range != IndexRange::Each || item.fileKey.empty())
            continue;
        for (int i = 1; i <= item.indexes; ++i)
            each(item, i, std::string(item.fileKey) + std::to_string(i));
    }
}

QString monitors(int32_t count)
{
    return count == 1 ? QStringLiteral("1 monitor") : QStringLiteral("%1 monitors").arg(count);
}

// A warning for each setting and monitor that `result` sends otherwise than
// `file` says, and the layout the switch holds when it holds the file. The
// move to the top-left corner and the worked-out totals and offsets count
// as the file's own.
void noteChanges(const ProfileFile& file, FileConfig& result)
{
    const auto line = [&](std::string_view section, const std::string& key) {
        return QStringLiteral("line %1: %2").arg(file.lineOf(section, key)).arg(QString::fromStdString(key));
    };
    for (const ProtocolItem& item : kProtocolItems) {
        if (!item.setting || !item.filed || result.filedConfig.*item.setting == result.config.*item.setting)
            continue;
        result.warnings << QStringLiteral("%1=%2 is out of range; %3 is sent instead")
                               .arg(line(kSetupSection, std::string(item.fileKey)))
                               .arg(result.filedConfig.*item.setting)
                               .arg(result.config.*item.setting);
    }
    const KVM_LAYOUT& filed = result.filedLayout;
    result.heldLayout = result.layout;
    for (int n = 1; n <= kScreenCount; ++n) {
        if (filed.Group[n] == result.layout.Group[n])
            continue;
        const QString monitor = ScreenTitle(PortIndexOf(n), MonitorNoOf(n));
        const std::string port = "Port" + std::to_string(n);
        const int32_t styleMonitors = MonitorsOfStyle(filed.MStyle[PortIndexOf(n) + 1]);
        if (result.layout.Group[n] != 0)
            result.warnings << QStringLiteral("%1: monitor %2 is in group %3; it is sent in group %4")
                                   .arg(line(kLayoutSection, "Group"), monitor)
                                   .arg(filed.Group[n])
                                   .arg(result.layout.Group[n]);
        else if (styleMonitors < MonitorNoOf(n))
            result.warnings << QStringLiteral("%1: monitor %2 is placed, but its port's style (MStyle) holds %3; "
                                              "it is not sent")
                                   .arg(line(kLayoutSection, port), monitor, monitors(styleMonitors));
        else
            result.warnings << QStringLiteral("%1: monitor %2 is placed without a size; it is not sent")
                                   .arg(line(kLayoutSection, port), monitor);
        result.heldLayout.Group[n] = filed.Group[n];
        result.heldLayout.Port[n] = filed.Port[n];
    }
}

}  // namespace

FileConfig LoadFileConfig(const ProfileFile& file, bool layoutOnly)
{
    FileConfig result;
    if (file.readResult().status == FileResult::Status::Missing) {
        result.loaded = {FileResult::Status::Missing, QStringLiteral("no such file")};
        return result;
    }
    if (!file.readResult().ok()) {
        result.loaded = file.readResult();
        return result;
    }
    for (const std::string_view section : {kSetupSection, kLayoutSection}) {
        if ((section == kLayoutSection || !layoutOnly) && !file.hasSection(section)) {
            result.loaded = FileResult::failed(QStringLiteral("no [%1] section").arg(sectionName(section)));
            return result;
        }
    }
    SetupSettings setup;
    if (!layoutOnly)
        result.loaded = ReadSetupStrictly(file, setup);
    if (result.loaded.ok())
        result.loaded = ReadLayoutStrictly(file, result.filedLayout);
    if (!result.loaded.ok())
        return result;
    if (!layoutOnly) {
        result.filedConfig = SettingsOf(setup);
        result.config = EditableSettings(FiledConfig(setup));
    }
    forEachIndexKey([&](const ProtocolItem& item, int index, const std::string& key) {
        if (file.value(kLayoutSection, key))
            result.filedEntries.mark(item, index);
    });

    if (const QStringList missing = missingLayoutKeys(file, result.filedLayout, 3); !missing.isEmpty()) {
        result.sendable = FileResult::failed(
            QStringLiteral("[%1] lacks %2").arg(sectionName(kLayoutSection), missing.join(QStringLiteral(", "))));
        return result;
    }
    // The editor's working layout, as the program builds it at its start
    // from this file; the check moves a valid layout to the top-left corner.
    LayoutModel model(kEditorCanvas, kEditorCanvasSize, kEditorCanvasSize);
    model.LoadFromConfig(result.filedLayout);
    if (const std::optional<OverlapPair> overlap = model.CheckLayout()) {
        result.sendable = FileResult::failed(model.OverlapMessage(*overlap));
        return result;
    }
    result.layout = result.filedLayout;
    model.StoreToConfig(result.layout);
    noteChanges(file, result);
    return result;
}

void WriteConfig(ProfileFile& file, int32_t comPort, const KVM_CONFIG& config, const KVM_LAYOUT& layout,
                 bool layoutOnly, const ReplyLines* sent)
{
    if (!layoutOnly) {
        KVM_CONFIG shown = config;
        shown.SwitchPos = NormalizedSwitchPos(config.SwitchPos);
        WriteSetup(file, FileSettings(comPort, shown));
    }
    WriteLayout(file, layout);
    if (!sent)
        return;
    forEachIndexKey([&](const ProtocolItem& item, int index, const std::string& key) {
        if (!sent->has(item, index))
            file.deleteKey(kLayoutSection, key);
    });
}

void ToFiledForm(KVM_CONFIG& config, KVM_LAYOUT& layout)
{
    ProfileFile file{QString(), std::string_view()};
    WriteConfig(file, 1, config, layout, false);
    config = SettingsOf(ReadSetup(file));
    layout = ReadLayout(file);
}
