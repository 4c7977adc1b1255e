// The Layout menu: a new layout, layout files, the monitor layout dialog,
// and the layout's exchange with the switch.

#include "gui/editor/GlidexWindow.h"

#include "core/config/LayoutFile.h"
#include "core/link/TransferMessages.h"
#include "core/link/TransferService.h"
#include "core/link/UploadCommands.h"
#include "core/platform/Prompts.h"
#include "gui/setup/TransferProgress.h"

#include <QAction>
#include <QDir>

namespace {

const QString kLayoutFilter = QStringLiteral("Glidex Layout (*.gxl)|*.gxl");
const QString kLayoutExtension = QStringLiteral("gxl");

}  // namespace

void TfrmGlidex::mnuNewClick()
{
    if (model_.AnyPlaced() && prompts_.messageBox(nullptr, QStringLiteral("Delete all?"), QStringLiteral("Confirm"),
                                                  MsgButtons::OkCancel) != MsgAnswer::Ok)
        return;
    history_.Record(mnuNew->text(), [this] { model_.NewLayout(); });
}

void TfrmGlidex::mnuImportClick()
{
    const QString fileName = prompts_.openFileName(this, kLayoutFilter, kLayoutExtension);
    if (fileName.isEmpty())
        return;
    // A missing or unreadable file leaves the tiles as they are.
    if (ReadLayoutFile(fileName, config_.KvmLayout) == 0)
        LoadFromConfig(mnuImport->text());
}

void TfrmGlidex::mnuExportClick()
{
    const QString fileName = prompts_.saveFileName(this, kLayoutFilter, kLayoutExtension);
    if (fileName.isEmpty())
        return;
    StoreToConfig();
    QString reason;
    int result = WriteLayoutFile(fileName, config_.KvmLayout, false, &reason);
    if (result == 1) {
        const QString question = QStringLiteral("%1 already exists, do you want to replace it?").arg(QDir::toNativeSeparators(fileName));
        if (prompts_.messageBox(nullptr, question, QStringLiteral("Confirm"), MsgButtons::YesNo) != MsgAnswer::Yes)
            return;
        result = WriteLayoutFile(fileName, config_.KvmLayout, true, &reason);
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
        TransferResult result;
        {
            const TransferProgress progress(this, transfers_, QStringLiteral("Reading configuration"));
            result = transfers_.download(/*layoutOnly=*/true);
        }
        ReportDownload(prompts_, result, QStringLiteral("Load Layout finished!"), transfers_.openFailureHint());
    });
}

TransferResult TfrmGlidex::SendLayout()
{
    if (QString reason; WriteLayoutFile(settingsPath_, config_.KvmLayout, true, &reason, MissingFolder::Make) != 0)
        ReportFileNotSaved(prompts_, settingsPath_, reason);
    TransferResult result;
    {
        const TransferProgress progress(this, transfers_, QStringLiteral("Sending configuration"));
        result = transfers_.upload(SendLayoutCommands(config_.KvmLayout));
    }
    ReportUpload(prompts_, result, QString(), transfers_.openFailureHint());
    return result;
}

void TfrmGlidex::mnuSaveLayoutClick()
{
    transfers_.run([this] {
        if (CheckLayout(true) != 0)
            return;
        StoreToConfig();
        if (SendLayout() == TransferResult::Done)
            prompts_.messageBox(nullptr, QStringLiteral("Send Layout to Torvik successed!"), QStringLiteral("Info"),
                                MsgButtons::Ok);
    });
}
