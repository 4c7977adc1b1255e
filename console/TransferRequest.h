#pragma once

#include <QString>

// What the command line asks of the switch: --port PORT with one of
// --read, --write (optionally --verify) and --compare FILE.
struct TransferRequest {
    enum class Action { Read, Write, Compare };
    Action action = Action::Read;
    QString port;             // a COM name (mapped as the port list maps it) or a device path
    QString file;             // "-": standard input (Write, Compare) or output (Read)
    bool verify = false;      // Write: read the switch back and compare
    bool layoutOnly = false;  // the layout alone, as the editor's Load and Send Layout do
    bool quiet = false;       // errors only
    bool json = false;        // Write and Compare answer in JSON: the warnings, and the differences
};

// The command line's exit statuses.
namespace ExitStatus {
inline constexpr int Done = 0;           // and, comparing, no difference
inline constexpr int Differences = 1;    // --compare or --verify found some
inline constexpr int Usage = 2;
inline constexpr int PortFailed = 3;     // the port cannot be opened
inline constexpr int SwitchFailed = 4;   // no answer, or the line failed
inline constexpr int FileFailed = 5;     // FILE unreadable, unwritable, a value in it unreadable, or its layout invalid
inline constexpr int Interrupted = 130;  // Ctrl+C or SIGTERM
}  // namespace ExitStatus
