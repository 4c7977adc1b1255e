#pragma once

#include "core/link/DeviceLink.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CommDevice;
class EventPump;
class PortNames;
class TComPort;
struct ConfigRecords;

// The serial line to the switch and the transfers over it, one for the
// whole program: made by the program entry and handed to the setup window
// and the layout editor, which start transfers here and tell the user how
// they ended. One transfer runs at a time.
class TransferService : public QObject {
    Q_OBJECT

public:
    // The port over `device`, with the switch's line settings; the work
    // timer runs from the start, every 100 ms. Downloads commit into `records`.
    TransferService(EventPump& pump, std::unique_ptr<CommDevice> device, ConfigRecords& records);
    ~TransferService() override;

    TComPort& portTarget() { return *portTarget_; }
    QTimer& WorkTimer() { return workTimer_; }
    const DeviceLink& link() const { return *link_; }

    // The COM name ("COM1".."COM20") the transfers open, as the setup
    // window's list shows it.
    void setPortName(const std::string& name) { portName_ = name; }
    // Where the COM names lead from the next transfer on.
    void setPortNames(const PortNames& names);
    // Why the latest transfer could not open the port, when the system
    // tells more than "COM port open error!"; else empty.
    QString openFailureHint() const;
    // The second line of the message telling how the latest transfer ended
    // with `result`: the reason the port did not open, the lines a reply
    // lacked, or that "SAVE" went unanswered; else empty.
    QString failureDetail(TransferResult result) const;
    bool running() const { return running_; }
    // How far the running (or the latest) transfer is: lines done of the
    // total, 0 of 0 before its first line is counted. Whatever shows it
    // reads it from the event loop; the transfer only records it, since it
    // counts every line and often from inside the receive handler.
    int linesDone() const { return linesDone_; }
    int linesTotal() const { return linesTotal_; }

    // Runs a window's command that makes a transfer (with its file writes
    // and its messages) as the one transfer of the moment: false, running
    // nothing, while another runs. Its waiting loops dispatch user input, so
    // without this a second transfer could start inside the first.
    template <typename Command>
    bool run(Command command);

    // Asks the running transfer to stop before its next line.
    void cancel() { cancelRequested_ = true; }
    // Stops every transfer, as cancel() does, once `asked` answers true (a
    // stop signal's flag); asked at the same points as cancel().
    void cancelWhen(std::function<bool()> asked) { cancelAsked_ = std::move(asked); }

    // The switch's configuration, or its layout alone, into the records'
    // KvmConfig and KvmLayout.
    TransferResult download(bool layoutOnly);
    // Sends `lines`, an upload's whole list ("SAVE" included).
    TransferResult upload(const std::vector<std::string>& lines);

signals:
    // A transfer started (true) or ended (false): the windows disable the
    // commands that must not run meanwhile.
    void runningChanged(bool running);
    // A download committed the working configuration (`layoutOnly`: only
    // its layout); emitted from inside the transfer's waiting.
    void committed(bool layoutOnly);

private:
    void setRunning(bool running);

    std::unique_ptr<TComPort> portTarget_;
    QTimer workTimer_;
    std::unique_ptr<DeviceLink> link_;
    std::string portName_ = "COM1";
    bool running_ = false;
    bool cancelRequested_ = false;
    std::function<bool()> cancelAsked_;
    int linesDone_ = 0;
    int linesTotal_ = 0;
};

template <typename Command>
bool TransferService::run(Command command)
{
    if (running_)
        return false;
    setRunning(true);
    struct Finish {
        TransferService* service;
        ~Finish() { service->setRunning(false); }
    } finish{this};
    command();
    return true;
}
