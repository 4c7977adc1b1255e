#include "CommandLine.h"
#include "ProgramWindows.h"
#include "platform/EventPump.h"
#include "platform/ExceptionReport.h"
#include "platform/Fonts.h"
#include "platform/Pointer.h"
#include "platform/QtPrompts.h"
#include "serial/CommDevice.h"
#include "serial/PortDiscovery.h"
#include "serial/PortNames.h"
#include "setup/TransferService.h"

#include <QApplication>

#include <iostream>

namespace {

// The command line is read before the window system is reached, so that
// --help, --version and a wrong option work without a display.
CommandLine readCommandLine(int argc, char* argv[])
{
    const QCoreApplication core(argc, argv);
    return ParseCommandLine(QCoreApplication::arguments(), QCoreApplication::applicationDirPath(),
                            QProcessEnvironment::systemEnvironment(), SystemPortDiscovery());
}

}  // namespace

int main(int argc, char* argv[])
{
    const CommandLine commandLine = readCommandLine(argc, argv);
    if (commandLine.exitCode) {
        (commandLine.toStandardError ? std::cerr : std::cout) << commandLine.output.toLocal8Bit().constData();
        return *commandLine.exitCode;
    }

    QApplication app(argc, argv);
    RegisterFontSubstitutes();

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
    ProgramWindows windows({prompts, pointer, config, transfers, discovery, commandLine.settingsPath});
    windows.frmSetup.show();
    return QApplication::exec();
}
