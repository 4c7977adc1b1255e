#pragma once

#include "core/link/DeviceLink.h"
#include "core/serial/PortNames.h"
#include "gui/setup/LayoutEditor.h"
#include "gui/setup/PortList.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>

#include <array>
#include <optional>

class Prompts;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class PortDiscovery;
class TransferService;
struct ConfigRecords;

// The main window: the switch's settings as widgets, the transfer buttons and
// the way into the layout editor.
class TfrmSetup : public QWidget {
    Q_OBJECT

public:
    // Posted to the window after the working configuration changed as a whole
    // (a full download, Reset to Default) or only its layout.
    static constexpr QEvent::Type WM_CONFIG_UPDATED = static_cast<QEvent::Type>(1124);
    static constexpr QEvent::Type WM_LAYOUT_UPDATED = static_cast<QEvent::Type>(1125);

    // `config` is the program's configuration, whose KvmConfig the window
    // shows; `settingsPath` is the settings file; `transfers` the line to the
    // switch. `discovery` finds the serial devices present for the "COM Port"
    // list.
    TfrmSetup(Prompts& prompts, ConfigRecords& config, TransferService& transfers, const PortDiscovery& discovery,
              const QString& settingsPath, QWidget* parent = nullptr);

    // The layout editor, made after this window: shown by "Glidex Layout",
    // checked and stored by Save Config.
    void setLayoutEditor(LayoutEditor* editor);

    // Downloads the switch's configuration (or only its layout) and shows
    // how it ended ("Load Config finished!" only with `showFinished`);
    // answers how it ended, or nothing when another transfer was running
    // and this one did not start.
    std::optional<TransferResult> LoadConfig(bool layoutOnly, bool showFinished);
    // The settings, and a valid layout, into the settings file and to the switch.
    void SaveConfig();

signals:
    // KvmLayout changed; the layout editor has rebuilt its tiles from it.
    void layoutUpdated();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The buttons' handlers.
    void btnDefaultClick();
    void btnExitClick();
    void btnGlidexClick();
    void btnLoadConfigClick();
    void btnSaveConfigClick();

    void createWidgets();
    // The buttons that start something a running transfer must not meet.
    std::array<QPushButton*, 4> transferLockedButtons() const;
    void transferRunningChanged(bool running);
    void FormCreate();
    // Works out where each COM name leads now, hands that to the transfers
    // and shows it in the list's items.
    void refreshPorts();
    void RecordToWidgets();
    void WidgetsToRecord();
    void WMConfigUpdated();
    void WMLayoutUpdated();
    // KvmLayout changed by `command`: the layout editor rebuilds its
    // tiles, then the change is signalled.
    void layoutChanged(const QString& command);

    QLabel* lblCOMPort;
    TPortList* cmbCOMPort;
    QLabel* lblStartPort;
    QComboBox* cmbStartPort;
    QLabel* lblHotKey;
    QComboBox* cmbHotKey;
    QLabel* lblMouseSpeed;
    QSlider* barSlider;
    QCheckBox* chkPrecision;
    QLabel* lblSwitchPos;
    QComboBox* cmbSwitchPos;
    QCheckBox* chkKVM;
    QPushButton* btnGlidex;
    QPushButton* btnLoadConfig;
    QPushButton* btnSaveConfig;
    QPushButton* btnExit;
    QPushButton* btnDefault;

    Prompts& prompts_;
    ConfigRecords& config_;
    TransferService& transfers_;
    const PortDiscovery& discovery_;
    // Where the COM names led when the list was last worked out: what the
    // user chose from, and what the transfers use.
    PortNames portNames_;
    LayoutEditor* editor_ = nullptr;
    QString settingsPath_;
    bool closePending_ = false;
    // What had the focus when a transfer started: disabling the transfer's
    // buttons moves it on (often to Exit), so it goes back at the end.
    QPointer<QWidget> focusBeforeTransfer_;
    // The next configuration update comes from Reset to Default, not from
    // a download.
    bool resetPosted_ = false;
};
