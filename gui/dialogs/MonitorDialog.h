#pragma once

#include "core/config/KvmConfig.h"
#include "core/config/OneBased.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;

// How the dialog ended, numbered as the window system numbers modal results.
enum ModalResult : int { mrCancel = 2, mrYes = 6 };

// The arrangement style of every computer port's monitors, one page per
// unit. The layout editor loads it and shows it modally; only Apply writes
// the styles back. The widgets are the dialog's own: tools find them by their
// object names.
class TfrmMonitor : public QDialog {
    Q_OBJECT

public:
    // The styles are those of `config`'s KvmLayout.
    explicit TfrmMonitor(ConfigRecords& config, QWidget* parent = nullptr);

    // Selects each port's style from MStyle of KvmLayout; a style outside
    // 0..7 leaves its selector empty. The page shown stays as it was.
    void Load();

    // The title bar's close box (and Escape) end the dialog as Cancel does.
    void reject() override;

private:
    // Writes every selection into MStyle (-1 for an empty selector) and ends
    // the dialog with mrYes.
    void btnAplyClick();
    // Ends the dialog with mrCancel; nothing is written.
    void btnCancelClick();

    QTabWidget* PageControl1;
    OneBased<QWidget*, kUnitCount> TabSheet;        // TabSheet1..5: Master, Slave 1..4
    OneBased<QLabel*, kPortCount> lblPort;          // by computer port
    OneBased<QComboBox*, kPortCount> cmbMonitorStyle;  // by computer port
    QPushButton* btnAply;
    QPushButton* btnCancel;

    ConfigRecords& config_;
};
