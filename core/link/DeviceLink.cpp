#include "core/link/DeviceLink.h"

#include "core/config/KvmConfig.h"
#include "core/config/ProtocolTable.h"
#include "core/platform/EventPump.h"
#include "core/serial/ComPort.h"

#include <algorithm>
#include <cstring>
#include <span>

DeviceLink::DeviceLink(TComPort& port, ConfigRecords& records, Timer timer, EventPump& pump, Committed committed)
    : port_(port), records_(records), timer_(std::move(timer)), pump_(pump), committed_(std::move(committed))
{
}

bool DeviceLink::SendCommand(const std::string& text, bool wait)
{
    timer_.stop();
    if (linkFailed_)
        return false;
    try {
        port_.ClearInput();
    } catch (const EComPort&) {
        // A port that cannot purge fails its write too, which shows below.
    }
    lineLength_ = 0;
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
    if (!downloadActive_)
        return;
    downloadActive_ = false;
    // A reply without a single line to keep is none this program can read
    // (lines ended by line feeds alone, another protocol, a late prompt):
    // committing it would replace the configuration with zeros.
    unreadable_ = linesKept_ == 0;
    if (unreadable_)
        return;
    // A reply that lacks lines the configuration cannot do without (cut
    // short, a line lost or garbled on the way, a stray prompt inside it)
    // would commit zeros or an earlier download's values in their place.
    missing_ = received_.Missing(records_.RxLayout, layoutOnlyLoad_);
    if (missing_.empty())
        commitDownload();
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
    int block = 1;
    const ProtocolItem* item = FindReplyItem(scanner_.Token, block);
    if (!item)
        return;
    // The lines a download keeps: the settings, or the layout alone.
    if (IsLayoutItem(*item) == layoutOnlyLoad_)
        ++linesKept_;

    if (!IsLayoutItem(*item)) {
        received_.mark(*item, 1);
        // The settings are kept only by a full download.
        scanner_.NextToken(line, pos);
        if (layoutOnlyLoad_)
            return;
        if (item->base == NumberBase::Text)
            records_.RxConfig.*item->word = scanner_.Token;
        else
            records_.RxConfig.*item->setting =
                item->base == NumberBase::Hex ? scanner_.TokenToHex() : scanner_.TokenToInt();
        return;
    }

    // Missing numbers read as 0, surplus ones are ignored.
    std::array<int32_t, kMostLayoutNumbers> numbers{};
    const std::string_view rest = line.substr(std::min(pos, line.size()));
    const auto values = static_cast<std::size_t>(item->values);
    if (item->range == IndexRange::Blocks) {
        // A block always writes all of its entries.
        const int perBlock = item->indexes / item->blocks;
        received_.mark(*item, block);
        scanner_.ReadNumbers(rest, std::span(numbers).first(static_cast<std::size_t>(perBlock) * values));
        for (int i = 0; i < perBlock; ++i)
            item->set(records_.RxLayout, (block - 1) * perBlock + i + 1,
                      std::span(numbers).subspan(static_cast<std::size_t>(i) * values, values));
    } else {
        // The index first; a line whose index is out of range changes nothing.
        scanner_.ReadNumbers(rest, std::span(numbers).first(1 + values));
        const int32_t index = numbers[0];
        if (index >= 1 && index <= item->indexes) {
            item->set(records_.RxLayout, index, std::span(numbers).subspan(1, values));
            received_.mark(*item, index);
        }
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
    linesKept_ = 0;
    unreadable_ = false;
    received_.clear();
    missing_.clear();
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
    if (arrived) {
        if (unreadable_)
            return TransferResult::Unreadable;
        return missing_.empty() ? TransferResult::Done : TransferResult::Incomplete;
    }
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
    bool saveUnconfirmed = false;
    for (int i = 0; i < total && !cancelled; ++i) {
        cancelled = cancelRequested();
        if (!cancelled) {
            const std::string& line = commandList_[static_cast<std::size_t>(i)];
            const bool sent = !linkFailed_;
            // "SAVE" went out but its prompt did not come: the switch may
            // have stored the configuration all the same.
            if (!SendCommand(line, true) && sent && line == "SAVE")
                saveUnconfirmed = true;
            reportProgress(i + 1, total);
        }
    }
    closeQuietly();
    if (saveUnconfirmed)
        return TransferResult::SaveUnconfirmed;
    if (linkFailed_)
        return TransferResult::NoReply;
    return cancelled ? TransferResult::Cancelled : TransferResult::Done;
}
