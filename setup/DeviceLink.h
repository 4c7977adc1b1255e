#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct KVM_CONFIG;
struct KVM_LAYOUT;

class EventPump;
class Prompts;
class TComPort;

// The command exchange with the switch and the configuration download,
// without widgets. Every member runs on the user-interface thread; the
// receive handler runs inside the waiting loops, which keep dispatching
// events (without spinning: each pass blocks until the next event, and the
// 100 ms work timer guarantees one).
class DeviceLink {
public:
    // The work timer: SendCommand starts and stops it; its tick calls WorkTimerTimer.
    struct Timer {
        std::function<void()> start;
        std::function<void()> stop;
    };
    // Posts WM_CONFIG_UPDATED (layoutOnly false) or WM_LAYOUT_UPDATED to the setup window.
    using PostUpdate = std::function<void(bool layoutOnly)>;

    static constexpr int kMaxLineLength = 1023;
    static constexpr int kReceiveChunk = 1024;
    static constexpr int kTimeoutTicks = 10;  // the 11th tick after the write times out
    static constexpr int kDownloadPolls = 30;
    static constexpr int kPollMs = 10;

    DeviceLink(TComPort& port, Timer timer, EventPump& pump, Prompts& prompts, PostUpdate postUpdate);

    // Sends `text` and a carriage return; with `wait`, waits for the prompt.
    // False when nothing was sent (LinkFailed) or no prompt came in time.
    bool SendCommand(const std::string& text, bool wait);
    void WorkTimerTimer();
    // The port's receive handler: drains the port and assembles lines.
    void ReceiveBytes();
    // Interprets one reply line while a download is active.
    void ParseReplyLine(std::string_view line);
    // Downloads the switch's configuration over `portName`; true when it failed.
    bool LoadConfig(const std::string& portName, bool layoutOnly, bool showFinished);

    // The upload lines: the five settings commands, and the 185 layout commands.
    static std::vector<std::string> SettingsCommands(const KVM_CONFIG& config);
    static std::vector<std::string> LayoutCommands(const KVM_LAYOUT& layout);
    // Opens the port over `portName` and sends `commands` and "SAVE", each
    // waiting for its prompt; the first unacknowledged line ends the sending
    // (LinkFailed). False when it stopped before sending, having reported why
    // ("COM port open error!", "Config write error!").
    bool Upload(const std::string& portName, const std::vector<std::string>& commands);

    // The state of the exchange.
    bool LinkFailed = false;
    bool AckReceived = false;
    int WaitTicks = 0;
    std::array<char, kMaxLineLength + 1> LineBuffer{};
    int LineLength = 0;
    bool DownloadActive = false;
    bool LayoutOnlyLoad = false;
    std::vector<std::string> CommandList;  // the lines of the running upload

private:
    void endLine();
    void storeByte(char byte);
    void commitDownload();
    // Closes the port; a failure shows at the next open.
    void closeQuietly();
    // Closes, then opens the port over `portName`; false (LinkFailed, and
    // "COM port open error!" shown) when it is not open afterwards.
    bool openPort(const std::string& portName);

    TComPort& port_;
    Timer timer_;
    EventPump& pump_;
    Prompts& prompts_;
    PostUpdate postUpdate_;
};
