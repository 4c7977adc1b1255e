#include "gui/setup/WindowTransfer.h"

#include "core/link/TransferService.h"
#include "core/platform/Prompts.h"
#include "gui/setup/TransferProgress.h"

TransferResult RunWindowTransfer(QWidget* window, Prompts& prompts, TransferService& transfers,
                                 TransferCommand command, const std::function<TransferResult()>& work,
                                 bool tellSuccess)
{
    TransferResult result;
    {
        // The dialog goes before the box appears.
        const TransferProgress progress(window, transfers, ProgressText(command));
        result = work();
    }
    if (result != TransferResult::Done || tellSuccess)
        ShowMessage(prompts, EndMessage(command, result, transfers.failureDetail(result)));
    return result;
}

void ShowMessage(Prompts& prompts, const TransferMessage& message)
{
    prompts.messageBox(nullptr, message.text, message.caption, MsgButtons::Ok);
}

void ReportFileNotSaved(Prompts& prompts, const QString& fileName, const QString& reason)
{
    ShowMessage(prompts, FileNotSavedMessage(fileName, reason));
}
