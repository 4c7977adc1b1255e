#pragma once

#include "console/TransferRequest.h"

#include <QString>

class PortDiscovery;

// Runs `request` without a window, inside the running QCoreApplication, on
// the transfer service the windows use. The settings file at
// `settingsPath` (its [Ports] section) and `discovery` map the COM names.
// Messages go to standard error, one line each; FILE "-" and the
// differences to standard output. Answers the exit status.
int RunTransferRequest(const TransferRequest& request, const QString& settingsPath, const PortDiscovery& discovery);
