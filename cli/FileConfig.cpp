#include "cli/FileConfig.h"

#include "editor/LayoutModel.h"
#include "setup/LayoutFile.h"
#include "setup/ProfileFile.h"

FileConfig LoadFileConfig(const ProfileFile& file, bool layoutOnly)
{
    FileConfig result;
    for (const std::string_view section : {kSetupSection, kLayoutSection}) {
        if ((section == kLayoutSection || !layoutOnly) && !file.hasSection(section)) {
            result.error = QStringLiteral("no [%1] section").arg(QLatin1String(section.data(), qsizetype(section.size())));
            return result;
        }
    }
    if (!layoutOnly)
        result.config = EditableSettings(FiledConfig(ReadSetup(file)));

    // The editor's working layout, as the program builds it at its start
    // from this file; the check moves a valid layout to the top-left corner.
    LayoutModel model(kEditorCanvas, kEditorCanvasSize, kEditorCanvasSize);
    const KVM_LAYOUT filed = ReadLayout(file);
    model.LoadFromConfig(filed);
    if (const OverlapPair overlap = model.CheckLayout(); overlap.First != 0) {
        result.error = model.OverlapMessage(overlap);
        return result;
    }
    result.layout = filed;
    model.StoreToConfig(result.layout);
    return result;
}
