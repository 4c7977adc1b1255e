#pragma once

#include <QEvent>
#include <QWidget>

class Prompts;
class QCheckBox;
class QComboBox;
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

    // `settingsPath` is the settings file, "TORVIK.INI" beside the program.
    TfrmSetup(Prompts& prompts, const QString& settingsPath, QWidget* parent = nullptr);

    const QString& settingsPath() const { return settingsPath_; }

    // The layout file operations on KvmLayout.
    int ReadLayoutFile(const QString& fileName);
    int WriteLayoutFile(const QString& fileName, bool overwrite);

    void btnDefaultClick();
    void btnExitClick();

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

signals:
    // KvmLayout changed: the layout editor rebuilds its tiles from it.
    void layoutUpdated();

protected:
    bool event(QEvent* event) override;

private:
    void createWidgets();
    void FormCreate();
    void RecordToWidgets();
    void WMConfigUpdated();
    void WMLayoutUpdated();

    Prompts& prompts_;
    QString settingsPath_;
};
