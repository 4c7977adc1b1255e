#include "core/link/TransferService.h"

#include "core/link/SwitchLine.h"
#include "core/link/TransferMessages.h"
#include "core/serial/ComPort.h"

TransferService::TransferService(EventPump& pump, std::unique_ptr<CommDevice> device, ConfigRecords& records)
    : portTarget_(std::make_unique<TComPort>(std::move(device)))
{
    portTarget_->BeginLoading();
    portTarget_->setPort(portName_);
    SetSwitchLineSettings(*portTarget_);
    portTarget_->OnRxChar = [this](TCustomComPort*, int) { link_->ReceiveBytes(); };
    portTarget_->Loaded();

    // Drives the acknowledge wait of the command exchange.
    workTimer_.setObjectName(QStringLiteral("WorkTimer"));
    workTimer_.setInterval(100);
    connect(&workTimer_, &QTimer::timeout, this, [this] { link_->WorkTimerTimer(); });
    workTimer_.start();

    link_ = std::make_unique<DeviceLink>(
        *portTarget_, records, DeviceLink::Timer{[this] { workTimer_.start(); }, [this] { workTimer_.stop(); }}, pump,
        [this](bool layoutOnly) { emit committed(layoutOnly); });
    link_->setProgress({[this](int done, int total) {
                            linesDone_ = done;
                            linesTotal_ = total;
                        },
                        [this] { return cancelRequested_ || (cancelAsked_ && cancelAsked_()); }});
}

TransferService::~TransferService()
{
    // The port's last events still reach the device link: close it while
    // the link is alive.
    try {
        portTarget_->ClosePort();
    } catch (const EComPort&) {
        // Closed all the same.
    }
}

void TransferService::setPortNames(const PortNames& names)
{
    portTarget_->setPortNames(names);
}

QString TransferService::openFailureHint() const
{
    return QString::fromStdString(portTarget_->ExplainOpenFailure(link_->OpenError()));
}

QString TransferService::failureDetail(TransferResult result) const
{
    return result == TransferResult::PortError ? openFailureHint() : ResultDetail(result, link_->MissingLines());
}

void TransferService::setRunning(bool running)
{
    running_ = running;
    cancelRequested_ = false;
    if (running)
        linesDone_ = linesTotal_ = 0;
    emit runningChanged(running);
}

TransferResult TransferService::download(bool layoutOnly)
{
    return link_->Download(portName_, layoutOnly);
}

TransferResult TransferService::upload(const std::vector<std::string>& lines)
{
    return link_->Upload(portName_, lines);
}
