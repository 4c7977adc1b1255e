#include "gui/setup/TransferProgress.h"

#include "core/link/TransferMessages.h"
#include "core/link/TransferService.h"

#include <QProgressBar>
#include <QProgressDialog>

TransferProgress::TransferProgress(QWidget* parent, TransferService& transfers, const QString& label)
    : parent_(parent), transfers_(transfers), label_(label)
{
    // Shown after the minimum duration even when no line has been counted
    // yet, as while a switch is slow to answer.
    showTimer_.setSingleShot(true);
    QObject::connect(&showTimer_, &QTimer::timeout, &showTimer_, [this] { show(); });
    showTimer_.start(kShowAfterMs);
    refreshTimer_.setInterval(kRefreshMs);
    QObject::connect(&refreshTimer_, &QTimer::timeout, &refreshTimer_, [this] { refresh(); });
}

TransferProgress::~TransferProgress() = default;

void TransferProgress::show()
{
    dialog_ = std::make_unique<QProgressDialog>(label_, QStringLiteral("Cancel"), 0, 0, parent_);
    dialog_->setObjectName(QStringLiteral("TransferProgress"));
    dialog_->setWindowTitle(QStringLiteral("Velmar Torvik"));
    dialog_->setWindowModality(Qt::ApplicationModal);
    // The transfer decides when it is done: the dialog neither resets nor
    // closes itself at the last line (a download still waits for its prompt).
    dialog_->setAutoReset(false);
    dialog_->setAutoClose(false);
    auto* bar = new QProgressBar;
    bar->setFormat(LinesText(QStringLiteral("%v"), QStringLiteral("%m")));
    dialog_->setBar(bar);
    dialog_->setMinimumWidth(320);
    QObject::connect(dialog_.get(), &QProgressDialog::canceled, &transfers_, &TransferService::cancel);
    refresh();
    dialog_->show();
    refreshTimer_.start();
}

void TransferProgress::refresh()
{
    const int total = transfers_.linesTotal();
    if (total == 0)
        return;  // no line counted yet: the bar keeps showing that the transfer is busy
    dialog_->setMaximum(total);
    dialog_->setValue(transfers_.linesDone());
}
