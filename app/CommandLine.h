#pragma once

#include "console/TransferRequest.h"

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

class PortDiscovery;

// What the command line asks for: one of three things.
struct CommandLine {
    enum class Run {
        Window,    // open the windows with the settings file `settingsPath`
        Transfer,  // carry out `transfer` without a window
        Print,     // print `output` (to standard error when `toStandardError`) and end with `exitCode`
        Screens,   // print this computer's monitors, in JSON when `json`: needs the window system
    };
    Run run = Run::Window;
    QString settingsPath;
    TransferRequest transfer;
    QString output;
    bool toStandardError = false;
    int exitCode = ExitStatus::Done;
    bool json = false;
    // Qt's -platform and -display options for the window program, empty when not given.
    QString platform;
    QString display;
};

// Reads the program's options from `arguments` (the whole command line,
// program name first): --help, --version, --settings FILE, --list-ports
// (with the devices `discovery` finds), --screens, and a transfer: --port PORT with
// --read, --write or --compare FILE, --verify, --layout-only, --quiet. Qt's own options
// (-platform, -style, ...) are accepted and left for QApplication, which
// reads them from the same command line. `programFolder` and `environment`
// decide the settings file when --settings is not given.
CommandLine ParseCommandLine(const QStringList& arguments, const QString& programFolder,
                             const QProcessEnvironment& environment, const PortDiscovery& discovery);
