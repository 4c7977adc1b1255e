#pragma once

#include "setup/DeviceLink.h"

#include <QString>

class Prompts;

// The message boxes that tell the user how a transfer, or a file write
// before it, ended: the same texts whichever window started it.

// A download: "COM port open error!" or "Load Config error!" (Error); when it
// arrived, `finished` (Info) unless that is empty.
void ReportDownload(Prompts& prompts, TransferResult result, const QString& finished);

// An upload: "COM port open error!", "Config write error!" or "COM port
// error! Please try again." (Error); when every line was acknowledged,
// `succeeded` (Info) unless that is empty.
void ReportUpload(Prompts& prompts, TransferResult result, const QString& succeeded);

// A settings or layout file that could not be written, and the reason.
void ReportFileNotSaved(Prompts& prompts, const QString& fileName, const QString& reason);
