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

private:
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
        if (result == TransferResult::NoReply)
            return QStringLiteral("No answer from the switch on %1.").arg(device());
        if (result == TransferResult::Unreadable)
            return QStringLiteral("The switch on %1 answered without any of its %2 lines (%3): lines this program "
                                  "cannot read, or a late answer to an earlier command. Nothing was taken.")
                .arg(device(), request_.layoutOnly ? QStringLiteral("layout") : QStringLiteral("settings"),
                     QString::fromStdString(ReplyKeywords(request_.layoutOnly)));
        if (const QString hint = transfers_.openFailureHint(); !hint.isEmpty())
            return hint;
        if (leadsNowhere())
            return QStringLiteral("%1 leads to no serial device (see --list-ports).").arg(request_.port);
        return QStringLiteral("%1: %2").arg(device(), qt_error_string(transfers_.link().OpenError()));
    }

    // The windows' words, then for a port that does not open or a switch
    // that does not answer, the device and the reason.
    void reportFailure(const TransferMessage& message, TransferResult result)
    {
        console_.error(message.text);
        if (result == TransferResult::PortError || result == TransferResult::NoReply ||
            result == TransferResult::Unreadable)
            console_.error(failureHint(result));
    }

    // Load Config, or Load Layout with --layout-only.
    TransferCommand downloadCommand() const
    {
        return request_.layoutOnly ? TransferCommand::LoadLayout : TransferCommand::LoadConfig;
    }

    int download()
    {
        const TransferResult result =
            transfer(downloadCommand(), [&] { return transfers_.download(request_.layoutOnly); });
        if (result != TransferResult::Done)
            reportFailure(EndMessage(downloadCommand(), result), result);
        return exitStatusOf(result);
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
        if (file.readResult().status == FileResult::Status::Failed) {
            console_.error(QStringLiteral("%1 could not be read, so it is not replaced.").arg(request_.file));
            return ExitStatus::FileFailed;
        }
        if (const int status = download(); status != ExitStatus::Done)
            return status;
        WriteConfig(file, request_.layoutOnly ? 0 : comPortOf(file), records_.KvmConfig, records_.KvmLayout,
                    request_.layoutOnly);
        if (toOutput) {
            const std::string text = file.text();
            carryBytes(stdout);
            if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0) {
                console_.error(QStringLiteral("Standard output could not be written."));
                return ExitStatus::FileFailed;
            }
        } else if (const FileResult saved = file.save(); !saved.ok()) {
            console_.error(FileNotSavedMessage(request_.file, saved.reason).text);
            return ExitStatus::FileFailed;
        }
        console_.info(EndMessage(downloadCommand(), TransferResult::Done).text);
        return ExitStatus::Done;
    }

    FileConfig loadFile()
    {
        const ProfileFile file = request_.file == QStringLiteral("-") ? readStandardInput() : ProfileFile(request_.file);
        FileConfig config;
        if (file.readResult().status == FileResult::Status::Missing)
            config.loaded = {FileResult::Status::Missing, QStringLiteral("no such file")};
        else if (file.readResult().status == FileResult::Status::Failed)
            config.loaded = FileResult::failed(QStringLiteral("cannot be read"));
        else
            config = LoadFileConfig(file, request_.layoutOnly);
        if (!config.loaded.ok())
            console_.error(QStringLiteral("%1: %2").arg(fileName(), config.loaded.reason));
        return config;
    }

    int write()
    {
        const FileConfig file = loadFile();
        if (!file.loaded.ok())
            return ExitStatus::FileFailed;
        if (!file.sendable.ok()) {
            console_.error(QStringLiteral("%1: %2").arg(fileName(), file.sendable.reason));
            return ExitStatus::FileFailed;
        }
        const std::vector<std::string> lines = request_.layoutOnly
                                                   ? SendLayoutCommands(file.layout)
                                                   : SaveConfigCommands(file.config, file.layout, true);
        const TransferCommand command = request_.layoutOnly ? TransferCommand::SendLayout : TransferCommand::SaveConfig;
        const TransferResult result = transfer(command, [&] { return transfers_.upload(lines); });
        const TransferMessage message = EndMessage(command, result);
        // A cancelled transfer is an error here too: the script asked for it to be done.
        if (result == TransferResult::Done)
            console_.info(message.text);
        else
            reportFailure(message, result);
        if (result != TransferResult::Done || !request_.verify)
            return exitStatusOf(result);
        return compareWithSwitch(file);
    }

    int compareWithSwitch(const FileConfig& file)
    {
        if (const int status = download(); status != ExitStatus::Done)
            return status;
        // --verify compares with what was sent; --compare by its own rule.
        const QList<ConfigDifference> differences =
            request_.action == TransferRequest::Action::Write
                ? ConfigDifferences(records_.KvmConfig, records_.KvmLayout, file.config, file.layout,
                                    request_.layoutOnly)
                : SwitchFileDifferences(records_.KvmConfig, records_.KvmLayout, file, request_.layoutOnly);
        printDifferences(differences);
        if (differences.isEmpty()) {
            console_.info(QStringLiteral("The switch holds what %1 holds.").arg(fileName()));
            return ExitStatus::Done;
        }
        const QString items = differences.size() == 1 ? QStringLiteral("1 item")
                                                      : QStringLiteral("%1 items").arg(differences.size());
        console_.error(QStringLiteral("The switch differs from %1 in %2.").arg(fileName(), items));
        return ExitStatus::Differences;
    }

    void printDifferences(const QList<ConfigDifference>& differences) const
    {
        QByteArray text;
        if (request_.json) {
            QJsonArray array;
            for (const ConfigDifference& difference : differences)
                array.append(DifferenceJson(difference));
            text = QJsonDocument(QJsonObject{{"differences", array}}).toJson();
        } else {
            for (const ConfigDifference& difference : differences)
                text += DifferenceLine(difference).toLocal8Bit() + '\n';
        }
        std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stdout);
        std::fflush(stdout);
    }

    const TransferRequest& request_;
    const QString& settingsPath_;
    const PortDiscovery& discovery_;
    ConsoleOutput console_;
    QtEventPump pump_;
    ConfigRecords records_;
    PortNames names_;
    TransferService transfers_;
};

}  // namespace

int RunTransferRequest(const TransferRequest& request, const QString& settingsPath, const PortDiscovery& discovery)
{
    CatchStopSignals();
    return ConsoleTransfer(request, settingsPath, discovery).run();
}
