#include "app/RunWithoutWindow.h"

#include "app/CommandLine.h"
#include "console/ConsoleTransfer.h"

#include <iostream>

int RunWithoutWindow(const CommandLine& commandLine, const PortDiscovery& discovery)
{
    if (commandLine.run == CommandLine::Run::Transfer)
        return RunTransferRequest(commandLine.transfer, commandLine.settingsPath, discovery);
    (commandLine.toStandardError ? std::cerr : std::cout) << commandLine.output.toLocal8Bit().constData();
    return commandLine.exitCode;
}
