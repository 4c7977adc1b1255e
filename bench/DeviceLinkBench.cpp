// Parsing and committing a complete configuration reply (the 192 reply
// lines and the prompt) as the receive handler gets it from the port.

#include "core/link/DeviceLink.h"
#include "core/serial/ComPort.h"
#include "support/FakeCommDevice.h"
#include "support/QuietPlatform.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

std::string fullReply()
{
    std::string reply = "ConfigVer 1\r\nStart 1\r\nGlidex 1\r\nHotKey 0\r\nSlider 85\r\nSwitchPos 0\r\nLayout Glide\r\n";
    for (int block = 1; block <= 4; ++block) {
        reply += "Group" + std::to_string(block);
        for (int i = 0; i < 20; ++i)
            reply += " 1";
        reply += "\r\n";
    }
    for (int n = 1; n <= 80; ++n)
        reply += "Port " + std::to_string(n) + " " + std::to_string((n - 1) * 1920) + " 0 1920 1080\r\n";
    reply += "MStyle 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3\r\n";
    for (int p = 1; p <= 20; ++p)
        reply += "MTotal " + std::to_string(p) + " 7680 1080\r\n";
    for (int n = 1; n <= 80; ++n)
        reply += "MConfig " + std::to_string(n) + " " + std::to_string(((n - 1) / 20) * 1920) + " 0\r\n";
    return reply + "# \r\n";
}

void BM_ParseAndCommitConfigReply(benchmark::State& state)
{
    auto owned = std::make_unique<FakeCommDevice>();
    FakeCommDevice* device = owned.get();
    QuietLink quiet(std::move(owned));
    DeviceLink& link = quiet.link;
    const std::string reply = fullReply();
    for (auto _ : state) {
        device->receive(reply);
        link.BeginDownload(false);
        link.ReceiveBytes();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(reply.size()));
}
BENCHMARK(BM_ParseAndCommitConfigReply)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
