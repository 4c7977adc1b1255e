#pragma once

#include "editor/ScreenTile.h"
#include "setup/OneBased.h"
#include "setup/KvmConfig.h"

#include <QDialog>

#include <cstdint>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QScrollArea;
class QStatusBar;
class TfrmSetup;

// The layout editor: every monitor of the cascade as a tile on one shared
// desktop, the label strip of the chosen unit's monitors above it and the
// selected tile's values below. Shown modally from the setup window.
class TfrmGlidex : public QDialog {
    Q_OBJECT

public:
    // Builds the 80 tiles and their labels and loads them from KvmLayout.
    explicit TfrmGlidex(QWidget* parent = nullptr);

    // Rebuilds every tile from the Group and Port tables of KvmLayout and
    // lays out the label strip. The selection ends.
    void LoadFromConfig();
    // Writes the tiles into Group and Port of KvmLayout and recomputes each
    // port's total size and monitor offsets from its style.
    void StoreToConfig();
    // Shows the labels of the unit chosen in cmbDevice, one per monitor its
    // ports' styles allow, and takes surplus monitors off the canvas.
    void RefreshLabels();

    // Puts a tile on the canvas at its desktop place as a placed tile of
    // CurGroup and draws it; `selected` also draws the selection marks and
    // loads the bottom panel from it. SelectedNo is the caller's.
    void PaintScreen(TScreen& tile, bool selected);
    // PaintScreen for a tile that is shown; nothing for a hidden one.
    void RepaintScreen(TScreen& tile, bool selected);
    // Takes a tile off the canvas; the selection passes to the next placed
    // tile upward (wrapping after 80), or ends.
    void RemoveScreen(TScreen& tile);

    void cmbDeviceChange(int index);

    OneBased<TScreen*, kScreenCount> Screens;
    int32_t CurDevice = 0;  // 0 = Master, 1..4 = Slave 1..4
    int32_t CurGroup = 1;   // the group painting gives a tile
    int32_t ZoomDiv = 10;   // device pixels per canvas pixel
    int32_t MaxDeskX = 0;   // the canvas in device pixels
    int32_t MaxDeskY = 0;
    int32_t SelectedNo = 0;  // the selected tile, 0 = none

    QMenuBar* MainMenu;
    QMenu* mnuLayout;
    QMenu* mnuMove;
    QAction* mnuCheck;
    QWidget* panPort;
    QComboBox* cmbDevice;
    QLabel* Label1;
    QScrollArea* scrollLayout;
    QWidget* imgLayout;
    QWidget* panScreen;
    QLabel* lblResolution;
    QComboBox* cmbResolution;
    QCheckBox* chkPortrait;
    QLabel* lblPosition;
    QLineEdit* edtX;
    QLabel* lblComma;
    QLineEdit* edtY;
    QPushButton* btnApply;
    QPushButton* btnDelete;
    QStatusBar* StatusBar1;

protected:
    // Escape does not close the editor; only its close box does.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createWidgets();
    void FormCreate();
    void setPanelEnabled(bool enabled);
    // Left edge of the port label in strip position `slot`.
    int labelLeft(int slot) const;
};

// The setup window shows the editor from its "Glidex Layout" button, and the
// editor rebuilds its tiles whenever the setup window's layout changes.
void ConnectLayoutEditor(TfrmSetup& frmSetup, TfrmGlidex& frmGlidex);
