#include "core/link/SwitchLine.h"
#include "core/serial/ComPort.h"

#include "core/serial/PublishedComPort.h"
#include "support/FakeCommDevice.h"
#include "support/SystemLine.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using Op = FakeCommDevice::Op;

class ComPortTest : public testing::Test {
protected:
    ComPortTest()
    {
        auto owned = std::make_unique<FakeCommDevice>();
        device = owned.get();
        port = std::make_unique<PublishedComPort>(std::move(owned));
    }

    // The settings the program gives its port.
    void useSystemSettings()
    {
        SetSwitchLineSettings(*port);
        port->setEvents(0);  // no event thread in these tests
    }

    void expectFailure(int errorIndex, const std::string& message, const std::function<void()>& call)
    {
        try {
            call();
            ADD_FAILURE() << "no EComPort, expected: " << message;
        } catch (const EComPort& error) {
            EXPECT_EQ(error.ErrorIndex(), errorIndex);
            EXPECT_EQ(std::string(error.what()), message);
        }
    }

    FakeCommDevice* device = nullptr;
    std::unique_ptr<PublishedComPort> port;
};

TEST_F(ComPortTest, TheSystemSettingsMakeThisDeviceControlBlock)
{
    useSystemSettings();
    EXPECT_TRUE(device->record().states.empty());  // nothing reaches a closed device
    port->OpenPort();

    const FakeCommDevice::Record record = device->record();
    ASSERT_EQ(record.states.size(), 1u);
    EXPECT_EQ(record.states[0], SystemDcb());
    EXPECT_EQ(record.queueSizes, (std::vector<std::pair<uint32_t, uint32_t>>{{1024, 1024}}));
    ASSERT_EQ(record.timeouts.size(), 1u);
    EXPECT_EQ(record.timeouts[0], kSystemTimeouts);
    EXPECT_EQ(record.opened, std::vector<std::string>{"COM1"});
}

TEST_F(ComPortTest, EverySettingReachesTheDeviceControlBlock)
{
    port->setEvents(0);
    port->OpenPort();
    port->setBaudRate(brCustom);
    port->setCustomBaudRate(31250);
    port->setDataBits(dbSeven);
    port->setStopBits(sbTwoStopBits);
    port->Parity().setBits(prMark);
    port->Parity().setCheck(true);
    port->Parity().setReplace(true);
    port->Parity().setReplaceChar('?');
    port->setDiscardNull(true);
    port->setEventChar('\n');
    port->FlowControl().setOutDSRFlow(true);
    port->FlowControl().setControlDTR(dtrHandshake);
    port->FlowControl().setDSRSensitivity(true);
    port->FlowControl().setTxContinueOnXoff(true);
    port->FlowControl().setFlowControl(fcHardware);
    port->Buffer().setInputSize(2049);  // odd: 2048

    const CommDcb dcb = device->record().states.back();
    EXPECT_EQ(dcb.BaudRate, 31250u);
    EXPECT_EQ(dcb.ByteSize, 7);
    EXPECT_EQ(dcb.StopBits, 2);
    EXPECT_EQ(dcb.Parity, 3);
    EXPECT_EQ(dcb.ErrorChar, '?');
    EXPECT_EQ(dcb.EvtChar, '\n');
    EXPECT_EQ(dcb.XonLim, 256);  // the queue sizes are a group of their own...
    EXPECT_EQ(port->Buffer().InputSize(), 2048);
    EXPECT_EQ(device->record().queueSizes.back(), (std::pair<uint32_t, uint32_t>{2048, 1024}));
    port->setBaudRate(br57600);  // ...that the next line settings pick up
    EXPECT_EQ(device->record().states.back().XonLim, 512);
    EXPECT_EQ(device->record().states.back().XoffLim, 512);

    const uint32_t flags = device->record().states.back().Flags;
    EXPECT_EQ(flags, CommDcb::fBinary | CommDcb::fParity | CommDcb::fOutxCtsFlow | CommDcb::fOutxDsrFlow |
                         (2u << CommDcb::fDtrControlShift) | CommDcb::fDsrSensitivity | CommDcb::fTXContinueOnXoff |
                         CommDcb::fErrorChar | CommDcb::fNull | (2u << CommDcb::fRtsControlShift));
}

TEST_F(ComPortTest, SettingAValueItAlreadyHasDoesNotTouchTheDevice)
{
    port->setEvents(0);
    port->OpenPort();
    const std::size_t states = device->record().states.size();
    const std::size_t timeouts = device->record().timeouts.size();
    const std::size_t sizes = device->record().queueSizes.size();
    port->setBaudRate(br9600);
    port->FlowControl().setOutCTSFlow(false);
    port->FlowControl().setXonChar(17);
    port->Parity().setBits(prNone);
    port->Timeouts().setWriteTotalConstant(1000);
    port->Buffer().setOutputSize(1024);
    EXPECT_EQ(device->record().states.size(), states);
    EXPECT_EQ(device->record().timeouts.size(), timeouts);
    EXPECT_EQ(device->record().queueSizes.size(), sizes);

    port->Timeouts().setReadInterval(5);
    EXPECT_EQ(device->record().timeouts.back().ReadIntervalTimeout, 5u);
}

TEST_F(ComPortTest, FlowControlPresetsAreReadFromFourFields)
{
    TComFlowControl& flow = port->FlowControl();
    EXPECT_EQ(flow.FlowControl(), fcNone);
    flow.setFlowControl(fcSoftware);
    EXPECT_EQ(flow.FlowControl(), fcSoftware);
    flow.setOutDSRFlow(true);
    flow.setControlDTR(dtrEnable);
    EXPECT_EQ(flow.FlowControl(), fcSoftware);
    flow.setFlowControl(fcHardware);
    EXPECT_EQ(flow.FlowControl(), fcHardware);
    EXPECT_FALSE(flow.XonXoffIn());
    flow.setXonXoffIn(true);
    EXPECT_EQ(flow.FlowControl(), fcCustom);
    flow.setFlowControl(fcCustom);
    EXPECT_TRUE(flow.XonXoffIn());
    flow.setFlowControl(fcNone);
    EXPECT_EQ(flow.FlowControl(), fcNone);
    EXPECT_TRUE(flow.OutDSRFlow());  // not one of the four
}

TEST_F(ComPortTest, OpeningFailsCleanlyAtEveryStep)
{
    useSystemSettings();
    device->failWith(Op::Open, 2);
    for (int attempt = 0; attempt < 2; ++attempt) {
        expectFailure(1, "Unable to open com port (win error code: 2)", [&] { port->OpenPort(); });
        EXPECT_FALSE(port->Connected());
    }
    device->failWith(Op::Open, 0);

    struct Step {
        Op op;
        int errorIndex;
        std::string message;
    };
    const Step steps[] = {
        {Op::SetQueueSizes, 9, "SetupComm function failed (win error code: 87)"},
        {Op::SetState, 7, "SetCommState function failed (win error code: 87)"},
        {Op::SetTimeouts, 8, "SetCommTimeouts failed (win error code: 87)"},
    };
    int closes = 0;
    for (const Step& step : steps) {
        device->failWith(step.op, 87);
        expectFailure(step.errorIndex, step.message, [&] { port->OpenPort(); });
        device->failWith(step.op, 0);
        EXPECT_FALSE(port->Connected());
        EXPECT_FALSE(device->isOpen()) << step.message;
        EXPECT_EQ(device->record().closes, ++closes);
    }
    port->OpenPort();
    EXPECT_TRUE(port->Connected());
}

TEST_F(ComPortTest, AFailedModemReportLeavesThePortOpen)
{
    port->setSyncMethod(smNone);
    device->failWith(Op::ModemStatus, 5);
    expectFailure(11, "GetCommModemStatus function failed (win error code: 5)", [&] { port->OpenPort(); });
    EXPECT_TRUE(port->Connected());
    device->failWith(Op::ModemStatus, 0);
    port->ClosePort();
    EXPECT_FALSE(port->Connected());
}

// An adapter pulled out fails the purge at close; a throwing handler fails
// close the same way. Either way the thread stops (the fake fails any call
// after close), the device is let go, the failure is reported, and the next
// open, on the same name or another, opens the device afresh.
TEST_F(ComPortTest, AFailedCloseStillStopsTheThreadAndClosesTheDevice)
{
    struct Case {
        std::function<void()> breakClose;
        int errorIndex;
        std::string message;
    };
    const Case cases[] = {
        {[&] { device->failWith(Op::Purge, 22); }, 5, "PurgeComm function failed (win error code: 22)"},
        {[&] { port->OnBeforeClose = [](TCustomComPort*) { throw EComPort(EComPort::ReadFailed, 1167); }; }, 3,
         "ReadFile function failed (win error code: 1167)"},
    };
    int afterClose = 0;
    port->OnAfterClose = [&](TCustomComPort*) { ++afterClose; };
    port->setSyncMethod(smNone);
    for (const std::string name : {"COM1", "COM3"}) {
        for (const Case& c : cases) {
            port->setPort(name);
            port->OpenPort();
            c.breakClose();
            expectFailure(c.errorIndex, c.message, [&] { port->ClosePort(); });
            device->failWith(Op::Purge, 0);
            port->OnBeforeClose = nullptr;
            EXPECT_FALSE(port->Connected()) << c.message;
            EXPECT_FALSE(device->isOpen()) << c.message;
            EXPECT_EQ(device->record().eventMasks.back(), 0u) << "the thread ended before the close";
            EXPECT_EQ(device->record().opened.back(), name);
        }
    }
    EXPECT_EQ(device->record().opened.size(), 4u);
    EXPECT_EQ(device->record().closes, 4);
    EXPECT_EQ(afterClose, 4);
}

TEST_F(ComPortTest, OpenAndCloseAreIdempotentAndRaiseTheirNotificationsInOrder)
{
    std::vector<std::string> calls;
    port->setEvents(0);
    device->setModemStatus(CommModem::CtsOn | CommModem::RlsdOn);
    port->OnBeforeOpen = [&](TCustomComPort*) { calls.push_back("before open"); };
    port->OnAfterOpen = [&](TCustomComPort*) { calls.push_back("after open"); };
    port->OnBeforeClose = [&](TCustomComPort*) { calls.push_back("before close"); };
    port->OnAfterClose = [&](TCustomComPort*) { calls.push_back("after close"); };
    port->OnCTSChange = [&](TCustomComPort*, bool on) { calls.push_back(on ? "cts on" : "cts off"); };
    port->OnDSRChange = [&](TCustomComPort*, bool on) { calls.push_back(on ? "dsr on" : "dsr off"); };
    port->OnRLSDChange = [&](TCustomComPort*, bool on) { calls.push_back(on ? "rlsd on" : "rlsd off"); };

    port->ClosePort();
    port->OpenPort();
    port->OpenPort();
    port->setConnected(true);
    port->ClosePort();
    port->setConnected(false);
    EXPECT_EQ(calls, (std::vector<std::string>{"before open", "after open", "cts on", "dsr off", "rlsd on",
                                               "cts off", "dsr off", "rlsd off", "before close", "after close"}));
    EXPECT_EQ(device->record().opened.size(), 1u);
    EXPECT_EQ(device->record().purges, std::vector<uint32_t>{CommPurge::TxAbort | CommPurge::RxAbort});
}

TEST_F(ComPortTest, RenamingThePortWhileOpenReopensIt)
{
    port->setEvents(0);
    port->OpenPort();
    port->setPort("COM1");
    EXPECT_EQ(device->record().opened.size(), 1u);
    port->setPort("COM10");
    EXPECT_EQ(device->record().opened, (std::vector<std::string>{"COM1", "COM10"}));
    EXPECT_EQ(device->record().closes, 1);
    EXPECT_TRUE(port->Connected());
    port->setPort("com10");  // names compare exactly
    EXPECT_EQ(device->record().opened.size(), 3u);
}

TEST_F(ComPortTest, SyncMethodCannotChangeWhileConnected)
{
    port->setEvents(0);
    port->setSyncMethod(smNone);
    port->OpenPort();
    expectFailure(14, "Cannot set property while connected", [&] { port->setSyncMethod(smWindowSync); });
    port->setSyncMethod(smNone);
    port->ClosePort();
    port->setSyncMethod(smWindowSync);
    EXPECT_EQ(port->SyncMethod(), smWindowSync);
}

TEST_F(ComPortTest, ReadsAndWritesGoThroughTheDevice)
{
    port->setEvents(0);
    port->OpenPort();
    EXPECT_EQ(port->WriteText(""), 0);
    EXPECT_EQ(port->WriteText("CONFIG\r"), 7);
    EXPECT_EQ(device->record().written, "CONFIG\r");

    char buffer[8] = {};
    EXPECT_EQ(port->ReadBytes(buffer, sizeof buffer), 0);
    device->receive("# \r\nmore bytes");
    EXPECT_EQ(port->BytesWaiting(), 14);
    EXPECT_EQ(port->ReadBytes(buffer, sizeof buffer), 8);
    EXPECT_EQ(std::string(buffer, 8), "# \r\nmore");
    EXPECT_EQ(port->BytesWaiting(), 6);

    device->failWith(Op::Write, 31);
    expectFailure(2, "WriteFile function failed (win error code: 31)", [&] { port->WriteText("x"); });
    device->failWith(Op::Read, 31);
    expectFailure(3, "ReadFile function failed (win error code: 31)", [&] { port->ReadBytes(buffer, 1); });
    device->failWith(Op::ClearError, 31);
    expectFailure(10, "ClearCommError function failed (win error code: 31)", [&] { port->BytesWaiting(); });
    EXPECT_TRUE(port->Connected());
}

TEST_F(ComPortTest, LineErrorsAndModemSignalsAreMappedBitByBit)
{
    port->setEvents(0);
    port->OpenPort();
    device->setLineErrors(CommError::Frame | CommError::RxParity | CommError::RxOver | CommError::TxFull);
    EXPECT_EQ(port->ReadLineErrors(), 0b1100'0001);  // parity only when checked
    EXPECT_EQ(port->ReadLineErrors(), 0);            // reading clears them
    port->Parity().setCheck(true);
    device->setLineErrors(CommError::RxParity | CommError::Overrun | CommError::Break | CommError::Ioe | CommError::Mode);
    EXPECT_EQ(port->ReadLineErrors(), 0b0011'1110);

    device->setModemStatus(CommModem::DsrOn | CommModem::RingOn);
    EXPECT_EQ(port->ReadModemSignals(), kSignalDSR | kSignalRing);
}

TEST_F(ComPortTest, ConnectedSetWhileLoadingOpensWhenLoaded)
{
    port->setEvents(0);
    port->BeginLoading();
    port->setConnected(true);
    port->setBaudRate(br115200);
    EXPECT_FALSE(device->isOpen());
    port->Loaded();
    EXPECT_TRUE(port->Connected());
    EXPECT_EQ(device->record().states.back().BaudRate, 115200u);
}

}  // namespace
