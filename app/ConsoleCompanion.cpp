// torvik-setup.com, the command line's program on Windows. cmd and
// PowerShell run a .com before an .exe of the same name, and wait for a
// console program where they return at once from a window program: so
// "torvik-setup --port COM3 --read FILE" waits for the transfer, prints to
// the console it was started from and leaves its exit status in %errorlevel%
// and $LASTEXITCODE. A command line that asks for the windows starts
// torvik-setup.exe beside it with the same arguments, and returns.

#include "app/CommandLine.h"
#include "app/RunWithoutWindow.h"
#include "core/serial/PortDiscovery.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>

#include <iostream>

int main(int argc, char* argv[])
{
    const QCoreApplication core(argc, argv);
    const SystemPortDiscovery discovery;
    const QStringList arguments = QCoreApplication::arguments();
    const CommandLine commandLine = ParseCommandLine(arguments, QCoreApplication::applicationDirPath(),
                                                     QProcessEnvironment::systemEnvironment(), discovery);
    if (commandLine.run != CommandLine::Run::Window)
        return RunWithoutWindow(commandLine, discovery);

    const QString windowProgram = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("torvik-setup.exe"));
    if (!QProcess::startDetached(windowProgram, arguments.mid(1))) {
        std::cerr << "torvik-setup: " << QDir::toNativeSeparators(windowProgram).toLocal8Bit().constData()
                  << " could not be started.\n";
        return 1;
    }
    return 0;
}
