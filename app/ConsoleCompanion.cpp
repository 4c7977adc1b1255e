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

#include <iostream>
#include <string>

#include <windows.h>

namespace {

// Starts `program` with this program's arguments as they were written (the
// command line less its first word, the program's name), and inherits it no
// handle: a script reading this program's output ends with this program,
// not with the window.
bool startWindowProgram(const QString& program)
{
    const wchar_t* rest = GetCommandLineW();
    if (*rest == L'"') {
        for (++rest; *rest && *rest != L'"'; ++rest) {
        }
        if (*rest)
            ++rest;
    } else {
        while (*rest && *rest != L' ' && *rest != L'\t')
            ++rest;
    }
    std::wstring commandLine = L"\"" + QDir::toNativeSeparators(program).toStdWString() + L"\"" + rest;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    // No standard handles at all: without this, Wine hands a child the
    // parent's even when it inherits nothing.
    startup.dwFlags = STARTF_USESTDHANDLES;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        return false;
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return true;
}

}  // namespace

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
    if (!startWindowProgram(windowProgram)) {
        std::cerr << "torvik-setup: " << QDir::toNativeSeparators(windowProgram).toLocal8Bit().constData()
                  << " could not be started.\n";
        return 1;
    }
    return 0;
}
