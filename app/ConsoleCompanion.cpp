// torvik-setup.com, the command line's program on Windows. cmd and
// PowerShell run a .com before an .exe of the same name, and wait for a
// console program where they return at once from a window program: so
// "torvik-setup --port COM3 --read FILE" waits for the transfer, prints to
// the console it was started from and leaves its exit status in %errorlevel%
// and $LASTEXITCODE. A command line that asks for the windows starts
// torvik-setup.exe beside it with the same arguments, and returns; one that
// asks for the monitors (--screens) runs it on this console and waits.

#include "app/CommandLine.h"
#include "app/RunWithoutWindow.h"
#include "core/serial/PortDiscovery.h"

#include <QCoreApplication>
#include <QDir>

#include <iostream>
#include <optional>
#include <string>

#include <windows.h>

namespace {

// Starts `program` with this program's arguments as they were written (the
// command line less its first word, the program's name). Without
// `shareConsole` it inherits no handle, and this program returns at once:
// a script reading this program's output ends with this program, not with
// the window. With it, `program` writes to this program's standard output
// and error, and this program waits for it and answers its exit status.
// None when it could not be started.
std::optional<DWORD> startWindowProgram(const QString& program, bool shareConsole)
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
    // Standard handles always given: without them, Wine hands a child the
    // parent's even when it inherits nothing.
    startup.dwFlags = STARTF_USESTDHANDLES;
    if (shareConsole) {
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    }
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, shareConsole, 0, nullptr, nullptr, &startup,
                        &started))
        return std::nullopt;
    CloseHandle(started.hThread);
    DWORD status = 0;
    if (shareConsole) {
        WaitForSingleObject(started.hProcess, INFINITE);
        GetExitCodeProcess(started.hProcess, &status);
    }
    CloseHandle(started.hProcess);
    return status;
}

// A program that ends with an exception's code (0xC0000005, an access
// violation) rather than a status of its own crashed; Qt draws the line there
// too.
bool crashed(DWORD status)
{
    return status >= 0x80000000;
}

}  // namespace

int main(int argc, char* argv[])
{
    const QCoreApplication core(argc, argv);
    const SystemPortDiscovery discovery;
    const QStringList arguments = QCoreApplication::arguments();
    const CommandLine commandLine = ParseCommandLine(arguments, QCoreApplication::applicationDirPath(),
                                                     QProcessEnvironment::systemEnvironment(), discovery);
    // The monitors are the window system's: the window program reads them,
    // on this program's console.
    const bool screens = commandLine.run == CommandLine::Run::Screens;
    if (commandLine.run != CommandLine::Run::Window && !screens)
        return RunWithoutWindow(commandLine, discovery);

    const QString windowProgram = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("torvik-setup.exe"));
    const std::optional<DWORD> status = startWindowProgram(windowProgram, screens);
    const std::string name = QDir::toNativeSeparators(windowProgram).toLocal8Bit().toStdString();
    if (!status) {
        std::cerr << "torvik-setup: " << name << " could not be started.\n";
        return 1;
    }
    // A crash ends this program with 1: cmd's "if errorlevel 1" would take
    // the exception's code, a negative number, for success.
    if (crashed(*status)) {
        std::cerr << "torvik-setup: " << name << " crashed (status 0x" << std::hex << std::uppercase << *status
                  << ").\n";
        return 1;
    }
    return static_cast<int>(*status);
}
