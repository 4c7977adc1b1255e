#pragma once

#include "core/link/DeviceLink.h"

#include <QString>

class Prompts;

// What the user is told when a transfer, or a file write before it, ended:
// the same texts whichever window (or the command line) started it.

// A message and its kind: the box caption ("Error", "Info", "Warning").
// An empty text says nothing.
struct TransferMessage {
    QString text;
    QString caption;
};

// A download: "COM port open error!" (with `openHint` on a second line when
// there is one) or "Load Config error!" (Error: no reply, or none it could
// read), or that it was cancelled (Info); when it arrived, `finished`
// (Info), which may be empty.
TransferMessage DownloadMessage(TransferResult result, const QString& finished, const QString& openHint = QString());

// An upload: "COM port open error!" (with `openHint`), "Config write error!"
// or "COM port error! Please try again." (Error), or that it was cancelled
// (Info); when every line was acknowledged, `succeeded` (Info), which may
// be empty.
TransferMessage UploadMessage(TransferResult result, const QString& succeeded, const QString& openHint = QString());

// A settings or layout file that could not be written, and the reason (Warning).
TransferMessage FileNotSavedMessage(const QString& fileName, const QString& reason);

// The same messages in a box, unless empty.
void ReportDownload(Prompts& prompts, TransferResult result, const QString& finished,
                    const QString& openHint = QString());
void ReportUpload(Prompts& prompts, TransferResult result, const QString& succeeded,
                  const QString& openHint = QString());
void ReportFileNotSaved(Prompts& prompts, const QString& fileName, const QString& reason);
