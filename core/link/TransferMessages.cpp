#include "core/link/TransferMessages.h"

#include "core/link/ReplyLines.h"

#include <QDir>

namespace {

bool isDownload(TransferCommand command)
{
    return command == TransferCommand::LoadConfig || command == TransferCommand::LoadLayout;
}

QString successText(TransferCommand command)
{
    switch (command) {
    case TransferCommand::LoadConfig:
        return QStringLiteral("Load Config finished!");
    case TransferCommand::LoadLayout:
        return QStringLiteral("Load Layout finished!");
    case TransferCommand::SaveConfig:
        return QStringLiteral("Save Config successed!");
    case TransferCommand::SendLayout:
        break;
    }
    return QStringLiteral("Send Layout to Torvik successed!");
}

TransferMessage firstLine(TransferCommand command, TransferResult result)
{
    const QString error = QStringLiteral("Error");
    switch (result) {
    case TransferResult::PortError:
        return {QStringLiteral("COM port open error!"), error};
    case TransferResult::Cancelled:
        return {isDownload(command)
                    ? QStringLiteral("Transfer cancelled! Nothing was loaded.")
                    : QStringLiteral("Transfer cancelled! The switch keeps the configuration it had saved."),
                QStringLiteral("Info")};
    case TransferResult::NothingToSend:
        return {QStringLiteral("Config write error!"), error};
    case TransferResult::NoReply:
    case TransferResult::Unreadable:
    case TransferResult::Incomplete:
    case TransferResult::SaveUnconfirmed:
        return {isDownload(command) ? QStringLiteral("Load Config error!")
                                    : QStringLiteral("COM port error! Please try again."),
                error};
    case TransferResult::Done:
        break;
    }
    return {successText(command), QStringLiteral("Info")};
}

}  // namespace

QString ProgressText(TransferCommand command)
{
    return isDownload(command) ? QStringLiteral("Reading configuration") : QStringLiteral("Sending configuration");
}

QString LinesText(const QString& done, const QString& total)
{
    return QStringLiteral("%1 of %2 lines").arg(done, total);
}

TransferMessage EndMessage(TransferCommand command, TransferResult result, const QString& detail)
{
    TransferMessage message = firstLine(command, result);
    if (result != TransferResult::Done && !detail.isEmpty())
        message.text += QLatin1Char('\n') + detail;
    return message;
}

QString ResultDetail(TransferResult result, const std::vector<std::string>& missingLines)
{
    if (result == TransferResult::Incomplete)
        return QStringLiteral("The switch's reply lacks %1, so nothing was taken.")
            .arg(QString::fromStdString(MissingLinesText(missingLines)));
    if (result == TransferResult::SaveUnconfirmed)
        return QStringLiteral("SAVE was sent but not acknowledged: the switch may hold the new configuration.");
    return QString();
}

TransferMessage FileNotSavedMessage(const QString& fileName, const QString& reason)
{
    return {QStringLiteral("%1 could not be saved: %2").arg(QDir::toNativeSeparators(fileName), reason),
            QStringLiteral("Warning")};
}
