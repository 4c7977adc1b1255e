#pragma once

#include "app/ProgramWindows.h"
#include "core/config/KvmConfig.h"
#include "core/config/ProfileFile.h"
#include "core/link/TransferService.h"
#include "core/platform/EventPump.h"
#include "core/serial/ComPort.h"
#include "core/serial/CommDevice.h"
#include "core/serial/PortNames.h"
#include "sim/SimProcess.h"
#include "support/ConfigRecordsFixture.h"
#include "support/FakePointer.h"
#include "support/FakePortDiscovery.h"
#include "support/FakePrompts.h"
#include "support/FileBytes.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

// The program's windows as the program makes them, with a settings file of
// their own and, where a test starts it, torvik-sim logging every command
// line it receives.
class ProgramFixture : public testing::Test, protected ConfigRecordsFixture {
protected:
    void SetUp() override
    {
        settings = dir.filePath(QStringLiteral("TORVIK.INI"));
        log = dir.filePath(QStringLiteral("commands.log")).toStdString();
    }

    // COM1 leads to `device` by the settings file's [Ports] section; the
    // windows read the settings file.
    TfrmSetup& openWindows(const std::string& device)
    {
        ProfileFile file(settings);
        file.writeString("Ports", "COM1", device);
        EXPECT_TRUE(file.save().ok());
        return makeWindows();
    }

    // The transfer service and the windows, made and wired as the program
    // makes them; the setup window maps the COM names from the settings
    // file and the devices `discovery` lists.
    TfrmSetup& makeWindows()
    {
        windows.reset();
        transfers = std::make_unique<TransferService>(pump, CreatePlatformCommDevice(PortNames{}), config);
        windows =
            std::make_unique<ProgramWindows>(ProgramServices{prompts, pointer, config, *transfers, discovery, settings});
        setup = &windows->frmSetup;
        editor = &windows->frmGlidex;
        return *setup;
    }

    // The command lines the simulator received, in order.
    std::vector<std::string> logged() const
    {
        std::istringstream in(ReadFileBytes(QString::fromStdString(log)));
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    QTemporaryDir dir;
    QString settings;
    std::string log;
    FakePrompts prompts;
    FakePointer pointer;
    QtEventPump pump;
    FakePortDiscovery discovery;
    std::unique_ptr<TransferService> transfers;
    std::unique_ptr<SimProcess> sim;
    std::unique_ptr<ProgramWindows> windows;
    TfrmSetup* setup = nullptr;
    TfrmGlidex* editor = nullptr;
};
