#include "app/ProgramWindows.h"

ProgramWindows::ProgramWindows(const ProgramServices& services)
    : frmSetup(services.prompts, services.config, services.transfers, services.discovery, services.settingsPath)
    , frmGlidex(services.prompts, services.pointer, services.config, services.transfers, services.settingsPath)
    , frmMonitor(services.config)
{
    frmSetup.setLayoutEditor(&frmGlidex);
    frmGlidex.MonitorLayoutDialog = [this] {
        frmMonitor.Load();
        return frmMonitor.exec() == mrYes;
    };
}
