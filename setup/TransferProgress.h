#pragma once

#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;
class TransferService;

// Shows how far a transfer is while it lives: a modal progress dialog that
// appears only once the transfer has run for half a second (short transfers
// never show it), with what it does, the lines done of the total and a
// Cancel button that asks the transfer to stop before its next line.
class TransferProgress {
public:
    static constexpr int kShowAfterMs = 500;

    TransferProgress(QWidget* parent, TransferService& transfers, const QString& label);
    ~TransferProgress();
    TransferProgress(const TransferProgress&) = delete;
    TransferProgress& operator=(const TransferProgress&) = delete;

private:
    std::unique_ptr<QProgressDialog> dialog_;
};
