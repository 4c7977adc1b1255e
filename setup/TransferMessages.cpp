#include "setup/TransferMessages.h"

#include "platform/Prompts.h"

#include <QDir>

namespace {

void show(Prompts& prompts, const QString& text, const char* caption)
{
    prompts.messageBox(nullptr, text, QString::fromLatin1(caption), MsgButtons::Ok);
}

}  // namespace

void ReportDownload(Prompts& prompts, TransferResult result, const QString& finished)
{
    switch (result) {
    case TransferResult::PortError:
        show(prompts, QStringLiteral("COM port open error!"), "Error");
        break;
    case TransferResult::NoReply:
    case TransferResult::NothingToSend:
        show(prompts, QStringLiteral("Load Config error!"), "Error");
        break;
    case TransferResult::Done:
        if (!finished.isEmpty())
            show(prompts, finished, "Info");
        break;
    }
}

void ReportUpload(Prompts& prompts, TransferResult result, const QString& succeeded)
{
    switch (result) {
    case TransferResult::PortError:
        show(prompts, QStringLiteral("COM port open error!"), "Error");
        break;
    case TransferResult::NothingToSend:
        show(prompts, QStringLiteral("Config write error!"), "Error");
        break;
    case TransferResult::NoReply:
        show(prompts, QStringLiteral("COM port error! Please try again."), "Error");
        break;
    case TransferResult::Done:
        if (!succeeded.isEmpty())
            show(prompts, succeeded, "Info");
        break;
    }
}

void ReportFileNotSaved(Prompts& prompts, const QString& fileName, const QString& reason)
{
    show(prompts, QStringLiteral("%1 could not be saved: %2").arg(QDir::toNativeSeparators(fileName), reason),
         "Warning");
}
