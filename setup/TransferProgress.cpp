#include "setup/TransferProgress.h"

#include "setup/TransferService.h"

#include <QProgressBar>
#include <QProgressDialog>
#include <QTimer>

TransferProgress::TransferProgress(QWidget* parent, TransferService& transfers, const QString& label)
    : dialog_(std::make_unique<QProgressDialog>(label, QStringLiteral("Cancel"), 0, 0, parent)),
      refreshTimer_(std::make_unique<QTimer>())
{
    dialog_->setObjectName(QStringLiteral("TransferProgress"));
    dialog_->setWindowTitle(QStringLiteral("Velmar Torvik"));
    dialog_->setWindowModality(Qt::ApplicationModal);
    // The transfer decides when it is done: the dialog neither resets nor
    // closes itself at the last line (a download still waits for its prompt).
    dialog_->setAutoReset(false);
    dialog_->setAutoClose(false);
    dialog_->setMinimumDuration(kShowAfterMs);
    auto* bar = new QProgressBar;
    bar->setFormat(QStringLiteral("%v of %m lines"));
    dialog_->setBar(bar);
    dialog_->setMinimumWidth(320);
    // Shown after the minimum duration even when no line has been counted
    // yet, as while a switch is slow to answer.
    QTimer::singleShot(kShowAfterMs, dialog_.get(), [this] {
        if (dialog_->wasCanceled())
            return;
        refresh();
        dialog_->show();
    });
    refreshTimer_->setSingleShot(true);
    refreshTimer_->setInterval(kRefreshMs);
    QObject::connect(refreshTimer_.get(), &QTimer::timeout, dialog_.get(), [this] { refresh(); });
    QObject::connect(&transfers, &TransferService::progress, dialog_.get(), [this](int done, int total) {
        done_ = done;
        total_ = total;
        if (dialog_->isVisible() && !refreshTimer_->isActive())
            refreshTimer_->start();
    });
    QObject::connect(dialog_.get(), &QProgressDialog::canceled, &transfers, &TransferService::cancel);
}

TransferProgress::~TransferProgress() = default;

void TransferProgress::refresh()
{
    if (total_ == 0)
        return;  // no line counted yet: the bar keeps showing that the transfer is busy
    dialog_->setMaximum(total_);
    dialog_->setValue(done_);
}
