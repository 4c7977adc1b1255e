#pragma once

#include <QString>
#include <QTimer>

#include <memory>

class QProgressDialog;
class QWidget;
class TransferService;

// Shows how far a transfer is while it lives: a modal progress dialog that
// appears only once the transfer has run for half a second (short transfers
// never show it, nor make it), with what it does, the lines done of the
// total and a Cancel button that asks the transfer to stop before its next
// line.
//
// While shown, the dialog reads the transfer's count every kRefreshMs: a
// transfer counts every line, and each change of the bar repaints it and,
// with a screen reader, sends an accessibility event.
class TransferProgress {
public:
    static constexpr int kShowAfterMs = 500;
    static constexpr int kRefreshMs = 40;

    TransferProgress(QWidget* parent, TransferService& transfers, const QString& label);
    ~TransferProgress();
    TransferProgress(const TransferProgress&) = delete;
    TransferProgress& operator=(const TransferProgress&) = delete;

private:
    // Makes the dialog and shows it with the latest count.
    void show();
    // Puts the transfer's count on the bar.
    void refresh();

    QWidget* parent_;
    TransferService& transfers_;
    QString label_;
    std::unique_ptr<QProgressDialog> dialog_;
    QTimer showTimer_;
    QTimer refreshTimer_;
};
