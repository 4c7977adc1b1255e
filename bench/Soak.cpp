// A long run of the program's two transfers through its real windows: Load
// Config and Save Config, clicked one after the other against a switch on
// COM1, with the open file descriptors, threads and resident memory reported
// after the first cycle and at the end. Anything that grows per transfer
// (a leaked descriptor, a thread not joined, memory kept) shows as a
// difference between the two lines.
//
//   soak SETTINGS_FILE [CYCLES]
//
// SETTINGS_FILE maps COM1 to the switch (section [Ports]); bench/soak.sh
// sets that up with torvik-sim.

#include "app/ProgramWindows.h"
#include "core/link/TransferService.h"
#include "core/platform/EventPump.h"
#include "core/platform/Prompts.h"
#include "core/serial/CommDevice.h"
#include "core/serial/PortDiscovery.h"
#include "core/serial/PortNames.h"
#include "gui/platform/Fonts.h"
#include "gui/platform/QtPointer.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

// Answers every box with OK and counts those that are not a transfer's success.
class SoakPrompts final : public Prompts {
public:
    int failures = 0;
    QString lastFailure;
    MsgAnswer messageBox(QWidget*, const QString& text, const QString&, MsgButtons) override
    {
        if (text != QLatin1String("Load Config finished!") && text != QLatin1String("Save Config successed!")) {
            ++failures;
            lastFailure = text;
        }
        return MsgAnswer::Ok;
    }
    QString openFileName(QWidget*, const QString&, const QString&) override { return {}; }
    QString saveFileName(QWidget*, const QString&, const QString&) override { return {}; }
    int chooseItem(QWidget*, const QString&, const QString&, const QStringList&) override { return -1; }
};

long statusField(const std::string& name)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(name + ":", 0) == 0)
            return std::stol(line.substr(name.size() + 1));
    }
    return -1;
}

void report(const char* when, int cycles, int failures)
{
    const auto descriptors = QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size();
    std::printf("%-6s cycles %5d  failures %d  fds %lld  threads %ld  rss_kb %ld\n", when, cycles, failures,
                static_cast<long long>(descriptors), statusField("Threads"), statusField("VmRSS"));
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: soak SETTINGS_FILE [CYCLES]\n");
        return 2;
    }
    const int cycles = argc > 2 ? std::stoi(argv[2]) : 1000;
    RegisterFontSubstitutes();
    SoakPrompts prompts;
    QtPointer pointer;
    QtEventPump pump;
    const QString settings = QString::fromLocal8Bit(argv[1]);
    ConfigRecords config;
    TransferService transfers(pump, CreatePlatformCommDevice(PortNames{}), config);
    const SystemPortDiscovery discovery;
    ProgramWindows windows({prompts, pointer, config, transfers, discovery, settings});
    TfrmSetup& frmSetup = windows.frmSetup;
    frmSetup.show();
    // The buttons, found by name as a user's tools find them.
    auto* btnLoadConfig = frmSetup.findChild<QPushButton*>(QStringLiteral("btnLoadConfig"));
    auto* btnSaveConfig = frmSetup.findChild<QPushButton*>(QStringLiteral("btnSaveConfig"));

    for (int cycle = 1; cycle <= cycles; ++cycle) {
        btnLoadConfig->click();
        btnSaveConfig->click();
        QCoreApplication::processEvents();
        if (cycle == 1)
            report("start", cycle, prompts.failures);
    }
    report("end", cycles, prompts.failures);
    if (prompts.failures > 0)
        std::fprintf(stderr, "last failure: %s\n", qPrintable(prompts.lastFailure));
    return prompts.failures == 0 ? 0 : 1;
}
