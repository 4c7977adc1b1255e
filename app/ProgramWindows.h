#pragma once

#include "gui/dialogs/DebugWindow.h"
#include "gui/dialogs/MonitorDialog.h"
#include "gui/editor/GlidexWindow.h"
#include "gui/setup/SetupWindow.h"

#include <QString>

struct ConfigRecords;
class Pointer;
class PortDiscovery;
class Prompts;
class TransferService;

// What the windows are made from; every service outlives the windows.
struct ProgramServices {
    Prompts& prompts;
    Pointer& pointer;
    ConfigRecords& config;  // the working and received configuration
    TransferService& transfers;  // the line to the switch, shared by the setup window and the editor
    const PortDiscovery& discovery;
    QString settingsPath;
};

// The program's windows, made in their fixed order and wired to each other:
// the setup window opens the layout editor, the editor the monitor dialog.
// All live as long as this object; none is shown.
struct ProgramWindows {
    explicit ProgramWindows(const ProgramServices& services);

    TfrmSetup frmSetup;
    TfrmGlidex frmGlidex;
    TfrmMonitor frmMonitor;
    TfrmDebug frmDebug;
};
