#pragma once

#include "core/config/KvmConfig.h"
#include "core/config/OneBased.h"
#include "core/layout/CanvasTransform.h"
#include "core/layout/CanvasZoom.h"
#include "core/layout/ScreenGeometry.h"

#include <QObject>
#include <QSize>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// The layout editor's working layout without widgets: the 80 monitors of the
// cascade, the selection, the drag in progress, and every editing rule as a
// member. The layout tables of the configuration are only read and written
// by LoadFromConfig and StoreToConfig; everything else edits this working
// copy. Its state is read through the accessors and changed only by the
// members, and each edit ends by signalling what it changed (changed), so
// the views redraw just that.

// One monitor of the cascade as the editor holds it.
struct LayoutScreen {
    int32_t ScreenNo = 0;     // 1..80
    int32_t ScreenGroup = 0;  // 0 = not on the canvas, else its group
    uint32_t ScreenColor = 0;  // 0xAARRGGBB, by the port within its unit
    QString Title;             // "2A", "S3.4B"
    bool Portrait = false;     // the size is that of ResIndex turned on its side
    int32_t ResIndex = 0;      // entry of the resolution table, or kOwnSize
    int32_t PortIndex = 0;     // computer port across the cascade, 0..19
    int32_t LabelSlot = 0;     // position of the port label in the strip, 0 = leftmost
    bool LabelShown = false;   // the label stands in the strip of the chosen unit
    int32_t MonitorNo = 0;     // 1..4
    // The monitor's rectangle on the desktop, in device pixels; the size is
    // already turned when Portrait.
    int32_t DeskWidth = 0;
    int32_t DeskHeight = 0;
    int32_t DeskX = 0;
    int32_t DeskY = 0;
    // The far edges, in 64 bits so that they hold for any 32-bit values.
    int64_t DeskRight() const { return int64_t{DeskX} + DeskWidth; }
    int64_t DeskBottom() const { return int64_t{DeskY} + DeskHeight; }
    DeskRect DeskBounds() const { return {DeskX, DeskY, DeskRight(), DeskBottom()}; }
};

// What one edit changed, in the order the views must show it.
struct LayoutChange {
    struct Paint {
        int32_t ScreenNo;
        bool Selected;  // drawn with the selection marks
    };
    // Monitors put on the canvas (or drawn anew), in the order they were
    // painted: the last one painted lies in front. Each appears once.
    std::vector<Paint> Painted;
    // Monitors taken off the canvas and not painted again.
    std::vector<int32_t> Removed;
    // The bottom panel now shows the values of PanelScreen (0: none, the
    // panel is disabled). Only when PanelChanged.
    bool PanelChanged = false;
    int32_t PanelScreen = 0;
    // The label strip changed: which labels stand where.
    bool Labels = false;
    // The canvas changed its scale (Canvas(), CanvasSize()): every placed
    // monitor stands at a new canvas place, with its marks and its order.
    bool Zoomed = false;

    bool empty() const { return Painted.empty() && Removed.empty() && !PanelChanged && !Labels && !Zoomed; }
};

// What undo and redo bring back of a monitor: whether and where it is on
// the canvas, its size and its orientation.
struct MonitorPlace {
    int32_t ScreenGroup = 0;
    int32_t DeskX = 0;
    int32_t DeskY = 0;
    int32_t DeskWidth = 0;
    int32_t DeskHeight = 0;
    bool Portrait = false;
    int32_t ResIndex = 0;
    bool operator==(const MonitorPlace&) const = default;
};

// The working layout as a step of the editing history holds it: every
// monitor's place and the selection.
struct LayoutState {
    OneBased<MonitorPlace, kScreenCount> Places;
    int32_t SelectedNo = 0;
};

// Master port k and Slave k exclude each other: placing a monitor of one
// side takes every monitor of the other off the canvas, if the user agrees.
struct PortConflict {
    enum class Side { None, Slave, Master } With = Side::None;  // the side in the way
    int32_t Number = 0;  // the Slave's or the master port's number, 1..4
};

// The editor's desktop as it opens: 6000 x 6000 canvas pixels at Actual
// Size, each standing for 10 device pixels each way. A zoom keeps its
// 60000 x 60000 device pixels.
inline constexpr int32_t kEditorCanvasSize = 6000;
inline constexpr CanvasTransform kEditorCanvas{kActualSize};

class LayoutModel : public QObject {
    Q_OBJECT

public:
    // 80 unplaced monitors of 1920 x 1080 at (0, 0) on a desktop of
    // `canvasWidth` x `canvasHeight` canvas pixels at the zoom of `canvas`.
    LayoutModel(CanvasTransform canvas, int32_t canvasWidth, int32_t canvasHeight, QObject* parent = nullptr);

    const OneBased<LayoutScreen, kScreenCount>& Screens() const { return screens_; }
    // Device pixels <-> canvas pixels (its ZoomDiv).
    const CanvasTransform& Canvas() const { return canvas_; }
    // The canvas in device pixels.
    int32_t MaxDeskX() const { return maxDeskX_; }
    int32_t MaxDeskY() const { return maxDeskY_; }
    // The canvas in canvas pixels, at the current scale.
    QSize CanvasSize() const { return {canvas_.ToCanvas(maxDeskX_), canvas_.ToCanvas(maxDeskY_)}; }
    // Unit of the label strip: 0 = Master, 1..4 = Slave 1..4.
    int32_t CurDevice() const { return curDevice_; }
    // The selected monitor, 0 = none.
    int32_t SelectedNo() const { return selectedNo_; }
    // A press on a monitor armed a drag that has not been put down yet.
    bool DragArmed() const { return drag_.Armed; }

    // Every monitor from the Group and Port tables; the strip follows the
    // styles. The selection ends.
    void LoadFromConfig(const KVM_LAYOUT& layout);
    // The monitors into Group and Port (an unplaced one at 0, 0 with its
    // size), then each port's total size and monitor offsets from its style.
    void StoreToConfig(KVM_LAYOUT& layout) const;
    // The strip shows the labels of CurDevice, one per monitor its ports'
    // styles allow; surplus monitors of every unit leave the canvas.
    void RefreshLabels(const KVM_LAYOUT& layout);
    // Shows the strip of `unit` (0 = Master, 1..4 = Slave 1..4).
    void SetDevice(int32_t unit, const KVM_LAYOUT& layout);

    // Draws placed monitor `n` anew, with the selection marks when
    // `selected`; nothing for another.
    void RepaintScreen(int n, bool selected);
    // Takes monitor `n` off the canvas; when it was selected, the selection
    // passes to the next placed monitor upward (wrapping after 80), or ends.
    void RemoveScreen(int n);
    // Selects placed monitor `n`, as a press on it does.
    void Select(int n);

    // Placing a monitor from its label: whether it can be placed at all (a
    // monitor 1..80 not yet on the canvas), and which side is in its way.
    bool CanPlace(int n) const;
    PortConflict ConflictOf(int n) const;
    // Places and selects monitor `n` at its stored place; with
    // `removeConflicting`, every monitor of the side in its way leaves the
    // canvas first.
    void PlaceFromLabel(int n, bool removeConflicting);

    // A computer's monitors onto computer port `port` (1..20), whose style
    // in `layout` the caller has set to theirs: monitor m takes its size
    // from monitors[m - 1] (and the resolution entry that matches it, in
    // either orientation) and stands at its place there, counted from the
    // top-left corner of the port's monitors on the canvas, or, when the
    // port has none, from the right of the layout level with its top; moved
    // left and up as far as the desktop needs, which they must fit (as
    // ArrangeMonitors has them). The port's other monitors leave the
    // canvas, and with `removeConflicting` every monitor of the side in its
    // way first. The first monitor is selected.
    void PlaceMonitors(int port, const std::vector<DeskRect>& monitors, bool removeConflicting,
                       const KVM_LAYOUT& layout);
    // Whether computer port `port` has a monitor on the canvas.
    bool PortPlaced(int port) const;

    // A drag: a press on monitor `n` selects it and arms the drag; each step
    // of `n` moves it by (dx, dy) device pixels from where the last put it,
    // snapped to the nearest edge within reach and kept on the desktop, and
    // answers where; the release puts it down there if it moved.
    void BeginDrag(int n);
    DeskRect DragStep(int n, int64_t dx, int64_t dy);
    void EndDrag(int n);

    // The selected monitor takes a resolution entry (kOwnSize: its own size),
    // an orientation and the positions given; a missing one stays as it is.
    // No snapping, no clamping: a typed position is taken as it is.
    void Apply(int resIndex, bool portrait, std::optional<int32_t> x, std::optional<int32_t> y);
    void DeleteSelected();

    // The keyboard: monitor `n` (selected first) moves one canvas pixel, or
    // with `toAlignment` to its next line-up with another monitor's edge or
    // the border, kept on the desktop without snapping.
    void KeyStep(int n, MoveDirection direction, bool toAlignment);

    // The whole layout one step: by its tallest (widest) monitor, but not
    // past the border. Answers the step for the view to follow.
    LayoutStep MoveLayout(MoveDirection direction);
    // The leftmost and topmost monitors to the desktop's left and top borders.
    void MoveToTopLeft();
    // The first overlapping pair of placed monitors of a group; when there
    // is none ({0, 0}), the layout has been moved to the top-left corner.
    std::optional<OverlapPair> CheckLayout();
    // What the check says of an overlapping pair: "1A, 2A is intersected!".
    QString OverlapMessage(const OverlapPair& overlap) const;

    bool AnyPlaced() const;

    // The canvas at `zoomDiv` device pixels per canvas pixel, one of
    // kZoomSteps; the desktop keeps its size in device pixels, every stored
    // value stays as it is, and the selection too. Refused (false) while a
    // drag is under way and for a scale that is no step.
    bool SetZoom(int32_t zoomDiv);
    // Zoom to Fit for a view of `client` canvas pixels: the scale and the
    // scroll position that show every placed monitor, none when no monitor
    // is placed.
    std::optional<ZoomFit> FitZoom(QSize client) const;
    // After a zoom, a view of `client` canvas pixels at `scroll` that shows
    // no placed monitor: the scroll position that centres the selected
    // monitor, else the layout; none while the view shows one.
    std::optional<QPoint> ScrollToMonitors(QPoint scroll, QSize client) const;

    LayoutState State() const;
    // Undo and redo: the monitors whose places differ between `from` and
    // `to` take their places in `to`, and the selection becomes that of `to`
    // when its monitor is on the canvas (else none). A monitor the styles of
    // `layout` do not allow stays off the canvas, as RefreshLabels has it;
    // a drag under way ends where it started. Answers the monitors whose
    // places differ, in number order.
    std::vector<int32_t> Restore(const LayoutState& from, const LayoutState& to, const KVM_LAYOUT& layout);
    // Every monitor off the canvas and fresh again (1920 x 1080, landscape,
    // at 0, 0); the styles stay.
    void NewLayout();

signals:
    void changed(const LayoutChange& change);

private:
    // The monitors as the layout rules see them.
    TileBoxes Boxes() const;
    DeskLimits Desk() const { return {maxDeskX_, maxDeskY_}; }

    // The edit's steps; publish() ends the edit and signals what it changed.
    void paint(int n, bool selected);
    void remove(int n);
    void select(int n);
    void refreshLabels(const KVM_LAYOUT& layout);
    void shift(int64_t dx, int64_t dy);
    void moveTo(int n, const DeskRect& rect);
    void forget(int n);
    void removeConflicting(int n);
    void setPanel(int n);
    void publish();

    OneBased<LayoutScreen, kScreenCount> screens_;
    CanvasTransform canvas_;
    int32_t maxDeskX_ = 0;
    int32_t maxDeskY_ = 0;
    int32_t curDevice_ = 0;
    int32_t curGroup_ = 1;  // the group painting gives a monitor
    int32_t selectedNo_ = 0;
    // The drag of a monitor: armed by a press on it, moved once the pointer
    // moved; Rect is where it would be put down.
    struct Drag {
        bool Armed = false;
        bool Moved = false;
        DeskRect Rect;
    } drag_;
    LayoutChange pending_;
};

// "2A" for the Master's port 2, first monitor; "S3.4B" for Slave 3, port 4,
// second monitor.
QString ScreenTitle(int portIndex, int monitorNo);
// Aqua, red, yellow, lime for ports 1 to 4 of every unit, as 0xAARRGGBB.
uint32_t ScreenColorOf(int portIndex);
