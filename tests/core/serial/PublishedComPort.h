#pragma once

#include "core/serial/ComPort.h"

// The port with every setting and handler that its tests set or read made
// public, as a program that uses them would derive it from the component.
class PublishedComPort final : public TComPort {
public:
    using TComPort::TComPort;

    using TCustomComPort::setConnected;
    using TCustomComPort::setCustomBaudRate;
    using TCustomComPort::setDiscardNull;
    using TCustomComPort::setEventChar;
    using TCustomComPort::SyncMethod;
    using TCustomComPort::Buffer;
    using TCustomComPort::Timeouts;
    using TCustomComPort::ReadLineErrors;
    using TCustomComPort::ReadModemSignals;

    using TCustomComPort::OnAfterOpen;
    using TCustomComPort::OnAfterClose;
    using TCustomComPort::OnBeforeOpen;
    using TCustomComPort::OnBeforeClose;
    using TCustomComPort::OnTxEmpty;
    using TCustomComPort::OnBreak;
    using TCustomComPort::OnRing;
    using TCustomComPort::OnRxFlag;
    using TCustomComPort::OnRx80Full;
    using TCustomComPort::OnCTSChange;
    using TCustomComPort::OnDSRChange;
    using TCustomComPort::OnRLSDChange;
    using TCustomComPort::OnError;
};
