#include "core/link/SwitchLine.h"
#include "core/serial/ComPort.h"
#include "core/serial/PortNames.h"

#include "support/PtyPair.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Keeps the user-interface thread's events flowing until `done` or a bound.
bool processEventsUntil(const std::function<bool()>& done, int limitMs = 10000)
{
    QDeadlineTimer deadline(limitMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 10);
    }
    return true;
}

// The port as the setup window makes it, on the slave side of a
// pseudo-terminal mapped to COM7; the test plays the switch on the master side.
class ComPortPtyTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pty.ok());
        names.map(7, pty.slavePath());
        names.map(8, "/nonexistent/ttyTorvik");
        port = makePort();
    }

    std::unique_ptr<TComPort> makePort()
    {
        auto result = std::make_unique<TComPort>(CreatePlatformCommDevice(names));
        SetSwitchLineSettings(*result);
        result->setPort("COM7");
        result->OnRxChar = [this](TCustomComPort*, int count) {
            counts.push_back(count);
            onMainThread = onMainThread && QThread::currentThread() == QCoreApplication::instance()->thread();
        };
        return result;
    }

    PtyPair pty;
    PortNames names;
    std::unique_ptr<TComPort> port;
    std::vector<int> counts;
    bool onMainThread = true;
};

TEST_F(ComPortPtyTest, OpensClosesAndReopensAndReportsAMissingDevice)
{
    port->OpenPort();
    EXPECT_TRUE(port->Connected());
    port->ClosePort();
    EXPECT_FALSE(port->Connected());
    port->OpenPort();
    EXPECT_TRUE(port->Connected());

    // The device is taken: a second port on it cannot open.
    std::unique_ptr<TComPort> second = makePort();
    EXPECT_THROW(second->OpenPort(), EComPort);
    EXPECT_FALSE(second->Connected());

    // Renaming an open port reopens it on the new name: here a missing device.
    EXPECT_THROW(port->setPort("COM8"), EComPort);
    EXPECT_FALSE(port->Connected());
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            port->OpenPort();
            ADD_FAILURE() << "opened a missing device";
        } catch (const EComPort& error) {
            EXPECT_EQ(error.ErrorIndex(), 1);
            EXPECT_EQ(std::string(error.what()), "Unable to open com port (win error code: 2)");
        }
        EXPECT_FALSE(port->Connected());
    }
    second->OpenPort();  // the device is free again
    EXPECT_TRUE(second->Connected());
}

TEST_F(ComPortPtyTest, BytesTravelBothWaysAndAReadReturnsAtOnce)
{
    port->OpenPort();
    char buffer[64] = {};
    EXPECT_EQ(port->ReadBytes(buffer, sizeof buffer), 0);
    EXPECT_EQ(port->WriteText("CONFIG\r"), 7);
    EXPECT_EQ(pty.read(7), "CONFIG\r");

    ASSERT_TRUE(pty.write("Start 1\r\n# \r\n"));
    ASSERT_TRUE(processEventsUntil([&] { return port->BytesWaiting() == 13; }));
    EXPECT_EQ(port->ReadBytes(buffer, sizeof buffer), 13);
    EXPECT_EQ(std::string(buffer, 13), "Start 1\r\n# \r\n");
}

TEST_F(ComPortPtyTest, ReceivedBytesRaiseOneRxCharOnTheUserInterfaceThread)
{
    port->OpenPort();
    ASSERT_TRUE(pty.write("hello"));
    ASSERT_TRUE(processEventsUntil([&] { return !counts.empty(); }));
    EXPECT_EQ(counts, std::vector<int>{5});
    EXPECT_TRUE(onMainThread);

    // The handler left the bytes unread: no stream of events for them...
    processEventsUntil([] { return false; }, 300);
    EXPECT_EQ(counts, std::vector<int>{5});
    // ...but new bytes raise the event again, with everything now waiting.
    ASSERT_TRUE(pty.write(" world"));
    ASSERT_TRUE(processEventsUntil([&] { return counts.size() == 2; }));
    EXPECT_EQ(counts.back(), 11);
}

TEST_F(ComPortPtyTest, ClosingDiscardsUnreadBytes)
{
    port->OpenPort();
    ASSERT_TRUE(pty.write("stale reply"));
    ASSERT_TRUE(processEventsUntil([&] { return !counts.empty(); }));
    port->ClosePort();
    port->OpenPort();
    EXPECT_EQ(port->BytesWaiting(), 0);
}

TEST_F(ComPortPtyTest, AfterTheFarEndHangsUpThePortStillCloses)
{
    port->OpenPort();
    pty.closeMaster();
    processEventsUntil([] { return false; }, 300);
    EXPECT_TRUE(counts.empty());
    port->ClosePort();
    EXPECT_FALSE(port->Connected());
}

TEST_F(ComPortPtyTest, WithoutEventsNothingIsRaised)
{
    port->setEvents(0);
    port->OpenPort();
    ASSERT_TRUE(pty.write("abc"));
    ASSERT_TRUE(processEventsUntil([&] { return port->BytesWaiting() == 3; }));
    processEventsUntil([] { return false; }, 100);
    EXPECT_TRUE(counts.empty());
}

}  // namespace
