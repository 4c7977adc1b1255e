#include "app/RunWithoutWindow.h"

#include "app/CommandLine.h"
#include "console/ConsoleOutput.h"
#include "console/ConsoleTransfer.h"

#include <iostream>

int RunWithoutWindow(const CommandLine& commandLine, const PortDiscovery& discovery)
{
    if (commandLine.run == CommandLine::Run::Transfer)
        return RunTransferRequest(commandLine.transfer, commandLine.settingsPath, discovery);
    if (commandLine.toStandardError) {
        std::cerr << commandLine.output.toLocal8Bit().constData();
        return commandLine.exitCode;
    }
    const int printed = PrintListing(commandLine.output.toLocal8Bit());
    return printed != 0 ? printed : commandLine.exitCode;
}

int PrintListing(const QByteArray& text)
{
    const QString reason = WriteStandardOutput(text);
    if (reason.isEmpty())
        return 0;
    std::cerr << "torvik-setup: standard output could not be written: " << reason.toLocal8Bit().constData() << ".\n";
    return 1;
}
