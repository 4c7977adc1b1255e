#pragma once

#include "setup/DeviceLink.h"

#include <QString>

class Prompts;

// The message boxes that tell the user how a transfer, or a file write
// before it, ended: the same texts whichever window started it.

// A download: "COM port open error!" (with `openHint` on a second line when
// there is one) or "Load Config error!" (Error), or that it was cancelled
// (Info); when it arrived, `finished` (Info) unless that is empty.
void ReportDownload(Prompts& prompts, TransferResult result, const QString& finished,
                    const QString& openHint = QString());

// An upload: "COM port open error!" (with `openHint`), "Config write error!"
// or "COM port error! Please try again." (Error), or that it was cancelled
// (Info); when every line was acknowledged, `succeeded` (Info) unless that
// is empty.
void ReportUpload(Prompts& prompts, TransferResult result, const QString& succeeded,
                  const QString& openHint = QString());

// A settings or layout file that could not be written, and the reason.
void ReportFileNotSaved(Prompts& prompts, const QString& fileName, const QString& reason);
