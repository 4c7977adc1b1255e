#include "core/serial/ComPort.h"

#include "core/platform/ExceptionReport.h"
#include "core/serial/ComThread.h"

#include <array>
#include <exception>

namespace {

constexpr std::array<const char*, 23> kErrorTexts = {
    "Unable to open com port",
    "WriteFile function failed",
    "ReadFile function failed",
    "Invalid Async parameter",
    "PurgeComm function failed",
    "Unable to get async status",
    "SetCommState function failed",
    "SetCommTimeouts failed",
    "SetupComm function failed",
    "ClearCommError function failed",
    "GetCommModemStatus function failed",
    "EscapeCommFunction function failed",
    "TransmitCommChar function failed",
    "Cannot set property while connected",
    "EnumPorts function failed",
    "Failed to store settings",
    "Failed to load settings",
    "Link (un)registration failed",
    "Cannot change led state if ComPort is selected",
    "Cannot wait for event if event thread is created",
    "WaitForEvent method failed",
    "A component is linked to OnRxBuf event",
    "Registry error",
};

std::string errorMessage(int errorIndex, int systemError)
{
    std::string text = errorIndex >= 1 && errorIndex <= static_cast<int>(kErrorTexts.size())
                           ? kErrorTexts[static_cast<std::size_t>(errorIndex - 1)]
                           : "";
    if (systemError != -1)
        text += " (win error code: " + std::to_string(systemError) + ")";
    return text;
}

constexpr std::array<uint32_t, 16> kBaudRates = {0,    110,   300,   600,   1200,  2400,  4800,   9600,
                                                 14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};

// The time-out -1 is handed over as the largest value.
uint32_t deviceTimeout(int32_t value)
{
    return static_cast<uint32_t>(value);
}

// Device line errors as TComErrors bits.
TComErrors comErrors(uint32_t deviceErrors)
{
    constexpr std::array<std::pair<uint32_t, int>, 8> map = {{
        {CommError::Frame, 0},
        {CommError::RxParity, 1},
        {CommError::Overrun, 2},
        {CommError::Break, 3},
        {CommError::Ioe, 4},
        {CommError::Mode, 5},
        {CommError::RxOver, 6},
        {CommError::TxFull, 7},
    }};
    TComErrors errors = 0;
    for (const auto& [bit, index] : map) {
        if (deviceErrors & bit)
            errors = static_cast<TComErrors>(errors | (1u << index));
    }
    return errors;
}

}  // namespace

EComPort::EComPort(int errorIndex, int systemError)
    : std::runtime_error(errorMessage(errorIndex, systemError)), errorIndex_(errorIndex), systemError_(systemError)
{
}

// --- TComBuffer --------------------------------------------------------------

namespace {

int evenSize(int value)
{
    return value > 0 && value % 2 != 0 ? value - 1 : value;
}

}  // namespace

void TComBuffer::setInputSize(int value)
{
    if (value == inputSize_)
        return;
    inputSize_ = evenSize(value);
    apply_();
}

void TComBuffer::setOutputSize(int value)
{
    if (value == outputSize_)
        return;
    outputSize_ = evenSize(value);
    apply_();
}

void TComBuffer::Assign(const TComBuffer& other)
{
    inputSize_ = other.inputSize_;
    outputSize_ = other.outputSize_;
    apply_();
}

// --- TComParity --------------------------------------------------------------

void TComParity::setBits(TParityBits value)
{
    if (value == bits_)
        return;
    bits_ = value;
    apply_();
}

void TComParity::setCheck(bool value)
{
    if (value == check_)
        return;
    check_ = value;
    apply_();
}

void TComParity::setReplace(bool value)
{
    if (value == replace_)
        return;
    replace_ = value;
    apply_();
}

void TComParity::setReplaceChar(uint8_t value)
{
    if (value == replaceChar_)
        return;
    replaceChar_ = value;
    apply_();
}

void TComParity::Assign(const TComParity& other)
{
    bits_ = other.bits_;
    check_ = other.check_;
    replace_ = other.replace_;
    replaceChar_ = other.replaceChar_;
    apply_();
}

// --- TComTimeouts ------------------------------------------------------------

void TComTimeouts::set(int32_t& field, int32_t value)
{
    if (value == field)
        return;
    field = value;
    apply_();
}

void TComTimeouts::setReadInterval(int32_t value) { set(readInterval_, value); }
void TComTimeouts::setReadTotalMultiplier(int32_t value) { set(readTotalMultiplier_, value); }
void TComTimeouts::setReadTotalConstant(int32_t value) { set(readTotalConstant_, value); }
void TComTimeouts::setWriteTotalMultiplier(int32_t value) { set(writeTotalMultiplier_, value); }
void TComTimeouts::setWriteTotalConstant(int32_t value) { set(writeTotalConstant_, value); }

void TComTimeouts::Assign(const TComTimeouts& other)
{
    readInterval_ = other.readInterval_;
    readTotalMultiplier_ = other.readTotalMultiplier_;
    readTotalConstant_ = other.readTotalConstant_;
    writeTotalMultiplier_ = other.writeTotalMultiplier_;
    writeTotalConstant_ = other.writeTotalConstant_;
    apply_();
}

// --- TComFlowControl ---------------------------------------------------------

template <typename T>
void TComFlowControl::set(T& field, T value)
{
    if (value == field)
        return;
    field = value;
    apply_();
}

void TComFlowControl::setOutCTSFlow(bool value) { set(outCTSFlow_, value); }
void TComFlowControl::setOutDSRFlow(bool value) { set(outDSRFlow_, value); }
void TComFlowControl::setControlDTR(TDTRFlowControl value) { set(controlDTR_, value); }
void TComFlowControl::setControlRTS(TRTSFlowControl value) { set(controlRTS_, value); }
void TComFlowControl::setXonXoffOut(bool value) { set(xonXoffOut_, value); }
void TComFlowControl::setXonXoffIn(bool value) { set(xonXoffIn_, value); }
void TComFlowControl::setDSRSensitivity(bool value) { set(dsrSensitivity_, value); }
void TComFlowControl::setTxContinueOnXoff(bool value) { set(txContinueOnXoff_, value); }
void TComFlowControl::setXonChar(uint8_t value) { set(xonChar_, value); }
void TComFlowControl::setXoffChar(uint8_t value) { set(xoffChar_, value); }

TFlowControl TComFlowControl::FlowControl() const
{
    if (controlRTS_ == rtsHandshake && outCTSFlow_ && !xonXoffOut_ && !xonXoffIn_)
        return fcHardware;
    if (controlRTS_ == rtsDisable && !outCTSFlow_ && xonXoffOut_ && xonXoffIn_)
        return fcSoftware;
    if (controlRTS_ == rtsDisable && !outCTSFlow_ && !xonXoffOut_ && !xonXoffIn_)
        return fcNone;
    return fcCustom;
}

void TComFlowControl::setFlowControl(TFlowControl value)
{
    switch (value) {
    case fcHardware:
        controlRTS_ = rtsHandshake;
        outCTSFlow_ = true;
        xonXoffOut_ = xonXoffIn_ = false;
        break;
    case fcSoftware:
        controlRTS_ = rtsDisable;
        outCTSFlow_ = false;
        xonXoffOut_ = xonXoffIn_ = true;
        break;
    case fcNone:
        controlRTS_ = rtsDisable;
        outCTSFlow_ = false;
        xonXoffOut_ = xonXoffIn_ = false;
        break;
    case fcCustom:
        break;
    }
    apply_();
}

void TComFlowControl::Assign(const TComFlowControl& other)
{
    outCTSFlow_ = other.outCTSFlow_;
    outDSRFlow_ = other.outDSRFlow_;
    controlDTR_ = other.controlDTR_;
    controlRTS_ = other.controlRTS_;
    xonXoffOut_ = other.xonXoffOut_;
    xonXoffIn_ = other.xonXoffIn_;
    dsrSensitivity_ = other.dsrSensitivity_;
    txContinueOnXoff_ = other.txContinueOnXoff_;
    xonChar_ = other.xonChar_;
    xoffChar_ = other.xoffChar_;
    apply_();
}

// --- TCustomComPort ----------------------------------------------------------

TCustomComPort::TCustomComPort(std::unique_ptr<CommDevice> device) : device_(std::move(device)) {}

TCustomComPort::~TCustomComPort()
{
    try {
        ClosePort();
    } catch (...) {
        // ClosePort has closed the port all the same; there is no one left to tell.
    }
}

void TCustomComPort::setConnected(bool value)
{
    if (loading_) {
        connectWhenLoaded_ = value;
        return;
    }
    if (value != connected_) {
        if (value)
            OpenPort();
        else
            ClosePort();
    }
}

void TCustomComPort::Loaded()
{
    loading_ = false;
    if (!connectWhenLoaded_)
        return;
    try {
        OpenPort();
    } catch (const EComPort& error) {
        ReportException(error);
    }
}

template <typename T>
void TCustomComPort::setLineSetting(T& field, T value)
{
    if (value == field)
        return;
    field = value;
    ApplyLineSettings();
}

void TCustomComPort::setBaudRate(TBaudRate value) { setLineSetting(baudRate_, value); }
void TCustomComPort::setCustomBaudRate(int32_t value) { setLineSetting(customBaudRate_, value); }
void TCustomComPort::setStopBits(TStopBits value) { setLineSetting(stopBits_, value); }
void TCustomComPort::setDataBits(TDataBits value) { setLineSetting(dataBits_, value); }
void TCustomComPort::setDiscardNull(bool value) { setLineSetting(discardNull_, value); }
void TCustomComPort::setEventChar(uint8_t value) { setLineSetting(eventChar_, value); }

void TCustomComPort::setPort(const std::string& value)
{
    if (value == port_)
        return;
    port_ = value;
    if (connected_) {
        ClosePort();
        OpenPort();
    }
}

void TCustomComPort::setSyncMethod(TSyncMethod value)
{
    if (value == syncMethod_)
        return;
    if (connected_)
        throw EComPort(EComPort::ConnChangeProp);
    syncMethod_ = value;
}

void TCustomComPort::OpenPort()
{
    if (connected_)
        return;
    if (OnBeforeOpen)
        OnBeforeOpen(this);
    CreateDeviceHandle();
    connected_ = true;
    try {
        ApplySettings();
    } catch (...) {
        DestroyDeviceHandle();
        connected_ = false;
        throw;
    }
    if (events_ != 0) {
        if (syncMethod_ != smNone)
            notifyWindow_ = TComThread::CreateNotifyWindow();
        ComEventTarget& target = *this;
        thread_ = std::make_unique<TComThread>(*device_, target, syncMethod_, notifyWindow_.get());
        thread_->Start(watchedEvents());
    }
    if (OnAfterOpen)
        OnAfterOpen(this);
    raiseSignal(OnCTSChange, (ReadModemSignals() & kSignalCTS) != 0);
    raiseSignal(OnDSRChange, (ReadModemSignals() & kSignalDSR) != 0);
    raiseSignal(OnRLSDChange, (ReadModemSignals() & kSignalRLSD) != 0);
}

namespace {

// Runs one step of closing that may fail. The first failure is kept, to be
// raised once the port is closed: a device that fails (an adapter pulled
// out) must still be let go, or every later open would find it taken.
template <typename Step>
void closeStep(std::exception_ptr& failure, Step&& step)
{
    try {
        step();
    } catch (...) {
        if (!failure)
            failure = std::current_exception();
    }
}

}  // namespace

void TCustomComPort::ClosePort()
{
    if (!connected_)
        return;
    std::exception_ptr failure;
    closeStep(failure, [this] { raiseSignal(OnCTSChange, false); });
    closeStep(failure, [this] { raiseSignal(OnDSRChange, false); });
    closeStep(failure, [this] { raiseSignal(OnRLSDChange, false); });
    closeStep(failure, [this] {
        if (OnBeforeClose)
            OnBeforeClose(this);
    });
    closeStep(failure, [this] { PurgePendingIo(); });
    // The thread ends before the device closes, so it never sees a closed one.
    if (thread_) {
        thread_->Stop();
        thread_.reset();
        notifyWindow_.reset();
    }
    DestroyDeviceHandle();
    connected_ = false;
    closeStep(failure, [this] {
        if (OnAfterClose)
            OnAfterClose(this);
    });
    if (failure)
        std::rethrow_exception(failure);
}

void TCustomComPort::raiseSignal(const TComSignalEvent& handler, bool onOff)
{
    if (handler)
        handler(this, onOff);
}

void TCustomComPort::CreateDeviceHandle()
{
    if (const int error = device_->open(port_); error != 0)
        throw EComPort(EComPort::OpenFailed, error);
    deviceOpen_ = true;
}

void TCustomComPort::DestroyDeviceHandle()
{
    if (deviceOpen_)
        device_->close();
    deviceOpen_ = false;
}

void TCustomComPort::ApplySettings()
{
    ApplyBufferSizes();
    ApplyLineSettings();
    ApplyTimeouts();
}

CommDcb TCustomComPort::BuildDcb() const
{
    CommDcb dcb;
    dcb.DCBlength = 28;
    dcb.BaudRate = baudRate_ == brCustom ? static_cast<uint32_t>(customBaudRate_) : kBaudRates[baudRate_];
    dcb.XonLim = static_cast<uint16_t>(buffer_.InputSize() / 4);
    dcb.XoffLim = static_cast<uint16_t>(buffer_.InputSize() / 4);
    dcb.ByteSize = static_cast<uint8_t>(5 + dataBits_);
    dcb.Parity = static_cast<uint8_t>(parity_.Bits());
    dcb.StopBits = static_cast<uint8_t>(stopBits_);
    dcb.XonChar = flowControl_.XonChar();
    dcb.XoffChar = flowControl_.XoffChar();
    dcb.EvtChar = eventChar_;
    const bool replace = parity_.Check() && parity_.Replace();
    dcb.ErrorChar = replace ? parity_.ReplaceChar() : 0;

    uint32_t flags = CommDcb::fBinary;
    if (parity_.Check())
        flags |= CommDcb::fParity;
    if (flowControl_.OutCTSFlow())
        flags |= CommDcb::fOutxCtsFlow;
    if (flowControl_.OutDSRFlow())
        flags |= CommDcb::fOutxDsrFlow;
    flags |= static_cast<uint32_t>(flowControl_.ControlDTR()) << CommDcb::fDtrControlShift;
    if (flowControl_.DSRSensitivity())
        flags |= CommDcb::fDsrSensitivity;
    if (flowControl_.TxContinueOnXoff())
        flags |= CommDcb::fTXContinueOnXoff;
    if (flowControl_.XonXoffOut())
        flags |= CommDcb::fOutX;
    if (flowControl_.XonXoffIn())
        flags |= CommDcb::fInX;
    if (replace)
        flags |= CommDcb::fErrorChar;
    if (discardNull_)
        flags |= CommDcb::fNull;
    flags |= static_cast<uint32_t>(flowControl_.ControlRTS()) << CommDcb::fRtsControlShift;
    dcb.Flags = flags;
    return dcb;
}

void TCustomComPort::ApplyLineSettings()
{
    if (!canApply())
        return;
    if (const int error = device_->setState(BuildDcb()); error != 0)
        throw EComPort(EComPort::SetStateFailed, error);
}

void TCustomComPort::ApplyBufferSizes()
{
    if (!canApply())
        return;
    const int error = device_->setQueueSizes(static_cast<uint32_t>(buffer_.InputSize()),
                                             static_cast<uint32_t>(buffer_.OutputSize()));
    if (error != 0)
        throw EComPort(EComPort::SetupCommFailed, error);
}

void TCustomComPort::ApplyTimeouts()
{
    if (!canApply())
        return;
    CommTimeouts timeouts;
    timeouts.ReadIntervalTimeout = deviceTimeout(timeouts_.ReadInterval());
    timeouts.ReadTotalTimeoutMultiplier = deviceTimeout(timeouts_.ReadTotalMultiplier());
    timeouts.ReadTotalTimeoutConstant = deviceTimeout(timeouts_.ReadTotalConstant());
    timeouts.WriteTotalTimeoutMultiplier = deviceTimeout(timeouts_.WriteTotalMultiplier());
    timeouts.WriteTotalTimeoutConstant = deviceTimeout(timeouts_.WriteTotalConstant());
    if (const int error = device_->setTimeouts(timeouts); error != 0)
        throw EComPort(EComPort::SetTimeoutsFailed, error);
}

int TCustomComPort::WriteText(const std::string& text)
{
    if (text.empty())
        return 0;
    return WriteBytes(text.data(), static_cast<int>(text.size()));
}

int TCustomComPort::WriteBytes(const void* data, int count)
{
    uint32_t written = 0;
    const uint32_t size = count > 0 ? static_cast<uint32_t>(count) : 0;
    if (const int error = device_->write(static_cast<const uint8_t*>(data), size, written); error != 0)
        throw EComPort(EComPort::WriteFailed, error);
    return static_cast<int>(written);
}

int TCustomComPort::ReadBytes(void* buffer, int count)
{
    uint32_t read = 0;
    const uint32_t wanted = count > 0 ? static_cast<uint32_t>(count) : 0;
    if (const int error = device_->read(static_cast<uint8_t*>(buffer), wanted, read); error != 0)
        throw EComPort(EComPort::ReadFailed, error);
    BytesWaiting();
    return static_cast<int>(read);
}

int TCustomComPort::BytesWaiting()
{
    uint32_t errors = 0;
    uint32_t waiting = 0;
    if (const int error = device_->clearError(errors, waiting); error != 0)
        throw EComPort(EComPort::ClearComFailed, error);
    return static_cast<int>(waiting);
}

TComErrors TCustomComPort::ReadLineErrors()
{
    uint32_t errors = 0;
    uint32_t waiting = 0;
    if (const int error = device_->clearError(errors, waiting); error != 0)
        throw EComPort(EComPort::ClearComFailed, error);
    TComErrors result = comErrors(errors);
    if (!parity_.Check())
        result = static_cast<TComErrors>(result & ~2u);
    return result;
}

int TCustomComPort::ReadModemSignals()
{
    uint32_t status = 0;
    if (const int error = device_->modemStatus(status); error != 0)
        throw EComPort(EComPort::ModemStatFailed, error);
    int lines = 0;
    if (status & CommModem::CtsOn)
        lines |= kSignalCTS;
    if (status & CommModem::DsrOn)
        lines |= kSignalDSR;
    if (status & CommModem::RingOn)
        lines |= kSignalRing;
    if (status & CommModem::RlsdOn)
        lines |= kSignalRLSD;
    return lines;
}

void TCustomComPort::PurgePendingIo()
{
    if (const int error = device_->purge(CommPurge::TxAbort | CommPurge::RxAbort); error != 0)
        throw EComPort(EComPort::PurgeFailed, error);
}

void TCustomComPort::ClearInput()
{
    if (const int error = device_->purge(CommPurge::RxClear); error != 0)
        throw EComPort(EComPort::PurgeFailed, error);
}

// An event whose action would only call a handler that is not set is not
// watched (as the transmitter-empty event after every write of the device
// link): each costs a wake-up of the event thread and of the user-interface
// thread. The actions that read the device's state always count.
TComEvents TCustomComPort::watchedEvents() const
{
    TComEvents events = events_;
    const auto unlessHandled = [&events](TComEvent event, const TNotifyEvent& handler) {
        if (!handler)
            events = static_cast<TComEvents>(events & ~ComEventBit(event));
    };
    unlessHandled(evTxEmpty, OnTxEmpty);
    unlessHandled(evRxFlag, OnRxFlag);
    unlessHandled(evRing, OnRing);
    unlessHandled(evBreak, OnBreak);
    unlessHandled(evRx80Full, OnRx80Full);
    return events;
}

// Runs on the thread the sync method names. What an action raises goes to
// the central exception report, and the later events are still delivered.
void TCustomComPort::eventArrived(TComEvent event)
{
    try {
        RunEventAction(event);
    } catch (const std::exception& error) {
        ReportException(error);
    }
}

void TCustomComPort::RunEventAction(TComEvent event)
{
    const auto raise = [this](const TNotifyEvent& handler) {
        if (handler)
            handler(this);
    };
    switch (event) {
    case evRxChar:
        if (const int waiting = BytesWaiting(); waiting > 0 && OnRxChar)
            OnRxChar(this, waiting);
        break;
    case evTxEmpty:
        raise(OnTxEmpty);
        break;
    case evRxFlag:
        raise(OnRxFlag);
        break;
    case evRing:
        raise(OnRing);
        break;
    case evBreak:
        raise(OnBreak);
        break;
    case evCTS:
        raiseSignal(OnCTSChange, (ReadModemSignals() & kSignalCTS) != 0);
        break;
    case evDSR:
        raiseSignal(OnDSRChange, (ReadModemSignals() & kSignalDSR) != 0);
        break;
    case evRLSD:
        raiseSignal(OnRLSDChange, (ReadModemSignals() & kSignalRLSD) != 0);
        break;
    case evError:
        if (const TComErrors errors = ReadLineErrors(); errors != 0 && OnError)
            OnError(this, errors);
        break;
    case evRx80Full:
        raise(OnRx80Full);
        break;
    }
}
