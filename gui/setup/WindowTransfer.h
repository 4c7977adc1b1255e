#pragma once

#include "core/link/TransferMessages.h"

#include <functional>

class Prompts;
class QWidget;
class TransferService;

// A transfer as the windows run it: `work`, the transfer of `command` on
// `transfers`, with its progress dialog over `window` while it runs, then
// how it ended in a box (its success only with `tellSuccess`). Answers how
// it ended.
TransferResult RunWindowTransfer(QWidget* window, Prompts& prompts, TransferService& transfers,
                                 TransferCommand command, const std::function<TransferResult()>& work,
                                 bool tellSuccess = true);

// `message` in a box.
void ShowMessage(Prompts& prompts, const TransferMessage& message);
// That `fileName` could not be written, and why, in a box.
void ReportFileNotSaved(Prompts& prompts, const QString& fileName, const QString& reason);
