#pragma once

#include "core/link/DeviceLink.h"

#include <QString>

#include <string>
#include <vector>

// What the user is told while a transfer runs and when it, or a file write
// before it, ended: the same texts whichever window (or the command line)
// started it.

// The commands that make a transfer, named as the windows name them.
enum class TransferCommand {
    LoadConfig,  // the switch's configuration into the program
    LoadLayout,  // the switch's layout alone
    SaveConfig,  // the settings and the layout to the switch
    SendLayout,  // the layout alone to the switch
};

// A message and its kind: the box caption ("Error", "Info", "Warning").
struct TransferMessage {
    QString text;
    QString caption;
};

// What `command` does while it runs: "Reading configuration" (Load Config,
// Load Layout) or "Sending configuration".
QString ProgressText(TransferCommand command);

// How far a transfer is: "45 of 191 lines", with `done` and `total` as
// they stand in the text (numbers, or a progress bar's "%v" and "%m").
QString LinesText(const QString& done, const QString& total);

// How `command` ended. Every transfer: "COM port open error!". A
// download: "Load Config error!" (Error: no reply, or none it could read
// whole), or that it was cancelled (Info); when it arrived, "Load Config
// finished!" or "Load Layout finished!" (Info). An upload: "Config write
// error!" or "COM port error! Please try again." (Error), or that it was
// cancelled (Info); when every line was acknowledged, "Save Config
// successed!" or "Send Layout to Torvik successed!" (Info). A failure's
// `detail`, when there is one, follows on a line of its own.
TransferMessage EndMessage(TransferCommand command, TransferResult result, const QString& detail = QString());

// What a failure's message adds, for the results that carry more than
// their first line: the lines an Incomplete reply lacked, and that "SAVE"
// went out unanswered (SaveUnconfirmed). Empty for the others.
QString ResultDetail(TransferResult result, const std::vector<std::string>& missingLines);

// A settings or layout file that could not be written, and the reason (Warning).
TransferMessage FileNotSavedMessage(const QString& fileName, const QString& reason);
