#include "core/link/TransferMessages.h"

#include "core/platform/Prompts.h"

#include <QDir>

namespace {

// The outcome of a transfer: the errors every transfer shares (a port that
// does not open, with the system's hint on a second line), the texts of its
// own unanswered exchange and cancel, and its success text.
TransferMessage outcome(TransferResult result, const QString& openHint, const QString& noReply,
                        const QString& cancelled, const QString& done)
{
    const QString error = QStringLiteral("Error");
    switch (result) {
    case TransferResult::PortError:
        return {openHint.isEmpty() ? QStringLiteral("COM port open error!")
                                   : QStringLiteral("COM port open error!\n") + openHint,
                error};
    case TransferResult::Cancelled:
        return {cancelled, QStringLiteral("Info")};
    case TransferResult::NothingToSend:
        return {QStringLiteral("Config write error!"), error};
    case TransferResult::NoReply:
    case TransferResult::Unreadable:
        return {noReply, error};
    case TransferResult::Done:
        break;
    }
    return {done, QStringLiteral("Info")};
}

void show(Prompts& prompts, const TransferMessage& message)
{
    if (!message.text.isEmpty())
        prompts.messageBox(nullptr, message.text, message.caption, MsgButtons::Ok);
}

}  // namespace

TransferMessage DownloadMessage(TransferResult result, const QString& finished, const QString& openHint)
{
    return outcome(result, openHint, QStringLiteral("Load Config error!"),
                   QStringLiteral("Transfer cancelled! Nothing was loaded."), finished);
}

TransferMessage UploadMessage(TransferResult result, const QString& succeeded, const QString& openHint)
{
    return outcome(result, openHint, QStringLiteral("COM port error! Please try again."),
                   QStringLiteral("Transfer cancelled! The switch keeps the configuration it had saved."), succeeded);
}

TransferMessage FileNotSavedMessage(const QString& fileName, const QString& reason)
{
    return {QStringLiteral("%1 could not be saved: %2").arg(QDir::toNativeSeparators(fileName), reason),
            QStringLiteral("Warning")};
}

void ReportDownload(Prompts& prompts, TransferResult result, const QString& finished, const QString& openHint)
{
    show(prompts, DownloadMessage(result, finished, openHint));
}

void ReportUpload(Prompts& prompts, TransferResult result, const QString& succeeded, const QString& openHint)
{
    show(prompts, UploadMessage(result, succeeded, openHint));
}

void ReportFileNotSaved(Prompts& prompts, const QString& fileName, const QString& reason)
{
    show(prompts, FileNotSavedMessage(fileName, reason));
}
