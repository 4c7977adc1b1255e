#include "setup/DeviceLink.h"

#include "platform/EventPump.h"
#include "serial/ComPort.h"
#include "setup/KvmConfig.h"
#include "setup/Tokens.h"

#include <algorithm>
#include <cstring>
#include <span>

namespace {

// The next token of `line` from `pos` in the given base.
int32_t nextNumber(TokenScanner& scanner, std::string_view line, std::size_t& pos,
                   int32_t (TokenScanner::*convert)() const)
{
    pos = scanner.NextToken(line, pos);
    return (scanner.*convert)();
}

template <std::size_t N>
std::array<int32_t, N> nextNumbers(TokenScanner& scanner, std::string_view line, std::size_t pos)
{
    std::array<int32_t, N> numbers{};
    scanner.ReadNumbers(line.substr(std::min(pos, line.size())), std::span<int32_t>(numbers));
    return numbers;
}

}  // namespace

DeviceLink::DeviceLink(TComPort& port, ConfigRecords& records, Timer timer, EventPump& pump, Committed committed)
    : port_(port), records_(records), timer_(std::move(timer)), pump_(pump), committed_(std::move(committed))
{
}

bool DeviceLink::SendCommand(const std::string& text, bool wait)
{
    timer_.stop();
    if (linkFailed_)
        return false;
    waitTicks_ = 1;
    ackReceived_ = false;
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
        if (ackReceived_) {
            waitTicks_ = 0;
            break;
        }
        // A download's reply lines arrive inside this wait: the user may
        // stop it between two of them.
        if (downloadActive_ && cancelRequested())
            break;
    } while (waitTicks_ > 0);
    timer_.stop();

    if (waitTicks_ == 0)
        return true;
    linkFailed_ = true;
    return false;
}

void DeviceLink::WorkTimerTimer()
{
    if (waitTicks_ > 0)
        waitTicks_ = waitTicks_ > kTimeoutTicks ? -1 : waitTicks_ + 1;
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
                lineLength_ = 0;
            else
                storeByte(byte);
        }
    }
}

void DeviceLink::endLine()
{
    // A NUL byte inside the line ends its text early.
    const std::size_t length = strnlen(lineBuffer_.data(), static_cast<std::size_t>(lineLength_));
    const std::string line(lineBuffer_.data(), length);
    lineLength_ = 0;
    ParseReplyLine(line);
    if (downloadActive_)
        reportProgress(++linesReceived_, kReplyLines);
}

void DeviceLink::storeByte(char byte)
{
    if (lineLength_ >= kMaxLineLength)
        return;
    lineBuffer_[static_cast<std::size_t>(lineLength_++)] = byte;
    if (byte != '#' || lineLength_ != 1)
        return;
    // The switch's prompt, recognised as soon as its "#" arrives.
    ackReceived_ = true;
    if (downloadActive_) {
        downloadActive_ = false;
        commitDownload();
    }
}

void DeviceLink::commitDownload()
{
    CommitDownload(records_, layoutOnlyLoad_);
    committed_(layoutOnlyLoad_);
}

void DeviceLink::ParseReplyLine(std::string_view line)
{
    if (!downloadActive_)
        return;
    std::size_t pos = scanner_.NextToken(line, 0);
    const std::string keyword = scanner_.Token;
    KVM_CONFIG& RxConfig = records_.RxConfig;
    KVM_LAYOUT& RxLayout = records_.RxLayout;

    struct Setting {
        const char* keyword;
        int32_t KVM_CONFIG::*field;
        int32_t (TokenScanner::*convert)() const;
    };
    static constexpr Setting kSettings[] = {
        {"ConfigVer", &KVM_CONFIG::ConfigVer, &TokenScanner::TokenToHex},
        {"Start", &KVM_CONFIG::Start, &TokenScanner::TokenToInt},
        {"Glidex", &KVM_CONFIG::Glidex, &TokenScanner::TokenToInt},
        {"HotKey", &KVM_CONFIG::HotKey, &TokenScanner::TokenToInt},
        {"Slider", &KVM_CONFIG::Slider, &TokenScanner::TokenToHex},
        {"SwitchPos", &KVM_CONFIG::SwitchPos, &TokenScanner::TokenToHex},
    };
    for (const Setting& setting : kSettings) {
        if (keyword == setting.keyword) {
            const int32_t value = nextNumber(scanner_, line, pos, setting.convert);
            if (!layoutOnlyLoad_)
                RxConfig.*setting.field = value;
            return;
        }
    }
    if (keyword == "Layout") {
        scanner_.NextToken(line, pos);
        if (!layoutOnlyLoad_)
            RxConfig.Layout = scanner_.Token;
        return;
    }

    static constexpr const char* kGroups[] = {"Group1", "Group2", "Group3", "Group4"};
    for (int block = 0; block < 4; ++block) {
        if (keyword == kGroups[block]) {
            const auto values = nextNumbers<20>(scanner_, line, pos);
            for (int i = 0; i < 20; ++i)
                RxLayout.Group[block * 20 + i + 1] = values[static_cast<std::size_t>(i)];
            return;
        }
    }
    if (keyword == "MStyle") {
        const auto values = nextNumbers<kPortCount>(scanner_, line, pos);
        for (int p = 1; p <= kPortCount; ++p)
            RxLayout.MStyle[p] = values[static_cast<std::size_t>(p - 1)];
    } else if (keyword == "Port") {
        const auto v = nextNumbers<5>(scanner_, line, pos);
        if (v[0] >= 1 && v[0] <= kScreenCount)
            RxLayout.Port[v[0]] = {v[1], v[2], v[3], v[4]};
    } else if (keyword == "MTotal") {
        const auto v = nextNumbers<3>(scanner_, line, pos);
        if (v[0] >= 1 && v[0] <= kPortCount)
            RxLayout.MTotal[v[0]] = {v[1], v[2]};
    } else if (keyword == "MConfig") {
        const auto v = nextNumbers<3>(scanner_, line, pos);
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
    downloadActive_ = false;
    openError_ = 0;
    try {
        port_.setPort(portName);
        port_.OpenPort();
    } catch (const EComPort& error) {
        // Judged by Connected below; the system's reason is kept for the user.
        openError_ = error.SystemError();
    }
    if (port_.Connected())
        return true;
    linkFailed_ = true;
    return false;
}

void DeviceLink::BeginDownload(bool layoutOnly)
{
    lineLength_ = 0;
    linesReceived_ = 0;
    downloadActive_ = true;
    layoutOnlyLoad_ = layoutOnly;
}

TransferResult DeviceLink::Download(const std::string& portName, bool layoutOnly)
{
    linkFailed_ = false;
    if (!openPort(portName))
        return TransferResult::PortError;

    BeginDownload(layoutOnly);
    SendCommand("CONFIG", true);
    for (int poll = 0; poll < kDownloadPolls && downloadActive_ && !cancelRequested(); ++poll) {
        pump_.sleep(kPollMs);
        pump_.processPending();
    }
    closeQuietly();
    // Whatever the commit posted (the windows' refresh) runs before the
    // caller reports the outcome, so the windows already show what was
    // loaded when the user is told.
    pump_.processPending();

    const bool arrived = !downloadActive_;
    downloadActive_ = false;
    if (arrived)
        return TransferResult::Done;
    return cancelRequested() ? TransferResult::Cancelled : TransferResult::NoReply;
}

TransferResult DeviceLink::Upload(const std::string& portName, const std::vector<std::string>& lines)
{
    linkFailed_ = false;
    commandList_.clear();
    if (!openPort(portName))
        return TransferResult::PortError;
    commandList_ = lines;
    if (commandList_.empty()) {
        linkFailed_ = true;
        closeQuietly();
        return TransferResult::NothingToSend;
    }
    // Once a line fails, linkFailed_ makes every later one return at once.
    // A cancel takes effect before the next line.
    const int total = static_cast<int>(commandList_.size());
    bool cancelled = false;
    for (int i = 0; i < total && !cancelled; ++i) {
        cancelled = cancelRequested();
        if (!cancelled) {
            SendCommand(commandList_[static_cast<std::size_t>(i)], true);
            reportProgress(i + 1, total);
        }
    }
    closeQuietly();
    if (linkFailed_)
        return TransferResult::NoReply;
    return cancelled ? TransferResult::Cancelled : TransferResult::Done;
}
