#pragma once

#include "core/config/Tokens.h"
#include "core/link/ReplyLines.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class EventPump;
class TComPort;
struct ConfigRecords;

// How a transfer with the switch ended.
enum class TransferResult {
    Done,           // the configuration arrived and was committed, or every line was acknowledged
    PortError,      // the port could not be opened: nothing was sent
    NoReply,        // the configuration did not arrive, or a line went unacknowledged
    Unreadable,     // the switch's prompt came, but with none of the reply lines the download keeps
                    // (its settings lines, or for the layout alone its layout lines): nothing committed
    Incomplete,     // the prompt came before lines a whole configuration needs (ReplyLines):
                    // nothing committed
    SaveUnconfirmed,  // an upload's every line was acknowledged but its last, "SAVE", which was sent:
                      // the switch may hold the new configuration
    NothingToSend,  // an upload without lines: the port was opened and closed again
    Cancelled,      // stopped at the user's request: nothing committed, "SAVE" not sent
};

// The command exchange with the switch and the two transfers built on it,
// without widgets: it reports how a transfer ended and leaves the telling
// to the window that started it. Every member runs on the user-interface
// thread; the receive handler runs inside the waiting loops, which keep
// dispatching events (without spinning: each pass blocks until the next
// event, and the 100 ms work timer guarantees one).
class DeviceLink {
public:
    // The work timer: SendCommand starts and stops it; its tick calls WorkTimerTimer.
    struct Timer {
        std::function<void()> start;
        std::function<void()> stop;
    };
    // Called when a download's prompt committed RxConfig/RxLayout into the
    // working configuration (`layoutOnly`: only the layout).
    using Committed = std::function<void(bool layoutOnly)>;

    static constexpr int kMaxLineLength = 1023;
    static constexpr int kReceiveChunk = 1024;
    static constexpr int kTimeoutTicks = 10;  // the 11th tick after the write times out
    static constexpr int kDownloadPolls = 30;
    static constexpr int kPollMs = 10;

    // How far a transfer is (lines done of the total), and whether the
    // user asked to stop it; both are asked between two lines.
    struct Progress {
        std::function<void(int done, int total)> report;
        std::function<bool()> cancelled;
    };

    // A download fills the received pair of `records` and commits it there.
    DeviceLink(TComPort& port, ConfigRecords& records, Timer timer, EventPump& pump, Committed committed);
    void setProgress(Progress progress) { progress_ = std::move(progress); }

    // Sends `text` and a carriage return; with `wait`, waits for the prompt.
    // False when nothing was sent (LinkFailed) or no prompt came in time.
    // Whatever arrived before the command is discarded first: a late prompt
    // of an earlier command that timed out is no answer to this one.
    bool SendCommand(const std::string& text, bool wait);
    void WorkTimerTimer();
    // The port's receive handler: drains the port and assembles lines.
    void ReceiveBytes();
    // Interprets one reply line while a download is active.
    void ParseReplyLine(std::string_view line);
    // Arms the receiver for a configuration reply: the line buffer is
    // emptied and the next prompt commits what arrived.
    void BeginDownload(bool layoutOnly);

    // Downloads the switch's configuration (or its layout alone) over
    // `portName`: Done, PortError, NoReply, Unreadable, Incomplete or
    // Cancelled (nothing committed but for Done).
    TransferResult Download(const std::string& portName, bool layoutOnly);
    // Opens the port over `portName` and sends `lines`, each waiting for its
    // prompt; the first unacknowledged line ends the sending. Done,
    // PortError, NoReply, SaveUnconfirmed (the last line, "SAVE", went
    // unacknowledged), NothingToSend or Cancelled (before the next line, so
    // a cancelled upload never sends its last line).
    TransferResult Upload(const std::string& portName, const std::vector<std::string>& lines);

    // The sticky failure flag of the exchange: set by a failed open or an
    // unacknowledged command, cleared when a transfer starts.
    bool LinkFailed() const { return linkFailed_; }
    // The system's error number of the latest failed open, else 0.
    int OpenError() const { return openError_; }
    bool AckReceived() const { return ackReceived_; }
    bool DownloadActive() const { return downloadActive_; }
    int WaitTicks() const { return waitTicks_; }
    int LineLength() const { return lineLength_; }
    // Which reply lines the latest download received, and those a whole
    // configuration needs that it lacked (empty unless it was Incomplete).
    const ReplyLines& Received() const { return received_; }
    const std::vector<std::string>& MissingLines() const { return missing_; }
    // The lines of the latest upload.
    const std::vector<std::string>& CommandList() const { return commandList_; }

private:
    void endLine();
    void storeByte(char byte);
    void commitDownload();
    // Closes the port; a failure shows at the next open.
    void closeQuietly();
    // Closes, then opens the port over `portName`; false (LinkFailed) when
    // it is not open afterwards.
    bool openPort(const std::string& portName);
    bool cancelRequested() const { return progress_.cancelled && progress_.cancelled(); }
    void reportProgress(int done, int total) const
    {
        if (progress_.report)
            progress_.report(done, total);
    }

    TComPort& port_;
    ConfigRecords& records_;
    TokenScanner scanner_;
    Timer timer_;
    EventPump& pump_;
    Committed committed_;
    Progress progress_;

    bool linkFailed_ = false;
    int openError_ = 0;
    int linesReceived_ = 0;  // reply lines of the running download
    int linesKept_ = 0;      // of them, settings lines (layout lines when layout-only)
    bool unreadable_ = false;  // the latest download's prompt came with no line to keep
    ReplyLines received_;
    std::vector<std::string> missing_;
    bool ackReceived_ = false;
    int waitTicks_ = 0;
    std::array<char, kMaxLineLength + 1> lineBuffer_{};
    int lineLength_ = 0;
    bool downloadActive_ = false;
    bool layoutOnlyLoad_ = false;
    std::vector<std::string> commandList_;
};
