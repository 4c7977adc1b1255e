#pragma once

#include <chrono>
#include <string>
#include <vector>

// torvik-sim (a Linux program) on the other end of COM1, for tests running
// under Wine. The test script links the prefix's COM1 to the path in
// TORVIK_COM1_LINK, where the simulator puts the link to its terminal; the
// simulator itself is TORVIK_SIM. It logs the commands it receives beside
// the link.
//
// Wine starts a Unix program through CreateProcess but hands back no process
// handle to wait on or end it with, so a shell records the simulator's
// process id, and its first output line (the terminal, printed once the link
// exists) tells that it is ready.
class WineSim {
public:
    // `options` as on the simulator's command line, e.g. "--hangup-after 1".
    explicit WineSim(const std::string& options = "");
    // Ends the simulator and waits until its terminal is gone.
    ~WineSim();
    WineSim(const WineSim&) = delete;
    WineSim& operator=(const WineSim&) = delete;

    bool ready() const { return ready_; }
    // The command lines the simulator received, in order.
    std::vector<std::string> logged() const;
    // True when the terminal goes away within `limit` (after a hang-up).
    bool goneWithin(std::chrono::milliseconds limit) const;

private:
    std::string link_;
    bool ready_ = false;
};
