#include "app/CommandLine.h"
#include "app/ProgramWindows.h"
#include "app/RunWithoutWindow.h"
#include "app/WindowsConsole.h"
#include "core/config/NativeFile.h"
#include "core/link/TransferService.h"
#include "core/platform/DisplayAvailable.h"
#include "core/platform/EventPump.h"
#include "core/platform/ExceptionReport.h"
#include "core/serial/CommDevice.h"
#include "core/serial/PortDiscovery.h"
#include "core/serial/PortNames.h"
#include "gui/platform/Fonts.h"
#ifdef Q_OS_LINUX
#include "gui/platform/ProbeDisplay.h"
#endif
#include "gui/platform/QtPointer.h"
#include "gui/platform/QtPrompts.h"
#include "gui/platform/SystemMonitors.h"

#include <QApplication>
#include <QDir>
#include <QIcon>

#include <iostream>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

// The command line as given. On POSIX systems each argument keeps its bytes
// (see FileNameFromBytes): a file name that is not valid UTF-8 names that
// very file, where Qt's own list would have turned its bytes into U+FFFD.
QStringList ProgramArguments(int argc, char* argv[])
{
#ifdef Q_OS_WIN
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    return QCoreApplication::arguments();
#else
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << FileNameFromBytes(argv[i]);
    return arguments;
#endif
}

}  // namespace

int main(int argc, char* argv[])
{
    // The command line is read, and a transfer without a window runs, before
    // the window system is reached: they need no display.
    [[maybe_unused]] const bool canPrint = UseParentConsole();
    QString settingsPath;
    bool listScreens = false;
    bool screensJson = false;
    {
        const QCoreApplication core(argc, argv);
        const SystemPortDiscovery discovery;
        const CommandLine commandLine = ParseCommandLine(ProgramArguments(argc, argv),
                                                         QCoreApplication::applicationDirPath(),
                                                         QProcessEnvironment::systemEnvironment(), discovery);
#ifdef Q_OS_WIN
        // Started from the desktop there is nowhere to print: a wrong
        // command line is shown in a box instead.
        if (commandLine.run == CommandLine::Run::Print && commandLine.toStandardError && !canPrint) {
            MessageBoxW(nullptr, commandLine.output.trimmed().toStdWString().c_str(), L"torvik-setup",
                        MB_OK | MB_ICONERROR);
            return commandLine.exitCode;
        }
#endif
        listScreens = commandLine.run == CommandLine::Run::Screens;
        screensJson = commandLine.json;
        if (commandLine.run != CommandLine::Run::Window && !listScreens)
            return RunWithoutWindow(commandLine, discovery);
        settingsPath = commandLine.settingsPath;
#ifdef Q_OS_LINUX
        // Qt would end the program with an abort of its own.
        if (!DisplayAvailable(QProcessEnvironment::systemEnvironment(), commandLine.platform, commandLine.display,
                              ProbeDisplay)) {
            std::cerr << (listScreens ? "torvik-setup: no display found, so the monitors cannot be read.\n"
                                      : "torvik-setup: no display found, so the window cannot open; "
                                        "--port PORT --read/--write/--compare FILE work without one.\n");
            return 1;
        }
#endif
    }

    if (listScreens) {
        const QGuiApplication app(argc, argv);
        const std::vector<ComputerMonitor> monitors = SystemMonitors();
        return PrintListing(screensJson ? MonitorsJson(monitors) : MonitorsText(monitors).toLocal8Bit());
    }

    QApplication app(argc, argv);
    RegisterFontSubstitutes();
    // Every window's icon: the program's, in each size rendered at build time.
    QIcon icon;
    for (const QFileInfo& png : QDir(QStringLiteral(":/icons")).entryInfoList())
        icon.addFile(png.filePath());
    QApplication::setWindowIcon(icon);

    QtPrompts prompts;
    QtPointer pointer;
    QtEventPump pump;
    SetExceptionReporter([&prompts](const QString& message) {
        prompts.messageBox(nullptr, message, QStringLiteral("Error"), MsgButtons::Ok);
    });

    // The working and received configuration, read and changed by the
    // windows and the transfers.
    ConfigRecords config;

    // The line to the switch, shared by the setup window and the editor;
    // the setup window tells it where the COM names lead.
    TransferService transfers(pump, CreatePlatformCommDevice(PortNames{}), config);
    const SystemPortDiscovery discovery;

    // The windows live until the program ends, and only the setup window is
    // shown. Closing it ends the program.
    ProgramWindows windows({prompts, pointer, config, transfers, discovery, settingsPath});
    windows.frmSetup.show();
    return QApplication::exec();
}
