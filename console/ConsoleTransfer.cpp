#include "console/ConsoleTransfer.h"

#include "console/ConfigDifferences.h"
#include "console/ConsoleOutput.h"
#include "console/FileConfig.h"
#include "console/StopSignal.h"
#include "core/config/KvmConfig.h"
#include "core/config/LayoutFile.h"
#include "core/config/PortMapping.h"
#include "core/config/ProfileFile.h"
#include "core/config/ProtocolTable.h"
#include "core/link/TransferMessages.h"
#include "core/link/TransferService.h"
#include "core/link/UploadCommands.h"
#include "core/platform/EventPump.h"
#include "core/serial/CommDevice.h"
#include "core/serial/PortNames.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <QtGlobal>

#include <cstdio>
#include <functional>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#include <winerror.h>
#endif

namespace {

int exitStatusOf(TransferResult result)
{
    switch (result) {
    case TransferResult::Done:
        return ExitStatus::Done;
    case TransferResult::PortError:
        return ExitStatus::PortFailed;
    case TransferResult::Cancelled:
        return ExitStatus::Interrupted;
    case TransferResult::NoReply:
    case TransferResult::Unreadable:
    case TransferResult::Incomplete:
    case TransferResult::SaveUnconfirmed:
    case TransferResult::NothingToSend:
        break;
    }
    return ExitStatus::SwitchFailed;
}

// Standard input or output as FILE "-": its bytes as they are. Windows
// would otherwise turn each LF into CR LF on the way out (the file's CR LF
// into CR CR LF) and stop reading at a Ctrl+Z.
void carryBytes(FILE* stream)
{
#ifdef Q_OS_WIN
    _setmode(_fileno(stream), _O_BINARY);
#else
    Q_UNUSED(stream);
#endif
}

// FILE "-" as a document: standard input, up to one byte more than a
// settings file may have, so that a larger input counts as unreadable.
ProfileFile readStandardInput()
{
    QFile in;
    QByteArray bytes;
    carryBytes(stdin);
    if (in.open(stdin, QIODevice::ReadOnly)) {
        while (bytes.size() <= ProfileFile::kMaxFileSize) {
            const QByteArray chunk = in.read(ProfileFile::kMaxFileSize + 1 - bytes.size());
            if (chunk.isEmpty())
                break;
            bytes += chunk;
        }
    }
    return ProfileFile(QStringLiteral("-"), std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

class ConsoleTransfer {
public:
    ConsoleTransfer(const TransferRequest& request, const QString& settingsPath, const PortDiscovery& discovery)
        : request_(request)
        , settingsPath_(settingsPath)
        , discovery_(discovery)
        , console_(request.quiet)
        , names_(comName() ? CurrentPortNames(settingsPath, discovery) : PortNames())
        , transfers_(pump_, CreatePlatformCommDevice(names_), records_)
    {
        transfers_.setPortName(request.port.toStdString());
        transfers_.cancelWhen(StopRequested);
    }

    int run()
    {
        const int status = carryOut();
        // A program reading the JSON answer learns of a failure there too:
        // nothing on standard output would read as "no differences".
        if (request_.json && status != ExitStatus::Done && status != ExitStatus::Differences) {
            const QJsonObject error{{"status", status}, {"message", failure_.message}, {"detail", failure_.detail}};
            if (const QString reason = printJson({{"error", error}}); !reason.isEmpty())
                console_.error(QStringLiteral("Standard output could not be written: %1.").arg(reason));
        }
        return status;
    }

private:
    // The first line of the failure told last, and what followed it.
    struct Failure {
        QString message;
        QString detail;
    };

    int carryOut()
    {
        switch (request_.action) {
        case TransferRequest::Action::Read:
            return read();
        case TransferRequest::Action::Write:
            return write();
        case TransferRequest::Action::Compare:
            break;
        }
        const FileConfig file = loadFile();
        return file.loaded.ok() ? compareWithSwitch(file) : ExitStatus::FileFailed;
    }

    // Tells a failure on standard error, `detail` on a line of its own, and
    // keeps it for the JSON answer; returns `status`.
    int fail(int status, const QString& message, const QString& detail = QString())
    {
        console_.error(message);
        if (!detail.isEmpty())
            console_.error(detail);
        failure_ = {message, detail};
        return status;
    }

    QString fileName() const
    {
        return request_.file == QStringLiteral("-") ? QStringLiteral("standard input") : request_.file;
    }

    // The transfer of `command`, with its progress line while it runs.
    TransferResult transfer(TransferCommand command, const std::function<TransferResult()>& work)
    {
        if (StopRequested())
            return TransferResult::Cancelled;
        const QString what = ProgressText(command);
        QTimer progress;
        progress.setInterval(100);
        QObject::connect(&progress, &QTimer::timeout, [&] {
            console_.progress(what, transfers_.linesDone(), transfers_.linesTotal());
        });
        progress.start();
        console_.progress(what, 0, 0);
        TransferResult result = TransferResult::Cancelled;
        transfers_.run([&] { result = work(); });
        console_.endProgress();
        return result;
    }

    // The device PORT leads to; empty when a COM name leads nowhere.
    QString device() const
    {
#ifdef Q_OS_WIN
        return request_.port;
#else
        return QString::fromStdString(names_.devicePath(request_.port.toStdString()));
#endif
    }

    // Whether PORT leads to no serial device: on Windows a COM name the
    // system does not know, elsewhere a COM name without a mapping.
    bool leadsNowhere() const
    {
#ifdef Q_OS_WIN
        const int error = transfers_.link().OpenError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
#else
        return device().isEmpty();
#endif
    }

    // What a person at a terminal needs besides the windows' words.
    QString failureHint(TransferResult result) const
    {
        switch (result) {
        case TransferResult::NoReply:
            return QStringLiteral("No answer from the switch on %1.").arg(device());
        case TransferResult::Unreadable:
            return QStringLiteral("The switch on %1 answered without any of its %2 lines (%3): lines this program "
                                  "cannot read, or a late answer to an earlier command. Nothing was taken.")
                .arg(device(), request_.layoutOnly ? QStringLiteral("layout") : QStringLiteral("settings"),
                     QString::fromStdString(ReplyKeywords(request_.layoutOnly)));
        case TransferResult::Incomplete:
            return transfers_.failureDetail(result);
        case TransferResult::SaveUnconfirmed:
            return transfers_.failureDetail(result) + QStringLiteral(" --compare tells what it holds.");
        case TransferResult::PortError:
            break;
        default:
            return QString();
        }
        if (const QString hint = transfers_.openFailureHint(); !hint.isEmpty())
            return hint;
        if (leadsNowhere())
            return QStringLiteral("%1 leads to no serial device (see --list-ports).").arg(request_.port);
        return QStringLiteral("%1: %2").arg(device(), qt_error_string(transfers_.link().OpenError()));
    }

    // The windows' words, then what a person at a terminal needs to know
    // besides; returns the exit status.
    int reportFailure(const TransferMessage& message, TransferResult result)
    {
        return fail(exitStatusOf(result), message.text, failureHint(result));
    }

    // Load Config, or Load Layout with --layout-only.
    TransferCommand downloadCommand() const
    {
        return request_.layoutOnly ? TransferCommand::LoadLayout : TransferCommand::LoadConfig;
    }

    // `cancelled`: what a stop tells, when more than that nothing was loaded.
    int download(const QString& cancelled = QString())
    {
        const TransferResult result =
            transfer(downloadCommand(), [&] { return transfers_.download(request_.layoutOnly); });
        if (result == TransferResult::Cancelled && !cancelled.isEmpty())
            return fail(ExitStatus::Interrupted, cancelled);
        if (result != TransferResult::Done)
            return reportFailure(EndMessage(downloadCommand(), result), result);
        return ExitStatus::Done;
    }

    // PORT's number when it is a COM name. Only a COM name needs the
    // mapping, and so the search for serial devices, which costs more than
    // a short transfer.
    std::optional<int> comName() const { return ComNumber(request_.port.toStdString()); }

    // The COM name the file's "COMPort" key keeps: that of PORT, or the one
    // leading to the device PORT names; else what the file had.
    int32_t comPortOf(const ProfileFile& file) const
    {
        const std::string port = request_.port.toStdString();
        if (const std::optional<int> number = comName())
            return *number;
        const PortNames names = CurrentPortNames(settingsPath_, discovery_);
        for (const auto& [number, path] : names.paths()) {
            if (path == port)
                return number;
        }
        return ReadSetup(file).COMPort;
    }

    int read()
    {
        const bool toOutput = request_.file == QStringLiteral("-");
        // An existing file keeps its other sections and keys, as the
        // settings file does when the window saves it; one that cannot be
        // read is never replaced.
        ProfileFile file = toOutput ? ProfileFile(QString(), std::string_view()) : ProfileFile(request_.file);
        if (file.readResult().status == FileResult::Status::Failed)
            return fail(ExitStatus::FileFailed, QStringLiteral("%1 could not be read (%2), so it is not replaced.")
                                                    .arg(request_.file, file.readResult().reason));
        if (const int status = download(); status != ExitStatus::Done)
            return status;
        WriteConfig(file, request_.layoutOnly ? 0 : comPortOf(file), records_.KvmConfig, records_.KvmLayout,
                    request_.layoutOnly, &transfers_.link().Received());
        if (toOutput) {
            const std::string text = file.text();
            carryBytes(stdout);
            if (const QString reason = WriteStandardOutput(QByteArray::fromStdString(text)); !reason.isEmpty())
                return fail(ExitStatus::FileFailed,
                            QStringLiteral("Standard output could not be written: %1.").arg(reason));
        } else if (const FileResult saved = file.save(); !saved.ok()) {
            return fail(ExitStatus::FileFailed, FileNotSavedMessage(request_.file, saved.reason).text);
        }
        console_.info(EndMessage(downloadCommand(), TransferResult::Done).text);
        return ExitStatus::Done;
    }

    FileConfig loadFile()
    {
        const ProfileFile file = request_.file == QStringLiteral("-")
                                     ? readStandardInput()
                                     : ProfileFile(request_.file, ProfileFile::Source::AnyFile);
        const FileConfig config = LoadFileConfig(file, request_.layoutOnly);
        if (!config.loaded.ok())
            fail(ExitStatus::FileFailed, QStringLiteral("%1: %2").arg(fileName(), config.loaded.reason));
        return config;
    }

    // Where what is sent is not what FILE says.
    void warn(const FileConfig& file)
    {
        for (const QString& warning : file.warnings)
            console_.warning(QStringLiteral("%1: warning: %2").arg(fileName(), warning));
    }

    int write()
    {
        const FileConfig file = loadFile();
        if (!file.loaded.ok())
            return ExitStatus::FileFailed;
        if (!file.sendable.ok())
            return fail(ExitStatus::FileFailed, QStringLiteral("%1: %2").arg(fileName(), file.sendable.reason));
        warn(file);
        const std::vector<std::string> lines = request_.layoutOnly
                                                   ? SendLayoutCommands(file.layout)
                                                   : SaveConfigCommands(file.config, file.layout, true);
        const TransferCommand command = request_.layoutOnly ? TransferCommand::SendLayout : TransferCommand::SaveConfig;
        const TransferResult result = transfer(command, [&] { return transfers_.upload(lines); });
        const TransferMessage message = EndMessage(command, result);
        // A cancelled transfer is an error here too: the script asked for it to be done.
        if (result != TransferResult::Done)
            return reportFailure(message, result);
        console_.info(message.text);
        if (!request_.verify) {
            if (!request_.json)
                return ExitStatus::Done;
            return answered(printJson({{"warnings", QJsonArray::fromStringList(file.warnings)}}), ExitStatus::Done);
        }
        // A stop from here on comes after the switch saved the file.
        return compareWithSwitch(
            file, QStringLiteral("Transfer cancelled! The switch saved %1, but it was not read back to check.")
                      .arg(fileName()));
    }

    int compareWithSwitch(const FileConfig& file, const QString& cancelled = QString())
    {
        if (const int status = download(cancelled); status != ExitStatus::Done)
            return status;
        const ReplyLines& sent = transfers_.link().Received();
        // --verify compares with what was sent; --compare by its own rule.
        const QList<ConfigDifference> differences =
            request_.action == TransferRequest::Action::Write
                ? ConfigDifferences(records_.KvmConfig, records_.KvmLayout, file.config, file.layout,
                                    request_.layoutOnly, &sent)
                : SwitchFileDifferences(records_.KvmConfig, records_.KvmLayout, file, request_.layoutOnly, &sent);
        // Differences that cannot be told are no answer: 1 would read as "they differ".
        if (const QString reason = printDifferences(differences, file.warnings); !reason.isEmpty())
            return answered(reason, ExitStatus::Done);
        if (differences.isEmpty()) {
            console_.info(QStringLiteral("The switch holds what %1 holds.").arg(fileName()));
            return ExitStatus::Done;
        }
        const QString items = differences.size() == 1 ? QStringLiteral("1 item")
                                                      : QStringLiteral("%1 items").arg(differences.size());
        console_.error(QStringLiteral("The switch differs from %1 in %2.").arg(fileName(), items));
        return ExitStatus::Differences;
    }

    // Empty when written, else the reason.
    QString printDifferences(const QList<ConfigDifference>& differences, const QStringList& warnings) const
    {
        if (request_.json) {
            QJsonArray array;
            for (const ConfigDifference& difference : differences)
                array.append(DifferenceJson(difference));
            return printJson({{"differences", array}, {"warnings", QJsonArray::fromStringList(warnings)}});
        }
        QByteArray text;
        for (const ConfigDifference& difference : differences)
            text += DifferenceLine(difference).toLocal8Bit() + '\n';
        return WriteStandardOutput(text);
    }

    QString printJson(const QJsonObject& object) const { return WriteStandardOutput(QJsonDocument(object).toJson()); }

    // `status`, when the answer on standard output (`reason` empty) was
    // written; else a failure: an answer cut short is none.
    int answered(const QString& reason, int status)
    {
        if (reason.isEmpty())
            return status;
        return fail(ExitStatus::FileFailed, QStringLiteral("Standard output could not be written: %1.").arg(reason));
    }

    const TransferRequest& request_;
    const QString& settingsPath_;
    const PortDiscovery& discovery_;
    ConsoleOutput console_;
    QtEventPump pump_;
    ConfigRecords records_;
    PortNames names_;
    TransferService transfers_;
    Failure failure_;
};

}  // namespace

int RunTransferRequest(const TransferRequest& request, const QString& settingsPath, const PortDiscovery& discovery)
{
    CatchStopSignals();
    return ConsoleTransfer(request, settingsPath, discovery).run();
}
