#include "core/serial/CommDevice.h"
#include "core/serial/PortNames.h"

#include "support/PtyPair.h"
#include "support/SystemLine.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <future>
#include <optional>
#include <thread>

#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <termios.h>

namespace {

using namespace std::chrono_literals;

constexpr uint32_t kAllEvents = 0x05FF;


std::chrono::microseconds threadCpuTime()
{
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return std::chrono::seconds(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           std::chrono::microseconds(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

// One waitEvents() call on a thread of its own, as the port's event thread makes it.
class EventWait {
public:
    struct Outcome {
        int error = 0;
        uint32_t events = 0;  // none when the wait was stopped
        std::chrono::microseconds cpu{};  // the processor time the wait used
    };

    explicit EventWait(CommDevice& device) : device_(device), future_(promise_.get_future().share())
    {
        thread_ = std::thread([this] {
            const auto start = threadCpuTime();
            Outcome outcome;
            outcome.error = device_.waitEvents(outcome.events);
            outcome.cpu = threadCpuTime() - start;
            promise_.set_value(outcome);
        });
    }

    ~EventWait()
    {
        if (future_.wait_for(0s) != std::future_status::ready)
            device_.stopWaiting();
        thread_.join();
    }

    // The outcome once the wait has ended; nothing while it is still blocked after `limit`.
    std::optional<Outcome> outcome(std::chrono::milliseconds limit = 5s)
    {
        if (future_.wait_for(limit) != std::future_status::ready)
            return std::nullopt;
        return future_.get();
    }

private:
    CommDevice& device_;
    std::promise<Outcome> promise_;
    std::shared_future<Outcome> future_;
    std::thread thread_;
};

class CommDevicePosixTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(pty.ok()); }

    // Opens the terminal with the settings this system uses.
    void openAsTheSystemDoes(uint32_t inputSize = 1024)
    {
        ASSERT_EQ(device->open(pty.slavePath()), 0);
        ASSERT_EQ(device->setQueueSizes(inputSize, 1024), 0);
        ASSERT_EQ(device->setState(SystemDcb()), 0);
        ASSERT_EQ(device->setTimeouts(kSystemTimeouts), 0);
    }

    uint32_t queued()
    {
        uint32_t errors = 0;
        uint32_t inputQueue = 0;
        EXPECT_EQ(device->clearError(errors, inputQueue), 0);
        return inputQueue;
    }

    // The kernel hands bytes written on the master side on a moment later;
    // this waits (a bounded time) until the device counts them all.
    bool waitUntilQueued(uint32_t count)
    {
        for (int i = 0; i < 500 && queued() < count; ++i)
            std::this_thread::sleep_for(10ms);
        return queued() == count;
    }

    std::string readBytes(uint32_t count)
    {
        std::string bytes(count, '\0');
        uint32_t got = 0;
        EXPECT_EQ(device->read(reinterpret_cast<uint8_t*>(bytes.data()), count, got), 0);
        bytes.resize(got);
        return bytes;
    }

    uint32_t writeBytes(std::string_view bytes)
    {
        uint32_t written = 0;
        const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
        EXPECT_EQ(device->write(data, static_cast<uint32_t>(bytes.size()), written), 0);
        return written;
    }

    static void expectEvents(EventWait& wait, uint32_t events)
    {
        const std::optional<EventWait::Outcome> outcome = wait.outcome();
        ASSERT_TRUE(outcome) << "no event reported";
        EXPECT_EQ(outcome->error, 0);
        EXPECT_EQ(outcome->events, events);
    }

    PtyPair pty;
    std::unique_ptr<CommDevice> device = CreatePlatformCommDevice(PortNames());
};

TEST_F(CommDevicePosixTest, OpensExclusivelyByMappedNameAndReopensAfterClose)
{
    PortNames names;
    names.map(5, pty.slavePath());
    names.map(6, "/nonexistent/ttyUSB9");
    names.map(7, "/dev/null");
    const std::unique_ptr<CommDevice> first = CreatePlatformCommDevice(names);
    EXPECT_EQ(first->open("COM6"), ENOENT);
    EXPECT_EQ(first->open("COM7"), ENOTTY);
    ASSERT_EQ(first->open("COM5"), 0);

    const int busy = device->open(pty.slavePath());
    EXPECT_TRUE(busy == EWOULDBLOCK || busy == EBUSY) << busy;
    EXPECT_EQ(device->explainOpenFailure(pty.slavePath(), busy), pty.slavePath() + " is in use by another program.");

    first->close();
    first->close();
    ASSERT_EQ(device->open(pty.slavePath()), 0);
    EXPECT_NE(first->open("COM5"), 0);
    device->close();
    ASSERT_EQ(first->open("COM5"), 0);
    EXPECT_EQ(first->setState(SystemDcb()), 0);
}

TEST_F(CommDevicePosixTest, APermissionFailureNamesTheDevicesGroupOnlyWhereTheGroupMayUseIt)
{
    // The pseudo-terminal stands for the device, with each owner, group and mode in turn.
    const group* dialout = getgrnam("dialout");
    if (!dialout)
        dialout = getgrnam("tty");
    if (!dialout)
        GTEST_SKIP() << "no group for serial devices";
    const std::string shared = dialout->gr_name;
    const std::string path = pty.slavePath();
    struct Row {
        uid_t owner;
        gid_t group;
        mode_t mode;
        std::string hint;
    };
    const Row rows[] = {
        {0, dialout->gr_gid, 0660, "No permission to use " + path + ": add your user to the group \"" + shared +
                                       "\" (sudo usermod -aG " + shared + " $USER), then log in again."},
        {0, 0, 0600, "No permission to use " + path + ": only root may open it (mode 0600)."},
        {65534, dialout->gr_gid, 0640, "No permission to use " + path + ": only its owner nobody may open it (mode 0640)."},
    };
    PortNames names;
    names.map(4, path);
    device->setPortNames(names);
    for (const Row& row : rows) {
        if (chown(path.c_str(), row.owner, row.group) != 0 || chmod(path.c_str(), row.mode) != 0)
            GTEST_SKIP() << "only root can give the terminal another owner";
        EXPECT_EQ(device->explainOpenFailure("COM4", EACCES), row.hint);
    }
    EXPECT_EQ(device->explainOpenFailure("COM4", ENOENT), "");
}

TEST_F(CommDevicePosixTest, AppliesTheLineSettingsInRawMode)
{
    openAsTheSystemDoes();
    termios line{};
    ASSERT_EQ(tcgetattr(pty.masterFd(), &line), 0);  // the master reaches the terminal's settings
    EXPECT_EQ(line.c_lflag & (ECHO | ICANON | ISIG | IEXTEN), 0u);
    EXPECT_EQ(line.c_iflag & (ICRNL | INLCR | IGNCR | IXON | IXOFF | ISTRIP | INPCK), 0u);
    EXPECT_EQ(line.c_oflag & OPOST, 0u);
    EXPECT_EQ(line.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS | CLOCAL | CREAD), CS8 | CLOCAL | CREAD);
    EXPECT_EQ(cfgetospeed(&line), speed_t{B115200});
    EXPECT_EQ(line.c_cc[VMIN], 0);
    EXPECT_EQ(line.c_cc[VTIME], 0);
    uint32_t lines = 0xFF;
    EXPECT_EQ(device->modemStatus(lines), 0);  // a terminal without modem lines has none on
    EXPECT_EQ(lines, 0u);

    CommDcb other = SystemDcb();
    other.BaudRate = 31250;
    other.ByteSize = 7;
    other.Parity = 3;    // mark
    other.StopBits = 1;  // one and a half
    other.Flags |= CommDcb::fParity | CommDcb::fOutX | CommDcb::fInX | CommDcb::fOutxCtsFlow;
    other.XonChar = 'Q';
    other.XoffChar = 'S';
    ASSERT_EQ(device->setState(other), 0);
    ASSERT_EQ(tcgetattr(pty.masterFd(), &line), 0);
    // A pseudo-terminal keeps 8 bits without parity whatever it is given, but the rest stays.
    EXPECT_EQ(line.c_cflag & (PARODD | CMSPAR | CSTOPB | CRTSCTS), PARODD | CMSPAR | CSTOPB | CRTSCTS);
    EXPECT_EQ(line.c_iflag & (IXON | IXOFF | INPCK), IXON | IXOFF | INPCK);
    EXPECT_EQ(line.c_cc[VSTART], 'Q');
    EXPECT_EQ(line.c_cc[VSTOP], 'S');

    // Back from a custom rate to a standard one.
    ASSERT_EQ(device->setState(SystemDcb()), 0);
    ASSERT_EQ(tcgetattr(pty.masterFd(), &line), 0);
    EXPECT_EQ(cfgetospeed(&line), speed_t{B115200});
    EXPECT_EQ(cfgetispeed(&line), speed_t{B115200});

    other = SystemDcb();
    other.ByteSize = 9;
    EXPECT_EQ(device->setState(other), EINVAL);
    other = SystemDcb();
    other.Parity = 5;
    EXPECT_EQ(device->setState(other), EINVAL);
}

TEST_F(CommDevicePosixTest, MovesBytesUnchangedBothWays)
{
    openAsTheSystemDoes();
    const std::string bytes("CONFIG\r\n\0\x03\x04\x11\x13\x7f\xff#", 15);

    EXPECT_EQ(writeBytes(bytes), bytes.size());
    EXPECT_EQ(pty.read(bytes.size()), bytes);

    EXPECT_EQ(readBytes(64), "");  // nothing waiting: at once, with nothing
    ASSERT_TRUE(pty.write(bytes));
    ASSERT_TRUE(waitUntilQueued(static_cast<uint32_t>(bytes.size())));
    EXPECT_EQ(readBytes(64), bytes);
    EXPECT_EQ(queued(), 0u);
}

TEST_F(CommDevicePosixTest, ReportsReceivedBytesOnceUntilMoreArrive)
{
    openAsTheSystemDoes();
    ASSERT_EQ(device->setEventMask(CommEvent::RxChar), 0);
    ASSERT_TRUE(pty.write("#1"));
    ASSERT_TRUE(waitUntilQueued(2));
    {
        EventWait wait(*device);
        expectEvents(wait, CommEvent::RxChar);
    }
    {
        EventWait wait(*device);
        EXPECT_FALSE(wait.outcome(300ms)) << "reported again for bytes still unread";
        ASSERT_TRUE(pty.write("#2"));
        expectEvents(wait, CommEvent::RxChar);
    }
    {
        EventWait wait(*device);
        EXPECT_FALSE(wait.outcome(300ms)) << "reported again for bytes still unread";
        device->stopWaiting();
        const std::optional<EventWait::Outcome> outcome = wait.outcome();
        ASSERT_TRUE(outcome);
        EXPECT_EQ(outcome->error, 0);
        EXPECT_EQ(outcome->events, 0u) << "not stopped";
        EXPECT_LT(outcome->cpu, 50ms);
    }
    {
        EventWait wait(*device);  // a later wait is stopped too
        const std::optional<EventWait::Outcome> outcome = wait.outcome();
        ASSERT_TRUE(outcome);
        EXPECT_EQ(outcome->error, 0);
        EXPECT_EQ(outcome->events, 0u) << "not stopped";
    }
    EXPECT_EQ(queued(), 4u);
    EXPECT_EQ(readBytes(64), "#1#2");

    // Until the next open.
    device->close();
    openAsTheSystemDoes();
    ASSERT_EQ(device->setEventMask(CommEvent::RxChar), 0);
    ASSERT_TRUE(pty.write("#3"));
    EventWait wait(*device);
    expectEvents(wait, CommEvent::RxChar);
}

TEST_F(CommDevicePosixTest, QueueTakesNoMoreThanItsSizeAndKeepsTheOrder)
{
    openAsTheSystemDoes(16);
    ASSERT_EQ(device->setEventMask(CommEvent::RxChar | CommEvent::Rx80Full), 0);
    std::string bytes;
    for (char c = 'A'; bytes.size() < 40; ++c)
        bytes += c;
    ASSERT_TRUE(pty.write(bytes));
    ASSERT_TRUE(waitUntilQueued(40));
    {
        EventWait wait(*device);
        expectEvents(wait, CommEvent::RxChar | CommEvent::Rx80Full);
    }
    EXPECT_EQ(queued(), 40u);  // 16 in the queue, the rest still in the terminal
    {
        // The queue is full: the wait sleeps although the terminal holds bytes...
        EventWait wait(*device);
        EXPECT_FALSE(wait.outcome(500ms));
        // ...until a read makes room, which the next bytes fill up again.
        EXPECT_EQ(readBytes(4), "ABCD");
        const std::optional<EventWait::Outcome> outcome = wait.outcome();
        ASSERT_TRUE(outcome);
        EXPECT_EQ(outcome->events, CommEvent::RxChar | CommEvent::Rx80Full);
        EXPECT_LT(outcome->cpu, 100ms) << "the wait spun while the queue was full";
    }
    EXPECT_EQ(readBytes(64), bytes.substr(4));
}

TEST_F(CommDevicePosixTest, PurgeDiscardsTheReceivedBytes)
{
    openAsTheSystemDoes(16);
    ASSERT_TRUE(pty.write(std::string(40, 'x')));
    ASSERT_TRUE(waitUntilQueued(40));
    ASSERT_EQ(device->setEventMask(CommEvent::RxChar), 0);
    {
        EventWait wait(*device);
        expectEvents(wait, CommEvent::RxChar);
    }
    EXPECT_EQ(device->purge(CommPurge::RxClear | CommPurge::TxClear), 0);
    EXPECT_EQ(queued(), 0u);
    EXPECT_EQ(readBytes(64), "");
    EXPECT_EQ(device->purge(CommPurge::RxAbort | CommPurge::TxAbort), 0);
    EXPECT_EQ(device->purge(0x10), EINVAL);
}

TEST_F(CommDevicePosixTest, ReportsTheEventCharacterAndAnEmptyOutputQueue)
{
    openAsTheSystemDoes();
    CommDcb dcb = SystemDcb();
    dcb.EvtChar = '\r';
    ASSERT_EQ(device->setState(dcb), 0);
    ASSERT_EQ(device->setEventMask(CommEvent::RxChar | CommEvent::RxFlag | CommEvent::TxEmpty), 0);

    ASSERT_TRUE(pty.write("ab"));
    ASSERT_TRUE(waitUntilQueued(2));
    {
        EventWait wait(*device);
        expectEvents(wait, CommEvent::RxChar);
    }
    ASSERT_TRUE(pty.write("\r"));
    ASSERT_TRUE(waitUntilQueued(3));
    {
        EventWait wait(*device);
        expectEvents(wait, CommEvent::RxChar | CommEvent::RxFlag);
    }
    {
        EventWait wait(*device);
        EXPECT_FALSE(wait.outcome(100ms));  // asleep before the write
        EXPECT_EQ(writeBytes("x"), 1u);
        expectEvents(wait, CommEvent::TxEmpty);
    }
    EXPECT_EQ(pty.read(1), "x");
}

TEST_F(CommDevicePosixTest, ReadsAndWritesEndByTheirTimeOuts)
{
    openAsTheSystemDoes();
    // Up to 5 s for four bytes: the read waits for the two that come later.
    ASSERT_EQ(device->setTimeouts({0, 0, 5000, 0, 0}), 0);
    std::thread peer([this] {
        pty.write("ab");
        std::this_thread::sleep_for(50ms);
        pty.write("cd");
    });
    EXPECT_EQ(readBytes(4), "abcd");
    peer.join();
    ASSERT_EQ(device->setTimeouts({0, 0, 50, 0, 0}), 0);
    EXPECT_EQ(readBytes(4), "");

    // The largest time-outs make long waits, not overflows; the interval of
    // 1 ms ends the read after the last byte.
    ASSERT_EQ(device->setTimeouts({1, 0xFFFFFFFE, 0xFFFFFFFE, 0xFFFFFFFF, 0xFFFFFFFF}), 0);
    const std::string block(4096, 'y');
    EXPECT_EQ(writeBytes(block), block.size());
    ASSERT_EQ(pty.read(block.size()), block);
    ASSERT_TRUE(pty.write("yz"));
    EXPECT_EQ(readBytes(4096), "yz");

    // Nobody reads the far end: the write ends at its time-out with what went out.
    ASSERT_EQ(device->setTimeouts({0xFFFFFFFF, 0, 0, 0, 200}), 0);
    const std::string big(1 << 20, 'x');
    auto write = std::async(std::launch::async, [&] { return writeBytes(big); });
    if (write.wait_for(10s) != std::future_status::ready) {
        ADD_FAILURE() << "the write ignored its time-out";
        pty.closeMaster();
    }
    const uint32_t written = write.get();
    EXPECT_GT(written, 0u);
    EXPECT_LT(written, big.size());
}

TEST_F(CommDevicePosixTest, AfterAHangUpTheWaitSleepsAndTheDeviceStillCloses)
{
    openAsTheSystemDoes();
    ASSERT_EQ(device->setEventMask(kAllEvents), 0);
    // Waits as the event thread does: again after every outcome but Stopped.
    std::atomic<int> outcomes = 0;
    auto loop = std::async(std::launch::async, [&] {
        const auto start = threadCpuTime();
        uint32_t events = 0;
        const auto stopped = [&] { return device->waitEvents(events) == 0 && events == 0; };
        while (!stopped() && outcomes < 1000)
            ++outcomes;
        return threadCpuTime() - start;
    });
    pty.closeMaster();
    std::this_thread::sleep_for(500ms);
    device->stopWaiting();
    ASSERT_EQ(loop.wait_for(5s), std::future_status::ready) << "stopWaiting() did not end the wait";
    EXPECT_LT(loop.get(), 100ms) << "the wait spun after the hang-up";
    EXPECT_LE(outcomes, 2);

    uint32_t count = 0;
    uint8_t byte = 'x';
    EXPECT_NE(device->write(&byte, 1, count), 0);
    EXPECT_NE(device->read(&byte, 1, count), 0);
    uint32_t errors = 0;
    EXPECT_EQ(device->clearError(errors, count), 0);
    EXPECT_EQ(errors, CommError::Ioe);
    EXPECT_EQ(device->purge(CommPurge::RxAbort | CommPurge::TxAbort), 0);
    device->close();
}

}  // namespace
