// The Windows serial device on COM1, with torvik-sim on the other end of the
// line, run under Wine.

#include "support/WineSim.h"

#include "core/serial/CommDevice.h"
#include "core/serial/PortNames.h"
#include "support/SystemLine.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

constexpr uint32_t kAllEvents = 0x05FF;

std::chrono::microseconds threadCpuTime()
{
    FILETIME created, ended, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
    const auto ticks = [](const FILETIME& t) {
        return (uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return std::chrono::microseconds((ticks(kernel) + ticks(user)) / 10);
}

bool runningUnderWine()
{
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

// The device keeps its handle to itself; the test finds it as the only open
// handle of the process that GetCommState accepts.
HANDLE openCommHandle()
{
    for (uintptr_t value = 4; value < 0x4000; value += 4) {
        const auto handle = reinterpret_cast<HANDLE>(value);
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        if (GetFileType(handle) == FILE_TYPE_CHAR && GetCommState(handle, &dcb))
            return handle;
    }
    return nullptr;
}

// One waitEvents() call on a thread of its own, as the port's event thread makes it.
class EventWait {
public:
    struct Outcome {
        int error = 0;
        uint32_t events = 0;  // none when the wait was stopped
    };

    explicit EventWait(CommDevice& device)
        : device_(device), outcome_(std::async(std::launch::async, [&device] {
              Outcome outcome;
              outcome.error = device.waitEvents(outcome.events);
              return outcome;
          }))
    {
    }

    ~EventWait()
    {
        if (outcome_.valid() && outcome_.wait_for(0s) != std::future_status::ready)
            device_.stopWaiting();
    }

    std::optional<Outcome> outcome(std::chrono::milliseconds limit = 5s)
    {
        if (outcome_.wait_for(limit) != std::future_status::ready)
            return std::nullopt;
        return outcome_.get();
    }

private:
    CommDevice& device_;
    std::future<Outcome> outcome_;
};

class CommDeviceWin32Test : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(sim->ready()) << "torvik-sim did not start"; }

    void openAsTheSystemDoes()
    {
        ASSERT_EQ(device->open("COM1"), 0);
        ASSERT_EQ(device->setQueueSizes(1024, 1024), 0);
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

    void send(const std::string& bytes)
    {
        uint32_t written = 0;
        ASSERT_EQ(device->write(reinterpret_cast<const uint8_t*>(bytes.data()),
                                static_cast<uint32_t>(bytes.size()), written),
                  0);
        ASSERT_EQ(written, bytes.size());
    }

    std::string receiveQueued()
    {
        std::string bytes(queued(), '\0');
        uint32_t got = 0;
        EXPECT_EQ(device->read(reinterpret_cast<uint8_t*>(bytes.data()),
                               static_cast<uint32_t>(bytes.size()), got),
                  0);
        bytes.resize(got);
        return bytes;
    }

    // Reads what arrives, woken by EV_RXCHAR as the event thread is, until the
    // switch's prompt line ends the reply; empty when a wait ends otherwise.
    std::string receiveReply()
    {
        std::string reply;
        while (!reply.ends_with("\r\n# \r\n")) {
            const std::optional<EventWait::Outcome> outcome = EventWait(*device).outcome();
            if (!outcome || outcome->error != 0 || outcome->events != CommEvent::RxChar)
                return "";
            reply += receiveQueued();
        }
        return reply;
    }

    std::optional<WineSim> sim{std::in_place};
    std::unique_ptr<CommDevice> device = CreatePlatformCommDevice(PortNames());
};

TEST_F(CommDeviceWin32Test, OpensExclusivelyAndReportsAMissingPort)
{
    ASSERT_EQ(device->open("COM1"), 0);
    const std::unique_ptr<CommDevice> second = CreatePlatformCommDevice(PortNames());
    // Windows refuses a second open of a COM port; Wine does not apply the
    // share mode to a serial device, so there the second open succeeds.
    const int busy = second->open("COM1");
    if (!runningUnderWine()) {
        EXPECT_EQ(busy, ERROR_ACCESS_DENIED);
    }
    EXPECT_EQ(second->open("COM9"), ERROR_FILE_NOT_FOUND);

    device->close();
    device->close();
    EXPECT_EQ(second->open("COM1"), 0);
}

TEST_F(CommDeviceWin32Test, TheDriverHoldsTheExactLineSettings)
{
    openAsTheSystemDoes();
    const HANDLE handle = openCommHandle();
    ASSERT_NE(handle, nullptr);

    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    ASSERT_TRUE(GetCommState(handle, &dcb));
    EXPECT_EQ(dcb.BaudRate, 115200u);
    EXPECT_EQ(dcb.fBinary, 1u);
    EXPECT_EQ(dcb.fParity, 0u);
    EXPECT_EQ(dcb.fOutxCtsFlow, 0u);
    EXPECT_EQ(dcb.fOutxDsrFlow, 0u);
    EXPECT_EQ(dcb.fDtrControl, unsigned(DTR_CONTROL_DISABLE));
    EXPECT_EQ(dcb.fDsrSensitivity, 0u);
    EXPECT_EQ(dcb.fOutX, 0u);
    EXPECT_EQ(dcb.fInX, 0u);
    EXPECT_EQ(dcb.fRtsControl, unsigned(RTS_CONTROL_DISABLE));
    EXPECT_EQ(dcb.fAbortOnError, 0u);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, NOPARITY);
    EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
    EXPECT_EQ(dcb.XonChar, 17);
    EXPECT_EQ(dcb.XoffChar, 19);
    EXPECT_EQ(dcb.fTXContinueOnXoff, 0u);
    EXPECT_EQ(dcb.fErrorChar, 0u);
    EXPECT_EQ(dcb.fNull, 0u);
    EXPECT_EQ(dcb.EofChar, 0);
    EXPECT_EQ(dcb.EvtChar, 0);
    // Wine keeps no flow-control thresholds (it reports 10 and 10) and
    // reports the unused error character as 0xFF.
    if (!runningUnderWine()) {
        EXPECT_EQ(dcb.XonLim, 256);
        EXPECT_EQ(dcb.XoffLim, 256);
        EXPECT_EQ(dcb.ErrorChar, 0);
    }

    COMMTIMEOUTS timeouts{};
    ASSERT_TRUE(GetCommTimeouts(handle, &timeouts));
    EXPECT_EQ(timeouts.ReadIntervalTimeout, MAXDWORD);
    EXPECT_EQ(timeouts.ReadTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(timeouts.ReadTotalTimeoutConstant, 0u);
    EXPECT_EQ(timeouts.WriteTotalTimeoutMultiplier, 100u);
    EXPECT_EQ(timeouts.WriteTotalTimeoutConstant, 1000u);
}

TEST_F(CommDeviceWin32Test, ReadsTheWholeConfigurationReplyThroughTheEventWait)
{
    openAsTheSystemDoes();
    ASSERT_EQ(device->setEventMask(CommEvent::RxChar), 0);
    send("CONFIG\r");
    const std::string reply = receiveReply();

    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = reply.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(reply.substr(start, end - start));
    // 192 reply lines, then the prompt.
    ASSERT_EQ(lines.size(), 193u);
    EXPECT_TRUE(lines.front().starts_with("ConfigVer ")) << lines.front();
    EXPECT_TRUE(lines[191].starts_with("MConfig ")) << lines[191];
    EXPECT_EQ(lines.back(), "# ");
}

TEST_F(CommDeviceWin32Test, PurgeDiscardsAPromptThatArrivedWhileThePortWasClosed)
{
    // A transfer gave up and closed the port; the switch's late prompt waits
    // in the line for the next open, where the purge a transfer makes before
    // its command takes it away, and the next command's reply comes whole.
    openAsTheSystemDoes();
    send("START 1\r");
    device->close();
    std::this_thread::sleep_for(300ms);
    openAsTheSystemDoes();
    for (int i = 0; i < 100 && queued() < 4; ++i)
        std::this_thread::sleep_for(20ms);
    ASSERT_EQ(queued(), 4u);  // "# " and the line end

    ASSERT_EQ(device->purge(CommPurge::RxClear), 0);
    EXPECT_EQ(queued(), 0u);
    EXPECT_EQ(receiveQueued(), "");
    ASSERT_EQ(device->setEventMask(CommEvent::RxChar), 0);
    send("CONFIG\r");
    EXPECT_TRUE(receiveReply().starts_with("ConfigVer "));
}

TEST_F(CommDeviceWin32Test, TheStopSignalEndsAPendingWaitAndClosingCancelsTheDeviceWait)
{
    openAsTheSystemDoes();
    ASSERT_EQ(device->setEventMask(kAllEvents), 0);
    {
        EventWait wait(*device);
        ASSERT_FALSE(wait.outcome(300ms)) << "the wait ended on an idle line";
        device->stopWaiting();
        const std::optional<EventWait::Outcome> outcome = wait.outcome();
        ASSERT_TRUE(outcome) << "stopWaiting() did not end the wait";
        EXPECT_EQ(outcome->error, 0);
        EXPECT_EQ(outcome->events, 0u) << "not stopped";
    }
    // The device's own wait is still pending: closing cancels it, and the
    // port opens and waits again.
    auto closed = std::async(std::launch::async, [this] { device->close(); });
    ASSERT_EQ(closed.wait_for(5s), std::future_status::ready) << "close() hung on the pending wait";

    openAsTheSystemDoes();
    ASSERT_EQ(device->setEventMask(CommEvent::RxChar), 0);
    send("CONFIG\r");
    EXPECT_NE(receiveReply(), "");
}

TEST_F(CommDeviceWin32Test, AHangUpEndsTheWaitWithoutSpinning)
{
    sim.reset();
    sim.emplace("--hangup-after 1");
    ASSERT_TRUE(sim->ready());
    openAsTheSystemDoes();
    ASSERT_EQ(device->setEventMask(kAllEvents), 0);
    send("CONFIG\r");

    // Waits as the event thread does, reading what arrives, until a wait fails.
    auto loop = std::async(std::launch::async, [this] {
        const auto start = threadCpuTime();
        std::optional<int> end;  // the error that ended the waits; 0: stopped
        for (int i = 0; i < 1000 && !end; ++i) {
            uint32_t events = 0;
            const int error = device->waitEvents(events);
            if (error == 0 && events != 0)
                receiveQueued();
            else
                end = error;
        }
        return std::make_pair(end, threadCpuTime() - start);
    });
    ASSERT_EQ(loop.wait_for(10s), std::future_status::ready) << "the hang-up did not end the wait";
    const auto [end, cpu] = loop.get();
    EXPECT_NE(end.value_or(0), 0) << "the wait did not fail";
    EXPECT_LT(cpu, 100ms) << "the wait spun after the hang-up";
    EXPECT_TRUE(sim->goneWithin(5s));

    uint8_t byte = 'x';
    uint32_t count = 0;
    EXPECT_NE(device->write(&byte, 1, count), 0);
    device->close();
}

}  // namespace
