// The Layout menu: a new layout, layout files, the monitor layout dialog,
// and the layout's exchange with the switch.

#include "gui/editor/GlidexWindow.h"

#include "core/config/LayoutFile.h"
#include "core/link/TransferMessages.h"
#include "core/link/TransferService.h"
#include "core/link/UploadCommands.h"
#include "core/platform/Prompts.h"
#include "gui/setup/WindowTransfer.h"

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
    if (ReadLayoutFile(fileName, config_.KvmLayout).ok())
        LoadFromConfig(mnuImport->text());
}

void TfrmGlidex::mnuExportClick()
{
    const QString fileName = prompts_.saveFileName(this, kLayoutFilter, kLayoutExtension);
    if (fileName.isEmpty())
        return;
    StoreToConfig();
    FileResult result = WriteLayoutFile(fileName, config_.KvmLayout, false);
    if (result.status == FileResult::Status::Exists) {
        const QString question = QStringLiteral("%1 already exists, do you want to replace it?").arg(QDir::toNativeSeparators(fileName));
        if (prompts_.messageBox(nullptr, question, QStringLiteral("Confirm"), MsgButtons::YesNo) != MsgAnswer::Yes)
            return;
        result = WriteLayoutFile(fileName, config_.KvmLayout, true);
    }
    if (!result.ok())
        ReportFileNotSaved(prompts_, fileName, result.reason);
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
    // The tiles are rebuilt by the setup window's layout message.
    transfers_.run([this] {
        RunWindowTransfer(this, prompts_, transfers_, TransferCommand::LoadLayout,
                          [this] { return transfers_.download(/*layoutOnly=*/true); });
    });
}

TransferResult TfrmGlidex::SendLayout()
{
    if (const FileResult saved = WriteLayoutFile(settingsPath_, config_.KvmLayout, true, MissingFolder::Make); !saved.ok())
        ReportFileNotSaved(prompts_, settingsPath_, saved.reason);
    return RunWindowTransfer(
        this, prompts_, transfers_, TransferCommand::SendLayout,
        [this] { return transfers_.upload(SendLayoutCommands(config_.KvmLayout)); }, /*tellSuccess=*/false);
}

void TfrmGlidex::mnuSaveLayoutClick()
{
    transfers_.run([this] {
        if (CheckLayout(true) != 0)
            return;
        StoreToConfig();
        if (SendLayout() == TransferResult::Done)
            ShowMessage(prompts_, EndMessage(TransferCommand::SendLayout, TransferResult::Done));
    });
}
