#include "setup/TransferMessages.h"

#include "platform/Prompts.h"

#include <QDir>

namespace {

void show(Prompts& prompts, const QString& text, const char* caption)
{
    prompts.messageBox(nullptr, text, QString::fromLatin1(caption), MsgButtons::Ok);
}

// The outcome of a transfer: the errors every transfer shares, the text of
// its own unanswered exchange, and its success text unless that is empty.
void report(Prompts& prompts, TransferResult result, const QString& noReply, const QString& done)
{
    switch (result) {
    case TransferResult::PortError:
        show(prompts, QStringLiteral("COM port open error!"), "Error");
        break;
    case TransferResult::NothingToSend:
        show(prompts, QStringLiteral("Config write error!"), "Error");
        break;
    case TransferResult::NoReply:
        show(prompts, noReply, "Error");
        break;
    case TransferResult::Done:
        if (!done.isEmpty())
            show(prompts, done, "Info");
        break;
    }
}

}  // namespace

void ReportDownload(Prompts& prompts, TransferResult result, const QString& finished)
{
    report(prompts, result, QStringLiteral("Load Config error!"), finished);
}

void ReportUpload(Prompts& prompts, TransferResult result, const QString& succeeded)
{
    report(prompts, result, QStringLiteral("COM port error! Please try again."), succeeded);
}

void ReportFileNotSaved(Prompts& prompts, const QString& fileName, const QString& reason)
{
    show(prompts, QStringLiteral("%1 could not be saved: %2").arg(QDir::toNativeSeparators(fileName), reason),
         "Warning");
}
