#pragma once

#include "serial/ComPort.h"
#include "serial/PortNames.h"
#include "setup/DeviceLink.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class EventPump;
class Prompts;
class QCheckBox;
class QComboBox;
class QDialog;
class QLabel;
class QPushButton;
class QSlider;
class QTimer;

// The main window: the switch's settings as widgets, the transfer buttons and
// the way into the layout editor.
class TfrmSetup : public QWidget {
    Q_OBJECT

public:
    // Posted to the window after the working configuration changed as a whole
    // (a full download, Reset to Default) or only its layout.
    static constexpr QEvent::Type WM_CONFIG_UPDATED = static_cast<QEvent::Type>(1124);
    static constexpr QEvent::Type WM_LAYOUT_UPDATED = static_cast<QEvent::Type>(1125);

    // Makes the serial device for the port names of the settings file.
    using DeviceFactory = std::function<std::unique_ptr<CommDevice>(const PortNames&)>;

    // `settingsPath` is the settings file, "TORVIK.INI" beside the program.
    TfrmSetup(Prompts& prompts, EventPump& pump, const QString& settingsPath,
              DeviceFactory makeDevice = CreatePlatformCommDevice, QWidget* parent = nullptr);
    ~TfrmSetup() override;

    const QString& settingsPath() const { return settingsPath_; }

    // What the setup window uses of the layout editor, which is made after it.
    struct LayoutEditor {
        QDialog* window = nullptr;                       // shown by "Glidex Layout"
        std::function<int32_t(bool showErrors)> CheckLayout;  // 0 when no tiles overlap
        std::function<void()> StoreToConfig;            // the tiles into KvmLayout
    };
    void setLayoutEditor(LayoutEditor editor);

    // The layout file operations on KvmLayout.
    int ReadLayoutFile(const QString& fileName);
    int WriteLayoutFile(const QString& fileName, bool overwrite, QString* reason = nullptr);

    // The command exchange and the download (see DeviceLink).
    bool SendCommand(const std::string& text, bool wait);
    void ParseReplyLine(std::string_view line);
    bool LoadConfig(bool layoutOnly, bool showFinished);
    // The uploads: settings and a valid layout, or the layout alone.
    void SaveConfig();
    void SendLayout();
    bool LinkFailed() const { return link_->LinkFailed; }
    // True while a download or upload runs.
    bool TransferRunning() const { return transferRunning_; }

    void btnDefaultClick();
    void btnExitClick();
    void btnGlidexClick();
    void btnLoadConfigClick();
    void btnSaveConfigClick();
    void WorkTimerTimer();
    void portTargetRxChar(TCustomComPort* sender, int count);

    QLabel* lblCOMPort;
    QComboBox* cmbCOMPort;
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
    QTimer* WorkTimer;
    std::unique_ptr<TComPort> portTarget;

signals:
    // KvmLayout changed: the layout editor rebuilds its tiles from it.
    void layoutUpdated();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createWidgets();
    void createPort(const DeviceFactory& makeDevice);
    // Runs a transfer with the transfer buttons disabled; a close asked for
    // meanwhile happens once it has ended.
    template <typename Transfer>
    auto runTransfer(Transfer transfer);
    // The buttons that start something a running transfer must not meet.
    std::array<QPushButton*, 4> transferLockedButtons() const;
    void FormCreate();
    void RecordToWidgets();
    void WidgetsToRecord();
    void WMConfigUpdated();
    void WMLayoutUpdated();
    // Tells the user that the settings file could not be written, and why.
    void warnNotSaved(const QString& reason);

    Prompts& prompts_;
    LayoutEditor editor_;
    QPointer<QDialog> frmGlidex_;
    QString settingsPath_;
    std::unique_ptr<DeviceLink> link_;
    bool transferRunning_ = false;
    bool closePending_ = false;
};
