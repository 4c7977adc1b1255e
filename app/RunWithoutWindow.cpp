#include "app/RunWithoutWindow.h"

#include "app/CommandLine.h"
#include "console/ConsoleTransfer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
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
    errno = 0;
    if (std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stdout) ==
            static_cast<std::size_t>(text.size()) &&
        std::fflush(stdout) == 0)
        return 0;
    std::cerr << "torvik-setup: standard output could not be written: "
              << (errno != 0 ? std::strerror(errno) : "write error") << ".\n";
    return 1;
}
