#pragma once

#include "core/config/KvmConfig.h"
#include "core/config/OneBased.h"
#include "core/layout/CanvasZoom.h"
#include "core/layout/ComputerMonitors.h"
#include "core/layout/LayoutModel.h"
#include "core/layout/ScreenGeometry.h"
#include "core/layout/TileDrag.h"
#include "core/link/DeviceLink.h"
#include "gui/editor/LayoutHistory.h"
#include "gui/editor/ScreenTile.h"
#include "gui/setup/LayoutEditor.h"

#include <QDialog>

#include <cstdint>
#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QScrollArea;
class QStatusBar;
class QVBoxLayout;
class Pointer;
class Prompts;
class TransferService;

// The layout editor: every monitor of the cascade as a tile on one shared
// desktop, the label strip of the chosen unit's monitors above it and the
// selected tile's values below. Shown modally from the setup window. The
// working layout and its rules are the model's; the window hands it the
// mouse, the keys and the menus, records each change as a step of the
// history that the Edit menu undoes and redoes, draws what they report and
// asks the user. The widgets are the window's own: tools find them by their
// object names.
class TfrmGlidex : public QDialog, public LayoutEditor {
    Q_OBJECT

public:
    // Builds the 80 tiles and their labels and loads them from KvmLayout of
    // `config`. `prompts` asks the user, `pointer` follows a drag that
    // scrolls. `transfers` loads and sends the layout, `settingsPath` is the
    // settings file that Send Layout writes first.
    TfrmGlidex(Prompts& prompts, Pointer& pointer, ConfigRecords& config, TransferService& transfers,
               const QString& settingsPath, QWidget* parent = nullptr);
    ~TfrmGlidex() override;

    void ShowEditor() override;

    // Rebuilds every tile from the Group and Port tables of KvmLayout and
    // lays out the label strip, one step named `command`. The selection ends.
    void LoadFromConfig(const QString& command) override;
    // Writes the tiles into Group and Port of KvmLayout and recomputes each
    // port's total size and monitor offsets from its style.
    void StoreToConfig() override;
    // 0 when no two placed tiles overlap, the layout then moved to the
    // top-left corner; 2, with the first pair named if `ShowErrors`, when
    // two do, the layout left as it is.
    int32_t CheckLayout(bool ShowErrors) override;
    // Writes KvmLayout into the settings file, then sends it alone to the
    // switch; failures and a cancel are shown, success is the caller's to
    // tell.
    TransferResult SendLayout();

    // Loads the monitor layout dialog from MStyle, shows it modally and
    // answers whether it was closed with its Apply button.
    std::function<bool()> MonitorLayoutDialog;

    // The tiles, one a monitor; the model holds what they show.
    const OneBased<TScreen*, kScreenCount>& Screens() const { return screens_; }

    // A left press selects a tile and arms a drag; moves with the left
    // button held drag it, snapped and kept on the canvas; the release puts
    // it down there. `x`, `y` are canvas pixels inside the tile. The tiles'
    // mouse signals come here.
    void ScreenMouseDown(TScreen& tile, Qt::MouseButton button, int x, int y);
    void ScreenMouseMove(TScreen& tile, Qt::MouseButtons buttons, int x, int y);
    void ScreenMouseUp(TScreen& tile, Qt::MouseButton button, int x, int y);
    // The selected tile takes the panel's resolution, orientation and
    // position; a position that is no integer stays as it was.
    void btnApplyClick();
    // The whole layout one step in a direction, or to the top-left corner.
    void mnuMoveUpClick();
    void mnuMoveDownClick();
    void mnuMoveLeftClick();
    void mnuMoveRightClick();
    void mnuMoveTopLeftClick();
    // The View menu: one step larger or smaller, back to Actual Size, or the
    // largest scale that shows every placed tile. The desktop point at the
    // view's centre stays there (Zoom to Fit scrolls to the tiles).
    void mnuZoomInClick();
    void mnuZoomOutClick();
    void mnuActualSizeClick();
    void mnuZoomToFitClick();

protected:
    // Escape does not close the editor; only its close box does.
    void keyPressEvent(QKeyEvent* event) override;
    // Gives the vertical wheel turns on the canvas's view and scroll bars to
    // FormMouseWheel, with Ctrl to ZoomMouseWheel.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The window's parts, by area, then the tiles and labels and the
    // connections (FormCreate).
    void createWidgets();
    void createMenus(QVBoxLayout* layout);
    void createLayoutMenu();
    void createEditMenu();
    void createMoveMenu();
    void createViewMenu();
    void createPortPanel(QVBoxLayout* layout);
    void createCanvas(QVBoxLayout* layout);
    void createScreenPanel(QVBoxLayout* layout);
    void createStatusBar(QVBoxLayout* layout);
    void FormCreate();
    // Connects the mouse and key signals of a tile and of its label to the
    // handlers.
    void connectTile(TScreen& tile);
    // Tab goes from the unit list through the labels in strip order, the
    // tiles in number order and the bottom panel.
    void setKeyboardOrder();
    void setPanelEnabled(bool enabled);
    // Left edge of the port label in strip position `slot`.
    int labelLeft(int slot) const;
    // Shows what an edit of the model changed: tiles, labels, the panel.
    void showChange(const LayoutChange& change);
    // After an undo or redo: the unit whose tiles changed, when they are all
    // of one, in the label strip; the selected tile, or else the first
    // changed one, in view; the message on the status line.
    void showRestored(const QString& message, const std::vector<int32_t>& changed);

    // Shows the labels of the unit chosen in cmbDevice, one per monitor its
    // ports' styles allow, and takes surplus monitors off the canvas.
    void RefreshLabels();
    void cmbDeviceChange(int index);

    // Places the monitor of a port label, after taking the other side of a
    // master/slave port conflict off the canvas if the user agrees. The
    // labels' clicks come here.
    void PortLabelClick(QLabel* label);
    // Whether the user lets the other side of a master/slave port conflict
    // leave the canvas; true when there is none.
    bool agreesToRemove(const PortConflict& conflict);
    // The keyboard: Enter or Space on a port label places its monitor as a
    // click does, then gives the tile the focus. A tile taking the focus is
    // selected as by a press. An arrow moves the tile one canvas pixel, with
    // Shift to its next alignment, kept on the canvas without snapping, and
    // puts it down there as a drag's end does. Delete is the Delete button.
    // The tiles' and labels' key signals come here.
    void PortLabelKey(TScreen& tile);
    void ScreenFocused(TScreen& tile);
    void ScreenKeyMove(TScreen& tile, MoveDirection direction, bool toAlignment);
    void ScreenKeyDelete(TScreen& tile);
    void btnDeleteClick();
    // A wheel turn over the canvas scrolls it one line; false (not handled)
    // anywhere else.
    bool FormMouseWheel(int wheelDelta, QPoint screenPos);
    // With Ctrl, a wheel turn over the canvas zooms one step a notch,
    // keeping the desktop point under the pointer where it is; false (not
    // handled) anywhere else.
    bool ZoomMouseWheel(int wheelDelta, QPoint screenPos);

    void mnuCheckClick();
    // The Layout menu.
    void mnuNewClick();
    void mnuImportClick();
    void mnuExportClick();
    void mnuMonitorLayoutClick();
    // This computer's monitors, or those of a list written by --screens
    // --json on another computer, onto the port of the port label or tile
    // chosen last (else the one the user chooses, placingPort): the port's
    // style becomes theirs and its tiles their sizes and arrangement, one
    // step. Monitors in no style's arrangement, or more than four, change
    // nothing and are told in a box.
    void mnuPlaceMonitorsClick();
    void mnuPlaceMonitorsFromFileClick();
    void placeMonitors(const std::vector<ComputerMonitor>& monitors, const QString& command);
    // The computer port (1..20) the monitors go on: the focused port label's,
    // unless a tile was selected since it took the focus, else the selected
    // tile's; 0 when the user cancelled the choice.
    int placingPort();
    void mnuLoadLayoutClick();
    void mnuSaveLayoutClick();
    // The Layout menu's transfer commands wait while a transfer runs.
    void transferRunningChanged(bool running);

    // The view back to the canvas's top-left corner.
    void scrollToTopLeft();
    // The canvas at scale `zoomDiv`, the desktop point at `anchor` (view
    // pixels) staying there as far as the canvas allows; nothing during a
    // drag (false). The status line says the scale.
    bool zoomAround(int32_t zoomDiv, QPoint anchor);
    // Zoom In and Actual Size: around the view's centre; a view left
    // showing no placed tile centres the selected tile, else the layout.
    void zoomToMonitors(int32_t zoomDiv);
    // After the model's change of scale: the canvas's new size, every placed
    // tile at its new place, the View menu's commands at the ends.
    void showZoom();
    // The Move menu's step `command` in `direction`.
    void moveLayout(MoveDirection direction, const QAction* command);
    // Moves a dragged tile so that the point it was grabbed at lies at `at`,
    // in the tile's own coordinates, snapped and kept on the canvas.
    void dragTile(TScreen& tile, QPoint at);
    // Scrolls the view after the tile was dragged by the pointer's `motion`,
    // moving the pointer along so it stays on the tile; where the pointer
    // cannot be moved, the tile goes along with the canvas instead.
    void followDraggedTile(TScreen& tile, QPoint motion);
    // While a drag holds the pointer at the view's edge, the drag's ticks
    // scroll the view toward it, the tile with it, until the canvas border.
    QPoint scrollPosition() const;
    QPoint edgeScrollTarget() const;
    void edgeScrollTick();

    // The working layout (object name "Model"); the tiles and labels show it.
    LayoutModel model_;
    // Its steps, for the Edit menu; as long-lived as the window.
    LayoutHistory history_;
    OneBased<TScreen*, kScreenCount> screens_;
    // The drag of a tile in progress and the scrolling at the view's edge.
    TileDrag drag_;
    // The selected monitor when a port label last took the focus: a tile
    // selected since (a click leaves the focus where it was) is the newer
    // choice of a port.
    int32_t selectedAtLabelFocus_ = 0;
    // Ctrl+wheel turns toward the next zoom step.
    WheelNotches wheelZoom_;

    QMenuBar* MainMenu;
    QMenu* mnuLayout;
    QAction* mnuNew;
    QAction* mnuImport;
    QAction* mnuExport;
    QAction* mnuMonitorLayout;
    QAction* mnuPlaceMonitors;
    QAction* mnuPlaceMonitorsFromFile;
    QAction* mnuLoadLayout;
    QAction* mnuSaveLayout;
    QMenu* mnuEdit;
    QAction* mnuUndo;
    QAction* mnuRedo;
    QMenu* mnuMove;
    QAction* mnuMoveUp;
    QAction* mnuMoveDown;
    QAction* mnuMoveLeft;
    QAction* mnuMoveRight;
    QAction* mnuMoveTopLeft;
    QMenu* mnuView;
    QAction* mnuZoomIn;
    QAction* mnuZoomOut;
    QAction* mnuActualSize;
    QAction* mnuZoomToFit;
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

    Prompts& prompts_;
    Pointer& pointer_;
    ConfigRecords& config_;
    TransferService& transfers_;
    QString settingsPath_;
};
