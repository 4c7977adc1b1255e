// Arbitrary bytes from the switch, handed to the receive handler while a
// download runs (full or layout-only, chosen by the first byte), in chunks
// of the sizes the input names. Besides crashes and undefined behaviour it
// checks that a line never grows past its buffer.

#include "core/config/KvmConfig.h"
#include "core/link/DeviceLink.h"
#include "core/serial/ComPort.h"
#include "support/QuietPlatform.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

// A device whose input queue the fuzzer fills.
class InputDevice final : public CommDevice {
public:
    std::string input;

    int open(const std::string&) override { return 0; }
    void close() override {}
    int setQueueSizes(uint32_t, uint32_t) override { return 0; }
    int setState(const CommDcb&) override { return 0; }
    int setTimeouts(const CommTimeouts&) override { return 0; }
    int setEventMask(uint32_t) override { return 0; }
    int waitEvents(uint32_t& events) override
    {
        events = 0;  // stopped: there is no event thread
        return 0;
    }
    void stopWaiting() override {}
    int write(const uint8_t*, uint32_t count, uint32_t& written) override
    {
        written = count;
        return 0;
    }
    int read(uint8_t* buffer, uint32_t count, uint32_t& read) override
    {
        read = std::min<uint32_t>(count, static_cast<uint32_t>(input.size()));
        std::memcpy(buffer, input.data(), read);
        input.erase(0, read);
        return 0;
    }
    int clearError(uint32_t& errors, uint32_t& inputQueue) override
    {
        errors = 0;
        inputQueue = static_cast<uint32_t>(input.size());
        return 0;
    }
    int modemStatus(uint32_t& status) override
    {
        status = 0;
        return 0;
    }
    int purge(uint32_t) override { return 0; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    auto owned = std::make_unique<InputDevice>();
    InputDevice* device = owned.get();
    QuietLink quiet(std::move(owned));
    DeviceLink& link = quiet.link;
    const bool layoutOnly = (data[0] & 1) != 0;
    link.BeginDownload(layoutOnly);
    const std::size_t chunk = 1 + data[1] % 64u;

    for (std::size_t pos = 2; pos < size; pos += chunk) {
        device->input.assign(reinterpret_cast<const char*>(data + pos), std::min(chunk, size - pos));
        link.ReceiveBytes();
        if (link.LineLength() < 0 || link.LineLength() > DeviceLink::kMaxLineLength || !device->input.empty())
            std::abort();
        // Each prompt ends the download; keep receiving into the tables.
        if (!link.DownloadActive())
            link.BeginDownload(layoutOnly);
    }
    return 0;
}
