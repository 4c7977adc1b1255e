#include "cli/ConsoleTransfer.h"

#include "cli/ConfigDifferences.h"
#include "cli/ConsoleOutput.h"
#include "cli/FileConfig.h"
#include "cli/StopSignal.h"
#include "platform/EventPump.h"
#include "serial/CommDevice.h"
#include "serial/PortNames.h"
#include "setup/KvmConfig.h"
#include "setup/LayoutFile.h"
#include "setup/PortMapping.h"
#include "setup/ProfileFile.h"
#include "setup/TransferMessages.h"
#include "setup/TransferService.h"
#include "setup/UploadCommands.h"

#include <QFile>
#include <QTimer>
#include <QtGlobal>

#include <cstdio>
#include <functional>

namespace {

const QString kReading = QStringLiteral("Reading configuration");
const QString kSending = QStringLiteral("Sending configuration");

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
    case TransferResult::NothingToSend:
        break;
    }
    return ExitStatus::SwitchFailed;
}

// FILE "-" as a document: standard input, up to one byte more than a
// settings file may have, so that a larger input counts as unreadable.
ProfileFile readStandardInput()
{
    QFile in;
    QByteArray bytes;
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
        , console_(request.quiet)
        , names_(CurrentPortNames(settingsPath, discovery))
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
        return file.error.isEmpty() ? compareWithSwitch(file) : ExitStatus::FileFailed;
    }

private:
    QString fileName() const
    {
        return request_.file == QStringLiteral("-") ? QStringLiteral("standard input") : request_.file;
    }

    // One transfer, with the progress line while it runs.
    TransferResult transfer(const QString& what, const std::function<TransferResult()>& work)
    {
        if (StopRequested())
            return TransferResult::Cancelled;
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

    // What a person at a terminal needs besides "COM port open error!": the
    // device and the reason.
    QString openHint() const
    {
        if (const QString hint = transfers_.openFailureHint(); !hint.isEmpty())
            return hint;
#ifdef Q_OS_WIN
        const QString device = request_.port;
#else
        const QString device = QString::fromStdString(names_.devicePath(request_.port.toStdString()));
        if (device.isEmpty())
            return QStringLiteral("%1 leads to no serial device (see --list-ports).").arg(request_.port);
#endif
        return QStringLiteral("%1: %2").arg(device, qt_error_string(transfers_.link().OpenError()));
    }

    int download(bool layoutOnly)
    {
        const TransferResult result = transfer(kReading, [&] { return transfers_.download(layoutOnly); });
        if (result != TransferResult::Done)
            console_.say(DownloadMessage(result, QString(), openHint()));
        return exitStatusOf(result);
    }

    // The COM name the file's "COMPort" key keeps: that of PORT, or the one
    // leading to the device PORT names; else what the file had.
    int32_t comPortOf(const ProfileFile& file) const
    {
        const std::string port = request_.port.toStdString();
        if (const std::optional<int> number = ComNumber(port); number && *number <= PortNames::kComNameCount)
            return *number;
        for (const auto& [number, path] : names_.paths()) {
            if (path == port && number <= PortNames::kComNameCount)
                return number;
        }
        return ReadSetup(file).COMPort;
    }

    int read()
    {
        if (const int status = download(request_.layoutOnly); status != ExitStatus::Done)
            return status;
        const bool toOutput = request_.file == QStringLiteral("-");
        // An existing file keeps its other sections and keys, as the
        // settings file does when the window saves it.
        ProfileFile file = toOutput ? ProfileFile(QString(), std::string_view()) : ProfileFile(request_.file);
        if (file.status() == ProfileFile::Status::Failed) {
            console_.error(QStringLiteral("%1 could not be read, so it was not replaced.").arg(request_.file));
            return ExitStatus::FileFailed;
        }
        if (!request_.layoutOnly) {
            KVM_CONFIG config = records_.KvmConfig;
            config.SwitchPos = NormalizedSwitchPos(config.SwitchPos);
            WriteSetup(file, FileSettings(comPortOf(file), config));
        }
        WriteLayout(file, records_.KvmLayout);
        if (toOutput) {
            const std::string text = file.text();
            if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0) {
                console_.error(QStringLiteral("Standard output could not be written."));
                return ExitStatus::FileFailed;
            }
        } else if (QString reason; !file.save(&reason)) {
            console_.say(FileNotSavedMessage(request_.file, reason));
            return ExitStatus::FileFailed;
        }
        console_.info(request_.layoutOnly ? QStringLiteral("Load Layout finished!")
                                          : QStringLiteral("Load Config finished!"));
        return ExitStatus::Done;
    }

    FileConfig loadFile()
    {
        const ProfileFile file = request_.file == QStringLiteral("-") ? readStandardInput() : ProfileFile(request_.file);
        FileConfig config;
        if (file.status() == ProfileFile::Status::Missing)
            config.error = QStringLiteral("no such file");
        else if (file.status() == ProfileFile::Status::Failed)
            config.error = QStringLiteral("cannot be read");
        else
            config = LoadFileConfig(file, request_.layoutOnly);
        if (!config.error.isEmpty())
            console_.error(QStringLiteral("%1: %2").arg(fileName(), config.error));
        return config;
    }

    int write()
    {
        const FileConfig file = loadFile();
        if (!file.error.isEmpty())
            return ExitStatus::FileFailed;
        const std::vector<std::string> lines = request_.layoutOnly
                                                   ? SendLayoutCommands(file.layout)
                                                   : SaveConfigCommands(file.config, file.layout, true);
        const TransferResult result = transfer(kSending, [&] { return transfers_.upload(lines); });
        console_.say(UploadMessage(result,
                                   request_.layoutOnly ? QStringLiteral("Send Layout to Torvik successed!")
                                                       : QStringLiteral("Save Config successed!"),
                                   openHint()));
        if (result != TransferResult::Done || !request_.verify)
            return exitStatusOf(result);
        return compareWithSwitch(file);
    }

    int compareWithSwitch(const FileConfig& file)
    {
        if (const int status = download(request_.layoutOnly); status != ExitStatus::Done)
            return status;
        const QStringList differences = ConfigDifferences(records_.KvmConfig, records_.KvmLayout, file.config,
                                                          file.layout, request_.layoutOnly);
        for (const QString& difference : differences)
            std::fprintf(stdout, "%s\n", difference.toLocal8Bit().constData());
        std::fflush(stdout);
        if (differences.isEmpty()) {
            console_.info(QStringLiteral("The switch holds what %1 holds.").arg(fileName()));
            return ExitStatus::Done;
        }
        console_.error(differences.size() == 1
                           ? QStringLiteral("The switch differs from %1 in 1 item.").arg(fileName())
                           : QStringLiteral("The switch differs from %1 in %2 items.").arg(fileName()).arg(differences.size()));
        return ExitStatus::Differences;
    }

    const TransferRequest& request_;
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
