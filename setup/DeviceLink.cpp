#include "setup/DeviceLink.h"

#include "platform/EventPump.h"
#include "platform/Prompts.h"
#include "serial/ComPort.h"
#include "setup/KvmConfig.h"
#include "setup/Tokens.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <span>

namespace {

void showMessage(Prompts& prompts, const char* text, const char* caption)
{
    prompts.messageBox(nullptr, QString::fromLatin1(text), QString::fromLatin1(caption), MsgButtons::Ok);
}

// The next token of `line` from `pos` in the given base.
int32_t nextNumber(std::string_view line, std::size_t& pos, int32_t (*convert)())
{
    pos = NextToken(line, pos);
    return convert();
}

template <std::size_t N>
std::array<int32_t, N> nextNumbers(std::string_view line, std::size_t pos)
{
    std::array<int32_t, N> numbers{};
    ReadNumbers(line.substr(std::min(pos, line.size())), std::span<int32_t>(numbers));
    return numbers;
}

}  // namespace

DeviceLink::DeviceLink(TComPort& port, Timer timer, EventPump& pump, Prompts& prompts, PostUpdate postUpdate)
    : port_(port), timer_(std::move(timer)), pump_(pump), prompts_(prompts), postUpdate_(std::move(postUpdate))
{
}

bool DeviceLink::SendCommand(const std::string& text, bool wait)
{
    timer_.stop();
    if (LinkFailed)
        return false;
    WaitTicks = 1;
    AckReceived = false;
    try {
        port_.WriteText(text + "\r");
    } catch (const EComPort&) {
        // A failed write shows as a missing prompt.
    }
    if (!wait)
        return true;

    timer_.start();
    do {
        pump_.processOrWait();
        if (AckReceived) {
            WaitTicks = 0;
            break;
        }
    } while (WaitTicks > 0);
    timer_.stop();

    if (WaitTicks == 0)
        return true;
    LinkFailed = true;
    return false;
}

void DeviceLink::WorkTimerTimer()
{
    if (WaitTicks > 0)
        WaitTicks = WaitTicks > kTimeoutTicks ? -1 : WaitTicks + 1;
}

void DeviceLink::ReceiveBytes()
{
    std::array<char, kReceiveChunk> chunk{};
    for (int waiting = port_.BytesWaiting(); waiting > 0; waiting = port_.BytesWaiting()) {
        const int read = port_.ReadBytes(chunk.data(), std::min(waiting, kReceiveChunk));
        if (read <= 0)
            break;  // nothing to take after all: never spin on a miscounting device
        for (int i = 0; i < read; ++i) {
            const char byte = chunk[static_cast<std::size_t>(i)];
            if (byte == '\r')
                endLine();
            else if (byte == '\n')
                LineLength = 0;
            else
                storeByte(byte);
        }
    }
}

void DeviceLink::endLine()
{
    // A NUL byte inside the line ends its text early.
    const std::size_t length = strnlen(LineBuffer.data(), static_cast<std::size_t>(LineLength));
    const std::string line(LineBuffer.data(), length);
    LineLength = 0;
    ParseReplyLine(line);
}

void DeviceLink::storeByte(char byte)
{
    if (LineLength >= kMaxLineLength)
        return;
    LineBuffer[static_cast<std::size_t>(LineLength++)] = byte;
    if (byte != '#' || LineLength != 1)
        return;
    // The switch's prompt, recognised as soon as its "#" arrives.
    AckReceived = true;
    if (DownloadActive) {
        DownloadActive = false;
        commitDownload();
    }
}

void DeviceLink::commitDownload()
{
    CommitDownload(LayoutOnlyLoad);
    postUpdate_(LayoutOnlyLoad);
}

void DeviceLink::ParseReplyLine(std::string_view line)
{
    if (!DownloadActive)
        return;
    std::size_t pos = NextToken(line, 0);
    const std::string keyword = Token;

    struct Setting {
        const char* keyword;
        int32_t KVM_CONFIG::*field;
        int32_t (*convert)();
    };
    static constexpr Setting kSettings[] = {
        {"ConfigVer", &KVM_CONFIG::ConfigVer, TokenToHex}, {"Start", &KVM_CONFIG::Start, TokenToInt},
        {"Glidex", &KVM_CONFIG::Glidex, TokenToInt},       {"HotKey", &KVM_CONFIG::HotKey, TokenToInt},
        {"Slider", &KVM_CONFIG::Slider, TokenToHex},       {"SwitchPos", &KVM_CONFIG::SwitchPos, TokenToHex},
    };
    for (const Setting& setting : kSettings) {
        if (keyword == setting.keyword) {
            const int32_t value = nextNumber(line, pos, setting.convert);
            if (!LayoutOnlyLoad)
                RxConfig.*setting.field = value;
            return;
        }
    }
    if (keyword == "Layout") {
        NextToken(line, pos);
        if (!LayoutOnlyLoad)
            RxConfig.Layout = Token;
        return;
    }

    static constexpr const char* kGroups[] = {"Group1", "Group2", "Group3", "Group4"};
    for (int block = 0; block < 4; ++block) {
        if (keyword == kGroups[block]) {
            const auto values = nextNumbers<20>(line, pos);
            for (int i = 0; i < 20; ++i)
                RxLayout.Group[block * 20 + i + 1] = values[static_cast<std::size_t>(i)];
            return;
        }
    }
    if (keyword == "MStyle") {
        const auto values = nextNumbers<kPortCount>(line, pos);
        for (int p = 1; p <= kPortCount; ++p)
            RxLayout.MStyle[p] = values[static_cast<std::size_t>(p - 1)];
    } else if (keyword == "Port") {
        const auto v = nextNumbers<5>(line, pos);
        if (v[0] >= 1 && v[0] <= kScreenCount)
            RxLayout.Port[v[0]] = {v[1], v[2], v[3], v[4]};
    } else if (keyword == "MTotal") {
        const auto v = nextNumbers<3>(line, pos);
        if (v[0] >= 1 && v[0] <= kPortCount)
            RxLayout.MTotal[v[0]] = {v[1], v[2]};
    } else if (keyword == "MConfig") {
        const auto v = nextNumbers<3>(line, pos);
        if (v[0] >= 1 && v[0] <= kScreenCount)
            RxLayout.MConfig[v[0]] = {v[1], v[2]};
    }
}

void DeviceLink::closeQuietly()
{
    try {
        port_.ClosePort();
    } catch (const EComPort&) {
        // The port is closed all the same (a purge fails once the adapter is
        // gone); the transfer's outcome is judged by its own flags.
    }
}

bool DeviceLink::openPort(const std::string& portName)
{
    closeQuietly();
    pump_.processPending();
    DownloadActive = false;
    try {
        port_.setPort(portName);
        port_.OpenPort();
    } catch (const EComPort&) {
        // Judged by Connected below.
    }
    if (port_.Connected())
        return true;
    LinkFailed = true;
    showMessage(prompts_, "COM port open error!", "Error");
    return false;
}

bool DeviceLink::LoadConfig(const std::string& portName, bool layoutOnly, bool showFinished)
{
    bool failed = true;
    LinkFailed = false;
    if (!openPort(portName))
        return failed;

    LineLength = 0;
    DownloadActive = true;
    LayoutOnlyLoad = layoutOnly;
    SendCommand("CONFIG", true);
    for (int poll = 0; poll < kDownloadPolls && DownloadActive; ++poll) {
        pump_.sleep(kPollMs);
        pump_.processPending();
    }
    closeQuietly();
    // The refresh posted by the commit runs before the box, so the window
    // and the editor already show what was loaded while the box is up.
    pump_.processPending();

    if (DownloadActive) {
        showMessage(prompts_, "Load Config error!", "Error");
    } else {
        failed = false;
        if (showFinished)
            showMessage(prompts_, "Load Config finished!", "Info");
    }
    DownloadActive = false;
    return failed;
}

namespace {

std::string decimal(int32_t value)
{
    return std::to_string(value);
}

// "%X": upper-case hexadecimal of the 32-bit pattern, no leading zeros.
std::string hex(int32_t value)
{
    char text[9];
    std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(static_cast<uint32_t>(value)));
    return text;
}

// A keyword followed by numbers, "%d" each, one space before each number.
std::string numbersLine(std::string keyword, std::initializer_list<int32_t> numbers)
{
    for (const int32_t number : numbers) {
        keyword += ' ';
        keyword += decimal(number);
    }
    return keyword;
}

}  // namespace

std::vector<std::string> DeviceLink::SettingsCommands(const KVM_CONFIG& config)
{
    return {
        "START " + decimal(config.Start),       "GLIDEX " + decimal(config.Glidex),
        "HOTKEY " + decimal(config.HotKey),     "SLIDER " + hex(config.Slider),
        "SWITCHPOS " + hex(config.SwitchPos),
    };
}

std::vector<std::string> DeviceLink::LayoutCommands(const KVM_LAYOUT& layout)
{
    std::vector<std::string> lines;
    lines.reserve(4 + kScreenCount + 1 + kPortCount + kScreenCount);
    for (int block = 0; block < 4; ++block) {
        std::string line = "GROUP" + decimal(block + 1);
        for (int i = 1; i <= 20; ++i)
            line += " " + decimal(layout.Group[block * 20 + i]);
        lines.push_back(std::move(line));
    }
    for (int n = 1; n <= kScreenCount; ++n) {
        const PortRect& r = layout.Port[n];
        lines.push_back(numbersLine("PORT", {n, r.X, r.Y, r.Width, r.Height}));
    }
    std::string styles = "MSTYLE";
    for (int p = 1; p <= kPortCount; ++p)
        styles += " " + decimal(layout.MStyle[p]);
    lines.push_back(std::move(styles));
    for (int p = 1; p <= kPortCount; ++p)
        lines.push_back(numbersLine("MTOTAL", {p, layout.MTotal[p].Width, layout.MTotal[p].Height}));
    for (int n = 1; n <= kScreenCount; ++n)
        lines.push_back(numbersLine("MCONFIG", {n, layout.MConfig[n].X, layout.MConfig[n].Y}));
    return lines;
}

bool DeviceLink::Upload(const std::string& portName, const std::vector<std::string>& commands)
{
    CommandList.clear();
    if (!openPort(portName))
        return false;
    CommandList = commands;
    if (CommandList.empty()) {
        LinkFailed = true;
        closeQuietly();
        showMessage(prompts_, "Config write error!", "Error");
        return false;
    }
    CommandList.push_back("SAVE");
    // Once a line fails, LinkFailed makes every later one return at once.
    for (const std::string& line : CommandList)
        SendCommand(line, true);
    closeQuietly();
    return true;
}
