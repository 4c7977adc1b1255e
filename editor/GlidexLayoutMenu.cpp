// The Layout menu: a new layout, layout files, the monitor layout dialog,
// and the layout's exchange with the switch.

#include "editor/GlidexWindow.h"

#include "platform/Prompts.h"
#include "setup/LayoutFile.h"
#include "setup/TransferMessages.h"
#include "setup/TransferService.h"
#include "setup/UploadCommands.h"

#include <QAction>

namespace {

const QString kLayoutFilter = QStringLiteral("Glidex Layout (*.gxl)|*.gxl");
const QString kLayoutExtension = QStringLiteral("gxl");

}  // namespace

void TfrmGlidex::mnuNewClick()
{
    bool anyPlaced = false;
    for (int n = 1; n <= kScreenCount; ++n)
        anyPlaced = anyPlaced || Screens[n]->ScreenGroup != 0;
    if (anyPlaced && prompts_.messageBox(nullptr, QStringLiteral("Delete all?"), QStringLiteral("Confirm"),
                                         MsgButtons::OkCancel) != MsgAnswer::Ok)
        return;
    CurGroup = 1;
    for (int n = 1; n <= kScreenCount; ++n) {
        TScreen& tile = *Screens[n];
        tile.SetFreshMonitor();
        RemoveScreen(tile);
    }
}

void TfrmGlidex::mnuImportClick()
{
    const QString fileName = prompts_.openFileName(this, kLayoutFilter, kLayoutExtension);
    if (fileName.isEmpty())
        return;
    // A missing or unreadable file leaves the tiles as they are.
    if (ReadLayoutFile(fileName, KvmLayout) == 0)
        LoadFromConfig();
}

void TfrmGlidex::mnuExportClick()
{
    const QString fileName = prompts_.saveFileName(this, kLayoutFilter, kLayoutExtension);
    if (fileName.isEmpty())
        return;
    StoreToConfig();
    QString reason;
    int result = WriteLayoutFile(fileName, KvmLayout, false, &reason);
    if (result == 1) {
        const QString question = QStringLiteral("%1 already exists, do you want to replace it?").arg(fileName);
        if (prompts_.messageBox(nullptr, question, QStringLiteral("Confirm"), MsgButtons::YesNo) != MsgAnswer::Yes)
            return;
        result = WriteLayoutFile(fileName, KvmLayout, true, &reason);
    }
    if (result != 0)
        ReportFileNotSaved(prompts_, fileName, reason);
}

void TfrmGlidex::mnuMonitorLayoutClick()
{
    if (MonitorLayoutDialog && MonitorLayoutDialog())
        RefreshLabels();
}

void TfrmGlidex::transferRunningChanged(bool running)
{
    mnuLoadLayout->setEnabled(!running);
    mnuSaveLayout->setEnabled(!running);
}

void TfrmGlidex::mnuLoadLayoutClick()
{
    transfers_.run([this] {
        // The tiles are rebuilt by the setup window's layout message.
        ReportDownload(prompts_, transfers_.download(/*layoutOnly=*/true), QStringLiteral("Load Layout finished!"));
    });
}

void TfrmGlidex::SendLayout()
{
    if (QString reason; WriteLayoutFile(settingsPath_, KvmLayout, true, &reason) != 0)
        ReportFileNotSaved(prompts_, settingsPath_, reason);
    ReportUpload(prompts_, transfers_.upload(SendLayoutCommands(KvmLayout)), QString());
}

void TfrmGlidex::mnuSaveLayoutClick()
{
    transfers_.run([this] {
        if (CheckLayout(true) != 0)
            return;
        StoreToConfig();
        SendLayout();
        if (!transfers_.link().LinkFailed())
            prompts_.messageBox(nullptr, QStringLiteral("Send Layout to Torvik successed!"), QStringLiteral("Info"),
                                MsgButtons::Ok);
    });
}
