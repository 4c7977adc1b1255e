#include "setup/TransferMessages.h"

#include "platform/Prompts.h"

#include <QDir>

namespace {

void show(Prompts& prompts, const QString& text, const char* caption)
{
    prompts.messageBox(nullptr, text, QString::fromLatin1(caption), MsgButtons::Ok);
}

// The outcome of a transfer: the errors every transfer shares (a port that
// does not open, with the system's hint on a second line), the texts of its
// own unanswered exchange and cancel, and its success text unless that is
// empty.
void report(Prompts& prompts, TransferResult result, const QString& openHint, const QString& noReply,
            const QString& cancelled, const QString& done)
{
    switch (result) {
    case TransferResult::PortError:
        show(prompts,
             openHint.isEmpty() ? QStringLiteral("COM port open error!")
                                : QStringLiteral("COM port open error!\n") + openHint,
             "Error");
        break;
    case TransferResult::Cancelled:
        show(prompts, cancelled, "Info");
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

void ReportDownload(Prompts& prompts, TransferResult result, const QString& finished, const QString& openHint)
{
    report(prompts, result, openHint, QStringLiteral("Load Config error!"),
           QStringLiteral("Transfer cancelled! Nothing was loaded."), finished);
}

void ReportUpload(Prompts& prompts, TransferResult result, const QString& succeeded, const QString& openHint)
{
    report(prompts, result, openHint, QStringLiteral("COM port error! Please try again."),
           QStringLiteral("Transfer cancelled! The switch keeps the configuration it had saved."), succeeded);
}

void ReportFileNotSaved(Prompts& prompts, const QString& fileName, const QString& reason)
{
    show(prompts, QStringLiteral("%1 could not be saved: %2").arg(QDir::toNativeSeparators(fileName), reason),
         "Warning");
}
