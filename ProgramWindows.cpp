#include "ProgramWindows.h"

ProgramWindows::ProgramWindows(const ProgramServices& services)
    : frmSetup(services.prompts, services.transfers, services.discovery, services.settingsPath)
    , frmGlidex(services.prompts, services.pointer, services.transfers, services.settingsPath)
{
    frmSetup.setLayoutEditor(&frmGlidex);
    frmGlidex.MonitorLayoutDialog = [this] {
        frmMonitor.Load();
        return frmMonitor.exec() == mrYes;
    };
}
