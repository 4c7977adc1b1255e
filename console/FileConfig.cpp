#include "console/FileConfig.h"

#include "core/config/LayoutFile.h"
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

}  // namespace

FileConfig LoadFileConfig(const ProfileFile& file, bool layoutOnly)
{
    FileConfig result;
    for (const std::string_view section : {kSetupSection, kLayoutSection}) {
        if ((section == kLayoutSection || !layoutOnly) && !file.hasSection(section)) {
            result.loaded = FileResult::failed(QStringLiteral("no [%1] section").arg(sectionName(section)));
            return result;
        }
    }
    if (!layoutOnly) {
        const SetupSettings setup = ReadSetup(file);
        result.filedConfig = SettingsOf(setup);
        result.config = EditableSettings(FiledConfig(setup));
    }
    result.filedLayout = ReadLayout(file);
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
