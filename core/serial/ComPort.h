#pragma once

#include "core/serial/ComEvents.h"
#include "core/serial/CommDevice.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

class TCustomComPort;
class TComThread;
class QObject;

enum TBaudRate {
    brCustom, br110, br300, br600, br1200, br2400, br4800, br9600, br14400,
    br19200, br38400, br56000, br57600, br115200, br128000, br256000
};
enum TStopBits { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };
enum TDataBits { dbFive, dbSix, dbSeven, dbEight };
enum TParityBits { prNone, prOdd, prEven, prMark, prSpace };
enum TDTRFlowControl { dtrDisable, dtrEnable, dtrHandshake };
enum TRTSFlowControl { rtsDisable, rtsEnable, rtsHandshake, rtsToggle };
enum TFlowControl { fcHardware, fcSoftware, fcNone, fcCustom };
// Line errors: bit 0 framing, 1 parity, 2 overrun, 3 break, 4 I/O error,
// 5 mode error, 6 receive queue overflow, 7 transmit queue full.
using TComErrors = uint8_t;

// Modem signals read by ReadModemSignals: bit 0 CTS, 1 DSR, 2 ring, 3 RLSD.
inline constexpr int kSignalCTS = 1;
inline constexpr int kSignalDSR = 2;
inline constexpr int kSignalRing = 4;
inline constexpr int kSignalRLSD = 8;

// Every failure of the port component. The message is the text of the
// failure's row, followed by " (win error code: %d)" when the platform
// reported an error number.
class EComPort : public std::runtime_error {
public:
    enum : int {
        OpenFailed = 1, WriteFailed = 2, ReadFailed = 3, InvalidAsync = 4, PurgeFailed = 5,
        AsyncCheck = 6, SetStateFailed = 7, SetTimeoutsFailed = 8, SetupCommFailed = 9,
        ClearComFailed = 10, ModemStatFailed = 11, EscapeComFailed = 12, TransmitCharFailed = 13,
        ConnChangeProp = 14, EnumPortsFailed = 15, StoreFailed = 16, LoadFailed = 17,
        RegFailed = 18, LedStateFailed = 19, ThreadCreated = 20, WaitFailed = 21,
        HasLink = 22, RegError = 23,
    };

    explicit EComPort(int errorIndex, int systemError = -1);

    int ErrorIndex() const { return errorIndex_; }
    int SystemError() const { return systemError_; }

private:
    int errorIndex_;
    int systemError_;
};

// Recommended sizes of the device's receive and transmit queues.
class TComBuffer {
public:
    explicit TComBuffer(std::function<void()> apply) : apply_(std::move(apply)) {}
    int InputSize() const { return inputSize_; }
    int OutputSize() const { return outputSize_; }
    void setInputSize(int value);
    void setOutputSize(int value);
    void Assign(const TComBuffer& other);

private:
    std::function<void()> apply_;  // re-applies the group to the device
    int inputSize_ = 1024;
    int outputSize_ = 1024;
};

class TComParity {
public:
    explicit TComParity(std::function<void()> apply) : apply_(std::move(apply)) {}
    TParityBits Bits() const { return bits_; }
    bool Check() const { return check_; }
    bool Replace() const { return replace_; }
    uint8_t ReplaceChar() const { return replaceChar_; }
    void setBits(TParityBits value);
    void setCheck(bool value);
    void setReplace(bool value);
    void setReplaceChar(uint8_t value);
    void Assign(const TComParity& other);

private:
    std::function<void()> apply_;  // re-applies the group to the device
    TParityBits bits_ = prNone;
    bool check_ = false;
    bool replace_ = false;
    uint8_t replaceChar_ = 0;
};

// Device time-outs in milliseconds; -1 stands for the largest value.
class TComTimeouts {
public:
    explicit TComTimeouts(std::function<void()> apply) : apply_(std::move(apply)) {}
    int32_t ReadInterval() const { return readInterval_; }
    int32_t ReadTotalMultiplier() const { return readTotalMultiplier_; }
    int32_t ReadTotalConstant() const { return readTotalConstant_; }
    int32_t WriteTotalMultiplier() const { return writeTotalMultiplier_; }
    int32_t WriteTotalConstant() const { return writeTotalConstant_; }
    void setReadInterval(int32_t value);
    void setReadTotalMultiplier(int32_t value);
    void setReadTotalConstant(int32_t value);
    void setWriteTotalMultiplier(int32_t value);
    void setWriteTotalConstant(int32_t value);
    void Assign(const TComTimeouts& other);

private:
    void set(int32_t& field, int32_t value);

    std::function<void()> apply_;  // re-applies the group to the device
    int32_t readInterval_ = -1;
    int32_t readTotalMultiplier_ = 0;
    int32_t readTotalConstant_ = 0;
    int32_t writeTotalMultiplier_ = 100;
    int32_t writeTotalConstant_ = 1000;
};

// Handshake and modem line control. FlowControl is not stored: it is a
// preset derived from ControlRTS, OutCTSFlow and the two XON/XOFF flags.
class TComFlowControl {
public:
    explicit TComFlowControl(std::function<void()> apply) : apply_(std::move(apply)) {}
    TFlowControl FlowControl() const;
    bool OutCTSFlow() const { return outCTSFlow_; }
    bool OutDSRFlow() const { return outDSRFlow_; }
    TDTRFlowControl ControlDTR() const { return controlDTR_; }
    TRTSFlowControl ControlRTS() const { return controlRTS_; }
    bool XonXoffOut() const { return xonXoffOut_; }
    bool XonXoffIn() const { return xonXoffIn_; }
    bool DSRSensitivity() const { return dsrSensitivity_; }
    bool TxContinueOnXoff() const { return txContinueOnXoff_; }
    uint8_t XonChar() const { return xonChar_; }
    uint8_t XoffChar() const { return xoffChar_; }

    void setFlowControl(TFlowControl value);
    void setOutCTSFlow(bool value);
    void setOutDSRFlow(bool value);
    void setControlDTR(TDTRFlowControl value);
    void setControlRTS(TRTSFlowControl value);
    void setXonXoffOut(bool value);
    void setXonXoffIn(bool value);
    void setDSRSensitivity(bool value);
    void setTxContinueOnXoff(bool value);
    void setXonChar(uint8_t value);
    void setXoffChar(uint8_t value);
    void Assign(const TComFlowControl& other);

private:
    template <typename T>
    void set(T& field, T value);

    std::function<void()> apply_;  // re-applies the group to the device
    bool outCTSFlow_ = false;
    bool outDSRFlow_ = false;
    TDTRFlowControl controlDTR_ = dtrDisable;
    TRTSFlowControl controlRTS_ = rtsDisable;
    bool xonXoffOut_ = false;
    bool xonXoffIn_ = false;
    bool dsrSensitivity_ = false;
    bool txContinueOnXoff_ = false;
    uint8_t xonChar_ = 17;
    uint8_t xoffChar_ = 19;
};

using TNotifyEvent = std::function<void(TCustomComPort* sender)>;
using TRxCharEvent = std::function<void(TCustomComPort* sender, int count)>;
using TComSignalEvent = std::function<void(TCustomComPort* sender, bool onOff)>;
using TComErrorEvent = std::function<void(TCustomComPort* sender, TComErrors errors)>;

// The serial port: settings, open and close, blocking reads and writes, and
// events raised by its event thread. Used from the user-interface thread.
//
// The public members are the operations a program calls. The settings, the
// handlers and the other operations are protected: a component derived from
// this one publishes those its program uses, as TComPort does this program's.
class TCustomComPort : private ComEventTarget {
public:
    explicit TCustomComPort(std::unique_ptr<CommDevice> device);
    virtual ~TCustomComPort();
    TCustomComPort(const TCustomComPort&) = delete;
    TCustomComPort& operator=(const TCustomComPort&) = delete;

    void OpenPort();
    // Where the port names lead from the next open on (see CommDevice).
    void setPortNames(const PortNames& names) { device_->setPortNames(names); }
    // What the user can do about opening this port failing with `error`
    // (see CommDevice); empty when nothing is known.
    std::string ExplainOpenFailure(int error) const { return device_->explainOpenFailure(port_, error); }
    // Stops the event thread and closes the device even when a step before
    // fails (the purge, a handler); then raises the first such failure.
    void ClosePort();
    bool Connected() const { return connected_; }

    // Design values are being set: settings are only recorded, and a
    // Connected of true opens the port once Loaded() is called.
    void BeginLoading() { loading_ = true; }
    void Loaded();

    int WriteText(const std::string& text);
    int ReadBytes(void* buffer, int count);
    int BytesWaiting();
    // Discards what the device has received and nobody has read yet.
    void ClearInput();

protected:
    void setConnected(bool value);
    void setBaudRate(TBaudRate value);
    void setCustomBaudRate(int32_t value);
    void setPort(const std::string& value);
    void setStopBits(TStopBits value);
    void setDataBits(TDataBits value);
    void setDiscardNull(bool value);
    void setEventChar(uint8_t value);
    void setEvents(TComEvents value) { events_ = value; }
    TSyncMethod SyncMethod() const { return syncMethod_; }
    void setSyncMethod(TSyncMethod value);
    TComBuffer& Buffer() { return buffer_; }
    TComParity& Parity() { return parity_; }
    TComTimeouts& Timeouts() { return timeouts_; }
    TComFlowControl& FlowControl() { return flowControl_; }

    int WriteBytes(const void* data, int count);
    TComErrors ReadLineErrors();
    int ReadModemSignals();
    void PurgePendingIo();

    // Not virtual: the destructor closes the port through DestroyDeviceHandle,
    // and a virtual call there would reach this class's version only.
    void CreateDeviceHandle();
    void DestroyDeviceHandle();
    void ApplySettings();

    TNotifyEvent OnAfterOpen, OnAfterClose, OnBeforeOpen, OnBeforeClose;
    TRxCharEvent OnRxChar;
    TNotifyEvent OnTxEmpty, OnBreak, OnRing, OnRxFlag, OnRx80Full;
    TComSignalEvent OnCTSChange, OnDSRChange, OnRLSDChange;
    TComErrorEvent OnError;

private:
    // Hand a settings group to the device; nothing while the port is closed
    // or while design values are being loaded.
    void ApplyLineSettings();
    void ApplyBufferSizes();
    void ApplyTimeouts();
    CommDcb BuildDcb() const;
    bool canApply() const { return connected_ && !loading_; }
    template <typename T>
    void setLineSetting(T& field, T value);
    void raiseSignal(const TComSignalEvent& handler, bool onOff);

    // The events the event thread watches.
    TComEvents watchedEvents() const;
    void eventArrived(TComEvent event) override;
    bool isOpen() const override { return connected_; }
    void RunEventAction(TComEvent event);

    std::unique_ptr<CommDevice> device_;
    bool deviceOpen_ = false;
    bool connected_ = false;
    bool loading_ = false;
    bool connectWhenLoaded_ = false;
    TBaudRate baudRate_ = br9600;
    int32_t customBaudRate_ = 9600;
    std::string port_ = "COM1";
    TStopBits stopBits_ = sbOneStopBit;
    TDataBits dataBits_ = dbEight;
    bool discardNull_ = false;
    uint8_t eventChar_ = 0;
    TComEvents events_ = kAllComEvents;
    TSyncMethod syncMethod_ = smThreadSync;
    TComBuffer buffer_{[this] { ApplyBufferSizes(); }};
    TComParity parity_{[this] { ApplyLineSettings(); }};
    TComTimeouts timeouts_{[this] { ApplyTimeouts(); }};
    TComFlowControl flowControl_{[this] { ApplyLineSettings(); }};
    std::unique_ptr<TComThread> thread_;
    std::unique_ptr<QObject> notifyWindow_;
};

// The port with the settings and handlers the program sets made public.
class TComPort : public TCustomComPort {
public:
    using TCustomComPort::TCustomComPort;

    using TCustomComPort::setPort;
    using TCustomComPort::setBaudRate;
    using TCustomComPort::Parity;
    using TCustomComPort::setStopBits;
    using TCustomComPort::setDataBits;
    using TCustomComPort::setEvents;
    using TCustomComPort::FlowControl;
    using TCustomComPort::setSyncMethod;
    using TCustomComPort::OnRxChar;
};
