#include "core/link/SwitchLine.h"

#include "core/serial/ComPort.h"

void SetSwitchLineSettings(TComPort& port)
{
    port.setBaudRate(br115200);
    port.Parity().setBits(prNone);
    port.setStopBits(sbOneStopBit);
    port.setDataBits(dbEight);
    port.setEvents(kAllComEvents);
    port.FlowControl().setOutCTSFlow(false);
    port.FlowControl().setOutDSRFlow(false);
    port.FlowControl().setControlDTR(dtrDisable);
    port.FlowControl().setControlRTS(rtsDisable);
    port.FlowControl().setXonXoffOut(false);
    port.FlowControl().setXonXoffIn(false);
    port.setSyncMethod(smWindowSync);
}
