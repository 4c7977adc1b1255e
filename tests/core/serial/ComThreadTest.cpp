#include "core/serial/ComPort.h"

#include "core/platform/ExceptionReport.h"
#include "core/serial/PublishedComPort.h"
#include "support/FakeCommDevice.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

// Bounded waits: a fault fails the test instead of hanging it.
constexpr int kPatienceMs = 10000;

bool processEventsUntil(const std::function<bool()>& done)
{
    QDeadlineTimer deadline(kPatienceMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

bool waitUntil(const std::function<bool()>& done)
{
    QDeadlineTimer deadline(kPatienceMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(1);
    }
    return true;
}

class ComThreadTest : public testing::TestWithParam<TSyncMethod> {
protected:
    ComThreadTest()
    {
        auto owned = std::make_unique<FakeCommDevice>();
        device = owned.get();
        port = std::make_unique<PublishedComPort>(std::move(owned));
        port->setSyncMethod(GetParam());
        SetExceptionReporter([this](const QString& message) {
            const std::lock_guard lock(mutex);
            reports.push_back(message.toStdString());
        });
    }

    ~ComThreadTest() override
    {
        port.reset();
        SetExceptionReporter(nullptr);
    }

    void record(const std::string& call)
    {
        const std::lock_guard lock(mutex);
        calls.push_back(call);
        threads.push_back(QThread::currentThread());
    }

    std::size_t callCount()
    {
        const std::lock_guard lock(mutex);
        return calls.size();
    }

    FakeCommDevice* device = nullptr;
    std::unique_ptr<PublishedComPort> port;
    std::mutex mutex;
    std::vector<std::string> calls;
    std::vector<QThread*> threads;
    std::vector<std::string> reports;
};

TEST_P(ComThreadTest, EventsOfOneWaitArriveInTheFixedOrderOnTheSyncMethodsThread)
{
    port->OnError = [this](TCustomComPort*, TComErrors errors) { record("error " + std::to_string(errors)); };
    port->OnRxChar = [this](TCustomComPort*, int count) { record("rx " + std::to_string(count)); };
    port->OnTxEmpty = [this](TCustomComPort*) { record("tx empty"); };
    port->OnBreak = [this](TCustomComPort*) { record("break"); };
    port->OnRing = [this](TCustomComPort*) { record("ring"); };
    port->OnCTSChange = [this](TCustomComPort*, bool on) { record(on ? "cts on" : "cts off"); };
    port->OnDSRChange = [this](TCustomComPort*, bool on) { record(on ? "dsr on" : "dsr off"); };
    port->OnRxFlag = [this](TCustomComPort*) { record("rx flag"); };
    port->OnRLSDChange = [this](TCustomComPort*, bool on) { record(on ? "rlsd on" : "rlsd off"); };
    port->OnRx80Full = [this](TCustomComPort*) { record("rx 80% full"); };
    port->OpenPort();
    const std::size_t atOpen = callCount();  // the modem lines reported at open

    device->receive("abc");
    device->setLineErrors(CommError::Frame);
    device->setModemStatus(CommModem::DsrOn);
    device->raiseEvents(CommEvent::RxChar | CommEvent::RxFlag | CommEvent::TxEmpty | CommEvent::Cts |
                        CommEvent::Dsr | CommEvent::Rlsd | CommEvent::Break | CommEvent::Err | CommEvent::Ring |
                        CommEvent::Rx80Full);
    ASSERT_TRUE(processEventsUntil([&] { return callCount() == atOpen + 10; }));

    const std::vector<std::string> delivered(calls.begin() + static_cast<std::ptrdiff_t>(atOpen), calls.end());
    EXPECT_EQ(delivered, (std::vector<std::string>{"error 1", "rx 3", "tx empty", "break", "ring", "cts off",
                                                   "dsr on", "rx flag", "rlsd off", "rx 80% full"}));
    const bool onMainThread = GetParam() != smNone;
    for (std::size_t i = atOpen; i < threads.size(); ++i)
        EXPECT_EQ(threads[i] == QCoreApplication::instance()->thread(), onMainThread) << calls[i];
}

TEST_P(ComThreadTest, ReceivedBytesRaiseRxCharOnlyWhileTheyAreWaiting)
{
    port->OnRxChar = [this](TCustomComPort* sender, int count) {
        record("rx " + std::to_string(count));
        std::vector<char> buffer(static_cast<std::size_t>(count));
        sender->ReadBytes(buffer.data(), count);
    };
    port->OpenPort();
    device->receive("# \r\n");
    device->raiseEvents(CommEvent::RxChar);
    ASSERT_TRUE(processEventsUntil([&] { return callCount() == 1; }));
    // A second event for bytes already read raises nothing; new bytes do.
    device->raiseEvents(CommEvent::RxChar);
    ASSERT_TRUE(processEventsUntil([&] { return device->untakenEvents() == 0 && device->record().waits >= 3; }));
    device->receive("x");
    device->raiseEvents(CommEvent::RxChar);
    ASSERT_TRUE(processEventsUntil([&] { return callCount() == 2; }));
    EXPECT_EQ(calls, (std::vector<std::string>{"rx 4", "rx 1"}));
}

TEST_P(ComThreadTest, AHandlerThatThrowsIsReportedAndLaterEventsStillArrive)
{
    port->OnRxChar = [this](TCustomComPort* sender, int count) {
        std::vector<char> buffer(static_cast<std::size_t>(count));
        sender->ReadBytes(buffer.data(), count);
        record("rx");
        if (callCount() == 1)
            throw EComPort(EComPort::ReadFailed, 13);
    };
    port->OpenPort();
    for (int i = 1; i <= 2; ++i) {
        device->receive("abc");
        device->raiseEvents(CommEvent::RxChar);
        ASSERT_TRUE(processEventsUntil([&] { return callCount() == static_cast<std::size_t>(i); }));
    }
    ASSERT_TRUE(processEventsUntil([&] { return !reports.empty(); }));
    EXPECT_EQ(reports, std::vector<std::string>{"ReadFile function failed (win error code: 13)"});
}

TEST_P(ComThreadTest, ClosingStopsTheThreadDeliversTheEventInFlightAndEmptiesTheQueues)
{
    port->OnRxChar = [this](TCustomComPort* sender, int count) {
        record("rx " + std::to_string(count) + (sender->Connected() ? " open" : " closed"));
    };
    port->OpenPort();
    device->receive("unread");
    device->raiseEvents(CommEvent::RxChar);
    // The thread has taken the event and is handing it over; the
    // user-interface thread has not looked at its events yet.
    ASSERT_TRUE(waitUntil([&] { return device->untakenEvents() == 0; }));
    port->ClosePort();
    if (GetParam() != smNone) {
        EXPECT_EQ(calls, std::vector<std::string>{"rx 6 open"});
    }
    EXPECT_FALSE(device->isOpen());
    EXPECT_EQ(device->unread(), "");
    const FakeCommDevice::Record record = device->record();
    // Only the events with an action are watched: those that merely call an
    // unset handler are not.
    constexpr uint32_t kWatched = CommEvent::RxChar | CommEvent::Err | CommEvent::Cts | CommEvent::Dsr | CommEvent::Rlsd;
    EXPECT_EQ(record.eventMasks, (std::vector<uint32_t>{kWatched, 0}));
    EXPECT_EQ(record.purges, (std::vector<uint32_t>{CommPurge::TxAbort | CommPurge::RxAbort,
                                                    CommPurge::TxClear | CommPurge::RxClear}));
    QCoreApplication::processEvents();  // a late hand-over message finds nothing to do
    EXPECT_LE(callCount(), 1u);
}

TEST_P(ComThreadTest, WithoutEventsThereIsNoThread)
{
    port->setEvents(0);
    port->OnRxChar = [this](TCustomComPort*, int) { record("rx"); };
    port->OpenPort();
    device->receive("abc");
    device->raiseEvents(CommEvent::RxChar);
    QCoreApplication::processEvents();
    port->ClosePort();
    EXPECT_EQ(device->record().waits, 0);
    EXPECT_TRUE(device->record().eventMasks.empty());
    EXPECT_TRUE(calls.empty());
}

INSTANTIATE_TEST_SUITE_P(SyncMethods, ComThreadTest, testing::Values(smWindowSync, smThreadSync, smNone),
                         [](const testing::TestParamInfo<TSyncMethod>& info) {
                             return std::string(info.param == smWindowSync   ? "WindowSync"
                                                : info.param == smThreadSync ? "ThreadSync"
                                                                             : "NoSync");
                         });

// Under smWindowSync the event thread waits for the next event as soon as
// the user-interface thread has accepted one, not once its handler is done.
TEST(ComThreadHandOver, TheEventThreadWaitsAgainWhileTheHandlerRuns)
{
    auto owned = std::make_unique<FakeCommDevice>();
    FakeCommDevice* device = owned.get();
    PublishedComPort port(std::move(owned));
    port.setSyncMethod(smWindowSync);
    std::atomic<bool> waitingAgain = false;
    std::atomic<int> handled = 0;
    port.OnRxChar = [&](TCustomComPort*, int) {
        waitingAgain = waitUntil([&] { return device->record().waits >= 2; });
        ++handled;
    };
    port.OpenPort();
    device->receive("abc");
    device->raiseEvents(CommEvent::RxChar);
    ASSERT_TRUE(processEventsUntil([&] { return handled == 1; }));
    EXPECT_TRUE(waitingAgain);
}

// Under smWindowSync the events of later waits join a hand-over the
// user-interface thread has not accepted yet: each is delivered once, in
// the fixed order, and none is lost.
TEST(ComThreadHandOver, EventsOfLaterWaitsJoinTheHandOverInFlight)
{
    auto owned = std::make_unique<FakeCommDevice>();
    FakeCommDevice* device = owned.get();
    PublishedComPort port(std::move(owned));
    port.setSyncMethod(smWindowSync);
    std::vector<std::string> calls;
    port.OnRxChar = [&](TCustomComPort* sender, int count) {
        calls.push_back("rx " + std::to_string(count));
        std::vector<char> buffer(static_cast<std::size_t>(count));
        sender->ReadBytes(buffer.data(), count);
    };
    port.OnError = [&](TCustomComPort*, TComErrors) { calls.push_back("error"); };
    port.OpenPort();
    const auto raise = [&](uint32_t events, int waits) {
        device->raiseEvents(events);
        // Taken, and the thread waits again without the hand-over accepted.
        return waitUntil([&] { return device->record().waits >= waits; });
    };
    device->receive("ab");
    ASSERT_TRUE(raise(CommEvent::RxChar, 2));
    device->receive("c");
    ASSERT_TRUE(raise(CommEvent::RxChar, 3));
    device->setLineErrors(CommError::Frame);
    ASSERT_TRUE(raise(CommEvent::Err, 4));
    ASSERT_TRUE(processEventsUntil([&] { return !calls.empty(); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(calls, (std::vector<std::string>{"error", "rx 3"}));
}

// A device whose event waits fail (an adapter pulled out) delivers nothing;
// the thread asks again after a pause, not in a tight loop, until the port
// closes or the device recovers.
TEST(ComThreadFailure, AFailingWaitIsRetriedUntilThePortClosesOrTheDeviceRecovers)
{
    auto owned = std::make_unique<FakeCommDevice>();
    FakeCommDevice* device = owned.get();
    PublishedComPort port(std::move(owned));
    port.setSyncMethod(smNone);
    std::atomic<int> received = 0;
    port.OnRxChar = [&](TCustomComPort* sender, int count) {
        std::vector<char> buffer(static_cast<std::size_t>(count));
        sender->ReadBytes(buffer.data(), count);
        ++received;
    };
    device->failWith(FakeCommDevice::Op::Wait, 1167);
    port.OpenPort();
    device->receive("x");
    device->raiseEvents(CommEvent::RxChar);
    ASSERT_TRUE(waitUntil([&] { return device->record().waits >= 2; }));
    port.ClosePort();
    EXPECT_FALSE(device->isOpen());
    EXPECT_EQ(received, 0);
    EXPECT_LT(device->record().waits, 50) << "failed waits are retried after a pause";

    port.OpenPort();
    const int waits = device->record().waits;
    ASSERT_TRUE(waitUntil([&] { return device->record().waits >= waits + 2; }));
    device->failWith(FakeCommDevice::Op::Wait, 0);
    device->receive("y");
    device->raiseEvents(CommEvent::RxChar);
    ASSERT_TRUE(waitUntil([&] { return received == 1; }));
}

TEST(ComThreadHandOver, AFailedOpenAfterLoadingGoesToTheReport)
{
    std::vector<std::string> reports;
    SetExceptionReporter([&](const QString& message) { reports.push_back(message.toStdString()); });
    auto owned = std::make_unique<FakeCommDevice>();
    owned->failWith(FakeCommDevice::Op::Open, 2);
    PublishedComPort port(std::move(owned));
    port.BeginLoading();
    port.setConnected(true);
    port.Loaded();
    SetExceptionReporter(nullptr);
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(reports, std::vector<std::string>{"Unable to open com port (win error code: 2)"});
}

}  // namespace
