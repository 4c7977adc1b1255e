#include "setup/TransferProgress.h"

#include "setup/TransferService.h"

#include <QProgressBar>
#include <QProgressDialog>
#include <QTimer>

TransferProgress::TransferProgress(QWidget* parent, TransferService& transfers, const QString& label)
    : dialog_(std::make_unique<QProgressDialog>(label, QStringLiteral("Cancel"), 0, 0, parent))
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
    QTimer::singleShot(kShowAfterMs, dialog_.get(), [dialog = dialog_.get()] {
        if (!dialog->wasCanceled())
            dialog->show();
    });
    QObject::connect(&transfers, &TransferService::progress, dialog_.get(), [this](int done, int total) {
        dialog_->setMaximum(total);
        dialog_->setValue(done);
    });
    QObject::connect(dialog_.get(), &QProgressDialog::canceled, &transfers, &TransferService::cancel);
}

TransferProgress::~TransferProgress() = default;
