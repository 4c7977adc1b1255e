// The serial device asks the driver for low latency when it opens a port,
// and a refusal leaves the port working. Runs with PtySerialSettings.c
// preloaded, which gives pseudo-terminals an adapter's serial settings.
#include "core/serial/CommDevice.h"
#include "core/serial/PortNames.h"

#include "support/PtyPair.h"
#include "support/SystemLine.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <dlfcn.h>
#include <linux/serial.h>

namespace {

TEST(LowLatency, IsAskedForOnOpenAndARefusalLeavesThePortWorking)
{
    auto* asked = static_cast<serial_struct*>(dlsym(RTLD_DEFAULT, "PtySerialAsked"));
    ASSERT_NE(asked, nullptr) << "needs the pty_serial_settings library in LD_PRELOAD";
    // The flags the library reports with low latency added; 0: nothing was set.
    constexpr int kAsked = ASYNC_SKIP_TEST | ASYNC_BUGGY_UART | ASYNC_LOW_LATENCY;
    struct Case {
        const char* refuse;
        int flags;
    };
    for (const Case& c : {Case{"", kAsked}, Case{"set", kAsked}, Case{"get", 0}}) {
        SCOPED_TRACE(std::string("refused: ") + c.refuse);
        setenv("TORVIK_SERIAL_REFUSE", c.refuse, 1);
        *asked = {};
        PtyPair pty;
        ASSERT_TRUE(pty.ok());
        const auto device = CreatePlatformCommDevice(PortNames{});
        ASSERT_EQ(device->open(pty.slavePath()), 0);
        EXPECT_EQ(asked->flags, c.flags);

        ASSERT_EQ(device->setState(SystemDcb()), 0);
        const uint8_t byte = 'p';
        uint32_t written = 0;
        EXPECT_EQ(device->write(&byte, 1, written), 0);
        EXPECT_EQ(pty.read(1), "p");
    }
}

}  // namespace
