#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

// A plain text window for tracing. It is created hidden with the other
// windows; nothing shows it or writes to it in normal use.
class TfrmDebug : public QWidget {
    Q_OBJECT

public:
    explicit TfrmDebug(QWidget* parent = nullptr);

private:
    void ExitClick();

    QPlainTextEdit* Memo1;
    QPushButton* Exit;
};
